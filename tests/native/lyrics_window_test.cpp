// The lyrics window's portable rules: its kept place read and written, a place off
// every monitor brought back, the font for its height, and the two lines it shows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "textview/lyrics_window.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

// Found by argument lookup: ScreenBox is the program's, in the global namespace.
static bool operator==(const ScreenBox &a, const ScreenBox &b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

static std::ostream &operator<<(std::ostream &out, const ScreenBox &b) {
  return out << b.x << "," << b.y << " " << b.width << "x" << b.height;
}

namespace {

TEST(LyricsWindow, PlaceReadsBackAsWritten) {
  const struct {
    const char *text;
    bool ok;
    ScreenBox place;
  } cases[] = {
      {"10,20,300,80", true, {10, 20, 300, 80}},
      {" -1920 , 5,640 , 120 ", true, {-1920, 5, 640, 120}},
      {"+3,4,5,6", true, {3, 4, 5, 6}},
      {"", false, {}},
      {"10,20,300", false, {}},
      {"10,20,300,80,5", false, {}},
      {"10;20;300;80", false, {}},
      {"10,20,0,80", false, {}},
      {"10,20,300,-80", false, {}},
      {"a,20,300,80", false, {}},
      {"10,20,300,80x", false, {}},
      {"10,20,99999999999,80", false, {}},
  };
  for (const auto &c : cases) {
    ScreenBox place = {7, 7, 7, 7};
    EXPECT_EQ(c.ok, ParseLyricsPlace(c.text, &place)) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(c.place, place) << c.text;
    char written[LYRICS_PLACE_BYTES];
    FormatLyricsPlace(place, written, sizeof written);
    ScreenBox again;
    ASSERT_TRUE(ParseLyricsPlace(written, &again)) << written;
    EXPECT_EQ(place, again) << written;
  }
}

TEST(LyricsWindow, PlaceOffEveryMonitorComesOntoTheNearest) {
  const ScreenBox monitor = {0, 0, 1920, 1080}, work = {0, 0, 1920, 1040};
  const struct {
    ScreenBox place, expected;
  } cases[] = {
      {{100, 900, 600, 100}, {100, 900, 600, 100}},      // on it: stays
      {{1900, 1060, 600, 100}, {1900, 1060, 600, 100}},  // a corner shows: stays
      {{3000, 200, 600, 100}, {1320, 200, 600, 100}},    // right of it
      {{-700, -300, 600, 100}, {0, 0, 600, 100}},        // above and left
      {{100, 1200, 600, 100}, {100, 940, 600, 100}},     // below: into the work area
      {{5000, 5000, 4000, 2000}, {0, 0, 1920, 1040}},    // larger than the area: cut
  };
  for (const auto &c : cases) EXPECT_EQ(c.expected, BringOntoMonitor(c.place, monitor, work)) << c.place;
}

TEST(LyricsWindow, FontFollowsTheHeightAndShrinksOnlyForAWideLine) {
  const int heights[][2] = {{100, 40}, {250, 100}, {32, 12}, {2, 1}, {0, 1}};
  for (const auto &h : heights) EXPECT_EQ(h[1], LyricsFontHeight(h[0])) << h[0];
  const int fits[][4] = {{40, 300, 600, 40}, {40, 600, 600, 40}, {40, 1200, 600, 20}, {40, 900, 600, 26}, {1, 900, 1, 1}};
  for (const auto &f : fits) EXPECT_EQ(f[3], FittedFontHeight(f[0], f[1], f[2])) << f[1] << " in " << f[2];
}

std::string RowsOf(const ShownLine &line) {
  std::string text;
  for (int i = 0; i < line.rowCount; i++) text += TextBuffer.rows[line.firstRow + i];
  return text;
}

// Two lines at 1 s and 2 s, the first sung again at 4 s, a blank line between.
const char TimedLines[] = "[ti:song]\n[00:01.00]one\n\n[00:02.00]two\n[00:03.00]three\n[00:04.00]one\n";

TEST(LyricsWindow, ShowsTheSungLineAndTheNextOne) {
  const struct {
    const char *text;
    long ms;  // -1: not followed
    const char *top, *bottom;
    bool sung, title;
  } cases[] = {
      {"", -1, "", "", false, true},
      {"\n  \nfirst\n\t\nsecond\nthird\n", -1, "first", "second", false, false},
      {"only\n", -1, "only", "", false, false},
      {TimedLines, 0, "one", "two", false, false},  // before the first line
      {TimedLines, 1000, "one", "two", true, false},
      {TimedLines, 2500, "two", "three", true, false},
      {TimedLines, 3000, "three", "one", true, false},
      {TimedLines, 4000, "one", "", true, false},
      // A line sung twice in a row: the next line is the one after it.
      {"[00:01.00][00:02.00]twice\n[00:03.00]after\n", 1000, "twice", "after", true, false},
  };
  for (const auto &c : cases) {
    ReadTextBytes(reinterpret_cast<const unsigned char *>(c.text), std::strlen(c.text));
    FollowChange change;
    if (c.ms >= 0) FollowSongTime(c.ms, &change);
    const LyricsLines lines = PickLyricsLines();
    const std::string where = std::string(c.text) + " at " + std::to_string(c.ms);
    EXPECT_EQ(c.top, RowsOf(lines.top)) << where;
    EXPECT_EQ(c.bottom, RowsOf(lines.bottom)) << where;
    EXPECT_EQ(c.sung, lines.sungEntry >= 0) << where;
    EXPECT_EQ(c.title, lines.titleLine) << where;
  }
}

}  // namespace
