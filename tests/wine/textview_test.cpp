// The text view window in process: scrolling by every code as the scroll bar shows
// it, the page step, the painted font, the focus hand-off, and a thumb dragged past
// the 16-bit range.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "wine/main_window_fixture_win.h"

using namespace mainwindowtest;

namespace {

// The real TextView, sized through the main window's layout.
class TextViewTest : public TextViewWindowTest {
 protected:
  void Create(int width, int height) {
    SizeTextView(width, height);
    Pump();
  }

  // Sends a scroll request as the scroll bar or the keyboard translation does.
  int Scroll(int code, int pos = 0) {
    SendMessageA(TextViewWindow, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    int barPos = GetScrollPos(TextViewWindow, SB_VERT);
    EXPECT_EQ(TextView.scrollPos, barPos) << "code " << code;
    return barPos;
  }

  void Resize(int width, int height) {
    SizeTextView(width, height);
    Pump();
  }
};

std::string Lines(int count, const std::string &line) {
  std::string text;
  for (int i = 0; i < count; i++) text += line + "\r\n";
  return text;
}

// Length of the run of pixels that are not the view's background, from (x, y) on.
int InkRun(HDC dc, int x, int y, int dx, int dy, int limit) {
  int n = 0;
  while (n < limit && GetPixel(dc, x + n * dx, y + n * dy) != ViewBackground) n++;
  return n;
}

}  // namespace

TEST_F(TextViewTest, EveryScrollCodeMovesByItsStep) {
  Create(300, 400);
  LoadTextBytes(Lines(100, "abcdefghij"));
  ASSERT_EQ(400, TextView.viewHeight);
  int scrollMax = 100 * TextView.linePitch - 400;
  ASSERT_GT(scrollMax, 1000);
  int low = -1, high = -1;
  GetScrollRange(TextViewWindow, SB_VERT, &low, &high);
  EXPECT_EQ(0, low);
  EXPECT_EQ(scrollMax, high);
  EXPECT_EQ(scrollMax, TextView.scrollMax);

  EXPECT_EQ(0, Scroll(SB_LINEUP));  // already at the top
  EXPECT_EQ(1, Scroll(SB_LINEDOWN));
  EXPECT_EQ(2, Scroll(SB_LINEDOWN));
  EXPECT_EQ(1, Scroll(SB_LINEUP));
  EXPECT_EQ(101, Scroll(SB_PAGEDOWN));
  EXPECT_EQ(1, Scroll(SB_PAGEUP));
  EXPECT_EQ(0, Scroll(SB_PAGEUP));
  EXPECT_EQ(700, Scroll(SB_THUMBTRACK, 700));
  EXPECT_EQ(700, Scroll(SB_THUMBPOSITION, 100));  // releasing the thumb moves nothing
  EXPECT_EQ(700, Scroll(SB_ENDSCROLL));
  EXPECT_EQ(0, Scroll(SB_TOP));
  EXPECT_EQ(scrollMax, Scroll(SB_BOTTOM));
  EXPECT_EQ(scrollMax, Scroll(SB_PAGEDOWN));
  EXPECT_EQ(scrollMax, Scroll(SB_LINEDOWN));
  EXPECT_EQ(scrollMax - 100, Scroll(SB_PAGEUP));
  EXPECT_EQ(0, Scroll(SB_THUMBTRACK, -5));  // clamped at the top

  // A resize that makes more fit pulls the position back; a load starts at the top.
  Scroll(SB_BOTTOM);
  Resize(300, 600);
  int newMax = 100 * TextView.linePitch - 600;
  EXPECT_EQ(newMax, TextView.scrollMax);
  EXPECT_EQ(newMax, GetScrollPos(TextViewWindow, SB_VERT));
  LoadTextBytes(Lines(100, "abcdefghij"));
  EXPECT_EQ(0, GetScrollPos(TextViewWindow, SB_VERT));

  // No text: nothing to scroll, whatever the code.
  LoadText(-1);
  EXPECT_EQ(0, TextBuffer.lineCount);
  EXPECT_EQ(0, TextView.linePitch);
  EXPECT_EQ(0, TextView.scrollMax);
  for (int code = SB_LINEUP; code <= SB_ENDSCROLL; code++) EXPECT_EQ(0, Scroll(code, 50));
}

TEST_F(TextViewTest, PageStepIsAQuarterOfTheHeightAndAtLeastOnePixel) {
  Create(300, 400);
  LoadTextBytes(Lines(200, "a"));
  const struct {
    int height, page;
  } cases[] = {{400, 100}, {10, 2}, {3, 1}};
  for (const auto &c : cases) {
    Resize(300, c.height);
    ASSERT_EQ(c.height, TextView.viewHeight);
    ASSERT_GT(TextView.scrollMax, 300);
    Scroll(SB_TOP);
    EXPECT_EQ(c.page, Scroll(SB_PAGEDOWN)) << "height " << c.height;
    EXPECT_EQ(2 * c.page, Scroll(SB_PAGEDOWN)) << "height " << c.height;
    EXPECT_EQ(c.page, Scroll(SB_PAGEUP)) << "height " << c.height;
  }
}

// The rows are drawn in the font the rule gives: the opaque text cells show the
// font's cell height and the row's width in that font, one pitch apart.
TEST_F(TextViewTest, PaintsRowsInTheFontOfTheRule) {
  Create(300, 400);
  const std::string row = "ああああ";  // 8 bytes
  LoadTextBytes(Lines(5, row));
  ASSERT_EQ(300, TextView.viewWidth);  // everything fits: no scroll bar
  int fontHeight = (19 * 300 - 1) / (10 * 8);
  ASSERT_EQ(71, fontHeight);
  ASSERT_EQ(80, TextView.linePitch);
  UpdateWindow(TextViewWindow);

  LOGFONTA lf = {};
  lf.lfHeight = fontHeight;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, "ＭＳ ゴシック", LF_FACESIZE);
  HDC dc = GetDC(TextViewWindow);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SIZE extent;
  GetTextExtentPoint32A(dc, row.c_str(), static_cast<int>(row.size()), &extent);
  SelectObject(dc, previous);
  DeleteObject(font);
  EXPECT_EQ(fontHeight, metrics.tmHeight);
  EXPECT_EQ(SHIFTJIS_CHARSET, metrics.tmCharSet);

  for (int i = 0; i < 5; i++) {
    int top = i * 80;
    EXPECT_EQ(metrics.tmHeight, InkRun(dc, 1, top, 0, 1, 100)) << "row " << i;
    EXPECT_EQ(extent.cx, InkRun(dc, 0, top + 1, 1, 0, 300)) << "row " << i;
  }
  EXPECT_EQ(0, InkRun(dc, 1, 4 * 80 + metrics.tmHeight + 2, 0, 1, 1));  // below the last row
  ReleaseDC(TextViewWindow, dc);
}

// A long Japanese text, scrolled: the rows stay one pitch apart, shifted by the
// position. BRAMLOE_VIEW_HOLD=seconds keeps the view up for a screenshot.
TEST_F(TextViewTest, ScrolledJapaneseTextKeepsItsRowsInPlace) {
  Create(600, 400);
  std::string text;
  const char *verses[] = {"さくら さくら やよいの空は", "見わたす限り かすみか雲か",
                          "匂いぞ出ずる いざや いざや", "見にゆかん"};
  for (int i = 0; i < 120; i++) text += std::string(verses[i % 4]) + "\r\n";
  LoadTextBytes(text);
  ASSERT_EQ(120, TextBuffer.lineCount);
  ASSERT_GT(TextView.scrollMax, 2000);
  int pitch = TextView.linePitch;
  Scroll(SB_THUMBTRACK, 1000);
  for (int i = 0; i < 6; i++) Scroll(SB_LINEDOWN);
  ASSERT_EQ(1006, TextView.scrollPos);
  Pump();

  HDC dc = GetDC(TextViewWindow);
  int first = (1006 + pitch - 1) / pitch;  // the first row starting inside the view
  for (int i = first; i < first + 3; i++) {
    int top = i * pitch - 1006;
    EXPECT_NE(ViewBackground, GetPixel(dc, 1, top)) << "row " << i;
    EXPECT_EQ(ViewBackground, GetPixel(dc, 1, top - 1)) << "row " << i;
  }
  ReleaseDC(TextViewWindow, dc);
  if (const char *hold = getenv("BRAMLOE_VIEW_HOLD")) Pump(1000 * atoi(hold));
}

TEST_F(TextViewTest, HandsTheFocusToPlayOrNext) {
  Create(300, 400);
  SetFocus(TextViewWindow);
  EXPECT_EQ(PlayButton, GetFocus());
  SetPlayerState(Playing);
  SetFocus(TextViewWindow);
  EXPECT_EQ(NextButton, GetFocus());
  SetPlayerState(Paused);
  SendMessageA(TextViewWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(PlayButton, GetFocus());
  SetPlayerState(Playing);
  SendMessageA(TextViewWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(NextButton, GetFocus());
}

// A long text of short lines in a wide view scrolls far past 32767 pixels; dragging
// the thumb to the bottom must reach the bottom, not throw the view to the top.
TEST_F(TextViewTest, DraggedThumbFollowsPositionsBeyond16Bits) {
  Create(300, 400);
  LoadTextBytes(Lines(200, "a"));
  ASSERT_GT(TextView.scrollMax, 100000);
  UpdateWindow(MainWindow);

  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(TextViewWindow, OBJID_VSCROLL, &bar));
  int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
  int arrow = bar.dxyLineButton;
  int bottomY = bar.rcScrollBar.bottom - arrow - 2;
  int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  auto moveTo = [&](int px, int py, DWORD extra) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (px * 65535 + screenW / 2) / (screenW - 1);
    input.mi.dy = (py * 65535 + screenH / 2) / (screenH - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | extra;
    SendInput(1, &input, sizeof input);
  };
  moveTo(x, thumbY, 0);
  Pump(50);
  moveTo(x, thumbY, MOUSEEVENTF_LEFTDOWN);
  for (int y = thumbY + 20; y < bottomY; y += 40) moveTo(x, y, 0);
  // Past the end, below the bar but still over the main window (a release over the bare
  // screen never reaches the program): the thumb stays at the bottom.
  int pastY = bar.rcScrollBar.bottom + arrow / 2;
  moveTo(x, pastY, 0);
  moveTo(x, pastY, MOUSEEVENTF_LEFTUP);
  Pump(300);

  EXPECT_EQ(TextView.scrollMax, TextView.scrollPos);
  EXPECT_EQ(TextView.scrollPos, GetScrollPos(TextViewWindow, SB_VERT));
}

// A resize repaints the whole view when a text is shown (its font follows the width)
// and adds no repaint of its own when none is.
TEST_F(TextViewTest, ResizeRepaintsOnlyWhenATextIsShown) {
  Create(300, 400);
  LoadTextBytes(Lines(10, "abc"));
  UpdateWindow(TextViewWindow);
  RECT dirty;
  ASSERT_FALSE(GetUpdateRect(TextViewWindow, &dirty, FALSE));

  SendMessageA(TextViewWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(250, 300));
  EXPECT_EQ(250, TextView.viewWidth);
  EXPECT_EQ(300, TextView.viewHeight);
  EXPECT_EQ(160, TextView.linePitch);  // font (19 x 250 - 1) / 30 = 158; 300 / 10 raised to 158 + 2
  ASSERT_TRUE(GetUpdateRect(TextViewWindow, &dirty, FALSE));
  RECT client;
  GetClientRect(TextViewWindow, &client);
  EXPECT_TRUE(EqualRect(&client, &dirty));

  UpdateWindow(TextViewWindow);
  PlayerState.matchedText = -1;
  SendMessageA(TextViewWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 300));
  EXPECT_EQ(200, TextView.viewWidth);
  EXPECT_FALSE(GetUpdateRect(TextViewWindow, &dirty, FALSE));
}
