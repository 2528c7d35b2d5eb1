// The small commands of the main window: About, the settings dialog, the editor and
// Reload.
#pragma once
#include <windows.h>

extern const char AboutCaption[];  // "バージョン情報"

void ShowAbout(HWND mainWindow);
void OpenSettingsDialog(HWND mainWindow);
void LaunchEditor(HWND mainWindow);
void ReloadText(HWND mainWindow);
// Keep tempo on or off: the menu's check shows the setting.
void ToggleKeepTempo(HWND mainWindow);
void ShowKeepTempoCheck(HWND mainWindow);

// The lyrics' lines shown 100 ms sooner or later for this song (X and Z).
void ShowLyricsSooner(HWND mainWindow);
void ShowLyricsLater(HWND mainWindow);

// The editor's command line into the shell's WorkBuffer, as LaunchEditor hands it to WinExec.
const char *FormatEditorCommand();
