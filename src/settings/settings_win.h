// The settings file through the profile functions, and the settings dialog (Win32).
#pragma once
#include <windows.h>

#include "settings/settings.h"

char *SettingsFilePath(char *out);  // out: PATH_BYTES bytes
// One key and value of the section.
struct SettingWrite {
  const char *key;
  const char *value;
  const char *section = SETTINGS_SECTION;
};

// Writes the entries into the settings file at path so that a write that cannot be
// completed (a full disk, a read-only file, a file another program holds) leaves the
// file as it was: they go into a copy beside it, which replaces the file only once it
// is known to hold every entry. False when nothing was written.
bool WriteSettingsFile(const char *path, const SettingWrite *writes, int count);

void LoadSettings();
void SaveSettings();

// A song's stored pitch as the file holds it, parsed or not; "0" when it has none.
void ReadPitchEntry(const char *songPath, char *text, int textSize);
// Stores text as the song's pitch, at once.
void WritePitchEntry(const char *songPath, const char *text);

// The settings dialog: OK stores the fields and ends with IDOK; Esc and the close box
// store nothing and end with IDCANCEL. The caller rescans after IDOK.
INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
