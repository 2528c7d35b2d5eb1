#include "player/position_win.h"

#include <dshow.h>

#include <algorithm>
#include <climits>

#include "player/position.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "shell/layout.h"
#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

// What the bar on the screen is known to hold since the frame was last painted, and
// the earliest moment its next pixel can be due. The position moves no faster than the
// rate asked for (or real time, where the rate is not honoured), so until that moment a
// tick would only draw black over black: it neither asks for the position nor draws.
struct BarRecord {
  int left, top, height, width;  // the black run drawn; width 0 after a paint
  IMediaSeeking *seeking;        // what the forecast was made for
  double rate;                   // the rate asked of the graph, which bounds the bar's speed
  double duration;
  int span;
  LONGLONG dueAt;  // performance counter: the position is asked for again from here
  int uncovered;   // the widest bar no child window covers; -1 not measured yet
};

static BarRecord Bar = {0, 0, 0, 0, nullptr, 1.0, 0.0, 0, 0, -1};

static LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void ForgetPositionBar() {
  Bar.width = 0;
  Bar.dueAt = 0;
  Bar.uncovered = -1;
}

// A child window drawn over the bar (only in a window too small for its layout) would
// paint its own pixels over it at any time: then every tick draws, as if nothing were
// known. This is the widest bar from the frame's left edge that no visible child
// overlaps. Walking the children asks the window server once for each of them, so the
// walk is made once per layout: the children move only with the window's size, and a
// new size repaints the frame, which forgets the measure.
static int UncoveredWidth(HWND mainWindow, int left, int top, int height) {
  int widest = INT_MAX;
  if (height <= 0) return widest;  // an empty bar overlaps nothing
  for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT area;
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT *>(&area), 2);
    if (IsRectEmpty(&area) || area.right <= left || area.bottom <= top || area.top >= top + height)
      continue;
    widest = std::min(widest, static_cast<int>(std::max(0L, area.left - left)));
  }
  return widest;
}

static void ForecastNextPixel(const BarRecord &bar, int width, LONGLONG position, LONGLONG now) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  // The song's time moves at the rate and the tempo together.
  const double speed = bar.rate * PlayedTempo() / TEMPO_DEFAULT;
  double wait = PositionBarPixelWait(bar.span, width, position * 1e-7, bar.duration, speed);
  Bar.dueAt = wait < 0 ? 0 : wait > 3600 ? now + 3600 * frequency.QuadPart
                                         : now + static_cast<LONGLONG>(wait * frequency.QuadPart);
}

// One PatBlt a tick at most, and only when the bar grows or was wiped. No position (no
// song, or a stopped graph) draws nothing.
void DrawPosition(HWND mainWindow) {
  // The order matters: a graph is asked for its position only once it has been seen
  // running. Until then the framework finishes the start on threads of its own that
  // hold the graph's lock, and a query waits for them here, on the thread the window
  // answers on. A graph that never gets there is given up by the player's tick.
  if (GraphStarting()) return;
  IMediaSeeking *seeking = PlaybackSession.seeking;
  if (!seeking) return;
  const double rate = PlaybackSession.rateAsked;
  const RECT &frame = ProgressRect;
  const int span = frame.right - frame.left, height = 2 * LayoutMetrics.charWidth;
  if (Bar.rate != rate) {  // a new rate: the forecast no longer holds, the pixels do
    Bar.rate = rate;
    Bar.dueAt = 0;
  }
  const bool same = Bar.seeking == seeking && Bar.duration == PlayerState.duration &&
                    Bar.span == span && Bar.left == frame.left && Bar.top == frame.top &&
                    Bar.height == height;
  const LONGLONG now = Now();
  // A timed text follows the song between the bar's pixels, and a loop must jump back
  // at its end, so they ask every tick.
  if (same && now < Bar.dueAt && !FollowsSong() && !LoopWatched()) return;
  LONGLONG position = 0;
  if (FAILED(seeking->GetCurrentPosition(&position))) return;
  position = SongTimeOfGraph(position);  // the bar and the text follow the song's own time
  const long loopBack = LoopJumpTarget(Practice.loop, static_cast<long>(position / 10000));
  if (loopBack >= 0 && !LoopPlayedByStage()) {
    SeekSongTo(mainWindow, static_cast<LONGLONG>(loopBack) * 10000);
    return;
  }
  FollowSongPosition(position);
  if (!same) Bar = {frame.left, frame.top, height, 0, seeking, rate, PlayerState.duration, span, 0, -1};
  int width = PositionBarWidth(span, position * 1e-7, PlayerState.duration);
  if (width > Bar.width) {
    HDC dc = GetDC(mainWindow);
    // Twice the character width tall, over the frame's own border.
    PatBlt(dc, frame.left, frame.top, width, height, BLACKNESS);
    ReleaseDC(mainWindow, dc);
    DrawLoopMarks(mainWindow);
    if (Bar.uncovered < 0) Bar.uncovered = UncoveredWidth(mainWindow, frame.left, frame.top, height);
    Bar.width = width > Bar.uncovered ? 0 : width;
  }
  if (Bar.width == 0 && width > 0) return;  // nothing is known of the screen: ask each tick
  ForecastNextPixel(Bar, width > Bar.width ? width : Bar.width, position, now);
}

void SeekSongTo(HWND mainWindow, LONGLONG target) {
  Bar.dueAt = 0;  // the position jumps: no forecast holds
  NoteSongSeek(target);  // after a seek the graph's time is the song's
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
  SeekSongTo(mainWindow, target);
}

void SeekToTop(HWND mainWindow) { SeekSongTo(mainWindow, 0); }
