// The main window as start-up builds it: every child where the layout formulas put it
// for the font measured on this machine, with its class, text, styles and ID; what
// follows a resize; the painted progress frame; the Mem notice; the focus rule.
#include "wine/shell_fixture_win.h"

#include "shell/layout.h"
#include "shell/notice_win.h"

using namespace shelltest;

namespace {

struct ExpectedChild {
  int slot;
  const char *className;
  const char *text;
  DWORD exStyle;  // bits that must be set
  DWORD style;    // bits that must be set
  int id;
  HWND *handle;
};

const DWORD Button = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;

// In creation order, the TextView first.
const ExpectedChild Children[] = {
    {SLOT_TEXT_VIEW, TEXT_VIEW_CLASS, "", 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL,
     -1, &TextViewWindow},
    {SLOT_PLAY, "Button", "&Play", 0, Button, ID_PLAY, &PlayButton},
    {SLOT_STOP, "Button", "&Stop", 0, Button, ID_STOP, &StopButton},
    {SLOT_CENT_LABEL, "Static", "Cent", 0, WS_CHILD | WS_VISIBLE, -1, nullptr},
    {SLOT_CENTS, "Edit", "0", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_GROUP | WS_TABSTOP | ES_RIGHT, ID_CENTS, &CentsEdit},
    {SLOT_RATE, "ScrollBar", "rate", 0, WS_CHILD | WS_VISIBLE | WS_GROUP | SBS_VERT, ID_RATE,
     &RateScrollBar},
    {SLOT_OCTAVE_DOWN, "Button", "半", 0, Button, ID_OCTAVE_DOWN, &OctaveDownButton},
    {SLOT_OCTAVE_UP, "Button", "倍", 0, Button, ID_OCTAVE_UP, &OctaveUpButton},
    {SLOT_MEM, "Button", "Mem", 0, Button, ID_MEM, &MemButton},
    {SLOT_TOP, "Button", "&Top", 0, Button, ID_TOP, &TopButton},
    {SLOT_NEXT, "Button", "&Next", 0, Button, ID_NEXT, &NextButton},
};

RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&r), 2);
  return r;
}

void ExpectAt(HWND child, LayoutBox box, const char *what) {
  SCOPED_TRACE(what);
  RECT r = ChildRect(child);
  EXPECT_EQ(box.x, r.left);
  EXPECT_EQ(box.y, r.top);
  EXPECT_EQ(box.width, r.right - r.left);
  EXPECT_EQ(box.height, r.bottom - r.top);
}

SIZE ClientSize() {
  RECT client;
  GetClientRect(MainWindow, &client);
  return {client.right, client.bottom};
}

LayoutBox Box(int slot, SIZE client) {
  return SlotBox(slot, LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, client.cx,
                 client.cy);
}

void ExpectProgressRect(SIZE client) {
  LayoutEdges e = ProgressEdges(LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight,
                                client.cx, client.cy);
  EXPECT_EQ(e.left, ProgressRect.left);
  EXPECT_EQ(e.top, ProgressRect.top);
  EXPECT_EQ(e.right, ProgressRect.right);
  EXPECT_EQ(e.bottom, ProgressRect.bottom);
}

// Resizes the main window so that its client area gets the given size.
void SetClientSize(int width, int height) {
  RECT window, client;
  GetWindowRect(MainWindow, &window);
  GetClientRect(MainWindow, &client);
  int frameX = (window.right - window.left) - client.right;
  int frameY = (window.bottom - window.top) - client.bottom;
  SetWindowPos(MainWindow, nullptr, 0, 0, width + frameX, height + frameY,
               SWP_NOMOVE | SWP_NOZORDER);
  RunLoopSteps();
}

TEST_F(ShellTest, MetricsComeFromTheOemFixedFont) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetStockObject(OEM_FIXED_FONT));
  TEXTMETRICA tm;
  GetTextMetricsA(screen, &tm);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(tm.tmAveCharWidth, LayoutMetrics.charWidth);
  EXPECT_EQ((tm.tmCharSet == SHIFTJIS_CHARSET ? tm.tmAscent : tm.tmHeight) / 2,
            LayoutMetrics.halfLineHeight);
  printf("measured under Wine: a = %d, h = %d (tmCharSet %d, tmHeight %ld, tmAscent %ld)\n",
         LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, tm.tmCharSet, tm.tmHeight,
         tm.tmAscent);
}

TEST_F(ShellTest, EveryChildInCreationOrderWithItsClassTextStyleIdAndPlace) {
  char text[64] = "";
  GetMenuStringA(GetMenu(MainWindow), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("ファイル(&F)", text) << "the class menu";
  GetWindowTextA(MainWindow, text, sizeof text);
  EXPECT_STREQ("BRAMLOE", text);
  SIZE client = ClientSize();
  HWND child = GetWindow(MainWindow, GW_CHILD);
  for (const ExpectedChild &c : Children) {
    SCOPED_TRACE(c.text);
    ASSERT_NE(nullptr, child);
    if (c.handle) {
      EXPECT_EQ(*c.handle, child);
    }
    char className[64];
    GetClassNameA(child, className, sizeof className);
    EXPECT_EQ(0, lstrcmpiA(c.className, className)) << className;
    GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(c.text, text);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
    EXPECT_EQ(c.style, style & c.style);
    EXPECT_EQ(0u, style & (c.style & WS_TABSTOP ? 0 : WS_TABSTOP)) << "no tab stop";
    DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_EXSTYLE));
    EXPECT_EQ(c.exStyle, exStyle & c.exStyle);
    EXPECT_EQ(c.id, GetDlgCtrlID(child));
    ExpectAt(child, Box(c.slot, client), c.text);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(nullptr, child) << "no other child";
  ExpectProgressRect(client);
  // The rate scroll bar shows no thumb: only its arrows act.
  int low = -1, high = -1;
  GetScrollRange(RateScrollBar, SB_CTL, &low, &high);
  EXPECT_EQ(0, low);
  EXPECT_EQ(0, high);
  EXPECT_EQ(PlayButton, GetFocus());
}

TEST_F(ShellTest, AfterAResizeOnlyTheTextViewTheBottomRowAndTheFrameFollow) {
  SIZE before = ClientSize();
  RECT topRow[SLOT_COUNT];
  for (const ExpectedChild &c : Children)
    if (c.handle) topRow[c.slot] = ChildRect(*c.handle);
  SIZE after = {before.cx - 150, before.cy - 90};
  SetClientSize(after.cx, after.cy);
  ASSERT_EQ(after.cx, ClientSize().cx);
  ASSERT_EQ(after.cy, ClientSize().cy);
  ExpectAt(TextViewWindow, Box(SLOT_TEXT_VIEW, after), "TextView");
  ExpectAt(TopButton, Box(SLOT_TOP, after), "Top");
  ExpectAt(NextButton, Box(SLOT_NEXT, after), "Next");
  ExpectProgressRect(after);
  for (const ExpectedChild &c : Children) {
    if (!c.handle || c.slot == SLOT_TEXT_VIEW || c.slot == SLOT_TOP || c.slot == SLOT_NEXT)
      continue;
    SCOPED_TRACE(c.text);
    RECT r = ChildRect(*c.handle);
    EXPECT_TRUE(EqualRect(&r, &topRow[c.slot]));
  }
}

TEST_F(ShellTest, AClientHeightBelowSixHalfLinesDoesNotCrash) {
  const int h = LayoutMetrics.halfLineHeight;
  SIZE tiny = {ClientSize().cx, 3 * h};
  SetClientSize(tiny.cx, tiny.cy);
  SIZE client = ClientSize();
  ASSERT_LT(client.cy, 6 * h + 2);
  EXPECT_TRUE(IsWindow(MainWindow));
  ExpectAt(TopButton, Box(SLOT_TOP, client), "Top");
  ExpectAt(NextButton, Box(SLOT_NEXT, client), "Next");
  ExpectProgressRect(client);
  UpdateWindow(MainWindow);
  SetClientSize(client.cx, 0);
  EXPECT_TRUE(IsWindow(MainWindow));
  ExpectProgressRect(ClientSize());
}

COLORREF PixelAt(int x, int y) {
  HDC dc = GetDC(MainWindow);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(MainWindow, dc);
  return c;
}

int DarkPixels(int left, int top, int right, int bottom) {
  HDC dc = GetDC(MainWindow);
  int n = 0;
  for (int y = top; y < bottom; y++)
    for (int x = left; x < right; x++)
      if ((GetPixel(dc, x, y) & 0xFFFFFF) == 0) n++;
  ReleaseDC(MainWindow, dc);
  return n;
}

TEST_F(ShellTest, PaintDrawsTheEmptyProgressFrame) {
  InvalidateRect(MainWindow, nullptr, TRUE);
  UpdateWindow(MainWindow);
  const RECT &p = ProgressRect;
  int middleY = (p.top + p.bottom) / 2, middleX = (p.left + p.right) / 2;
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(p.left, middleY));
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(p.right - 1, middleY));
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(middleX, p.top));
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(middleX, p.bottom - 1));
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(middleX, middleY));
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(p.left + 1, middleY));
  // Nothing outside the frame on the row.
  EXPECT_NE(RGB(0, 0, 0), PixelAt(p.left - 2, middleY));
}

TEST_F(ShellTest, TheNoticeIsWrittenAt330AndARepaintWipesIt) {
  const int band = 3 * LayoutMetrics.halfLineHeight;
  UpdateWindow(MainWindow);
  ASSERT_EQ(0, DarkPixels(320, 0, 420, band));
  ShowNotice("記憶しました");
  EXPECT_GT(DarkPixels(330, 0, 420, band), 0);
  EXPECT_EQ(0, DarkPixels(320, 0, 330, band)) << "starts at x = 330";
  RECT area = {320, 0, 420, band};
  InvalidateRect(MainWindow, &area, TRUE);
  UpdateWindow(MainWindow);
  EXPECT_EQ(0, DarkPixels(320, 0, 420, band));
}

TEST_F(ShellTest, TheMainWindowHandsItsFocusOnByThePlayerState) {
  const int states[] = {Stopped, Playing, Paused};
  for (int state : states) {
    PlayerState.state = state;
    SetFocus(MainWindow);
    EXPECT_EQ(state == Playing ? NextButton : PlayButton, GetFocus()) << "state " << state;
  }
}

}  // namespace
