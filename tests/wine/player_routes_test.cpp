// The player's commands and messages through the real main window procedure and the
// message loop's own steps: what each route does and what the procedure returns.
#include "wine/player_fixture_win.h"

#include "app/routes_win.h"
#include "player/pitch.h"

using namespace playertest;

namespace {

class PlayerRoutes : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    AppAccelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), RES_ACCELERATORS);
  }
  // A key press as the message loop takes it: accelerators, key translation, dialog keys.
  void Key(HWND target, WPARAM key) {
    MSG message = {};
    message.hwnd = target;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    ProcessLoopMessage(&message);
  }
};

TEST_F(PlayerRoutes, EveryPlayerCommandHasItsHandler) {
  for (int id : {IDOK, ID_ABOUT, ID_PLAY, ID_NEXT, ID_SETTINGS, ID_EDIT_TEXT, ID_TOP,
                 ID_OCTAVE_UP, ID_OCTAVE_DOWN, ID_RELOAD_TEXT, ID_CENTS_UP_25, ID_CENTS_DOWN_25,
                 ID_CENTS_UP_5, ID_CENTS_DOWN_5, ID_MEM, ID_STOP, ID_KEEP_TEMPO}) {
    ASSERT_NE(nullptr, FindCommandRoute(id)) << id;
    EXPECT_NE(nullptr, FindCommandRoute(id)->handler) << id;
  }
  EXPECT_EQ(nullptr, FindCommandRoute(IDCANCEL)->handler);
  EXPECT_EQ(nullptr, FindCommandRoute(ID_CENTS)->handler);
}

TEST_F(PlayerRoutes, PitchCommandsByMessage) {
  Command(ID_OCTAVE_UP);
  EXPECT_EQ("1200", CentsText());
  Command(ID_CENTS_DOWN_25);
  Command(ID_CENTS_DOWN_5);
  Command(ID_OCTAVE_DOWN);
  EXPECT_EQ("-30", CentsText());
  // The notification code in the high word is not looked at.
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(ID_CENTS_UP_25, 1), 0);
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(ID_CENTS_UP_5, 1), 0);
  EXPECT_EQ("0", CentsText());
  ExpectRates({2.0, PitchRate(1175), PitchRate(1170), PitchRate(-30), PitchRate(-5), 1.0});
}

TEST_F(PlayerRoutes, EscAndTheBoxOwnNotificationsChangeNothing) {
  SetWindowTextA(CentsEdit, "  +30xyz");
  Command(IDCANCEL);
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(ID_CENTS, EN_CHANGE),
               reinterpret_cast<LPARAM>(CentsEdit));
  EXPECT_EQ("  +30xyz", CentsText());
  EXPECT_TRUE(Rates().empty());
}

TEST_F(PlayerRoutes, KeysReachThePitch) {
  SetFocus(CentsEdit);
  SetWindowTextA(CentsEdit, "  +30xyz");
  Key(CentsEdit, VK_RETURN);  // Enter in the box: IDOK
  EXPECT_EQ("30", CentsText());
  Key(CentsEdit, 'D');  // an accelerator wins over the box
  EXPECT_EQ("1230", CentsText());
  Key(CentsEdit, 'H');
  Key(CentsEdit, VK_F11);
  EXPECT_EQ("25", CentsText());
  SetFocus(PlayButton);
  Key(PlayButton, VK_RIGHT);
  EXPECT_EQ("30", CentsText());
  SetFocus(RateScrollBar);
  Key(RateScrollBar, VK_UP);  // a spin: line up, then the end of the scroll
  EXPECT_EQ("130", CentsText());
}

TEST_F(PlayerRoutes, SpinByScrollMessages) {
  LPARAM bar = reinterpret_cast<LPARAM>(RateScrollBar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_LINEUP, bar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_ENDSCROLL, bar);
  SendMessageA(MainWindow, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0xFFFF), bar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_ENDSCROLL, bar);
  EXPECT_EQ("200", CentsText());
  SendMessageA(MainWindow, WM_VSCROLL, SB_LINEDOWN, bar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_THUMBTRACK, bar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_ENDSCROLL, bar);
  EXPECT_EQ("200", CentsText());
}

TEST_F(PlayerRoutes, AboutReturnsZeroAndPlayStopGoThroughTheTable) {
  EXPECT_EQ(0, Command(ID_ABOUT));
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ("BRAMLOE 0.02", Boxes()[0].text);
  AddSong("a.wav");
  AddSong("b.wav");
  Command(ID_PLAY);
  EXPECT_EQ(Playing, Controller.state);
  EXPECT_EQ(NextButton, GetFocus());
  Key(NextButton, 'P');
  EXPECT_EQ(Paused, Controller.state);
  Key(NextButton, 'N');
  EXPECT_EQ(Playing, Controller.state);
  EXPECT_EQ(1, PlayCursor.current);
  Command(ID_STOP);
  EXPECT_EQ(Stopped, Controller.state);
  EXPECT_EQ(PlayButton, GetFocus());
}

TEST_F(PlayerRoutes, TimerDrawsTheBarAndTheNoticeKeepsItsOwnTime) {
  AddSong("a.wav", 440, 2);
  Command(ID_PLAY);
  Command(ID_MEM);
  Pump(400);  // the window's own timer ticks
  SendMessageA(MainWindow, WM_TIMER, ID_POSITION_TIMER, 0);
  EXPECT_TRUE(KillTimer(MainWindow, ID_NOTICE_TIMER)) << "the notice waits for its own timer";
  HDC dc = GetDC(MainWindow);
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, ProgressRect.left + 1, ProgressRect.top + 1));
  ReleaseDC(MainWindow, dc);
}

TEST_F(PlayerRoutes, ClickAppliesTheFocusRule) {
  AddSong("a.wav");
  SetFocus(CentsEdit);
  SendMessageA(MainWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(ProgressRect.left - 1, ProgressRect.top));
  EXPECT_EQ(PlayButton, GetFocus());  // stopped
  Command(ID_PLAY);
  SetFocus(CentsEdit);
  SendMessageA(MainWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(ProgressRect.left, ProgressRect.top));
  EXPECT_EQ(NextButton, GetFocus());  // playing, and sought to the start
}

TEST_F(PlayerRoutes, SongsAdvanceByThemselvesAtTheirEnds) {
  AddSong("a.wav", 440, 0.4);
  AddSong("b.wav", 660, 0.4);
  AddSong("c.wav", 880, 3);
  Command(ID_PLAY);
  std::vector<int> seen = {PlayCursor.current};
  EXPECT_TRUE(PumpUntil(6000, [&] {
    if (PlayCursor.current != seen.back()) seen.push_back(PlayCursor.current);
    return PlayCursor.current == 2;
  }));
  EXPECT_EQ((std::vector<int>{0, 1, 2}), seen);
  EXPECT_EQ(Playing, Controller.state);
  EXPECT_EQ(NextButton, GetFocus());
  EXPECT_TRUE(IsWindowEnabled(NextButton));
}

}  // namespace
