// The least a player with the position timer does: the bare program's RenderFile and
// Run, plus a window whose timer (ID 1, period 1 ms) asks the graph for the position
// on every tick, as the player's must, and draws nothing. What this costs beyond the
// bare program is the floor under the player's CPU figure.
//   ticking_play_winbench FILE MS
// plays FILE for MS milliseconds, then ends.
#include <windows.h>

#include <dshow.h>

#include <cstdlib>

static IMediaSeeking *seeking;

static LRESULT CALLBACK TickingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == 1) {
        LONGLONG position = 0;
        if (seeking) seeking->GetCurrentPosition(&position);
      } else {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  WCHAR file[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, file, MAX_PATH);
  if (FAILED(CoInitialize(nullptr))) return 1;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TickingWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "TickingBenchWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  HWND window = CreateWindowA("TickingBenchWindow", "ticking", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  IGraphBuilder *graph = nullptr;
  IMediaControl *control = nullptr;
  int status = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                 reinterpret_cast<void **>(&graph))) &&
      SUCCEEDED(graph->RenderFile(file, nullptr)) &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(&control))) &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(&seeking))) &&
      SUCCEEDED(control->Run())) {
    status = 0;
    SetTimer(window, 1, 1, nullptr);
    SetTimer(window, 2, static_cast<UINT>(std::atoi(argv[2])), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    control->Stop();
  }
  if (seeking) seeking->Release();
  if (control) control->Release();
  if (graph) graph->Release();
  CoUninitialize();
  return status;
}
