// The follow's cost per position tick for a 200-line timed text, beside the tick's own
// bar arithmetic as the baseline. A tick comes every 10 ms; the position moves 10 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "player/position.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

namespace {

enum { LINES = 200, LINE_MS = 2500, TICK_MS = 10, SONG_MS = LINES * LINE_MS };

void LoadTimedText() {
  std::string text = "[ti:bench]\n[offset:+120]\n";
  char line[96];
  for (int i = 0; i < LINES; i++) {
    const int ms = i * LINE_MS;
    std::snprintf(line, sizeof line, "[%02d:%02d.%02d]sung line %d of the bench text\n", ms / 60000,
                  ms / 1000 % 60, ms / 10 % 100, i);
    text += line;
  }
  ReadTextBytes(reinterpret_cast<const unsigned char *>(text.data()), text.size());
  TextView = TextViewRecord{};
  TextView.viewWidth = 640;
  TextView.viewHeight = 400;
  UpdateLineMetrics();
  RecomputeScrollRange();
}

// Ticks of a song whose position moves by step each tick (wrapping at the end).
void FollowTicks(benchmark::State &state, long step) {
  LoadTimedText();
  long ms = 0;
  FollowChange change;
  for (auto _ : state) {
    if (FollowSongTime(ms, &change)) TextView.scrollPos += change.scrollStep;
    ms = (ms + step) % SONG_MS;
  }
  benchmark::DoNotOptimize(TimedText.marked);
}

// A song played through: most ticks keep the line, one in 250 starts the next.
void BM_FollowTickTimed200(benchmark::State &state) { FollowTicks(state, TICK_MS); }
BENCHMARK(BM_FollowTickTimed200);

// Every tick a seek somewhere else: the lookup's slow path each time.
void BM_FollowTickSeekingTimed200(benchmark::State &state) { FollowTicks(state, 7 * LINE_MS + 1234); }
BENCHMARK(BM_FollowTickSeekingTimed200);

// The baseline: the bar width the tick computes anyway.
void BM_TickBarWidth(benchmark::State &state) {
  long ms = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PositionBarWidth(600, ms * 1e-3, SONG_MS * 1e-3));
    ms += TICK_MS;
    if (ms >= SONG_MS) ms = 0;
  }
}
BENCHMARK(BM_TickBarWidth);

}  // namespace

BENCHMARK_MAIN();
