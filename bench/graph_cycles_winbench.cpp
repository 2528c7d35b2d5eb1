// The soak's control: bare graph cycles with none of the player around them. Each
// cycle creates a filter graph, renders one of the given files, runs it, waits for the
// end of the file, stops and releases it, the files taken in turn. Every 50 cycles it
// prints the working set of its own process, and at the end how many cycles did not
// reach the end of their file within its length plus 3 s:
//   graph_cycles_winbench <cycles> <file>...
//   "cycles C: working set W KiB" ... "failed F"
#include <windows.h>
#include <dshow.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

static unsigned long long WorkingSetKiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize / 1024;
}

// One graph from creation to release; false when it could not be played to its end
// within its length plus 3 s.
static bool PlayOnce(const char *path) {
  IGraphBuilder *graph = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IGraphBuilder, reinterpret_cast<void **>(&graph))))
    return false;
  IMediaControl *control = nullptr;
  IMediaEvent *events = nullptr;
  IMediaSeeking *seeking = nullptr;
  graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(&control));
  graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void **>(&events));
  graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(&seeking));
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
  bool ended = false;
  LONGLONG duration = 0;
  if (control && events && seeking && SUCCEEDED(graph->RenderFile(wide, nullptr)) &&
      SUCCEEDED(seeking->GetDuration(&duration)) && SUCCEEDED(control->Run())) {
    long code = 0;
    ended = events->WaitForCompletion(static_cast<long>(duration / 10000) + 3000, &code) == S_OK &&
            code == EC_COMPLETE;
  }
  if (control) control->Stop();
  if (seeking) seeking->Release();
  if (events) events->Release();
  if (control) control->Release();
  graph->Release();
  return ended;
}

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  int cycles = std::atoi(argv[1]), files = argc - 2, failed = 0;
  CoInitialize(nullptr);
  for (int cycle = 1; cycle <= cycles; cycle++) {
    if (!PlayOnce(argv[2 + (cycle - 1) % files])) failed++;
    if (cycle % 50 != 0) continue;
    std::printf("cycles %d: working set %llu KiB\n", cycle, WorkingSetKiB());
    std::fflush(stdout);
  }
  CoUninitialize();
  std::printf("failed %d\n", failed);
  return 0;
}
