// The small commands of the main window: About, the settings dialog, the editor and
// Reload, and the work buffer they share with the pitch commands.
#pragma once
#include <windows.h>

// Filled and consumed within one message by whichever command uses it.
extern char WorkBuffer[1024];

extern const char AboutCaption[];  // "バージョン情報"

void ShowAbout(HWND mainWindow);
void OpenSettingsDialog(HWND mainWindow);
void LaunchEditor(HWND mainWindow);
void ReloadText(HWND mainWindow);

// The editor's command line into WorkBuffer, as LaunchEditor hands it to WinExec.
const char *FormatEditorCommand();
