#include "settings/settings.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SettingsRecord Settings = {"", "", "notepad", 1, 0};
int KeepTempo = 0;

const char SETTINGS_SECTION[] = "BRAMLOE";
const char SETTINGS_FILE_NAME[] = "BRAMLOE.INI";

// long is 64 bits natively and 32 on Windows: clamp so both builds agree.
static int ClampToInt(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (int)value;
}

int ParseAutoBase(const char *text) { return ClampToInt(std::strtoll(text, nullptr, 0)); }

int ParseDecimal(const char *text) { return ClampToInt(std::strtoll(text, nullptr, 10)); }

char *SettingsFilePathFor(const char *userProfile, char *out) {
  const size_t nameLength = sizeof SETTINGS_FILE_NAME - 1;
  out[0] = '\0';
  if (userProfile && userProfile[0]) {
    size_t length = std::strlen(userProfile);
    // A profile folder too long for "\BRAMLOE.INI" in 259 bytes falls back to the bare
    // name, which the profile functions place in the Windows folder: a working file
    // rather than a cut path that names some other folder.
    if (length + 1 + nameLength <= PATH_BYTES - 1) {
      std::memcpy(out, userProfile, length);
      out[length] = '\\';
      out[length + 1] = '\0';
    }
  }
  std::strcat(out, SETTINGS_FILE_NAME);
  return out;
}

char *PitchEntryKey(const char *path, char *out) {
  std::snprintf(out, PATH_BYTES, "%s", path);
  for (char *p = out; *p; ++p) {
    if (*p == '=') *p = '|';
  }
  return out;
}
