// The entry point of bramloe.exe. The program takes no arguments.
#include <windows.h>

#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
  return RunProcess(instance, previous, showCommand);
}
