// Practising a song: the tempo's steps, the loop's three presses, the song's own clock
// while the tempo differs, the loop's marks, and the text forms of what is stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "player/practice.h"
#include "player/vocal.h"
#include "settings/settings.h"
#include "settings/song_memory.h"

TEST(Practice, TempoStepsAreHeldWithinTheRange) {
  const struct {
    int percent, steps, expected;
  } cases[] = {{100, -1, 95}, {100, 1, 105}, {55, -1, 50}, {50, -1, 50}, {195, 1, 200},
               {200, 1, 200}, {100, -20, 50}, {100, 1000000000, 200}, {52, 1, 57}};
  for (const auto &c : cases)
    EXPECT_EQ(c.expected, StepTempo(c.percent, c.steps)) << c.percent << " " << c.steps;
  const struct {
    int stored, held;
  } stored[] = {{85, 85}, {50, 50}, {200, 200}, {49, 100}, {201, 100}, {0, 100}};
  for (const auto &s : stored) EXPECT_EQ(s.held, HeldTempo(s.stored)) << s.stored;
}

TEST(Practice, NoticesAreTheirBytesAndFitTheBlank) {
  char text[32];
  FormatTempoNotice(85, text, sizeof text);
  EXPECT_EQ("\x83\x65\x83\x93\x83\x7C 85%", std::string(text));  // テンポ in code page 932
  FormatTempoNotice(200, text, sizeof text);
  EXPECT_LE(std::strlen(text), 12u);
  for (const char *notice : {LoopStartNotice, LoopOnNotice, LoopOffNotice})
    EXPECT_LE(std::strlen(notice), 12u) << notice;
}

// V steps through the three states and round; each has its notice, and any state but
// as recorded puts the stage into the graph, as keep tempo and a tempo of its own do.
TEST(Practice, TheVoiceSettingStepsAndWantsTheStage) {
  const struct {
    int mode, next;
    const char *notice;  // of mode
  } steps[] = {{VOCAL_AS_RECORDED, VOCAL_REDUCED, "ボーカル: そのまま"},
               {VOCAL_REDUCED, VOCAL_ONLY, "ボーカル: 歌を消す"},
               {VOCAL_ONLY, VOCAL_AS_RECORDED, "ボーカル: 歌だけ"},
               {7, VOCAL_REDUCED, "ボーカル: そのまま"},
               {-1, VOCAL_REDUCED, "ボーカル: そのまま"}};
  for (const auto &s : steps) {
    EXPECT_EQ(s.next, StepVocal(s.mode)) << s.mode;
    EXPECT_STREQ(s.notice, VocalNotice(s.mode)) << s.mode;
  }
  EXPECT_STREQ("ボーカル: モノラルの曲では使えません", VocalMonoNotice);
  const PracticeRecord kept = Practice;
  const int keptKeepTempo = KeepTempo;
  const struct {
    int keepTempo, tempo, vocal;
    bool wanted;
  } stages[] = {{0, 100, VOCAL_AS_RECORDED, false}, {0, 100, VOCAL_REDUCED, true},
                {0, 100, VOCAL_ONLY, true},         {1, 100, VOCAL_AS_RECORDED, true},
                {0, 85, VOCAL_AS_RECORDED, true},   {1, 150, VOCAL_ONLY, true}};
  for (const auto &s : stages) {
    KeepTempo = s.keepTempo;
    Practice.tempo = s.tempo;
    Practice.vocal = s.vocal;
    EXPECT_EQ(s.wanted, PracticeStageWanted()) << s.keepTempo << " " << s.tempo << " " << s.vocal;
  }
  Practice = kept;
  KeepTempo = keptKeepTempo;
}

// Each row: the position of a press and the loop after it.
TEST(Practice, ThreePressesSetLoopAndEndTheLoop) {
  const struct {
    const char *name;
    long presses[3];
    int count;
    int stage;
    long start, end;
    const char *lastNotice;
  } cases[] = {
      {"start", {1000}, 1, LOOP_STARTED, 1000, 0, LoopStartNotice},
      {"end", {1000, 4000}, 2, LOOP_ON, 1000, 4000, LoopOnNotice},
      {"off", {1000, 4000, 5000}, 3, LOOP_NONE, 0, 0, LoopOffNotice},
      {"end before start", {4000, 1000}, 2, LOOP_ON, 1000, 4000, LoopOnNotice},
      {"too short: the start anew", {1000, 1050}, 2, LOOP_STARTED, 1050, 0, LoopStartNotice},
      {"before the song", {-20, 500}, 2, LOOP_ON, 0, 500, LoopOnNotice},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    LoopRecord loop = {LOOP_NONE, 0, 0};
    const char *notice = nullptr;
    for (int i = 0; i < c.count; i++) notice = PressLoopKey(&loop, c.presses[i]);
    EXPECT_EQ(c.stage, loop.stage);
    if (c.stage != LOOP_NONE) {
      EXPECT_EQ(c.start, loop.startMs);
    }
    if (c.stage == LOOP_ON) {
      EXPECT_EQ(c.end, loop.endMs);
    }
    EXPECT_STREQ(c.lastNotice, notice);
  }
}

TEST(Practice, TheLoopJumpsBackOnlyAtItsEndWhileOn) {
  LoopRecord loop = {LOOP_NONE, 0, 0};
  EXPECT_EQ(-1, LoopJumpTarget(loop, 99999));
  PressLoopKey(&loop, 2000);
  EXPECT_EQ(-1, LoopJumpTarget(loop, 99999)) << "a start alone loops nothing";
  ASSERT_TRUE(SetLoopRange(&loop, 2000, 3000));
  const struct {
    long ms, target;
  } cases[] = {{1000, -1}, {2999, -1}, {3000, 2000}, {7000, 2000}};
  for (const auto &c : cases) EXPECT_EQ(c.target, LoopJumpTarget(loop, c.ms)) << c.ms;
  EXPECT_FALSE(SetLoopRange(&loop, 5000, 5050));
  EXPECT_EQ(3000, loop.endMs) << "a refused range leaves the loop";
}

// Graph times and the song times they stand for, in 100 ns units.
TEST(Practice, TheSongClockRunsAtTheTempo) {
  const long long s = 10000000;
  SongClock clock = {0, 0, 100};
  EXPECT_EQ(3 * s, SongTimeOf(clock, 3 * s));
  ChangeClockTempo(&clock, 2 * s, 50);  // at 2 s, half as fast
  const struct {
    long long graph, song;
  } half[] = {{2 * s, 2 * s}, {4 * s, 3 * s}, {6 * s, 4 * s}};
  for (const auto &h : half) EXPECT_EQ(h.song, SongTimeOf(clock, h.graph)) << h.graph;
  ChangeClockTempo(&clock, 6 * s, 150);
  EXPECT_EQ(5 * s, SongTimeOf(clock, 6 * s + 2 * s / 3 + 1));  // truncated within 100 ns
  SeekClock(&clock, 1 * s);  // a seek: both at 1 s, the tempo kept
  EXPECT_EQ(1 * s + 3 * s / 2, SongTimeOf(clock, 2 * s));
  EXPECT_EQ(150, clock.tempo);
}

TEST(Practice, LoopMarksFallOnTheFrame) {
  const struct {
    int span;
    long ms;
    double duration;
    int x;
  } cases[] = {{300, 0, 10.0, 0}, {300, 5000, 10.0, 150}, {300, 10000, 10.0, 300},
               {300, 20000, 10.0, 300}, {300, 1000, 0.0, -1}, {0, 1000, 10.0, -1}};
  for (const auto &c : cases) EXPECT_EQ(c.x, LoopMarkX(c.span, c.ms, c.duration)) << c.ms;
}

TEST(SongMemory, ValuesReadBackAsWritten) {
  char text[64];
  FormatLoopValue(1500, 62000, text, sizeof text);
  EXPECT_STREQ("1500-62000", text);
  const struct {
    const char *text;
    bool loop;
    long start, end;
  } loops[] = {{"1500-62000", true, 1500, 62000}, {"0-100", true, 0, 100}, {"", false, 0, 0},
               {"100-100", false, 0, 0}, {"200-100", false, 0, 0}, {"-5-100", false, 0, 0},
               {"1500 - 62000", false, 0, 0}, {"1500-62000x", false, 0, 0},
               {"1234567890-1234567891", false, 0, 0}};
  for (const auto &l : loops) {
    long start = -1, end = -1;
    EXPECT_EQ(l.loop, ParseLoopValue(l.text, &start, &end)) << l.text;
    if (l.loop) {
      EXPECT_EQ(l.start, start) << l.text;
      EXPECT_EQ(l.end, end) << l.text;
    }
  }
  const struct {
    const char *text;
    long ms;
  } offsets[] = {{"300", 300}, {"-1200", -1200}, {"+100", 100}, {"", 0}, {"abc", 0},
                 {"999999", 60000}, {"-999999", -60000}};
  for (const auto &o : offsets) EXPECT_EQ(o.ms, ParseOffsetValue(o.text)) << o.text;
  FormatOffsetValue(-300, text, sizeof text);
  EXPECT_STREQ("-300", text);
  const struct {
    const char *text;
    int percent;
  } tempos[] = {{"85", 85}, {"200", 200}, {"", 0}, {"x", 0}, {"-5", 0}, {"99999999999", 0}};
  for (const auto &t : tempos) EXPECT_EQ(t.percent, ParseTempoValue(t.text)) << t.text;
}

// The output delay: held within 0..2000 ms, moved 20 ms a step, and its notice, which
// the notice's blank of 15 bytes covers.
TEST(Practice, OutputDelayIsHeldAndShown) {
  const struct {
    int ms, steps, after;
  } steps[] = {{0, 1, 20}, {100, -1, 80}, {0, -1, 0}, {1990, 1, 2000}, {2000, 1, 2000}, {20, -5, 0}};
  for (const auto &s : steps) EXPECT_EQ(s.after, StepDelay(s.ms, s.steps)) << s.ms << " " << s.steps;
  const struct {
    long long stored;
    int held;
  } stored[] = {{120, 120}, {-5, 0}, {2001, 2000}, {99999999999LL, 2000}};
  for (const auto &s : stored) EXPECT_EQ(s.held, HeldDelay(s.stored)) << s.stored;
  char text[32];
  FormatDelayNotice(120, text, sizeof text);
  EXPECT_EQ("\x89\xb9\x82\xcc\x92\x78\x82\xea 120ms", std::string(text));  // 音の遅れ
  FormatDelayNotice(DELAY_MOST_MS, text, sizeof text);
  EXPECT_LE(std::strlen(text), 15u);
}

// Where the listener is: the song's time at the graph's time the delay ago, through
// the tempo, never before where the song last jumped to.
TEST(Practice, TheListenerIsTheDelayBehindTheGraph) {
  const long long s = 10000000, ms = 10000;
  SongClock clock = {0, 0, 100};
  const struct {
    long long graph;
    int delay;
    long long from, heard;
  } plain[] = {{3 * s, 0, 0, 3 * s}, {3 * s, 200, 0, 3 * s - 200 * ms}, {100 * ms, 200, 0, 0}};  // not before the start
  for (const auto &p : plain) EXPECT_EQ(p.heard, HeardTimeOf(clock, p.graph, p.delay, p.from)) << p.graph;
  ChangeClockTempo(&clock, 2 * s, 50);  // half as fast from 2 s on
  EXPECT_EQ(2 * s + 900 * ms, HeardTimeOf(clock, 4 * s, 200, 0));
  SeekClock(&clock, 10 * s);  // a jump to 10 s: what was before it is not heard after
  EXPECT_EQ(10 * s, HeardTimeOf(clock, 10 * s + 100 * ms, 200, 10 * s));
  EXPECT_EQ(10 * s + 150 * ms, HeardTimeOf(clock, 10 * s + 500 * ms, 200, 10 * s));
}
