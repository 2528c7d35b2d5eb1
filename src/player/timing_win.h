// Timing the playing song's text by tapping (Win32): J starts and ends it, Space stamps
// the next line with the time heard, Backspace takes the last stamp back; the stamps go
// to the .lrc beside the text when it ends.
#pragma once
#include <windows.h>

extern const char NoLyricsNotice[];        // "歌詞がありません"
extern const char TimingWriteFailure[];    // the message box's text, the file named after it

bool TimingOn();
void ToggleTiming(HWND mainWindow);    // command ID_TIMING (J, Esc while timing)
void StampTiming(HWND mainWindow);     // ID_TIMING_STAMP (Space while timing)
void TakeTimingBack(HWND mainWindow);  // ID_TIMING_UNDO (Backspace while timing)
// Ends timing, writing what was stamped; a write that fails is told and keeps timing on
// with its stamps. Before another song's text replaces this one, and on Stop.
void EndTiming(HWND mainWindow);
// The same before another song's text is loaded: stamps that could not be written
// stay, to be written by the next end, and no longer take taps.
void EndTimingBeforeNewText(HWND mainWindow);
// Before the text is read anew (R): the stamps are written first, as J writes them.
// False when the write failed (and was told): the text stays, with the stamps.
bool WriteStampsBeforeReload(HWND mainWindow);
// Before the program quits: the same. A failed write holds the first quit, so the
// stamps can still be written; a second quit goes without them.
bool WriteStampsBeforeQuit(HWND mainWindow);
