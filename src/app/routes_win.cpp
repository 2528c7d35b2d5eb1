#include "app/routes_win.h"

#include "app/commands_win.h"
#include "player/pitch_win.h"
#include "player/player_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/timing_win.h"
#include "resources/ids.h"
#include "shell/focus_win.h"
#include "shell/shell_win.h"
#include "textview/lyrics_window_win.h"
#include "textview/textview_win.h"

// Exit closes the window the way its close box does; WM_DESTROY ends the loop.
static void ExitProgram(HWND mainWindow) { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }

// Every command of the main window. Only the low word of wParam selects one. A row
// without a handler does nothing but give its result.
const CommandRoute CommandRoutes[] = {
    {IDOK, ReapplyPitch, RETURN_DEFAULT},  // Enter in the cents box: re-apply the typed value
    {IDCANCEL, nullptr, RETURN_DEFAULT},
    {ID_EXIT, ExitProgram, RETURN_ZERO},
    {ID_ABOUT, ShowAbout, RETURN_ZERO},
    {ID_PLAY, PlayPause, RETURN_DEFAULT},
    {ID_NEXT, NextSong, RETURN_DEFAULT},
    {ID_CENTS, nullptr, RETURN_DEFAULT},  // typing alone does not change the pitch
    {ID_SETTINGS, OpenSettingsDialog, RETURN_DEFAULT},
    {ID_EDIT_TEXT, LaunchEditor, RETURN_DEFAULT},
    {ID_TOP, SeekToTop, RETURN_DEFAULT},
    {ID_OCTAVE_UP, RaiseOctave, RETURN_DEFAULT},
    {ID_OCTAVE_DOWN, LowerOctave, RETURN_DEFAULT},
    {ID_RELOAD_TEXT, ReloadText, RETURN_DEFAULT},
    {ID_CENTS_UP_25, RaisePitch25, RETURN_DEFAULT},
    {ID_CENTS_DOWN_25, LowerPitch25, RETURN_DEFAULT},
    {ID_CENTS_UP_5, RaisePitch5, RETURN_DEFAULT},
    {ID_CENTS_DOWN_5, LowerPitch5, RETURN_DEFAULT},
    {ID_MEM, StorePitch, RETURN_DEFAULT},
    {ID_STOP, StopSong, RETURN_DEFAULT},
    {ID_KEEP_TEMPO, ToggleKeepTempo, RETURN_DEFAULT},
    {ID_TEMPO_DOWN, TempoDown, RETURN_DEFAULT},
    {ID_TEMPO_UP, TempoUp, RETURN_DEFAULT},
    {ID_LOOP, PressLoop, RETURN_DEFAULT},
    {ID_LYRICS_SOONER, ShowLyricsSooner, RETURN_DEFAULT},
    {ID_LYRICS_LATER, ShowLyricsLater, RETURN_DEFAULT},
    {ID_DELAY_LONGER, LengthenOutputDelay, RETURN_DEFAULT},
    {ID_DELAY_SHORTER, ShortenOutputDelay, RETURN_DEFAULT},
    {ID_VOCAL, StepVoice, RETURN_DEFAULT},
    {ID_LYRICS_WINDOW, ToggleLyricsWindow, RETURN_DEFAULT},
    {ID_LYRICS_UNLOCK, UnlockLyricsWindow, RETURN_DEFAULT},
    {ID_LYRICS_LOCK, LockLyricsWindow, RETURN_DEFAULT},
    {ID_TIMING, ToggleTiming, RETURN_DEFAULT},
    {ID_TIMING_STAMP, StampTiming, RETURN_DEFAULT},
    {ID_TIMING_UNDO, TakeTimingBack, RETURN_DEFAULT},
};
const int CommandRouteCount = sizeof CommandRoutes / sizeof CommandRoutes[0];

const CommandRoute *FindCommandRoute(int id) {
  for (int i = 0; i < CommandRouteCount; i++)
    if (CommandRoutes[i].id == id) return &CommandRoutes[i];
  return nullptr;
}

LRESULT RouteCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const CommandRoute *route = FindCommandRoute(LOWORD(wParam));
  if (route && route->handler) route->handler(hwnd);
  if (route && route->result == RETURN_ZERO) return 0;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The position display. The notice keeps its own time.
void RouteTimerTick(HWND hwnd) { TickPlayer(hwnd); }

// A click on the rate scroll bar's arrows, or a key that spins it: the scroll code is
// the low word, the position the sign-extended high word.
void RouteRateScroll(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  SpinPitch(hwnd, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
}

// Click-to-seek on the progress bar, then the focus rule.
void RouteProgressClick(HWND hwnd, LPARAM lParam) {
  SeekByClick(hwnd, lParam);
  ApplyFocusRule();
}

// The PlaybackSession's events (end of the song among them).
void RouteGraphEvent(HWND hwnd) { DrainEvents(hwnd); }

// A click on a timed line: the song to the line's time, its loop on a double click.
static void SeekSongToLineTime(long ms) { SeekSongTo(MainWindow, static_cast<LONGLONG>(ms) * 10000); }

void RouteTextViewClicks() {
  SeekSongToLine = SeekSongToLineTime;
  LoopSongLine = LoopSongRange;
  SongMsHeard = HeardSongMs;  // the fill, as far as the song is heard
}

// The last open message box has closed: what was pressed, or waited, under it.
void RouteBoxesClosed(HWND hwnd) { ObeyHeldCommand(hwnd); }
