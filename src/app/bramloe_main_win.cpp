// The entry point of bramloe.exe. Files on its command line go to the player already
// running, when there is one; this start then ends without a window.
#include <windows.h>

#include "app/command_line_win.h"
#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
  if (ReadCommandLineFiles() && HandFilesToRunningPlayer()) return 0;
  return RunProcess(instance, previous, showCommand);
}
