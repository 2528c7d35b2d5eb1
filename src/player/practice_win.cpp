#include "player/practice_win.h"

#include <dshow.h>

#include <cstdio>

#include "player/keep_tempo_dmo_win.h"
#include "player/keep_tempo_win.h"
#include "player/pitch_win.h"
#include "player/position_win.h"
#include "player/session_win.h"
#include "settings/settings.h"
#include "settings/song_memory.h"
#include "settings/song_memory_win.h"
#include "shell/notice_win.h"
#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

PracticeRecord Practice = {TEMPO_DEFAULT, {LOOP_NONE, 0, 0}, {0, 0, TEMPO_DEFAULT}};

bool PracticeStageWanted() { return KeepTempo || Practice.tempo != TEMPO_DEFAULT; }

void RestorePractice(const char *songPath) {
  char text[64];
  ReadSongValue(TEMPO_SECTION, songPath, "", text, sizeof text);
  Practice.tempo = HeldTempo(ParseTempoValue(text));
  Practice.clock = {0, 0, Practice.tempo};
  SetKeepTempoTempo(Practice.tempo);
  ReadSongValue(LOOP_SECTION, songPath, "", text, sizeof text);
  long start, end;
  Practice.loop = {LOOP_NONE, 0, 0};
  if (ParseLoopValue(text, &start, &end)) SetLoopRange(&Practice.loop, start, end);
  ReadSongValue(OFFSET_SECTION, songPath, "", text, sizeof text);
  ShiftLyricsInView(ParseOffsetValue(text));
}

// A song that never had a tempo or a loop of its own gets no entry: without them the
// file holds what it always held.
void StorePractice(const char *songPath) {
  char text[64];
  if (Practice.tempo != TEMPO_DEFAULT || HasSongValue(TEMPO_SECTION, songPath)) {
    std::snprintf(text, sizeof text, "%d", Practice.tempo);
    WriteSongValue(TEMPO_SECTION, songPath, text);
  }
  if (Practice.loop.stage == LOOP_ON || HasSongValue(LOOP_SECTION, songPath)) {
    text[0] = '\0';  // no loop: the entry is emptied
    if (Practice.loop.stage == LOOP_ON)
      FormatLoopValue(Practice.loop.startMs, Practice.loop.endMs, text, sizeof text);
    WriteSongValue(LOOP_SECTION, songPath, text);
  }
}

// A song whose sound the stage does not take plays at its own tempo, whatever was asked.
int PlayedTempo() { return KeepTempoStageActive() ? Practice.tempo : TEMPO_DEFAULT; }

LONGLONG SongTimeOfGraph(LONGLONG graphTime) {
  SongClock clock = Practice.clock;
  clock.tempo = PlayedTempo();
  return SongTimeOf(clock, graphTime);
}

void NoteSongSeek(LONGLONG songTime) { SeekClock(&Practice.clock, songTime); }

// The graph is asked only once seen running: until then it may hold its lock.
static bool GraphTime(LONGLONG *time) {
  return !GraphStarting() && PlaybackSession.seeking &&
         SUCCEEDED(PlaybackSession.seeking->GetCurrentPosition(time));
}

LONGLONG SongTimeNow() {
  LONGLONG graph = 0;
  return GraphTime(&graph) ? SongTimeOfGraph(graph) : Practice.clock.songAt;
}

long SongMsNow() { return static_cast<long>(SongTimeNow() / 10000); }

void ShowCountedNotice(const char *text) {
  ShowNotice(text);
  ForgetPositionBar();  // in a small window the notice covers the bar
  NoticeCountdown = 100;
}

bool LoopWatched() { return Practice.loop.stage == LOOP_ON; }

// Two pixels in the selection colour at each end, the frame's height, drawn over the bar.
void DrawLoopMarks(HWND mainWindow) {
  if (Practice.loop.stage == LOOP_NONE) return;
  const RECT &frame = ProgressRect;
  const int span = frame.right - frame.left;
  HDC dc = GetDC(mainWindow);
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  const long ends[2] = {Practice.loop.startMs, Practice.loop.endMs};
  for (int i = 0; i < (Practice.loop.stage == LOOP_ON ? 2 : 1); i++) {
    int x = LoopMarkX(span, ends[i], PlayerState.duration);
    if (x < 0) continue;
    if (x > span - 2) x = span - 2;
    RECT mark = {frame.left + x, frame.top, frame.left + x + 2, frame.bottom};
    FillRect(dc, &mark, brush);
  }
  ReleaseDC(mainWindow, dc);
}

// The frame is painted anew, the bar and the marks with it.
static void RedrawFrame() { InvalidateRect(MainWindow, &ProgressRect, TRUE); }

void LoopSongRange(long startMs, long endMs) {
  if (endMs < 0) endMs = static_cast<long>(PlayerState.duration * 1000);
  if (!SetLoopRange(&Practice.loop, startMs, endMs)) return;
  ShowCountedNotice(LoopOnNotice);
  const long now = SongMsNow();
  if (now < startMs || now >= endMs) SeekSongTo(MainWindow, static_cast<LONGLONG>(startMs) * 10000);
  RedrawFrame();
}

void PressLoop(HWND) {
  ShowCountedNotice(PressLoopKey(&Practice.loop, SongMsNow()));
  RedrawFrame();
}

// The song's time goes on from where it stands at the new tempo; the stage comes in or
// goes out when it is needed now and was not, or the other way round.
static void ChangeTempo(int steps) {
  const int tempo = StepTempo(Practice.tempo, steps);
  char notice[32];
  FormatTempoNotice(tempo, notice, sizeof notice);
  ShowCountedNotice(notice);
  if (tempo == Practice.tempo) return;
  LONGLONG graph = 0;
  if (GraphTime(&graph)) Practice.clock = {SongTimeOfGraph(graph), graph, tempo};
  Practice.tempo = Practice.clock.tempo = tempo;
  SetKeepTempoTempo(tempo);
  SwitchKeepTempo(MainWindow);
}

void TempoDown(HWND) { ChangeTempo(-1); }
void TempoUp(HWND) { ChangeTempo(1); }
