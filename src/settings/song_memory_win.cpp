#include "settings/song_memory_win.h"

#include <cstring>

#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "shell/path_bytes.h"

// Every per-song entry, the pitch's too, is keyed by the song's path with '=' made '|'.
void ReadSongValue(const char *section, const char *songPath, const char *fallback, char *text,
                   int textSize) {
  char file[PATH_BYTES], key[PATH_BYTES];
  SettingsFilePath(file);
  PitchEntryKey(songPath, key);
  GetPrivateProfileStringA(section, key, fallback, text, static_cast<DWORD>(textSize), file);
}

bool HasSongValue(const char *section, const char *songPath) {
  char text[4];
  ReadSongValue(section, songPath, "\x01", text, sizeof text);
  return std::strcmp(text, "\x01") != 0;
}

void WriteSongValue(const char *section, const char *songPath, const char *value) {
  char file[PATH_BYTES], key[PATH_BYTES];
  SettingsFilePath(file);
  PitchEntryKey(songPath, key);
  SettingWrite entry = {key, value, section};
  WriteSettingsFile(file, &entry, 1);
}
