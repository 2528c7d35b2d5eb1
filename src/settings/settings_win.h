// The settings file through the profile functions, and the settings dialog (Win32).
#pragma once
#include <windows.h>

char *SettingsFilePath(char *out);  // out: 260 bytes
void LoadSettings();
void SaveSettings();
INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
