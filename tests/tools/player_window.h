// The main window of the player a test started. With BRAMLOE_PLAYER_PID set (the
// Windows process id bramloe_in_profile prints), only that process's window counts, so
// a window another player shows on the same desktop is never taken for it.
#pragma once
#include <windows.h>

#include <cstdlib>

#include "resources/ids.h"

struct PlayerWindowSearch {
  DWORD process;
  HWND found;
};

static BOOL CALLBACK TakePlayerWindow(HWND window, LPARAM param) {
  PlayerWindowSearch *search = reinterpret_cast<PlayerWindowSearch *>(param);
  char className[64];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !GetClassNameA(window, className, sizeof className) ||
      lstrcmpA(className, MAIN_WINDOW_CLASS) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

static HWND FindPlayerWindow() {
  char pid[32];
  if (!GetEnvironmentVariableA("BRAMLOE_PLAYER_PID", pid, sizeof pid))
    return FindWindowA(MAIN_WINDOW_CLASS, nullptr);
  PlayerWindowSearch search = {static_cast<DWORD>(std::strtoul(pid, nullptr, 10)), nullptr};
  EnumWindows(TakePlayerWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
