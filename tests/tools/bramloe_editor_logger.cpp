// Stands in for the text editor: appends the command line it was started with, as one
// line, to the file named by BRAMLOE_EDITOR_LOG, and exits.
#include <windows.h>

#include <cstdio>

int main() {
  char log[MAX_PATH];
  if (!GetEnvironmentVariableA("BRAMLOE_EDITOR_LOG", log, sizeof log)) return 1;
  std::FILE *file = std::fopen(log, "ab");
  if (!file) return 1;
  std::fprintf(file, "%s\n", GetCommandLineA());
  std::fclose(file);
  return 0;
}
