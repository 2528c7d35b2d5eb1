// Keyboard routing through the program's own loop steps: the key table of
// TranslateKeyDown by key, focus and Ctrl, the Tab order, the accelerators acting in
// the cents box while its letters never reach it, and Enter and Esc there.
#include "wine/main_window_fixture_win.h"

using namespace mainwindowtest;

namespace {

using ShellTest = MainWindowTest;

enum Focus { ON_PLAY, ON_CENTS, ON_RATE };
enum Action { NONE, SCROLL, COMMAND, SPIN };

struct KeyRow {
  UINT key;
  bool ctrl;
  Focus focus;
  int result;
  Action action;
  int code;  // scroll code or command ID
};

const KeyRow KeyTable[] = {
    {VK_PRIOR, true, ON_PLAY, 1, SCROLL, SB_TOP},
    {VK_PRIOR, false, ON_PLAY, 1, SCROLL, SB_PAGEUP},
    {VK_PRIOR, false, ON_CENTS, 1, SCROLL, SB_PAGEUP},
    {VK_NEXT, true, ON_CENTS, 1, SCROLL, SB_BOTTOM},
    {VK_NEXT, false, ON_PLAY, 1, SCROLL, SB_PAGEDOWN},
    {VK_END, false, ON_CENTS, 1, SCROLL, SB_BOTTOM},
    {VK_END, true, ON_PLAY, 1, SCROLL, SB_BOTTOM},
    {VK_HOME, false, ON_PLAY, 1, SCROLL, SB_TOP},
    {VK_HOME, true, ON_CENTS, 1, SCROLL, SB_TOP},
    {VK_LEFT, false, ON_CENTS, 0, NONE, 0},
    {VK_LEFT, true, ON_CENTS, 0, NONE, 0},
    {VK_LEFT, true, ON_PLAY, 1, COMMAND, ID_CENTS_DOWN_25},
    {VK_LEFT, false, ON_PLAY, 1, COMMAND, ID_CENTS_DOWN_5},
    {VK_LEFT, false, ON_RATE, 1, COMMAND, ID_CENTS_DOWN_5},
    {VK_RIGHT, false, ON_CENTS, 0, NONE, 0},
    {VK_RIGHT, true, ON_CENTS, 0, NONE, 0},
    {VK_RIGHT, true, ON_RATE, 1, COMMAND, ID_CENTS_UP_25},
    {VK_RIGHT, false, ON_PLAY, 1, COMMAND, ID_CENTS_UP_5},
    {VK_UP, false, ON_RATE, 1, SPIN, SB_LINEUP},
    {VK_UP, true, ON_RATE, 1, SPIN, SB_LINEUP},  // Ctrl only widens the step later
    {VK_UP, false, ON_PLAY, 1, SCROLL, SB_LINEUP},
    {VK_UP, false, ON_CENTS, 1, SCROLL, SB_LINEUP},
    {VK_DOWN, false, ON_RATE, 1, SPIN, SB_LINEDOWN},
    {VK_DOWN, false, ON_CENTS, 1, SCROLL, SB_LINEDOWN},
    {VK_F11, false, ON_CENTS, 1, COMMAND, ID_CENTS_DOWN_5},
    {VK_F11, true, ON_PLAY, 1, COMMAND, ID_CENTS_DOWN_5},
    {VK_F12, true, ON_CENTS, 1, COMMAND, ID_CENTS_UP_5},
    {VK_F12, false, ON_RATE, 1, COMMAND, ID_CENTS_UP_5},
    {'P', false, ON_PLAY, 0, NONE, 0},
    {VK_TAB, false, ON_PLAY, 0, NONE, 0},
    {VK_RETURN, false, ON_CENTS, 0, NONE, 0},
    {'5', false, ON_CENTS, 0, NONE, 0},
};

HWND FocusWindow(Focus focus) {
  return focus == ON_CENTS ? CentsEdit : focus == ON_RATE ? RateScrollBar : PlayButton;
}

TEST_F(ShellTest, TranslateKeyDownByKeyFocusAndCtrl) {
  RecordMessages();
  for (const KeyRow &row : KeyTable) {
    SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << row.key << std::dec
                                    << " ctrl " << row.ctrl << " focus " << row.focus);
    SetFocus(FocusWindow(row.focus));
    ASSERT_EQ(FocusWindow(row.focus), GetFocus());
    HoldKey(VK_CONTROL, row.ctrl);
    Messages().clear();
    MSG message = {GetFocus(), WM_KEYDOWN, row.key, 1, 0, {0, 0}};
    EXPECT_EQ(row.result, TranslateKeyDown(&message));
    HoldKey(VK_CONTROL, false);
    std::vector<Recorded> got = Messages();
    switch (row.action) {
      case NONE: EXPECT_EQ(0u, got.size()); break;
      case SCROLL:
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(TextViewWindow, got[0].window);
        EXPECT_EQ(static_cast<UINT>(WM_VSCROLL), got[0].message);
        EXPECT_EQ(static_cast<WPARAM>(row.code), got[0].wParam);
        EXPECT_EQ(0, got[0].lParam);
        break;
      case COMMAND:
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(MainWindow, got[0].window);
        EXPECT_EQ(static_cast<UINT>(WM_COMMAND), got[0].message);
        EXPECT_EQ(static_cast<WPARAM>(row.code), got[0].wParam);
        EXPECT_EQ(0, got[0].lParam);
        break;
      case SPIN:
        ASSERT_EQ(2u, got.size());
        for (const Recorded &r : got) {
          EXPECT_EQ(MainWindow, r.window);
          EXPECT_EQ(static_cast<UINT>(WM_VSCROLL), r.message);
          EXPECT_EQ(reinterpret_cast<LPARAM>(RateScrollBar), r.lParam);
        }
        EXPECT_EQ(static_cast<WPARAM>(row.code), got[0].wParam);
        EXPECT_EQ(static_cast<WPARAM>(SB_ENDSCROLL), got[1].wParam);
        break;
    }
  }
}

TEST_F(ShellTest, LeftAndRightMoveTheCaretInTheCentsBox) {
  SetWindowTextA(CentsEdit, "1200");
  SetFocus(CentsEdit);
  SendMessageA(CentsEdit, EM_SETSEL, 4, 4);
  RecordMessages();
  PostKey(CentsEdit, VK_LEFT);
  PostKey(CentsEdit, VK_LEFT);
  RunLoopSteps();
  DWORD start = 0, end = 0;
  SendMessageA(CentsEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(2u, start);
  EXPECT_EQ(0u, Messages().size()) << "no pitch command";
}

// The Tab order, named by the IDs: the rate scroll bar and the Cent label are passed
// over, and the last tab stop leads back to the first.
TEST_F(ShellTest, TabVisitsTheTabStopsInCreationOrder) {
  SetFocus(PlayButton);
  const int order[] = {ID_STOP, ID_CENTS, ID_OCTAVE_DOWN, ID_OCTAVE_UP, ID_MEM,
                       ID_TOP,  ID_NEXT,  ID_PLAY};
  for (int expected : order) {
    PostKey(GetFocus(), VK_TAB);
    RunLoopSteps();
    EXPECT_EQ(GetDlgItem(MainWindow, expected), GetFocus()) << expected;
  }
  // Shift+Tab goes back.
  HoldKey(VK_SHIFT, true);
  PostKey(GetFocus(), VK_TAB);
  RunLoopSteps();
  HoldKey(VK_SHIFT, false);
  EXPECT_EQ(GetDlgItem(MainWindow, ID_NEXT), GetFocus());
}

std::string CentsText() {
  char text[64] = "";
  GetWindowTextA(CentsEdit, text, sizeof text);
  return text;
}

TEST_F(ShellTest, AcceleratorsActInTheCentsBoxAndTheirLettersNeverReachIt) {
  RecordMessages();
  SetWindowTextA(CentsEdit, "");
  SetFocus(CentsEdit);
  const struct {
    UINT key;
    int command;
  } accelerators[] = {{VK_F1, ID_ABOUT},     {'P', ID_PLAY},        {'T', ID_TOP},
                      {'N', ID_NEXT},        {'D', ID_OCTAVE_UP},   {'H', ID_OCTAVE_DOWN},
                      {'E', ID_EDIT_TEXT},   {'R', ID_RELOAD_TEXT}, {'M', ID_MEM},
                      {'K', ID_KEEP_TEMPO}};
  for (const auto &a : accelerators) {
    SCOPED_TRACE(a.command);
    Messages().clear();
    PostKey(CentsEdit, a.key);
    RunLoopSteps();
    ASSERT_EQ(1u, Messages().size());
    EXPECT_EQ(MainWindow, Messages()[0].window);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), Messages()[0].message);
    EXPECT_EQ(a.command, LOWORD(Messages()[0].wParam));
    EXPECT_EQ(CentsEdit, GetFocus());
  }
  EXPECT_EQ("", CentsText());
  // Digits and the minus sign are typed into the box.
  Messages().clear();
  PostKey(CentsEdit, VK_OEM_MINUS);
  PostKey(CentsEdit, '1');
  PostKey(CentsEdit, '2');
  RunLoopSteps();
  EXPECT_EQ("-12", CentsText());
  EXPECT_EQ(0u, Messages().size()) << "no command";
}

// M and D are no button's mnemonic, so a command could come only from the accelerators.
TEST_F(ShellTest, AcceleratorsRunNoCommandWithAModifierHeld) {
  RecordMessages();
  SetFocus(PlayButton);
  const int modifiers[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
  for (int modifier : modifiers) {
    SCOPED_TRACE(modifier);
    Messages().clear();
    HoldKey(modifier, true);
    PostKey(PlayButton, 'M');
    PostKey(PlayButton, 'D');
    RunLoopSteps();
    HoldKey(modifier, false);
    EXPECT_EQ(0u, Messages().size());
  }
}

TEST_F(ShellTest, EnterAndEscInTheCentsBoxSendOkAndCancel) {
  RecordMessages();
  SetFocus(CentsEdit);
  PostKey(CentsEdit, VK_RETURN);
  PostKey(CentsEdit, VK_ESCAPE);
  RunLoopSteps();
  std::vector<int> commands;
  for (const Recorded &r : Messages()) commands.push_back(LOWORD(r.wParam));
  ASSERT_EQ(2u, commands.size());
  EXPECT_EQ(IDOK, commands[0]);
  EXPECT_EQ(IDCANCEL, commands[1]);
  EXPECT_EQ("0", CentsText());
}

}  // namespace
