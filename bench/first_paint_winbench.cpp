// Watches for the first paint of a window of a class: waits until such a window is
// visible and has no area left to paint, then prints that moment as Unix seconds, and
// closes it when asked.
//   first_paint_winbench CLASS [close]
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(1)) {
    HWND window = FindWindowA(argv[1], nullptr);
    if (!window || !IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) continue;
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER units = {{now.dwLowDateTime, now.dwHighDateTime}};
    // FILETIME counts 100 ns from 1601; Unix time from 1970.
    std::printf("%.6f\n", (units.QuadPart - 116444736000000000ULL) * 1e-7);
    std::fflush(stdout);
    if (argc > 2 && !std::strcmp(argv[2], "close")) PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  return 1;
}
