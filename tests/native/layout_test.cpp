// The main window's geometry for the worked examples: a = 8, h = 8 on a 640 x 400
// client area, the odd character width a = 7, and client areas too small for it.
#include <gtest/gtest.h>

#include <string>

#include "shell/layout.h"

namespace {

void ExpectBox(LayoutBox box, int x, int y, int width, int height, const char *what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(x, box.x);
  EXPECT_EQ(y, box.y);
  EXPECT_EQ(width, box.width);
  EXPECT_EQ(height, box.height);
}

TEST(Layout, HalfLineHeightFromAscentOnlyForShiftJis) {
  EXPECT_EQ(8, HalfLineHeightOf(128, 16, 18));
  EXPECT_EQ(9, HalfLineHeightOf(0, 16, 18));
  EXPECT_EQ(6, HalfLineHeightOf(255, 10, 13));
  EXPECT_EQ(5, HalfLineHeightOf(128, 10, 12));
}

TEST(Layout, EveryControlAt640x400WithA8H8) {
  const int a = 8, h = 8, w = 640, ht = 400;
  ExpectBox(SlotBox(SLOT_PLAY, a, h, w, ht), 0, 0, 60, 24, "Play");
  ExpectBox(SlotBox(SLOT_STOP, a, h, w, ht), 60, 0, 60, 24, "Stop");
  ExpectBox(SlotBox(SLOT_CENT_LABEL, a, h, w, ht), 130, 0, 50, 24, "Cent label");
  ExpectBox(SlotBox(SLOT_CENTS, a, h, w, ht), 130, 0, 50, 24, "cents edit");
  ExpectBox(SlotBox(SLOT_RATE, a, h, w, ht), 180, 0, 12, 24, "rate");
  ExpectBox(SlotBox(SLOT_OCTAVE_DOWN, a, h, w, ht), 230, 0, 24, 24, "octave down");
  ExpectBox(SlotBox(SLOT_OCTAVE_UP, a, h, w, ht), 254, 0, 24, 24, "octave up");
  ExpectBox(SlotBox(SLOT_MEM, a, h, w, ht), 279, 0, 48, 24, "Mem");
  ExpectBox(SlotBox(SLOT_TEXT_VIEW, a, h, w, ht), 0, 25, 640, 350, "TextView");
  ExpectBox(SlotBox(SLOT_TOP, a, h, w, ht), 0, 375, 60, 24, "Top");
  ExpectBox(SlotBox(SLOT_NEXT, a, h, w, ht), 580, 375, 60, 24, "Next");
  LayoutEdges progress = ProgressEdges(a, h, w, ht);
  EXPECT_EQ(64, progress.left);
  EXPECT_EQ(380, progress.top);
  EXPECT_EQ(576, progress.right);
  EXPECT_EQ(396, progress.bottom);
  int x = 0, y = 0;
  PitchLabelAt(a, h, &x, &y);
  EXPECT_EQ(90, x);
  EXPECT_EQ(2, y);
  CentLabelAt(a, h, &x, &y);
  EXPECT_EQ(194, x);
  EXPECT_EQ(2, y);
}

TEST(Layout, OddCharWidthTruncatesAndNextEndsShortOfTheEdge) {
  const int a = 7, h = 8;
  EXPECT_EQ(52, ButtonWidth(7));
  EXPECT_EQ(10, SlotBox(SLOT_RATE, a, h, 500, 400).width);
  ExpectBox(SlotBox(SLOT_STOP, a, h, 500, 400), 52, 0, 52, 24, "Stop");
  ExpectBox(SlotBox(SLOT_NEXT, a, h, 500, 400), 447, 375, 52, 24, "Next");
  // An odd height keeps the half-pixel of 2.5h out of the progress frame's top.
  EXPECT_EQ(388, ProgressEdges(a, 5, 500, 401).top);
}

TEST(Layout, ClientTooSmallGoesNegativeTowardZero) {
  // Below 6h + 2 the TextView's height is handed on negative; nothing is clamped.
  EXPECT_EQ(-12, SlotBox(SLOT_TEXT_VIEW, 6, 5, 300, 20).height);
  EXPECT_EQ(4, SlotBox(SLOT_TOP, 6, 5, 300, 20).y);
  // 11 - 12.5 = -1.5 truncates toward zero, not down.
  EXPECT_EQ(-1, ProgressEdges(6, 5, 300, 11).top);
  EXPECT_EQ(-12, ProgressEdges(6, 5, 30, 0).top);
  // W - 7.5a below zero also truncates toward zero: 40 - 52.5 gives -12.
  EXPECT_EQ(-12, SlotBox(SLOT_NEXT, 7, 5, 40, 100).x);
}

}  // namespace

// A length made for one screen density on another: scaled and truncated like the
// layout's own arithmetic, and left alone where the font already suits the screen or
// either density is unknown.
TEST(Layout, LengthsScaleWithTheScreenDensity) {
  struct Case {
    int length, dpi, designDpi, scaled;
  } cases[] = {
      {6, 96, 96, 6},     {5, 96, 96, 5},     {6, 144, 96, 9},    {5, 144, 96, 7},
      {7, 144, 96, 10},   {6, 120, 96, 7},    {5, 192, 96, 10},   {9, 144, 144, 9},
      {10, 144, 120, 12}, {9, 96, 144, 6},    {6, 0, 96, 6},      {6, 144, 0, 6},
      {6, -1, 96, 6},     {-5, 144, 96, -7},  {0, 144, 96, 0},    {330, 144, 96, 495},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " at " + std::to_string(c.dpi) + " for " +
                 std::to_string(c.designDpi));
    EXPECT_EQ(c.scaled, ScaledForDpi(c.length, c.dpi, c.designDpi));
  }
}

TEST(Layout, TheNoticeKeepsItsPlaceBesideMem) {
  EXPECT_EQ(330, NoticeX(0));
  EXPECT_EQ(330, NoticeX(96));
  EXPECT_EQ(495, NoticeX(144));
}
