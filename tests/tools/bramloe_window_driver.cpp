// Reaches into a running bramloe.exe from a second process, for the end-to-end tests
// and the run command:
//   wait MS       waits up to MS for the main window to show; prints its title
//   ready MS      as wait, then also until the program's message loop answers
//   title         prints the main window's title
//   focus         prints the control ID of the window that has the focus
//   command ID    posts WM_COMMAND ID to the main window
//   close         posts WM_CLOSE to the main window
//   gone MS       waits up to MS for the main window to disappear
// Exit status 0 on success, 1 when the window is not there (or still there for gone).
// With BRAMLOE_DRIVER_STARTED naming a file, the driver creates it as it starts, so a
// caller timing the player knows the driver is already looking.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/ids.h"
#include "tools/player_window.h"

static HWND MainWindowOfPlayer() { return FindPlayerWindow(); }

static HWND WaitFor(bool present, DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = MainWindowOfPlayer();
    if (present ? (window && IsWindowVisible(window)) : !window) return window;
    if (GetTickCount() - start >= milliseconds) return present ? nullptr : window;
    Sleep(5);
  }
}

static int PrintTitle(HWND window) {
  if (!window) return 1;
  char title[512] = "";
  GetWindowTextA(window, title, sizeof title);
  std::printf("%s\n", title);
  return 0;
}

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  char started[MAX_PATH];
  if (GetEnvironmentVariableA("BRAMLOE_DRIVER_STARTED", started, sizeof started))
    CloseHandle(CreateFileA(started, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const char *verb = argv[1];
  DWORD milliseconds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
  if (std::strcmp(verb, "wait") == 0) return PrintTitle(WaitFor(true, milliseconds));
  if (std::strcmp(verb, "ready") == 0) {
    HWND window = WaitFor(true, milliseconds);
    // A sent message is taken only once start-up is over and the loop fetches messages.
    DWORD_PTR answer = 0;
    if (!window || !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &answer))
      return 1;
    return PrintTitle(window);
  }
  if (std::strcmp(verb, "gone") == 0) return WaitFor(false, milliseconds) ? 1 : 0;
  HWND window = MainWindowOfPlayer();
  if (!window) return 1;
  if (std::strcmp(verb, "title") == 0) return PrintTitle(window);
  if (std::strcmp(verb, "focus") == 0) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 1;
    std::printf("%d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
  }
  if (std::strcmp(verb, "command") == 0 && argc > 2)
    return PostMessageA(window, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
  if (std::strcmp(verb, "close") == 0) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  return 2;
}
