// The settings and the pitch entries in the settings file (Win32).
#include "settings/settings_win.h"

#include <cstdio>

#include "settings/settings.h"
#include "settings/song_memory_win.h"

// Whether the file named keeptempo when it was read: a file that never did gets the
// key only once the option is on, so without it the file holds what it always held.
static bool keepTempoRead = false;

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
  GetPrivateProfileStringA(SETTINGS_SECTION, "keeptempo", "", value, sizeof value, path);
  keepTempoRead = value[0] != '\0';
  KeepTempo = ParseAutoBase(value) != 0;
}

void SaveSettings() {
  char path[PATH_BYTES];
  SettingsFilePath(path);
  SettingWrite writes[6];
  int count = 0;
  // An emptied string setting is not written, so the file keeps its last value.
  if (Settings.textpath[0]) writes[count++] = {"textpath", Settings.textpath};
  if (Settings.musicpath[0]) writes[count++] = {"musicpath", Settings.musicpath};
  if (Settings.editor[0]) writes[count++] = {"editor", Settings.editor};
  char aimai[16], skip[16];
  std::snprintf(aimai, sizeof aimai, "%d", Settings.aimai);
  writes[count++] = {"aimai", aimai};
  std::snprintf(skip, sizeof skip, "%d", Settings.skip);
  writes[count++] = {"skip", skip};
  char keepTempo[16];
  std::snprintf(keepTempo, sizeof keepTempo, "%d", KeepTempo ? 1 : 0);
  if (KeepTempo || keepTempoRead) writes[count++] = {"keeptempo", keepTempo};
  WriteSettingsFile(path, writes, count);
}

void ReadPitchEntry(const char *songPath, char *text, int textSize) {
  ReadSongValue(SETTINGS_SECTION, songPath, "0", text, textSize);
}

void WritePitchEntry(const char *songPath, const char *text) { WriteSongValue(SETTINGS_SECTION, songPath, text); }
