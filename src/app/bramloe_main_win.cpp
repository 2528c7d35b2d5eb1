// Entry point. The start-up sequence is being built; for now the process only proves
// that the cross-build, the resources and Wine work together.
#include <windows.h>

#include "resources/ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HACCEL accelerators = LoadAcceleratorsA(instance, RES_ACCELERATORS);
  return accelerators ? 0 : 1;
}
