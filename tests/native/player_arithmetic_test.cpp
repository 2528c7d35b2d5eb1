#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "player/pitch.h"
#include "player/position.h"
#include "settings/settings.h"

TEST(PitchRate, OctavesAndCents) {
  EXPECT_DOUBLE_EQ(1.0, PitchRate(0));
  EXPECT_DOUBLE_EQ(2.0, PitchRate(1200));
  EXPECT_DOUBLE_EQ(0.5, PitchRate(-1200));
  EXPECT_DOUBLE_EQ(0.25, PitchRate(-2400));
  EXPECT_NEAR(1.0174796921026863, PitchRate(30), 1e-15);
  EXPECT_NEAR(1.0594630943592953, PitchRate(100), 1e-15);
}

// The rate the graph is handed for stored or typed cents: never infinite, never 0.
TEST(PitchRate, OnlyFinitePositiveRatesArePlayed) {
  const struct {
    int cents;
    double rate;
  } cases[] = {
      {0, 1.0}, {1200, 2.0}, {-1200, 0.5},
      {1228799, PitchRate(1228799)},     // the largest that is still a double
      {1228800, 1.0},                    // 2^1024
      {99999999, 1.0}, {INT_MAX, 1.0},
      {-1288000, PitchRate(-1288000)},   // below the normal doubles, yet above 0
      {-1300000, 1.0}, {-99999999, 1.0}, {INT_MIN, 1.0},
  };
  for (const auto &c : cases) EXPECT_EQ(c.rate, PlayableRate(PitchRate(c.cents))) << c.cents;
  EXPECT_GT(PitchRate(1228799), 1e308);
  EXPECT_GT(PitchRate(-1288000), 0.0);
  for (double rate : {std::nan(""), HUGE_VAL, -HUGE_VAL, 0.0, -0.0, -2.0})
    EXPECT_EQ(1.0, PlayableRate(rate)) << rate;
  EXPECT_EQ(0.25, PlayableRate(0.25));
}

TEST(PitchEntryKey, OnlyEqualsSignsChange) {
  char key[260];
  EXPECT_STREQ("C:\\Music\\a|b.wav", PitchEntryKey("C:\\Music\\a=b.wav", key));
  EXPECT_STREQ("C:\\x||\\y.wav", PitchEntryKey("C:\\x==\\y.wav", key));
  // Shift-JIS second bytes are never 0x3D, so a path without '=' is left as it is,
  // including 0x5C and 0x7C second bytes.
  const char *sjis = "C:\\\x95\x5C\\\x83\x7C.wav";
  EXPECT_STREQ(sjis, PitchEntryKey(sjis, key));
}

TEST(PositionBar, WidthIsTruncatedProportion) {
  EXPECT_EQ(0, PositionBarWidth(512, 0.0, 10.0));
  EXPECT_EQ(256, PositionBarWidth(512, 5.0, 10.0));
  EXPECT_EQ(170, PositionBarWidth(512, 10.0 / 3.0, 10.0));  // 170.67 truncated
  EXPECT_EQ(512, PositionBarWidth(512, 10.0, 10.0));
}

TEST(PositionBar, NoDurationDrawsNoBar) {
  EXPECT_EQ(0, PositionBarWidth(512, 3.0, 0.0));
  EXPECT_EQ(0, PositionBarWidth(512, 3.0, -1.0));
  EXPECT_EQ(0, PositionBarWidth(512, -3.0, 10.0));
}

// The wait before the bar can grow: a song played at the rate (at least real time) has
// not yet passed the next pixel when the wait is over, yet would have passed it had
// the wait been much longer than the margins allow.
TEST(PositionBar, NextPixelIsNeverDueLaterThanThePositionCanReachIt) {
  struct Case {
    int span, width;
    double seconds, duration, rate;
  } cases[] = {
      {500, 0, 0.0, 240.0, 1.0},       {500, 100, 48.1, 240.0, 1.0},
      {1184, 37, 1.1, 40.0, 1.0},      {1184, 37, 1.1, 40.0, 2.0},
      {1184, 37, 1.0, 40.0, 0.5},      {300, 299, 199.0, 200.0, 1.0},
      {2000, 5, 0.5, 3600.0, 1.7},     {10, 3, 30.0, 100.0, 16.0},
  };
  for (const Case &c : cases) {
    const double wait = PositionBarPixelWait(c.span, c.width, c.seconds, c.duration, c.rate);
    const double speed = c.rate > 1.0 ? c.rate : 1.0;
    ASSERT_GE(wait, 0.0);
    EXPECT_LE(PositionBarWidth(c.span, c.seconds + wait * speed, c.duration), c.width)
        << c.span << " " << c.width << " " << c.seconds << " rate " << c.rate;
    EXPECT_GT(PositionBarWidth(c.span, c.seconds + wait * speed * 1.06 + 0.031, c.duration), c.width)
        << c.span << " " << c.width << " " << c.seconds << " rate " << c.rate;
  }
  // At the next pixel, or within a step of the clock from it: due now.
  EXPECT_EQ(0.0, PositionBarPixelWait(500, 10, 5.28, 240.0, 1.0));
  EXPECT_EQ(0.0, PositionBarPixelWait(500, 10, 5.26, 240.0, 1.0));
  // A bar that cannot grow never falls due.
  EXPECT_GE(PositionBarPixelWait(500, 0, 1.0, 0.0, 1.0), 1e8);
  EXPECT_GE(PositionBarPixelWait(0, 0, 1.0, 60.0, 1.0), 1e8);
  EXPECT_GE(PositionBarPixelWait(-20, 0, 1.0, 60.0, 1.0), 1e8);
}

TEST(ClickSeek, EdgesSeekToStartAndEnd) {
  int64_t target = -1;
  ASSERT_TRUE(ClickSeekTarget(0, 512, 10.0, &target));
  EXPECT_EQ(0, target);
  ASSERT_TRUE(ClickSeekTarget(512, 512, 10.0, &target));
  EXPECT_EQ(100000000, target);
  ASSERT_TRUE(ClickSeekTarget(128, 512, 10.0, &target));
  EXPECT_EQ(25000000, target);
  ASSERT_TRUE(ClickSeekTarget(100, 512, 0.0, &target));
  EXPECT_EQ(0, target);
}

TEST(ClickSeek, BarOfNoWidthSeeksNowhere) {
  int64_t target = 42;
  EXPECT_FALSE(ClickSeekTarget(0, 0, 10.0, &target));
  EXPECT_EQ(42, target);
}

// Values a window narrower than its controls, a graph that reports any length, or a
// position far past the end can give: every case lands in range, none overflows.
TEST(PositionBar, SpansAndPositionsAtTheEdges) {
  struct Case {
    int span;
    double seconds, duration;
    int width;
  } cases[] = {
      {-300, 5.0, 10.0, 0},          // right edge left of the left one
      {-300, 1e15, 1e-9, 0},         // and a huge quotient: once a huge negative int
      {-2147483647 - 1, 1.0, 1.0, 0},
      {512, 1e15, 1e-9, 0},          // far past the end: nothing drawn
      {512, 1e300, 1e-300, 0},
      {512, 20.0, 10.0, 1024},       // past the end within reason: as the rule gives
      {2147483647, 1.0, 1.0, 0},     // wider than any bar that can be drawn
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.width, PositionBarWidth(c.span, c.seconds, c.duration))
        << c.span << " " << c.seconds << " " << c.duration;
}

TEST(ClickSeek, TargetsAtTheEdgesOfMediaTime) {
  struct Case {
    int offset, span;
    double duration;
    int64_t target;
  } cases[] = {
      {512, 512, 922337203686.0, INT64_MAX},  // just past the end of media time
      {512, 512, 1e300, INT64_MAX},
      {1, 1, 1e30, INT64_MAX},
      {0, 512, 1e300, 0},
      {10, 512, -5.0, 0},                           // a negative duration seeks to the start
      {512, 512, 900000000000.0, 9000000000000000000LL},
  };
  for (const Case &c : cases) {
    int64_t target = -1;
    ASSERT_TRUE(ClickSeekTarget(c.offset, c.span, c.duration, &target)) << c.duration;
    EXPECT_EQ(c.target, target) << c.offset << " " << c.span << " " << c.duration;
  }
}
