// The settings file through the Win32 profile functions.
#include "settings/settings_win.h"

#include <cstdio>

#include "settings/settings.h"

char *SettingsFilePath(char *out) {
  // Only a value that fits the path buffer can leave room for the file name; a longer
  // one (GetEnvironmentVariableA then returns the size it needs) takes the same bare
  // name fallback as a profile folder that fits but leaves no room for "\BRAMLOE.INI".
  char profile[PATH_BYTES];
  DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  if (length == 0 || length >= sizeof profile) profile[0] = '\0';
  return SettingsFilePathFor(profile, out);
}

void LoadSettings() {
  char path[PATH_BYTES];
  SettingsFilePath(path);
  GetPrivateProfileStringA(SETTINGS_SECTION, "editor", "notepad", Settings.editor,
                           sizeof Settings.editor, path);
  GetPrivateProfileStringA(SETTINGS_SECTION, "textpath", "", Settings.textpath,
                           sizeof Settings.textpath, path);
  GetPrivateProfileStringA(SETTINGS_SECTION, "musicpath", "", Settings.musicpath,
                           sizeof Settings.musicpath, path);
  // A 4-byte buffer: only the first three characters of each option count.
  char value[4];
  GetPrivateProfileStringA(SETTINGS_SECTION, "aimai", "1", value, sizeof value, path);
  Settings.aimai = ParseAutoBase(value);
  GetPrivateProfileStringA(SETTINGS_SECTION, "skip", "0", value, sizeof value, path);
  Settings.skip = ParseAutoBase(value);
}

void SaveSettings() {
  char path[PATH_BYTES];
  SettingsFilePath(path);
  // An emptied string setting is not written, so the file keeps its last value.
  if (Settings.textpath[0])
    WritePrivateProfileStringA(SETTINGS_SECTION, "textpath", Settings.textpath, path);
  if (Settings.musicpath[0])
    WritePrivateProfileStringA(SETTINGS_SECTION, "musicpath", Settings.musicpath, path);
  if (Settings.editor[0])
    WritePrivateProfileStringA(SETTINGS_SECTION, "editor", Settings.editor, path);
  char number[16];
  std::snprintf(number, sizeof number, "%d", Settings.aimai);
  WritePrivateProfileStringA(SETTINGS_SECTION, "aimai", number, path);
  std::snprintf(number, sizeof number, "%d", Settings.skip);
  WritePrivateProfileStringA(SETTINGS_SECTION, "skip", number, path);
}

void ReadPitchEntry(const char *songPath, char *text, int textSize) {
  char file[PATH_BYTES];
  SettingsFilePath(file);
  char key[PATH_BYTES];
  PitchEntryKey(songPath, key);
  GetPrivateProfileStringA(SETTINGS_SECTION, key, "0", text, textSize, file);
}

void WritePitchEntry(const char *songPath, const char *text) {
  char file[PATH_BYTES];
  SettingsFilePath(file);
  char key[PATH_BYTES];
  PitchEntryKey(songPath, key);
  WritePrivateProfileStringA(SETTINGS_SECTION, key, text, file);
}
