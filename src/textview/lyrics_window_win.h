// The lyrics window over the desktop (Win32): shown and hidden by W, locked so that
// clicks go through it, unlocked by Shift+W; it follows the text view's marked line.
#pragma once
#include <windows.h>

// The keys of the settings file, read once at start-up.
void LoadLyricsWindowSettings();
// Once the main window is up: the window comes back when it was shown at the last exit.
void RestoreLyricsWindow();
// On the main window's end: the window goes with it; whether it was shown is kept.
void CloseLyricsWindow();

void ToggleLyricsWindow(HWND mainWindow);
void UnlockLyricsWindow(HWND mainWindow);  // and shows it
void LockLyricsWindow(HWND mainWindow);

// Draws the window anew when what it shows has changed; a new text always.
void RefreshLyricsWindow(bool newText);
// The song's time heard now, as the text view follows it: the sung line's fill moves on.
void FollowLyricsFill(long ms);

// The pixels last drawn (premultiplied BGRA, top row first), for the tests: null
// while the window is hidden.
struct LyricsCanvasRecord {
  const DWORD *bits;
  int width, height;
  int draws;  // times it was drawn since the process started
};
extern LyricsCanvasRecord LyricsCanvas;
HWND LyricsWindowHandle();
