// The main window as start-up builds it: each control reached by its ID sends its
// command, every child stays inside the client area and apart from the others at any
// size, the text view fills the space between the rows and the bottom row keeps to the
// bottom edge; the painted progress frame; the Mem notice; the focus rule.
#include "wine/main_window_fixture_win.h"

#include "shell/layout.h"
#include "shell/notice_win.h"

using namespace mainwindowtest;

namespace {

using ShellTest = MainWindowTest;

// The controls kept in the shell's handles, by the ID each is named by.
struct NamedControl {
  int id;
  HWND *handle;
  bool button;
};

const NamedControl NamedControls[] = {
    {ID_PLAY, &PlayButton, true},         {ID_STOP, &StopButton, true},
    {ID_CENTS, &CentsEdit, false},        {ID_RATE, &RateScrollBar, false},
    {ID_OCTAVE_DOWN, &OctaveDownButton, true}, {ID_OCTAVE_UP, &OctaveUpButton, true},
    {ID_MEM, &MemButton, true},           {ID_TOP, &TopButton, true},
    {ID_NEXT, &NextButton, true},
};

void ExpectAt(HWND child, LayoutBox box, const char *what) {
  SCOPED_TRACE(what);
  RECT r = ChildRect(child);
  EXPECT_EQ(box.x, r.left);
  EXPECT_EQ(box.y, r.top);
  EXPECT_EQ(box.width, r.right - r.left);
  EXPECT_EQ(box.height, r.bottom - r.top);
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

std::string Named(HWND child) {
  char className[64] = "";
  GetClassNameA(child, className, sizeof className);
  return std::string(className) + " \"" + WindowText(child) + "\" id " +
         std::to_string(GetDlgCtrlID(child));
}

// The text view and the controls with an ID; the Cent label is the one child that is
// neither.
bool IsKept(HWND child) {
  for (const NamedControl &c : NamedControls)
    if (*c.handle == child) return true;
  return child == TextViewWindow;
}

bool LabelAndCents(HWND a, HWND b) {
  return (a == CentsEdit && !IsKept(b)) || (b == CentsEdit && !IsKept(a));
}

bool Overlap(const RECT &a, const RECT &b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != 0;
}

// What must hold at any client size that has room for both rows: every child inside
// the client area and apart from every other (the Cent label alone lies under the
// cents box), the progress frame apart from them all, the text view filling the space
// between the top row and the bottom row, the bottom row on the bottom edge with Top
// at the left and Next at the right.
void ExpectArrangedFor(SIZE client) {
  SCOPED_TRACE(testing::Message() << "client " << client.cx << " x " << client.cy);
  std::vector<HWND> children;
  for (HWND c = GetWindow(MainWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  ASSERT_EQ(11u, children.size()) << "the text view, nine controls and the Cent label";
  RECT frame = ProgressRect;
  for (size_t i = 0; i < children.size(); i++) {
    RECT r = ChildRect(children[i]);
    SCOPED_TRACE(Named(children[i]));
    EXPECT_TRUE(IsWindowVisible(children[i]));
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, client.cx);
    EXPECT_LE(r.bottom, client.cy);
    EXPECT_FALSE(Overlap(r, frame)) << "over the progress frame";
    for (size_t j = i + 1; j < children.size(); j++) {
      if (LabelAndCents(children[i], children[j])) continue;
      EXPECT_FALSE(Overlap(r, ChildRect(children[j]))) << "over " << Named(children[j]);
    }
    if (!IsKept(children[i])) {
      RECT cents = ChildRect(CentsEdit), both;
      UnionRect(&both, &cents, &r);
      EXPECT_TRUE(EqualRect(&both, &cents)) << "the label is not under the cents box";
    }
  }
  RECT view = ChildRect(TextViewWindow), play = ChildRect(PlayButton);
  RECT top = ChildRect(TopButton), next = ChildRect(NextButton);
  EXPECT_EQ(0, view.left);
  EXPECT_EQ(client.cx, view.right);
  EXPECT_LE(view.top - play.bottom, 1) << "the view starts under the top row";
  EXPECT_LE(top.top - view.bottom, 1) << "the view reaches down to the bottom row";
  EXPECT_EQ(top.top, next.top);
  EXPECT_LE(client.cy - top.bottom, 1) << "the bottom row keeps to the bottom edge";
  EXPECT_EQ(0, top.left);
  EXPECT_LE(client.cx - next.right, 1) << "Next keeps to the right edge";
  EXPECT_GE(frame.left, top.right);
  EXPECT_LE(frame.right, next.left);
  EXPECT_GE(frame.top, top.top);
  EXPECT_LE(frame.bottom, top.bottom);
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

TEST_F(ShellTest, StartUpShowsTheTitleTheMenuAndPlayWithTheFocus) {
  char text[64] = "";
  GetMenuStringA(GetMenu(MainWindow), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("ファイル(&F)", text) << "the class menu";
  EXPECT_EQ("BRAMLOE", WindowText(MainWindow));
  EXPECT_EQ(PlayButton, GetFocus());
  // The rate scroll bar shows no thumb: only its arrows act.
  int low = -1, high = -1;
  GetScrollRange(RateScrollBar, SB_CTL, &low, &high);
  EXPECT_EQ(0, low);
  EXPECT_EQ(0, high);
}

// One way to a control: the handle the shell keeps is the child of that ID, and a
// click on a button sends the command of the same ID from that button.
TEST_F(ShellTest, EachControlNamedByItsIdIsItsHandleAndAClickSendsItsCommand) {
  RecordMessages();
  for (const NamedControl &c : NamedControls) {
    SCOPED_TRACE(c.id);
    ASSERT_NE(nullptr, *c.handle);
    EXPECT_EQ(*c.handle, GetDlgItem(MainWindow, c.id));
    if (!c.button) continue;
    EnableWindow(*c.handle, TRUE);  // Next waits for a song
    Messages().clear();
    SendMessageA(*c.handle, BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Messages().size());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), Messages()[0].message);
    EXPECT_EQ(c.id, LOWORD(Messages()[0].wParam));
    EXPECT_EQ(BN_CLICKED, HIWORD(Messages()[0].wParam));
    EXPECT_EQ(reinterpret_cast<LPARAM>(*c.handle), Messages()[0].lParam);
  }
}

// The arrangement holds as built and after the window shrinks or grows; only the text
// view, the bottom row and the frame move, the top row stays where it was.
TEST_F(ShellTest, ChildrenStayInsideAndApartAndFollowAResize) {
  SIZE built = ClientSize();
  ExpectArrangedFor(built);
  RECT topRow[4] = {ChildRect(PlayButton), ChildRect(CentsEdit), ChildRect(RateScrollBar),
                    ChildRect(MemButton)};
  const SIZE sizes[] = {{built.cx - 150, built.cy - 90}, {built.cx + 120, built.cy + 60}};
  for (SIZE wanted : sizes) {
    SetClientSize(wanted.cx, wanted.cy);
    ASSERT_EQ(wanted.cx, ClientSize().cx);
    ASSERT_EQ(wanted.cy, ClientSize().cy);
    ExpectArrangedFor(wanted);
    ExpectProgressRect(wanted);
    RECT now[4] = {ChildRect(PlayButton), ChildRect(CentsEdit), ChildRect(RateScrollBar),
                   ChildRect(MemButton)};
    for (int i = 0; i < 4; i++) EXPECT_TRUE(EqualRect(&now[i], &topRow[i])) << i;
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
    SetPlayerState(state);
    SetFocus(MainWindow);
    EXPECT_EQ(state == Playing ? NextButton : PlayButton, GetFocus()) << "state " << state;
  }
}

}  // namespace
