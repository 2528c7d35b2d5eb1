#include "player/practice_win.h"

#include <dshow.h>

#include <cstdio>

#include "player/keep_tempo_dmo_win.h"
#include "player/session_win.h"
#include "player/vocal.h"
#include "settings/settings.h"
#include "settings/song_memory.h"
#include "settings/song_memory_win.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

void RestorePractice(const char *songPath) {
  char text[64];
  ReadSongValue(TEMPO_SECTION, songPath, "", text, sizeof text);
  Practice.tempo = HeldTempo(ParseTempoValue(text));
  Practice.clock = {0, 0, Practice.tempo};
  Practice.heardFrom = 0;
  SetKeepTempoSeek(0);
  SetKeepTempoTempo(Practice.tempo);
  ReadSongValue(LOOP_SECTION, songPath, "", text, sizeof text);
  long start, end;
  Practice.loop = {LOOP_NONE, 0, 0};
  if (ParseLoopValue(text, &start, &end)) SetLoopRange(&Practice.loop, start, end);
  TellStageTheLoop();
  ReadSongValue(OFFSET_SECTION, songPath, "", text, sizeof text);
  ShiftLyricsInView(ParseOffsetValue(text));
  ReadSongValue(VOCAL_SECTION, songPath, "", text, sizeof text);
  Practice.vocal = HeldVocal(ParseTempoValue(text));
  SetKeepTempoVocal(Practice.vocal);
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
  if (Practice.vocal != VOCAL_AS_RECORDED || HasSongValue(VOCAL_SECTION, songPath)) {
    std::snprintf(text, sizeof text, "%d", Practice.vocal);
    WriteSongValue(VOCAL_SECTION, songPath, text);
  }
}

// A song whose sound the stage does not take plays at its own tempo, whatever was asked.
int PlayedTempo() { return PlaybackSession.stage ? Practice.tempo : TEMPO_DEFAULT; }

static SongClock PlayedClock() {
  SongClock clock = Practice.clock;
  clock.tempo = PlayedTempo();
  return clock;
}

// With the stage, the graph's position is the seek's song time and the stream time of
// the stage's output, and the stage's record tells the song's time that output carries:
// the tempo it played at, and where a loop went back. Until the stage has taken the
// seek's first input, the clock tells it as the stage will.
// The stage's record, when the graph has the stage and it has one yet.
static bool StageRecord(StageTimes *times) { return PlaybackSession.stage && ReadKeepTempoTimes(times); }

static LONGLONG SongTimeOfGraph(LONGLONG graphTime, const StageTimes *times) {
  if (times) return StageSongTime(*times, graphTime - KeepTempoSeekTime());
  return SongTimeOf(PlayedClock(), graphTime);
}

static LONGLONG HeardSongTimeOfGraph(LONGLONG graphTime, const StageTimes *times) {
  if (times) {
    // The stage's record maps the graph's time the delay ago; before the last jump the
    // listener is where it jumped to (a loop the stage plays back is no jump).
    const LONGLONG since = graphTime - OutputDelay * 10000LL - KeepTempoSeekTime();
    return since < 0 ? Practice.heardFrom : StageSongTime(*times, since);
  }
  return HeardTimeOf(PlayedClock(), graphTime, OutputDelay, Practice.heardFrom);
}

LONGLONG SongTimeOfGraph(LONGLONG graphTime) {
  StageTimes times;
  return SongTimeOfGraph(graphTime, StageRecord(&times) ? &times : nullptr);
}

LONGLONG HeardSongTimeOfGraph(LONGLONG graphTime) {
  StageTimes times;
  return HeardSongTimeOfGraph(graphTime, StageRecord(&times) ? &times : nullptr);
}

void SongTimesOfGraph(LONGLONG graphTime, LONGLONG *song, LONGLONG *heard) {
  StageTimes times;
  const StageTimes *record = StageRecord(&times) ? &times : nullptr;
  *song = SongTimeOfGraph(graphTime, record);
  *heard = HeardSongTimeOfGraph(graphTime, record);
}

void NoteSongSeek(LONGLONG songTime) {
  SeekClock(&Practice.clock, songTime);
  Practice.heardFrom = songTime;
  SetKeepTempoSeek(songTime);
}

void TellStageTheLoop() {
  const LoopRecord &loop = Practice.loop;
  if (loop.stage == LOOP_ON)
    SetKeepTempoLoop(loop.startMs, loop.endMs);
  else
    SetKeepTempoLoop(0, 0);
}

bool LoopPlayedByStage() {
  StageTimes times;
  return Practice.loop.stage == LOOP_ON && PlaybackSession.stage && ReadKeepTempoTimes(&times) &&
         StageServesLoop(times, Practice.loop.startMs, Practice.loop.endMs);
}

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

LONGLONG HeardSongTime() {
  LONGLONG graph = 0;
  return GraphTime(&graph) ? HeardSongTimeOfGraph(graph) : Practice.clock.songAt;
}

long HeardSongMs() { return static_cast<long>(HeardSongTime() / 10000); }

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
    int x = LoopMarkX(span, ends[i], PlaybackSession.duration);
    if (x < 0) continue;
    if (x > span - 2) x = span - 2;
    RECT mark = {frame.left + x, frame.top, frame.left + x + 2, frame.bottom};
    FillRect(dc, &mark, brush);
  }
  ReleaseDC(mainWindow, dc);
}

// The song's time goes on from where it stands, at the new tempo.
void SetPracticeTempo(int tempo) {
  LONGLONG graph = 0;
  if (GraphTime(&graph)) Practice.clock = {SongTimeOfGraph(graph), graph, tempo};
  Practice.tempo = Practice.clock.tempo = tempo;
  SetKeepTempoTempo(tempo);
}

void SetPracticeVocal(int mode) {
  Practice.vocal = HeldVocal(mode);
  SetKeepTempoVocal(Practice.vocal);
}
