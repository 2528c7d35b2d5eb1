#include "player/position_win.h"

#include <dshow.h>

#include <algorithm>
#include <climits>

#include "player/position.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "shell/layout.h"
#include "shell/notice_win.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

// What the bar on the screen is known to hold since its frame was last painted, and
// where the song stood when it was last seen. Everything else (the graph, its rate, the
// song's length) is read from the session each tick.
struct BarRecord {
  int left, top, height, span;  // the frame the pixels were drawn in
  int width;                    // the black run drawn; 0 after a paint
  int uncovered;                // the widest bar nothing else draws over; -1 not measured yet
  LONGLONG seenAt;              // performance counter when the position was asked; 0: ask now
  LONGLONG seenPosition;        // the song's own time then
};

static BarRecord Bar = {0, 0, 0, 0, 0, -1, 0, 0};

static LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void PaintProgressFrame(HDC dc) {
  const RECT &frame = ProgressRect;
  Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
  Bar.width = 0;  // the frame may have been painted empty over the bar
  Bar.seenAt = 0;
  Bar.uncovered = -1;
}

static bool Overlaps(const RECT &area, int left, int top, int height) {
  return !IsRectEmpty(&area) && area.right > left && area.bottom > top && area.top < top + height;
}

// A child window drawn over the bar (only in a window too small for its layout) would
// paint its own pixels over it at any time, and so would the notice: then every tick
// draws, as if nothing were known. This is the widest bar from the frame's left edge
// that neither a visible child nor the notice overlaps. Walking the children asks the
// window server once for each of them, so the walk is made once per layout: the children
// move only with the window's size, and a new size repaints the frame, which forgets the
// measure.
static int UncoveredWidth(HWND mainWindow, int left, int top, int height) {
  int widest = INT_MAX;
  if (height <= 0) return widest;  // an empty bar overlaps nothing
  const RECT notice = NoticeArea();
  if (Overlaps(notice, left, top, height)) widest = std::max(0, static_cast<int>(notice.left) - left);
  for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT area;
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT *>(&area), 2);
    if (!Overlaps(area, left, top, height)) continue;
    widest = std::min(widest, static_cast<int>(std::max(0L, area.left - left)));
  }
  return widest;
}

// Whether the bar may have grown a pixel since the song was last seen. The song's time
// moves no faster than the rate asked and the tempo together (or real time, where the
// rate is not honoured); a rate handed over since then may have been faster than today's.
static bool PixelMayBeDue(LONGLONG now) {
  const PlaybackSessionRecord &s = PlaybackSession;
  if (!Bar.seenAt || s.rateAskedAt >= Bar.seenAt) return true;
  const double speed = s.rateAsked * PlayedTempo() / TEMPO_DEFAULT;
  const double wait = PositionBarPixelWait(Bar.span, Bar.width, Bar.seenPosition * 1e-7, s.duration, speed);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return now - Bar.seenAt >= wait * frequency.QuadPart;
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
  const RECT &frame = ProgressRect;
  const int span = frame.right - frame.left, height = 2 * LayoutMetrics.charWidth;
  if (Bar.span != span || Bar.left != frame.left || Bar.top != frame.top || Bar.height != height)
    Bar = {frame.left, frame.top, height, span, 0, -1, 0, 0};  // nothing is known of a new frame
  const LONGLONG now = Now();
  // A timed text follows the song between the bar's pixels, and a loop must jump back
  // at its end, so they ask every tick.
  if (!PixelMayBeDue(now) && !FollowsSong() && !LoopWatched()) return;
  LONGLONG graph = 0;
  if (FAILED(seeking->GetCurrentPosition(&graph))) return;
  LONGLONG position = 0, heard = 0;  // the bar follows the song's own time, the text what is heard
  SongTimesOfGraph(graph, &position, &heard);
  const long loopBack = LoopJumpTarget(Practice.loop, static_cast<long>(position / 10000));
  if (loopBack >= 0 && !LoopPlayedByStage()) {
    SeekSongTo(mainWindow, static_cast<LONGLONG>(loopBack) * 10000);
    return;
  }
  FollowSongPosition(heard);
  const int width = PositionBarWidth(span, position * 1e-7, PlaybackSession.duration);
  if (width > Bar.width) {
    HDC dc = GetDC(mainWindow);
    // Twice the character width tall, over the frame's own border.
    PatBlt(dc, frame.left, frame.top, width, height, BLACKNESS);
    ReleaseDC(mainWindow, dc);
    DrawLoopMarks(mainWindow);
    if (Bar.uncovered < 0) Bar.uncovered = UncoveredWidth(mainWindow, frame.left, frame.top, height);
    Bar.width = width > Bar.uncovered ? 0 : width;
  }
  // With nothing known of the screen every tick asks.
  Bar.seenAt = Bar.width == 0 && width > 0 ? 0 : now;
  Bar.seenPosition = position;
}

void SeekSongTo(HWND mainWindow, LONGLONG target) {
  Bar.seenAt = 0;  // the position jumps: where it was seen says nothing
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
  if (!ClickSeekTarget(x - bar.left, bar.right - bar.left, PlaybackSession.duration, &target))
    return;
  SeekSongTo(mainWindow, target);
}

void SeekToTop(HWND mainWindow) { SeekSongTo(mainWindow, 0); }
