// The least a program can do to play a file: RenderFile, Run, WaitForCompletion. The
// baseline the player's figures are measured against.
//   bare_play_winbench FILE MS [CAPTURE]
// plays FILE for at most MS milliseconds; with CAPTURE, first prints the milliseconds
// from Run to the first sound in that capture file, then those RenderFile took (which
// the player spends after Play, and this program before its Run).
#include <windows.h>

#include <dshow.h>

#include <cstdio>
#include <cstdlib>

#include "tools/first_sound_win.h"

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  WCHAR file[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, file, MAX_PATH);
  if (FAILED(CoInitialize(nullptr))) return 1;
  IGraphBuilder *graph = nullptr;
  IMediaControl *control = nullptr;
  IMediaEvent *events = nullptr;
  int status = 1;
  LARGE_INTEGER frequency, renderStart, renderEnd;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&renderStart);
  if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                 reinterpret_cast<void **>(&graph))) &&
      SUCCEEDED(graph->RenderFile(file, nullptr)) && QueryPerformanceCounter(&renderEnd) &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(&control))) &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(&events)))) {
    LARGE_INTEGER size = {}, start;
    HANDLE capture = argc > 3 ? OpenCapture(argv[3], &size) : INVALID_HANDLE_VALUE;
    QueryPerformanceCounter(&start);
    if (SUCCEEDED(control->Run())) {
      status = 0;
      if (capture != INVALID_HANDLE_VALUE) {
        std::printf("%.1f\n", MillisecondsToFirstSound(capture, size, start));
        std::printf("%.1f\n", (renderEnd.QuadPart - renderStart.QuadPart) * 1000.0 / frequency.QuadPart);
        std::fflush(stdout);
        CloseHandle(capture);
      }
      long code = 0;
      events->WaitForCompletion(std::atoi(argv[2]), &code);
      control->Stop();
    }
  }
  if (events) events->Release();
  if (control) control->Release();
  if (graph) graph->Release();
  CoUninitialize();
  return status;
}
