#include "player/practice.h"

#include <cstdio>

#include "player/vocal.h"
#include "settings/settings.h"

PracticeRecord Practice = {TEMPO_DEFAULT, {LOOP_NONE, 0, 0}, {0, 0, TEMPO_DEFAULT}, 0, VOCAL_AS_RECORDED};

bool PracticeStageWanted() {
  return KeepTempo || Practice.tempo != TEMPO_DEFAULT || Practice.vocal != VOCAL_AS_RECORDED ||
         Practice.loop.stage != LOOP_NONE;
}

int HeldVocal(int mode) { return mode == VOCAL_REDUCED || mode == VOCAL_ONLY ? mode : VOCAL_AS_RECORDED; }

int StepVocal(int mode) {
  switch (HeldVocal(mode)) {
    case VOCAL_AS_RECORDED: return VOCAL_REDUCED;
    case VOCAL_REDUCED: return VOCAL_ONLY;
    default: return VOCAL_AS_RECORDED;
  }
}

const char VocalMonoNotice[] = "ボーカル: モノラルの曲では使えません";

const char *VocalNotice(int mode) {
  static const char *const notices[] = {"ボーカル: そのまま", "ボーカル: 歌を消す", "ボーカル: 歌だけ"};
  return notices[HeldVocal(mode)];
}

const char TempoNoticeFormat[] = "テンポ %d%%";
// Every notice is at most 12 bytes, which the notice's blank covers.
const char LoopStartNotice[] = "ループ 始点";
const char LoopOnNotice[] = "ループ 終点";
const char LoopOffNotice[] = "ループ 解除";

int HeldTempo(int percent) {
  return percent < TEMPO_LOWEST || percent > TEMPO_HIGHEST ? TEMPO_DEFAULT : percent;
}

int StepTempo(int percent, int steps) {
  long long next = static_cast<long long>(percent) + static_cast<long long>(steps) * TEMPO_STEP;
  if (next < TEMPO_LOWEST) next = TEMPO_LOWEST;
  if (next > TEMPO_HIGHEST) next = TEMPO_HIGHEST;
  return static_cast<int>(next);
}

void FormatTempoNotice(int percent, char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), TempoNoticeFormat, percent);
}

bool SetLoopRange(LoopRecord *loop, long startMs, long endMs) {
  if (startMs < 0 || endMs - startMs < LOOP_SHORTEST_MS) return false;
  *loop = {LOOP_ON, startMs, endMs};
  return true;
}

const char *PressLoopKey(LoopRecord *loop, long ms) {
  if (ms < 0) ms = 0;
  switch (loop->stage) {
    case LOOP_STARTED: {
      const long first = loop->startMs < ms ? loop->startMs : ms;
      const long last = loop->startMs < ms ? ms : loop->startMs;
      if (SetLoopRange(loop, first, last)) return LoopOnNotice;
      loop->startMs = ms;
      return LoopStartNotice;
    }
    case LOOP_ON: *loop = {LOOP_NONE, 0, 0}; return LoopOffNotice;
    default: *loop = {LOOP_STARTED, ms, 0}; return LoopStartNotice;
  }
}

long LoopJumpTarget(const LoopRecord &loop, long ms) {
  return loop.stage == LOOP_ON && ms >= loop.endMs ? loop.startMs : -1;
}

int64_t SongTimeOf(const SongClock &clock, int64_t graphTime) {
  if (clock.tempo == TEMPO_DEFAULT) return clock.songAt + (graphTime - clock.graphAt);
  return clock.songAt + (graphTime - clock.graphAt) * clock.tempo / TEMPO_DEFAULT;
}

void ChangeClockTempo(SongClock *clock, int64_t graphTime, int tempo) {
  clock->songAt = SongTimeOf(*clock, graphTime);
  clock->graphAt = graphTime;
  clock->tempo = tempo;
}

int64_t HeardTimeOf(const SongClock &clock, int64_t graphTime, int delayMs, int64_t from) {
  const int64_t heard = SongTimeOf(clock, graphTime - static_cast<int64_t>(delayMs) * 10000);
  return heard < from ? from : heard;
}

const char DelayNoticeFormat[] = "音の遅れ %dms";

int StepDelay(int ms, int steps) { return HeldDelay(static_cast<long long>(ms) + static_cast<long long>(steps) * DELAY_STEP_MS); }

void FormatDelayNotice(int ms, char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), DelayNoticeFormat, ms);
}

void SeekClock(SongClock *clock, int64_t songTime) {
  clock->songAt = songTime;
  clock->graphAt = songTime;
}

int LoopMarkX(int span, long ms, double duration) {
  if (span <= 0 || !(duration > 0.0) || ms < 0) return -1;
  double x = span * (ms / 1000.0) / duration;
  if (x > span) x = span;
  return static_cast<int>(x);
}
