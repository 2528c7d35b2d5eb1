// The lyrics window over the desktop, in process: its styles as the lock changes them,
// a click that goes through it to the window below once locked, and the two lines it
// draws as the song goes on, read back from the pixels it hands to the system.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "textview/lyrics_window.h"
#include "textview/lyrics_window_win.h"
#include "textview/text_font_win.h"
#include "textview/timed_text.h"
#include "wine/main_window_fixture_win.h"

using namespace mainwindowtest;

namespace {

const ScreenBox TestPlace = {120, 140, 640, 100};

// The main window, and the lyrics window at a place of the test's.
class LyricsWindowTest : public MainWindowTest {
 protected:
  void Show(bool locked) {
    LyricsWindow.place = TestPlace;
    LyricsWindow.locked = locked;
    Command(ID_LYRICS_WINDOW);
    ASSERT_TRUE(LyricsWindowHandle());
  }
  void Command(int id) {
    SendMessageA(MainWindow, WM_COMMAND, id, 0);
    RunLoopSteps();
  }
  LONG_PTR ExStyle() { return GetWindowLongPtrA(LyricsWindowHandle(), GWL_EXSTYLE); }
  std::string Kept(const char *key) {
    char value[64];
    GetPrivateProfileStringA("BRAMLOE", key, "", value, sizeof value, settingsPath.c_str());
    return value;
  }
};

TEST_F(LyricsWindowTest, FloatsWithoutFrameOrActivationAndTheLockLetsClicksThrough) {
  EXPECT_FALSE(FindWindowA(LYRICS_WINDOW_CLASS, nullptr));  // nothing of it until shown
  // 表示 stands before ヘルプ; W and Shift+W follow the earlier keys, on a letter no
  // button's mnemonic takes.
  HMENU bar = GetMenu(MainWindow);
  HMENU view = GetSubMenu(bar, GetMenuItemCount(bar) - 2);
  EXPECT_EQ(ID_LYRICS_WINDOW, static_cast<int>(GetMenuItemID(view, 0)));
  ACCEL keys[64];
  const int count = CopyAcceleratorTableA(AppAccelerators, keys, 64);
  ASSERT_GE(count, 2);
  EXPECT_EQ(ID_LYRICS_WINDOW, keys[count - 2].cmd);
  EXPECT_EQ(FVIRTKEY, keys[count - 2].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT));
  EXPECT_EQ(ID_LYRICS_UNLOCK, keys[count - 1].cmd);
  EXPECT_EQ(FVIRTKEY | FSHIFT, keys[count - 1].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT));
  for (const ACCEL &key : {keys[count - 2], keys[count - 1]}) EXPECT_EQ('W', key.key);
  for (HWND button : {PlayButton, StopButton, TopButton, NextButton, MemButton})
    EXPECT_EQ(std::string::npos, WindowText(button).find("&W"));
  Show(false);
  EXPECT_TRUE(GetMenuState(bar, ID_LYRICS_WINDOW, MF_BYCOMMAND) & MF_CHECKED);
  HWND lyrics = LyricsWindowHandle();
  EXPECT_EQ(lyrics, FindWindowA(LYRICS_WINDOW_CLASS, nullptr));
  EXPECT_TRUE(IsWindowVisible(lyrics));
  EXPECT_FALSE(GetWindow(lyrics, GW_OWNER));
  EXPECT_EQ(0, GetWindowLongPtrA(lyrics, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
  const LONG_PTR floats = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  const struct {
    int command;
    bool transparent;
    const char *lock, *shown;
  } steps[] = {
      {ID_LYRICS_LOCK, true, "1", "1"},
      {ID_LYRICS_UNLOCK, false, "0", "1"},
      {ID_LYRICS_LOCK, true, "1", "1"},
  };
  for (const auto &s : steps) {
    Command(s.command);
    EXPECT_EQ(floats, ExStyle() & floats) << s.command;
    EXPECT_EQ(s.transparent, (ExStyle() & WS_EX_TRANSPARENT) != 0) << s.command;
    EXPECT_EQ(s.lock, Kept(LyricsLockKey)) << s.command;
    EXPECT_EQ(s.shown, Kept(LyricsShownKey)) << s.command;
  }
  ShowWindow(MainWindow, SW_MINIMIZE);
  RunLoopSteps();
  EXPECT_TRUE(IsWindowVisible(lyrics));  // the main window minimised leaves it shown
  ShowWindow(MainWindow, SW_RESTORE);
  Command(ID_LYRICS_WINDOW);
  EXPECT_FALSE(LyricsWindowHandle());
  EXPECT_FALSE(IsWindow(lyrics));
  EXPECT_EQ("0", Kept(LyricsShownKey));
}

// A window of the test's own below the lyrics window notes the clicks it gets.
LRESULT CALLBACK NoteClicks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++*reinterpret_cast<int *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void ClickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof input[0]);
}

TEST_F(LyricsWindowTest, LockedItLetsTheClickReachTheWindowBelow) {
  WNDCLASSA below = {};
  below.lpfnWndProc = NoteClicks;
  below.hInstance = GetModuleHandleA(nullptr);
  below.lpszClassName = "LyricsTestBelow";
  RegisterClassA(&below);
  HWND under = CreateWindowExA(0, below.lpszClassName, "", WS_POPUP | WS_VISIBLE, TestPlace.x - 20,
                               TestPlace.y - 20, TestPlace.width + 40, TestPlace.height + 40, nullptr,
                               nullptr, below.hInstance, nullptr);
  int clicks = 0;
  SetWindowLongPtrA(under, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&clicks));
  Show(false);
  RunLoopSteps();
  // Unlocked, the lock button in its corner takes the click, and locks it.
  ClickAt(TestPlace.x + TestPlace.width - 10, TestPlace.y + 10);
  PumpUntil(2000, [] { return LyricsWindow.locked; });
  EXPECT_TRUE(LyricsWindow.locked);
  EXPECT_EQ(0, clicks);
  // Locked, a click on the lyrics themselves goes through.
  ClickAt(TestPlace.x + TestPlace.width / 2, TestPlace.y + TestPlace.height / 4);
  EXPECT_TRUE(PumpUntil(2000, [&] { return clicks > 0; }));
  DestroyWindow(under);
  UnregisterClassA(below.lpszClassName, below.hInstance);
}

// The ink of one half of the window: its widest run of drawn columns, and whether any
// pixel there is of the colour given.
struct HalfInk {
  int width;
  bool hasSung, hasText;
};

HalfInk InkOf(int half) {
  const COLORREF sung = GetSysColor(COLOR_HIGHLIGHT), text = GetSysColor(COLOR_WINDOWTEXT);
  HalfInk ink = {0, false, false};
  int left = LyricsCanvas.width, right = -1;
  for (int y = half * LyricsCanvas.height / 2; y < (half + 1) * LyricsCanvas.height / 2; y++) {
    for (int x = 0; x < LyricsCanvas.width; x++) {
      const DWORD p = LyricsCanvas.bits[y * LyricsCanvas.width + x];
      if (p >> 24 == 0) continue;
      left = x < left ? x : left;
      right = x > right ? x : right;
      // Opaque: the premultiplied colour is the colour.
      const COLORREF colour = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      if (p >> 24 == 0xFF && colour == sung) ink.hasSung = true;
      if (p >> 24 == 0xFF && colour == text) ink.hasText = true;
    }
  }
  ink.width = right < left ? 0 : right - left + 1;
  return ink;
}

// Lines of 2, 5 and 9 full-width characters: the ink's width tells which one is drawn.
int CharsDrawn(int inkWidth) {
  if (inkWidth == 0) return 0;
  HDC dc = GetDC(nullptr);
  HFONT font = CreateTextFont(LyricsFontHeight(TestPlace.height));
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE cell;
  GetTextExtentPoint32A(dc, "あ", 2, &cell);
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return (inkWidth + cell.cx / 2) / cell.cx;
}

TEST_F(LyricsWindowTest, DrawsTheSungLineAndTheNextAsTheSongGoesOn) {
  LoadTextBytes("[00:01.00]ああ\r\n[00:02.00]あああああ\r\n[00:03.00]ああああああああああ\r\n");
  Show(true);
  const struct {
    long ms;
    int top, bottom;
    bool sung;
    bool drawn;  // a new drawing: only when what it shows changes
  } moments[] = {
      {0, 2, 5, false, false},     // as shown: the first two lines, nothing sung
      {1000, 2, 5, true, true},
      {1500, 2, 5, true, false},
      {2000, 5, 10, true, true},
      {3000, 10, 0, true, true},
      {500, 2, 5, false, true},    // back before the first line
  };
  for (const auto &m : moments) {
    const int draws = LyricsCanvas.draws;
    FollowSongPosition(static_cast<long long>(m.ms) * 10000);
    EXPECT_EQ(m.drawn, LyricsCanvas.draws > draws) << m.ms << " ms";
    const HalfInk top = InkOf(0), bottom = InkOf(1);
    EXPECT_EQ(m.top, CharsDrawn(top.width)) << m.ms << " ms";
    EXPECT_EQ(m.bottom, CharsDrawn(bottom.width)) << m.ms << " ms";
    EXPECT_EQ(m.sung, top.hasSung) << m.ms << " ms";
    EXPECT_EQ(!m.sung, top.hasText) << m.ms << " ms";
    EXPECT_FALSE(bottom.hasSung) << m.ms << " ms";
  }
  // No text: the title line alone.
  LoadText(-1);
  EXPECT_GT(InkOf(0).width, 0);
  EXPECT_EQ(0, InkOf(1).width);
}

}  // namespace
