// Writes one entry into a settings file, as Mem does (safe) or with one bare call of
// the profile functions (direct), and says whether it was written: the disk-full test
// runs it with a file size limit that stops the write.
// usage: bramloe_settings_write safe|direct INI_PATH KEY VALUE
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "settings/settings.h"
#include "settings/settings_win.h"

int main(int argc, char **argv) {
  if (argc != 5 || (std::strcmp(argv[1], "safe") != 0 && std::strcmp(argv[1], "direct") != 0)) {
    std::fprintf(stderr, "usage: bramloe_settings_write safe|direct INI_PATH KEY VALUE\n");
    return 2;
  }
  const SettingWrite entry = {argv[3], argv[4]};
  const bool written = std::strcmp(argv[1], "safe") == 0
                           ? WriteSettingsFile(argv[2], &entry, 1)
                           : WritePrivateProfileStringA(SETTINGS_SECTION, argv[3], argv[4], argv[2]) != 0;
  std::printf("%s\n", written ? "written" : "not written");
  return 0;
}
