// The settings and the pitch entries through the profile functions, and the settings
// dialog (Win32).
#pragma once
#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_file_win.h"

void LoadSettings();
void SaveSettings();

// A song's stored pitch as the file holds it, parsed or not; "0" when it has none.
void ReadPitchEntry(const char *songPath, char *text, int textSize);
// Stores text as the song's pitch, at once.
void WritePitchEntry(const char *songPath, const char *text);

// The settings dialog: OK stores the fields and ends with IDOK; Esc and the close box
// store nothing and end with IDCANCEL. The caller rescans after IDOK.
INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
