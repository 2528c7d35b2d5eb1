// The notice: a short text written into the main window beside the pitch controls.
#pragma once
#include <windows.h>

extern const char NoticeBlank[];  // written over a notice to blank it
extern const UINT NoticeMs;        // how long a passing notice stays

// Writes text at the notice position of the main window; it stays until painted over.
void ShowNotice(const char *text);
// The same for NoticeMs, then blanked by a timer of the notice's own, whether a song
// plays or not; a notice shown meanwhile takes the time anew.
void ShowPassingNotice(const char *text);
// Where a notice may write: from the notice position to the window's right edge, one
// line of the window's default font high.
RECT NoticeArea();
