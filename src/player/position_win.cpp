#include "player/position_win.h"

#include <dshow.h>

#include "player/player.h"
#include "player/player_win.h"
#include "player/position.h"
#include "player/session_win.h"
#include "shell/layout.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

// One position query and one PatBlt a tick. The bar only grows here; whatever makes it
// shorter invalidates the frame first. No position (no song, or a stopped graph) draws
// nothing.
void DrawPosition(HWND mainWindow) {
  IMediaSeeking *seeking = PlaybackSession.seeking;
  LONGLONG position = 0;
  if (!seeking || FAILED(seeking->GetCurrentPosition(&position))) return;
  FollowSongPosition(position);
  const RECT &bar = ProgressRect;
  int width = PositionBarWidth(bar.right - bar.left, position * 1e-7, PlayerState.duration);
  if (width <= 0) return;
  HDC dc = GetDC(mainWindow);
  // Twice the character width tall, over the frame's own border.
  PatBlt(dc, bar.left, bar.top, width, 2 * LayoutMetrics.charWidth, BLACKNESS);
  ReleaseDC(mainWindow, dc);
}

static void SeekTo(HWND mainWindow, LONGLONG target) {
  LONGLONG stop = 0;
  if (PlaybackSession.seeking)
    PlaybackSession.seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, &stop,
                                          AM_SEEKING_NoPositioning);
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
}

// All four edges count as inside. A frame of no width has no point to seek to.
void SeekByClick(HWND mainWindow, LPARAM lParam) {
  int x = LOWORD(lParam), y = HIWORD(lParam);
  const RECT &bar = ProgressRect;
  if (x < bar.left || x > bar.right || y < bar.top || y > bar.bottom) return;
  int64_t target = 0;
  if (!ClickSeekTarget(x - bar.left, bar.right - bar.left, PlayerState.duration, &target))
    return;
  SeekTo(mainWindow, target);
}

void SeekToTop(HWND mainWindow) { SeekTo(mainWindow, 0); }

// The song has ended: a fresh graph and the next song that starts.
static void StartFollowingSong(HWND mainWindow) {
  if (PlaybackSession.control) PlaybackSession.control->Stop();
  ResetSession(mainWindow);
  const bool started = PlayFollowingSong(mainWindow);
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  // Nothing started: the focus rule gives Play, the one button that can start a song.
  HWND button = started ? NextButton : PlayButton;
  if (GetFocus() != button) SetFocus(button);
}

// Empties the queue; every event is freed before it is looked at. After an end of song
// the loop goes on with the new graph's queue: the old one's events went with it.
void DrainEvents(HWND mainWindow) {
  while (PlaybackSession.events) {
    long code;
    LONG_PTR first, second;
    if (FAILED(PlaybackSession.events->GetEvent(&code, &first, &second, 0))) return;
    PlaybackSession.events->FreeEventParams(code, first, second);
    if (code == EC_COMPLETE) StartFollowingSong(mainWindow);
  }
}
