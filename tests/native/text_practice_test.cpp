// The text view's part in practising: the listener's shift of the lyrics, the timed
// line under a click and the next line's time, and the wheel's scroll step.
#include <gtest/gtest.h>

#include <string>

#include "textview/textbuffer.h"
#include "textview/timed_text.h"
#include "textview/view_input.h"

namespace {

// A timed text in a 300 x 400 view; the shift is the listener's own, put back after.
class TextPractice : public ::testing::Test {
 protected:
  void TearDown() override { ShiftLyrics(0); }
  void Load(const std::string &bytes) {
    ReadTextBytes(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    TextView = TextViewRecord{};
    TextView.viewWidth = 300;
    TextView.viewHeight = 400;
    UpdateLineMetrics();
    RecomputeScrollRange();
  }
  long TimeOfRow(int row) {
    int entry = TimedEntryOfRow(row);
    return entry < 0 ? -1 : TimedText.entries[entry].time;
  }
};

const char Text[] =
    "[offset:+200]\n[00:01.00]one\n[00:03.00]two\nuntimed\n[00:05.00][00:09.00]three\n[00:07.00]four\n";

}  // namespace

// Rows: one 0, two 1, untimed 2, three 3, four 4. The text's offset and the listener's
// shift add up; a time held at 0 stays at 0.
TEST_F(TextPractice, TheShiftAddsToTheTextsOffset) {
  const struct {
    long shift;
    long one, two, three, four;
  } cases[] = {{0, 800, 2800, 4800, 6800}, {300, 500, 2500, 4500, 6500},
               {-1000, 1800, 3800, 5800, 7800}, {2000, 0, 800, 2800, 4800}};
  Load(Text);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.shift);
    ShiftLyrics(c.shift);
    EXPECT_EQ(c.one, TimeOfRow(0));
    EXPECT_EQ(c.two, TimeOfRow(1));
    EXPECT_EQ(-1, TimeOfRow(2));
    EXPECT_EQ(c.three, TimeOfRow(3));
    EXPECT_EQ(c.four, TimeOfRow(4));
  }
  // Kept across a load, as the song's own.
  Load(Text);
  EXPECT_EQ(800, TimeOfRow(1));
}

TEST_F(TextPractice, TheMarkStaysOnItsLineAndTheNextLineFollowsInTime) {
  Load(Text);
  FollowChange change;
  ASSERT_TRUE(FollowSongTime(5000, &change));  // three, by its first tag (4800)
  EXPECT_EQ(3, TimedText.entries[TimedText.marked].firstRow);
  // 3 s later: one 3800, two 5800, three 7800 and 11800, four 9800. The mark stays on
  // its line until the follow looks again, and then the line due at 5 s is one.
  ShiftLyrics(-3000);
  EXPECT_EQ(3, TimedText.entries[TimedText.marked].firstRow);
  EXPECT_EQ(TimedText.marked, TimedEntryOfRow(3)) << "a click on the marked line takes it";
  ASSERT_TRUE(FollowSongTime(5000, &change));
  EXPECT_EQ(0, TimedText.entries[TimedText.marked].firstRow);
  ShiftLyrics(0);
  // The next line's time: three's first tag (4800) is followed by four (6800), its
  // second (8800) by none.
  const int first = TimedEntryOfRow(3);
  EXPECT_EQ(6800, NextLineTime(first));
  int last = TimedText.entryCount - 1;
  EXPECT_EQ(8800, TimedText.entries[last].time);
  EXPECT_EQ(-1, NextLineTime(last));
  EXPECT_EQ(-1, NextLineTime(-1));
  // Marked by its second tag, a click on the line takes that one.
  ASSERT_TRUE(FollowSongTime(8900, &change));
  EXPECT_EQ(8800, TimedText.entries[TimedEntryOfRow(3)].time);
}

TEST(TextPracticeRules, LyricsStepsAndNotices) {
  const struct {
    long offset;
    int steps;
    long next;
    const char *notice;
  } cases[] = {{0, 3, 300, "\x89\xCC\x8E\x8C +0.3\x95\x62"}, {0, -1, -100, "\x89\xCC\x8E\x8C -0.1\x95\x62"},
               {200, -2, 0, "\x89\xCC\x8E\x8C +0.0\x95\x62"}, {-1100, -1, -1200, "\x89\xCC\x8E\x8C -1.2\x95\x62"},
               {59950, 1, 60000, "\x89\xCC\x8E\x8C +60.0\x95\x62"}, {-60000, -1, -60000, "\x89\xCC\x8E\x8C -60.0\x95\x62"}};
  for (const auto &c : cases) {
    long next = StepLyricsOffset(c.offset, c.steps);
    EXPECT_EQ(c.next, next) << c.offset;
    char text[32];
    FormatLyricsNotice(next, text, sizeof text);
    EXPECT_STREQ(c.notice, text) << next;
    EXPECT_LE(std::string(text).size(), 12u);
  }
}

// A view of 10 rows of 30 pixels, 200 high: scrollMax 100.
TEST(TextPracticeRules, TheWheelScrollsByLinesOrPagesWithinTheRange) {
  const struct {
    const char *name;
    int scrollPos, delta, lines, carryBefore;
    int step, carryAfter;
  } cases[] = {
      {"one notch down, 3 lines", 0, -120, 3, 0, 90, 0},
      {"held at the bottom", 50, -120, 3, 0, 50, 0},
      {"one notch up", 100, 120, 1, 0, -30, 0},
      {"held at the top", 10, 240, 3, 0, -10, 0},
      {"a page a notch", 0, -120, WHEEL_BY_PAGE, 0, 50, 0},
      {"half a notch waits", 0, -60, 3, 0, 0, -60},
      {"and the other half scrolls", 0, -60, 3, -60, 90, 0},
      {"no lines a notch", 0, -120, 0, 0, 0, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TextBuffer.lineCount = 10;
    TextView = TextViewRecord{300, 200, 30, 100, c.scrollPos};
    int carry = c.carryBefore;
    EXPECT_EQ(c.step, WheelScrollStep(c.delta, c.lines, &carry));
    EXPECT_EQ(c.carryAfter, carry);
  }
}

TEST(TextPracticeRules, TheRowUnderAClick) {
  TextBuffer.lineCount = 10;
  const struct {
    int pitch, scrollPos, y, row;
  } cases[] = {{30, 0, 0, 0}, {30, 0, 29, 0}, {30, 0, 30, 1}, {30, 45, 0, 1},
               {30, 0, 300, -1}, {0, 0, 10, -1}, {30, 0, -1, -1}};
  for (const auto &c : cases) {
    TextView = TextViewRecord{300, 200, c.pitch, 100, c.scrollPos};
    EXPECT_EQ(c.row, RowAtY(c.y)) << c.y << " at " << c.scrollPos;
  }
}
