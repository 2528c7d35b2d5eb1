// Pitch control on the real main window: the cents box, the rate handed to the graph,
// the spin arrows, and Mem with its notice and the stored entry.
#include "wine/player_fixture_win.h"

#include "player/pitch.h"
#include "player/player_win.h"
#include "settings/settings.h"
#include "shell/notice_win.h"

using namespace playertest;

namespace {

class Pitch : public PlayerWindow {
 protected:
  void Spin(int code, HWND bar = RateScrollBar) { SpinPitch(MainWindow, bar, code); }
  void PressCtrl(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  // Dark pixels in the notice's place at (330, 0).
  int NoticeInk() {
    HDC dc = GetDC(MainWindow);
    int ink = 0;
    for (int x = 330; x < 330 + 80; x++)
      for (int y = 0; y < 12; y++)
        if (GetPixel(dc, x, y) == RGB(0, 0, 0)) ink++;
    ReleaseDC(MainWindow, dc);
    return ink;
  }
  // The notice's place as drawn, a character a pixel: '#' dark, '.' not.
  std::string NoticePixels() {
    HDC dc = GetDC(MainWindow);
    std::string pixels;
    for (int y = 0; y < 16; y++)
      for (int x = 330; x < 330 + 160; x++) pixels += GetPixel(dc, x, y) == RGB(0, 0, 0) ? '#' : '.';
    ReleaseDC(MainWindow, dc);
    return pixels;
  }
};

TEST_F(Pitch, OctaveButtonsFromZero) {
  ASSERT_EQ("0", CentsText());
  RaiseOctave(MainWindow);
  EXPECT_EQ("1200", CentsText());
  SetWindowTextA(CentsEdit, "0");
  LowerOctave(MainWindow);
  LowerOctave(MainWindow);
  EXPECT_EQ("-2400", CentsText());
  ExpectRates({2.0, 0.5, 0.25});
}

TEST_F(Pitch, TypedValueIsParsedAndRewritten) {
  SetWindowTextA(CentsEdit, "  +30xyz");
  ReapplyPitch(MainWindow);
  EXPECT_EQ("30", CentsText());
  ASSERT_EQ(1u, Rates().size());
  EXPECT_DOUBLE_EQ(PitchRate(30), Rates()[0]);
  EXPECT_NEAR(1.0174796921026863, Rates()[0], 1e-15);
  SetWindowTextA(CentsEdit, "abc");
  RaisePitch25(MainWindow);
  EXPECT_EQ("25", CentsText());
  LowerPitch5(MainWindow);
  RaisePitch5(MainWindow);
  LowerPitch5(MainWindow);
  LowerPitch25(MainWindow);
  EXPECT_EQ("-5", CentsText());
}

TEST_F(Pitch, NoRateWithoutSeeking) {
  ReleaseSession();
  RaiseOctave(MainWindow);
  EXPECT_EQ("1200", CentsText());
  EXPECT_TRUE(Rates().empty());
}

TEST_F(Pitch, SpinStepsAtTheEndOfTheScroll) {
  Spin(SB_LINEUP);
  Spin(SB_ENDSCROLL);
  Spin(SB_LINEUP);
  Spin(SB_ENDSCROLL);
  EXPECT_EQ("200", CentsText());
  // A held arrow repeats its line notification but steps once.
  Spin(SB_LINEDOWN);
  Spin(SB_LINEDOWN);
  Spin(SB_LINEDOWN);
  Spin(SB_ENDSCROLL);
  EXPECT_EQ("100", CentsText());
  EXPECT_EQ(0, SpinDirection);
  ExpectRates({PitchRate(100), PitchRate(200), PitchRate(100)});
}

TEST_F(Pitch, CtrlAtTheReleaseStepsAnOctave) {
  Spin(SB_LINEUP);
  PressCtrl(true);
  Spin(SB_ENDSCROLL);
  PressCtrl(false);
  EXPECT_EQ("1200", CentsText());
  PressCtrl(true);  // Ctrl at the line notification alone does not count
  Spin(SB_LINEDOWN);
  PressCtrl(false);
  Spin(SB_ENDSCROLL);
  EXPECT_EQ("1100", CentsText());
}

TEST_F(Pitch, PageOrThumbCancelsThePendingDirection) {
  for (int code : {SB_PAGEUP, SB_PAGEDOWN, SB_THUMBTRACK, SB_THUMBPOSITION, SB_TOP}) {
    Spin(SB_LINEUP);
    Spin(code);
    Spin(SB_ENDSCROLL);
    EXPECT_EQ("0", CentsText()) << code;
  }
  // A notification without a control handle is not the spin bar's: nothing happens.
  Spin(SB_LINEUP, nullptr);
  EXPECT_EQ(0, SpinDirection);
  SetWindowTextA(CentsEdit, "7x");
  Spin(SB_ENDSCROLL, nullptr);
  EXPECT_EQ("7x", CentsText());
}

// Before any song the position timer has never ticked: the notice goes by its own time.
TEST_F(Pitch, ANoticeBeforeAnySongGoesByItself) {
  Command(ID_TEMPO_UP);
  ASSERT_FALSE(Controller.timerStarted);
  const std::string shown = NoticePixels();
  EXPECT_TRUE(PumpUntil(2000, [&] { return NoticeInk() == 0; })) << "the notice stays";
  ShowNotice("テンポ 105%");
  EXPECT_EQ(shown, NoticePixels()) << "another notice was shown";
}

TEST_F(Pitch, MemBeforeAnySongDoesNothing) {
  AddSong("a.wav");
  SetWindowTextA(CentsEdit, "300");
  StorePitch(MainWindow);
  EXPECT_FALSE(FileExists(iniPath));
  EXPECT_FALSE(KillTimer(MainWindow, ID_NOTICE_TIMER)) << "no notice to blank";
  EXPECT_EQ(0, NoticeInk());
}

TEST_F(Pitch, MemStoresTheBoxAsShownAndTheNoticeFades) {
  std::string path = AddSong("a=b.wav");
  PlayCursor.current = 0;
  SetWindowTextA(CentsEdit, "-1200");
  StorePitch(MainWindow);
  // The key has '|' for '=': a key with '=' would never be found again.
  std::string key = path.substr(0, path.size() - 7) + "a|b.wav";
  EXPECT_EQ("-1200", StoredValue(key));
  EXPECT_GT(NoticeInk(), 20);
  EXPECT_TRUE(PumpUntil(NoticeMs + 2000, [&] { return NoticeInk() == 0; })) << "the notice stays";

  SetWindowTextA(CentsEdit, "12abc");  // stored as shown, not parsed
  StorePitch(MainWindow);
  EXPECT_EQ("12abc", StoredValue(key));
}

TEST_F(Pitch, StoredPitchIsRestoredWhenTheSongStarts) {
  std::string slow = AddSong("slow=down.wav");
  AddSong("plain.wav");
  std::string odd = AddSong("odd.wav");
  char key[260];
  WritePrivateProfileStringA("BRAMLOE", PitchEntryKey(slow.c_str(), key), "-1200",
                             iniPath.c_str());
  WritePrivateProfileStringA("BRAMLOE", odd.c_str(), "abc", iniPath.c_str());
  SetWindowTextA(CentsEdit, "500");

  ASSERT_TRUE(PlayNext(MainWindow));
  EXPECT_EQ("-1200", CentsText());
  ASSERT_NE(nullptr, PlaybackSession.control);
  ExpectRates({0.5});
  EXPECT_EQ(std::vector<OAFilterState>{State_Running}, RateStates());  // after Run

  ResetSession(MainWindow);
  ASSERT_TRUE(PlayNext(MainWindow));
  EXPECT_EQ("0", CentsText());  // no entry: the default
  ResetSession(MainWindow);
  ASSERT_TRUE(PlayNext(MainWindow));
  EXPECT_EQ("abc", CentsText());  // shown as stored, played at 0
  ExpectRates({0.5, 1.0, 1.0});
}

}  // namespace

// Cents whose rate is no double (stored, shifted or typed) play at 1 and stay shown.
TEST_F(Pitch, CentsBeyondAnyRatePlayAtOne) {
  std::string song = AddSong("far.wav");
  WritePrivateProfileStringA("BRAMLOE", song.c_str(), "99999999", iniPath.c_str());
  ASSERT_TRUE(PlayNext(MainWindow));
  EXPECT_EQ("99999999", CentsText());
  RaisePitch5(MainWindow);
  EXPECT_EQ("100000004", CentsText());
  SetWindowTextA(CentsEdit, "-99999999");
  ReapplyPitch(MainWindow);
  EXPECT_EQ("-99999999", CentsText());
  ExpectRates({1.0, 1.0, 1.0});
  EXPECT_EQ(1.0, PlaybackSession.rateAsked);
}
