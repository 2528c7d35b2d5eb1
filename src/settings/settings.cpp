#include "settings/settings.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/bytes.h"

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

bool SettingsCopyPaths(const char *path, unsigned long processId, char *copy, char *check) {
  return std::snprintf(copy, PATH_BYTES, "%s.%lu.new", path, processId) < PATH_BYTES &&
         std::snprintf(check, PATH_BYTES, "%s.%lu.chk", path, processId) < PATH_BYTES;
}

// A hash of the path stands for it: an object name holds no '\' and is limited in
// length, and two files that share a hash only wait for each other.
char *SettingsLockName(const char *path, char *out) {
  unsigned long long hash = 14695981039346656037ull;  // 64-bit FNV-1a
  for (const char *p = path; *p; ++p)
    hash = (hash ^ static_cast<unsigned char>(UpperAscii(*p))) * 1099511628211ull;
  std::snprintf(out, SETTINGS_LOCK_NAME_BYTES, "%s write %016llx", SETTINGS_FILE_NAME, hash);
  return out;
}

// The platform may cut a field inside a double-byte character, and a first byte left
// at the end would swallow the next byte joined to it (a '\' among them).
char *DropCutCharacter(char *field) {
  for (int at = 0; field[at]; at += CharBytesAt(field, at))
    if (IsLeadRangeByte(static_cast<unsigned char>(field[at])) && !field[at + 1]) field[at] = '\0';
  return field;
}
