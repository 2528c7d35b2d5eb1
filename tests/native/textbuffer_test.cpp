// Reading a text into rows, the font-height and pitch rule, the scroll range and the
// scroll steps.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "native/own_files.h"
#include "native/text_pieces.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

namespace {

// Writes bytes to a temporary file and reads it into the TextBuffer, after reading
// them in every piece size.
void Load(const std::string &bytes) {
  LoadInEveryPieceSize(bytes);
  std::string path = OwnTempPath("text.txt");
  std::FILE *file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  ASSERT_TRUE(ReadTextFile(path.c_str()));
  std::remove(path.c_str());
}

std::string Row(int i) { return TextBuffer.rows[i]; }

void SetView(int width, int height) {
  TextView = TextViewRecord{};
  TextView.viewWidth = width;
  TextView.viewHeight = height;
}

}  // namespace

TEST(TextLoading, CarriageReturnsVanishWherever) {
  Load("ab\r\ncd\r\n");
  ASSERT_EQ(2, TextBuffer.lineCount);
  EXPECT_EQ("ab", Row(0));
  EXPECT_EQ("cd", Row(1));
  Load("ab\ncd\n");
  ASSERT_EQ(2, TextBuffer.lineCount);
  EXPECT_EQ("ab", Row(0));
  EXPECT_EQ("cd", Row(1));
  Load("a\rb\r\r\nc\rd");
  ASSERT_EQ(2, TextBuffer.lineCount);
  EXPECT_EQ("ab", Row(0));
  EXPECT_EQ("cd", Row(1));  // the last line needs no LF
  EXPECT_EQ(2, TextBuffer.longest);
}

TEST(TextLoading, EndOfTextByteEndsTheText) {
  Load("first\nsec\x1A" "ond\nthird\n");
  ASSERT_EQ(2, TextBuffer.lineCount);
  EXPECT_EQ("first", Row(0));
  EXPECT_EQ("sec", Row(1));
  Load("\x1A" "hidden\n");
  EXPECT_EQ(0, TextBuffer.lineCount);
  EXPECT_EQ(0, TextBuffer.longest);
}

TEST(TextLoading, LongLinesAreCutEvery99Bytes) {
  Load(std::string(250, 'x') + "\n");
  ASSERT_EQ(3, TextBuffer.lineCount);
  EXPECT_EQ(99u, Row(0).size());
  EXPECT_EQ(99u, Row(1).size());
  EXPECT_EQ(52u, Row(2).size());
  EXPECT_EQ(99, TextBuffer.longest);

  // Cut after 99 bytes even inside a double-byte character.
  Load(std::string(98, 'a') + "あい");
  ASSERT_EQ(2, TextBuffer.lineCount);
  EXPECT_EQ(std::string(98, 'a') + "\x82", Row(0));
  EXPECT_EQ("\xA0\x82\xA2", Row(1));
}

TEST(TextLoading, LineOf99BytesLeavesItsLineFeedAsAnEmptyRow) {
  Load(std::string(99, 'y') + "\nnext\n");
  ASSERT_EQ(3, TextBuffer.lineCount);
  EXPECT_EQ(std::string(99, 'y'), Row(0));
  EXPECT_EQ("", Row(1));
  EXPECT_EQ("next", Row(2));
  Load(std::string(98, 'y') + "\nnext\n");
  EXPECT_EQ(2, TextBuffer.lineCount);
}

TEST(TextLoading, KeepsTheFirst200Lines) {
  std::string text;
  for (int i = 0; i < 250; i++) text += "line" + std::to_string(i) + "\n";
  Load(text);
  ASSERT_EQ(200, TextBuffer.lineCount);
  EXPECT_EQ("line0", Row(0));
  EXPECT_EQ("line199", Row(199));
  EXPECT_EQ(7, TextBuffer.longest);
}

TEST(TextLoading, NulHidesTheRestOfItsRow) {
  Load(std::string("\0abc\nde\0fghij\nk\n", 16));
  ASSERT_EQ(3, TextBuffer.lineCount);
  EXPECT_EQ("", Row(0));
  EXPECT_EQ("de", Row(1));
  EXPECT_EQ("k", Row(2));
  EXPECT_EQ(2, TextBuffer.longest);
}

TEST(TextLoading, EmptyAndMissingFilesGiveAnEmptyBuffer) {
  Load("\n\r\n\n");
  EXPECT_EQ(3, TextBuffer.lineCount);
  EXPECT_EQ(0, TextBuffer.longest);
  Load("");
  EXPECT_EQ(0, TextBuffer.lineCount);
  Load("old\n");
  EXPECT_FALSE(ReadTextFile(OwnTempPath("no_such_text.txt").c_str()));
  EXPECT_EQ(0, TextBuffer.lineCount);
  EXPECT_EQ(0, TextBuffer.longest);
}

// A text far larger than its rows, made up as it is read: one piece repeated after a
// mark. Counts the bytes asked for.
struct RepeatedText {
  std::string mark, piece;
  size_t size, at, served;
};

size_t ReadRepeated(void *context, unsigned char *buffer, size_t size, bool *) {
  RepeatedText *text = static_cast<RepeatedText *>(context);
  size_t n = 0;
  for (; n < size && text->at < text->size; n++, text->at++) {
    const size_t at = text->at;
    buffer[n] = static_cast<unsigned char>(
        at < text->mark.size() ? text->mark[at] : text->piece[(at - text->mark.size()) % text->piece.size()]);
  }
  text->served += n;
  return n;
}

bool RewindRepeated(void *context) {
  static_cast<RepeatedText *>(context)->at = 0;
  return true;
}

// However large the text, it is read as far as its first part decides how and as the
// rows need, with the rows of a small text of the same kind.
TEST(TextLoading, AHugeTextIsReadOnlyAsFarAsItsRowsNeed) {
  const struct {
    const char *what;
    RepeatedText text;
    bool timed;
  } cases[] = {
      {"one line of 600 MB", {"", "x", size_t{600} << 20, 0, 0}, false},
      {"UTF-16 of 300 MB", {"\xFF\xFE", std::string("x\0", 2), size_t{300} << 20, 0, 0}, false},
      {"timed lines of 200 MB", {"", "[00:01.5]" + std::string(250, 'x') + "\r\n", size_t{200} << 20, 0, 0}, true},
  };
  for (auto c : cases) {
    ReadTextSource(TextSource{ReadRepeated, RewindRepeated, &c.text});
    EXPECT_LE(c.text.served, size_t{TEXT_DETECT_BYTES} + TEXT_CHUNK_BYTES) << c.what;
    ASSERT_EQ(TEXT_ROWS, TextBuffer.lineCount) << c.what;
    EXPECT_EQ(99, TextBuffer.longest) << c.what;
    for (int row = 0; row < TEXT_ROWS; row++)
      ASSERT_EQ(std::string(c.timed && row % 3 == 2 ? 52 : 99, 'x'), Row(row)) << c.what << " row " << row;
    EXPECT_EQ(c.timed, TimedText.timed) << c.what;
    EXPECT_EQ(c.timed ? 67 : 0, TimedText.entryCount) << c.what;
  }
}

// The rule is width x 1.9 / longest in extended precision with the double nearest 1.9;
// the integer form must agree with it everywhere it is used.
TEST(LineMetrics, IntegerFontHeightMatchesExtendedPrecision) {
  const double factor = 1.9;
  int mismatches = 0;
  for (int longest = 1; longest <= 99; longest++) {
    for (int width = 0; width <= 65535; width++) {
      long double product = static_cast<long double>(width) * factor;
      long double quotient = product / longest;
      int expected = static_cast<int>(quotient);
      if (FontHeightFor(width, longest) != expected && ++mismatches < 5)
        ADD_FAILURE() << "width " << width << " longest " << longest;
    }
  }
  EXPECT_EQ(0, mismatches);
  EXPECT_EQ(9, FontHeightFor(100, 19));  // 10 only in exact arithmetic
  EXPECT_EQ(12, FontHeightFor(200, 30));
  EXPECT_EQ(0, FontHeightFor(500, 0));
}

TEST(LineMetrics, PitchIsBoundedBelowThenAbove) {
  SetView(80, 400);  // longest 10: font height 15
  Load(std::string(10, 'z') + std::string(10, '\n'));
  ASSERT_EQ(10, TextBuffer.lineCount);
  EXPECT_EQ(15, UpdateLineMetrics());
  EXPECT_EQ(30, TextView.linePitch);  // 40 capped at 2 x 15

  Load(std::string(10, 'z') + std::string(50, '\n'));
  ASSERT_EQ(50, TextBuffer.lineCount);
  EXPECT_EQ(15, UpdateLineMetrics());
  EXPECT_EQ(17, TextView.linePitch);  // 8 raised to 15 + 2
  RecomputeScrollRange();
  EXPECT_EQ(450, TextView.scrollMax);

  SetView(6, 400);  // longest 10: font height 1, bounds cross and the cap wins
  EXPECT_EQ(1, UpdateLineMetrics());
  EXPECT_EQ(2, TextView.linePitch);

  Load("\n\n");  // only empty lines: height 0, pitch 0, nothing to scroll
  EXPECT_EQ(0, UpdateLineMetrics());
  EXPECT_EQ(0, TextView.linePitch);
  RecomputeScrollRange();
  EXPECT_EQ(0, TextView.scrollMax);

  ClearTextBuffer();
  EXPECT_EQ(0, UpdateLineMetrics());
  EXPECT_EQ(0, TextView.linePitch);
}

TEST(ScrollRange, ClampsThePositionIntoTheRange) {
  SetView(80, 400);
  Load(std::string(10, 'z') + std::string(50, '\n'));
  UpdateLineMetrics();
  TextView.scrollPos = 300;
  RecomputeScrollRange();
  EXPECT_EQ(450, TextView.scrollMax);
  EXPECT_EQ(300, TextView.scrollPos);  // inside the range: kept

  TextView.viewHeight = 850;  // taller view: 17 x 50 - 850 = 0
  UpdateLineMetrics();
  RecomputeScrollRange();
  EXPECT_EQ(0, TextView.scrollMax);
  EXPECT_EQ(0, TextView.scrollPos);

  TextView.viewHeight = 700;
  UpdateLineMetrics();  // pitch 17 again: 850 - 700
  TextView.scrollPos = 1000;
  RecomputeScrollRange();
  EXPECT_EQ(150, TextView.scrollMax);
  EXPECT_EQ(150, TextView.scrollPos);
}

TEST(ScrollSteps, FollowTheTableAndStayInRange) {
  SetView(100, 400);
  TextView.scrollMax = 1000;
  TextView.scrollPos = 500;
  EXPECT_EQ(-1, ScrollStepFor(SCROLL_LINE_UP, 0));
  EXPECT_EQ(1, ScrollStepFor(SCROLL_LINE_DOWN, 0));
  EXPECT_EQ(-100, ScrollStepFor(SCROLL_PAGE_UP, 0));
  EXPECT_EQ(100, ScrollStepFor(SCROLL_PAGE_DOWN, 0));
  EXPECT_EQ(0, ScrollStepFor(SCROLL_THUMB_POSITION, 900));
  EXPECT_EQ(400, ScrollStepFor(SCROLL_THUMB_TRACK, 900));
  EXPECT_EQ(-500, ScrollStepFor(SCROLL_THUMB_TRACK, -1));  // clamped at the top
  EXPECT_EQ(500, ScrollStepFor(SCROLL_THUMB_TRACK, 2000000000));
  EXPECT_EQ(-500, ScrollStepFor(SCROLL_THUMB_TRACK, -2000000000));
  EXPECT_EQ(-500, ScrollStepFor(SCROLL_TOP, 0));
  EXPECT_EQ(500, ScrollStepFor(SCROLL_BOTTOM, 0));
  for (int code = 8; code < 20; code++) EXPECT_EQ(0, ScrollStepFor(code, 900)) << code;

  TextView.viewHeight = 10;
  EXPECT_EQ(2, ScrollStepFor(SCROLL_PAGE_DOWN, 0));
  TextView.viewHeight = 3;
  EXPECT_EQ(1, ScrollStepFor(SCROLL_PAGE_DOWN, 0));
  EXPECT_EQ(-1, ScrollStepFor(SCROLL_PAGE_UP, 0));
  TextView.viewHeight = 0;
  EXPECT_EQ(1, ScrollStepFor(SCROLL_PAGE_DOWN, 0));

  TextView.viewHeight = 400;
  TextView.scrollPos = 950;  // a page down near the end stops at scrollMax
  EXPECT_EQ(50, ScrollStepFor(SCROLL_PAGE_DOWN, 0));
  TextView.scrollPos = 30;
  EXPECT_EQ(-30, ScrollStepFor(SCROLL_PAGE_UP, 0));
  TextView.scrollPos = 0;
  EXPECT_EQ(0, ScrollStepFor(SCROLL_LINE_UP, 0));

  TextView.scrollMax = 0;  // everything fits: nothing scrolls
  for (int code = 0; code < 8; code++) EXPECT_EQ(0, ScrollStepFor(code, 50)) << code;
}
