// The text view in process with texts in UTF-8 and UTF-16: each twin of a Shift-JIS
// text paints the same pixels, a character code page 932 lacks is drawn as itself,
// and a timed text marks the line being sung and keeps it in the upper third.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "textview/timed_text.h"
#include "wine/main_window_fixture_win.h"

using namespace mainwindowtest;

namespace {

const std::string Utf8Mark = "\xEF\xBB\xBF";

std::string Utf16Le(const std::u16string &text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

struct Pixels {
  int width, height;
  std::vector<DWORD> bits;
};

// The pixels of a device context's top-left width x height, read back through a DIB.
Pixels Capture(HDC source, int width, int height) {
  Pixels out{width, height, {}};
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ kept = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD *p = static_cast<const DWORD *>(bits);
  out.bits.assign(p, p + width * height);
  SelectObject(memory, kept);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return out;
}

DWORD AsDibPixel(COLORREF colour) {
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

int CountColour(const Pixels &p, int top, int bottom, COLORREF colour) {
  int n = 0;
  for (int y = top < 0 ? 0 : top; y < bottom && y < p.height; y++)
    for (int x = 0; x < p.width; x++) n += (p.bits[y * p.width + x] & 0xFFFFFF) == AsDibPixel(colour);
  return n;
}

// The top-left width x height of p.
Pixels Crop(const Pixels &p, int width, int height) {
  Pixels out{width, height, {}};
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) out.bits.push_back(p.bits[y * p.width + x]);
  return out;
}

int Differences(const Pixels &a, const Pixels &b) {
  if (a.bits.size() != b.bits.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.bits.size(); i++) n += (a.bits[i] & 0xFFFFFF) != (b.bits[i] & 0xFFFFFF);
  return n;
}

class TextViewTexts : public TextViewWindowTest {
 protected:
  void SetUp() override {
    TextViewWindowTest::SetUp();
    if (HasFatalFailure()) return;
    SizeTextView(400, 300);
    Pump();
  }
  void TearDown() override {
    TextViewWindowTest::TearDown();
    ClearTextBuffer();
  }

  // Loads bytes as the matched text from a file of the test's own folder.
  void Load(const std::string &bytes) {
    DeleteFileA(LoadTextBytes(bytes).c_str());
    UpdateWindow(TextViewWindow);
    Pump();
  }

  Pixels View() {
    HDC dc = GetDC(TextViewWindow);
    Pixels p = Capture(dc, TextView.viewWidth, TextView.viewHeight);
    ReleaseDC(TextViewWindow, dc);
    return p;
  }
};

}  // namespace

TEST_F(TextViewTexts, TwinsOfAShiftJisTextPaintTheSamePixels) {
  // Kanji, kana, half-width kana, ASCII, and a line cut after 99 bytes inside a
  // character: string literals are code page 932, u8 and u literals UTF-8 and UTF-16.
  const std::string shiftJis = "兎追いし かの山\r\n小鮒釣りし ｶﾉ川 (1914)\r\n" + std::string(97, '-') + "夢は今も\r\n";
  const std::string utf8 = u8"兎追いし かの山\r\n小鮒釣りし ｶﾉ川 (1914)\r\n" + std::string(97, '-') + u8"夢は今も\r\n";
  const std::u16string utf16 = u"兎追いし かの山\r\n小鮒釣りし ｶﾉ川 (1914)\r\n" + std::u16string(97, u'-') + u"夢は今も\r\n";
  Load(shiftJis);
  ASSERT_EQ(4, TextBuffer.lineCount);
  const Pixels expected = View();
  ASSERT_GT(CountColour(expected, 0, expected.height, GetSysColor(COLOR_WINDOWTEXT)), 50);
  const struct {
    const char *what;
    std::string bytes;
  } twins[] = {{"UTF-8", utf8}, {"UTF-8 with its mark", Utf8Mark + utf8}, {"UTF-16 LE", Utf16Le(utf16)}};
  for (const auto &twin : twins) {
    Load(twin.bytes);
    EXPECT_EQ(0, Differences(expected, View())) << twin.what;
  }
  // The comparison sees a one-character change.
  Load(u8"兎追いし かの川\r\n小鮒釣りし ｶﾉ川 (1914)\r\n" + std::string(97, '-') + u8"夢は今も\r\n");
  EXPECT_GT(Differences(expected, View()), 0);
}

TEST_F(TextViewTexts, CharacterOutsideCodePage932IsDrawnAsItself) {
  Load(u8"aé한b\n");
  ASSERT_EQ(1, TextBuffer.lineCount);
  ASSERT_EQ(6, TextBuffer.longest);  // é and 한 are one full-width cell each
  const int height = UpdateLineMetrics();
  ASSERT_GT(height, 10);
  const Pixels shown = View();

  // What the same font draws for the characters themselves, and for question marks,
  // drawn over the view itself so both go the same way to the screen.
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
  lstrcpynA(font.lfFaceName, "ＭＳ ゴシック", LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&font);
  auto drawn = [&](const wchar_t *text) {
    HDC dc = GetDC(TextViewWindow);
    HGDIOBJ kept = SelectObject(dc, created);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    TextOutW(dc, 0, 0, text, lstrlenW(text));
    SIZE extent;
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    Pixels p = Capture(dc, extent.cx, height);
    SelectObject(dc, kept);
    ReleaseDC(TextViewWindow, dc);
    return p;
  };
  const Pixels itself = drawn(L"a\u00E9\uD55Cb");
  const Pixels questions = drawn(L"a??b");
  DeleteObject(created);

  EXPECT_EQ(0, Differences(itself, Crop(shown, itself.width, itself.height)));
  EXPECT_GT(Differences(questions, Crop(shown, questions.width, questions.height)), 0);
}

TEST_F(TextViewTexts, SungLineIsMarkedAndKeptInTheUpperThird) {
  std::string text = "[ti:練習]\r\n";
  char line[64];
  for (int i = 0; i < 100; i++) {
    std::snprintf(line, sizeof line, "[%02d:%02d.50]うた %d\r\n", i / 60, i % 60, i);
    text += line;
  }
  Load(text);
  ASSERT_EQ(100, TextBuffer.lineCount);
  ASSERT_GT(TextView.scrollMax, TextView.viewHeight);
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), mark = GetSysColor(COLOR_HIGHLIGHT);
  ASSERT_NE(ink, mark);
  const int pitch = TextView.linePitch;

  struct Moment {
    double seconds;
    int row;  // the row marked then
  } moments[] = {{40.6, 40}, {41.5, 41}, {12.0, 11}, {70.9, 70}};
  for (const Moment &m : moments) {
    FollowSongPosition(static_cast<long long>(m.seconds * 1e7));
    Pump();
    ASSERT_EQ(m.row, TimedText.entries[TimedText.marked].firstRow) << m.seconds;
    EXPECT_EQ(TextView.scrollPos, GetScrollPos(TextViewWindow, SB_VERT)) << m.seconds;
    const int top = m.row * pitch - TextView.scrollPos;
    EXPECT_GE(top, 0) << m.seconds;
    EXPECT_LT(top, TextView.viewHeight / 3) << m.seconds;
    const Pixels p = View();
    EXPECT_GT(CountColour(p, top, top + pitch, mark), 20) << m.seconds;
    EXPECT_EQ(0, CountColour(p, top, top + pitch, ink)) << m.seconds;
    EXPECT_GT(CountColour(p, top + pitch, top + 2 * pitch, ink), 20) << m.seconds;
    EXPECT_EQ(0, CountColour(p, top + pitch, top + 2 * pitch, mark)) << m.seconds;
  }

  // Scrolled by hand, the view stays until the next line starts; the mark never waits.
  SendMessageA(TextViewWindow, WM_VSCROLL, SB_PAGEDOWN, 0);
  const int scrolled = TextView.scrollPos;
  FollowSongPosition(static_cast<long long>(71.2 * 1e7));
  EXPECT_EQ(scrolled, TextView.scrollPos);
  FollowSongPosition(static_cast<long long>(71.5 * 1e7));
  EXPECT_EQ(71, TimedText.entries[TimedText.marked].firstRow);
  EXPECT_EQ(71 * pitch - TextView.viewHeight / 4, TextView.scrollPos);
  // Back before the first line, as after Top: no mark, the view at the start.
  FollowSongPosition(0);
  Pump();
  EXPECT_EQ(-1, TimedText.marked);
  EXPECT_EQ(0, TextView.scrollPos);
  EXPECT_EQ(0, CountColour(View(), 0, TextView.viewHeight, mark));
}

namespace {

// The leftmost and rightmost x of a colour in the rows top..bottom; -1 when absent.
struct Span {
  int first = -1, last = -1;
};
Span ColourSpan(const Pixels &p, int top, int bottom, COLORREF colour) {
  Span s;
  for (int y = top < 0 ? 0 : top; y < bottom && y < p.height; y++)
    for (int x = 0; x < p.width; x++) {
      if ((p.bits[y * p.width + x] & 0xFFFFFF) != AsDibPixel(colour)) continue;
      if (s.first < 0 || x < s.first) s.first = x;
      if (x > s.last) s.last = x;
    }
  return s;
}

// The song's time the view reads at a paint, for the test's moment (the records' guard
// puts the view's reader back).
long HeardAt = 0;
long HeardAtMoment() { return HeardAt; }

}  // namespace

// Half way through a 2 s word: the words before it and the first half of its cells in
// the selection colour, the rest in the text's. Unmarked, the line looks exactly as
// the same line written without its word tags.
TEST_F(TextViewTexts, AWordIsFilledAsFarAsItIsSung) {
  SongMsHeard = HeardAtMoment;
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), mark = GetSysColor(COLOR_HIGHLIGHT);
  Load("[00:01]うた\r\n[00:02]ことばおわり\r\n[00:10]つぎ\r\n");
  const Pixels plain = View();
  Load("[00:01]うた\r\n[00:02]ことば<00:04>おわり\r\n[00:10]つぎ\r\n");
  ASSERT_EQ(12, TextBuffer.longest);
  EXPECT_EQ(0, Differences(plain, View()));
  const int pitch = TextView.linePitch;
  const Span line = ColourSpan(plain, pitch, 2 * pitch, ink);
  ASSERT_GT(line.last, 0);
  const double cell = (line.last + 1) / 12.0;  // the twelve cells of the line

  HeardAt = 3000;  // half of ことば: 3 of its 6 cells
  FollowSongPosition(HeardAt * 10000LL);
  Pump();
  const int drawn = FillTrace.count;
  const Pixels p = View();
  const Span sung = ColourSpan(p, pitch, 2 * pitch, mark), left = ColourSpan(p, pitch, 2 * pitch, ink);
  ASSERT_GE(sung.first, 0);
  ASSERT_GE(left.first, 0);
  EXPECT_LT(sung.last, left.first);
  EXPECT_NEAR(3 * cell, sung.last + 1, cell);
  EXPECT_NEAR(3 * cell, left.first, cell);
  EXPECT_EQ(line.last, left.last);
  EXPECT_EQ(0, CountColour(p, 0, pitch, mark));  // the line before is not marked

  // A moment later the fill has moved; the same moment draws nothing new.
  FollowSongPosition(HeardAt * 10000LL);
  Pump();
  EXPECT_EQ(drawn, FillTrace.count);
  HeardAt = 3900;
  FollowSongPosition(HeardAt * 10000LL);
  Pump();
  EXPECT_EQ(drawn + 1, FillTrace.count);
  EXPECT_GT(ColourSpan(View(), pitch, 2 * pitch, mark).last, sung.last + cell);
}
