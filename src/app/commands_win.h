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
// The output delay 20 ms longer or shorter, stored at once and shown in a notice.
void LengthenOutputDelay(HWND mainWindow);
void ShortenOutputDelay(HWND mainWindow);

// The tempo 5 % slower or faster ([ and ]), and the loop's key (L).
void TempoDown(HWND mainWindow);
void TempoUp(HWND mainWindow);
void PressLoop(HWND mainWindow);
// The voice setting's next state (V), where the song stands; a song of one channel
// plays as it is.
void StepVoice(HWND mainWindow);
// Loops the song from startMs to endMs (-1: its end), as a double click on a timed
// line asks.
void LoopSongRange(long startMs, long endMs);

// The editor's command line into the shell's WorkBuffer, as LaunchEditor hands it to WinExec.
const char *FormatEditorCommand();
