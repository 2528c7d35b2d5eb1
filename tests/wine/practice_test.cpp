// Practising a song under Wine: the tempo heard keeping the pitch, the tempo, loop and
// lyrics' shift stored and restored per song, the loop's presses and jump back, a click
// and the wheel on the text, and the 練習 menu with its keys.
#include "wine/keep_tempo_player_win.h"

#include <cstring>

#include "player/keep_tempo_dmo_win.h"
#include "player/keep_tempo_win.h"
#include "player/practice_win.h"
#include "player/vocal.h"
#include "settings/song_memory.h"
#include "settings/song_memory_win.h"
#include "textview/timed_text.h"

using namespace playertest;

namespace {

// What the player holds of the song's practice, gone: only the settings file has it.
void ForgetPractice() {
  Practice = {TEMPO_DEFAULT, {LOOP_NONE, 0, 0}, {0, 0, TEMPO_DEFAULT}, 0, VOCAL_AS_RECORDED};
  SetKeepTempoTempo(TEMPO_DEFAULT);
  SetKeepTempoVocal(VOCAL_AS_RECORDED);
  LyricsOffset = 0;
}

// A timed text beside a 6 s song, paused, so the position stays where it is put.
class PracticeWindow : public PlayerWindow {
 protected:
  void PlayPaused(const std::string &text) {
    song = AddSong("song.wav", 440, 6);
    if (!text.empty()) AddText("song.lrc", text);
    PlayPause(MainWindow);
    ASSERT_EQ(Playing, Controller.state);
    ASSERT_TRUE(PumpUntil(5000, [] { return !GraphStarting(); }));
    PlayPause(MainWindow);
  }
  void SeekMs(long ms) { SeekSongTo(MainWindow, static_cast<LONGLONG>(ms) * 10000); }
  // A click at the middle of a TextBuffer row.
  void ClickRow(int row, UINT message = WM_LBUTTONDOWN) {
    const int y = row * TextView.linePitch - TextView.scrollPos + TextView.linePitch / 2;
    SendMessageA(TextViewWindow, message, MK_LBUTTON, MAKELPARAM(5, y));
  }
  std::string Stored(const char *section) {
    char value[64];
    GetPrivateProfileStringA(section, song.c_str(), "<absent>", value, sizeof value, iniPath.c_str());
    return value;
  }
  std::string song;
};

const char Lyrics[] = "[00:01.00]one\n[00:02.00]two\n[00:03.00]three\n[00:04.00]four\n";

// The tempo heard at its own pitch and its length: the stage in the graph whenever the
// tempo is not 100, the rate carrying the cents with keep tempo off.
class PracticeSound : public KeepTempoPlayer {};

TEST_F(PracticeSound, TheTempoKeepsThePitchAndTheSongsOwnTime) {
  const struct {
    int tempo, keep;
    const char *cents;
    double hz;
    bool stage;
  } cases[] = {{50, 0, "0", 330, true}, {150, 0, "0", 330, true}, {50, 1, "1200", 660, true},
               {100, 0, "0", 330, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.tempo);
    KeepTempo = c.keep;
    const std::string next = folder + "\\song" + std::to_string(songsMade) + ".wav";
    WriteSongValue(TEMPO_SECTION, next.c_str(), std::to_string(c.tempo).c_str());
    long before = Play(media::Tone(330, 2), c.cents);
    ASSERT_EQ(Playing, Controller.state);
    EXPECT_EQ(c.stage, StageInGraph() != nullptr);
    ExpectRates({1.0});
    EXPECT_NEAR(2.0, PlaybackSession.duration, 0.01) << "the song's own length";
    // Half a second of real time moves the song's time by the tempo's share of it.
    ASSERT_TRUE(PumpUntil(15000, [] { return !GraphStarting() && SongMsNow() >= 200; }));
    const long from = SongMsNow();
    Pump(500);
    EXPECT_NEAR(5.0 * c.tempo, SongMsNow() - from, 120);
    std::vector<short> heard = HeardToTheEnd(before);
    tone::Span span = tone::LoudSpan(heard);
    const double seconds = span.Length() / 44100.0, expected = 2.0 * TEMPO_DEFAULT / c.tempo;
    const double hz = tone::Frequency(heard, span.first + 11025, span.last - 11025, 44100);
    std::printf("tempo %d%%, keep tempo %d, %s cents: %.2f Hz for %.3f s\n", c.tempo, c.keep,
                c.cents, hz, seconds);
    EXPECT_TRUE(tone::Near(hz, c.hz, 0.01)) << hz;
    EXPECT_NEAR(expected, seconds, expected * 0.04);
    StopSong(MainWindow);
  }
}

// [ while a song plays: the stage comes in where the song stands, the rest of the song
// is heard at half its tempo and its own pitch, and ] back to 100 takes the stage out.
TEST_F(PracticeSound, TheTempoChangesWhileTheSongPlays) {
  long before = Play(media::Tone(440, 3), "0");
  ASSERT_TRUE(WaitForPosition(1.0));
  for (int i = 0; i < 10; i++) Command(ID_TEMPO_DOWN);
  EXPECT_EQ(TEMPO_LOWEST, Practice.tempo);
  EXPECT_NE(nullptr, StageInGraph());
  EXPECT_EQ(Playing, Controller.state);
  std::vector<short> heard = HeardToTheEnd(before);
  tone::Span span = tone::LoudSpan(heard);
  const double seconds = span.Length() / 44100.0;
  const double hz = tone::Frequency(heard, span.first + 11025, span.last - 11025, 44100);
  std::printf("slowed at 1 s: %.2f Hz for %.3f s\n", hz, seconds);
  EXPECT_TRUE(tone::Near(hz, 440, 0.01)) << hz;
  EXPECT_NEAR(1.0 + 2 * 2.0, seconds, 0.35);  // the switch costs a moment of sound
  for (int i = 0; i < 10; i++) Command(ID_TEMPO_UP);
  EXPECT_EQ(nullptr, StageInGraph()) << "the graph of the song at 100 %";
}

// Mem stores the tempo and the loop beside the cents; X and Z store the lyrics' shift
// at once; the next start of the song brings all three back, as a restart would.
TEST_F(PracticeWindow, StoredPracticeComesBackAtTheSongsStart) {
  PlayPaused(Lyrics);
  EXPECT_EQ("<absent>", Stored(TEMPO_SECTION));
  Command(ID_MEM);
  EXPECT_EQ("<absent>", Stored(TEMPO_SECTION)) << "nothing of its own: no entry";
  EXPECT_EQ("<absent>", Stored(LOOP_SECTION));
  for (int i = 0; i < 3; i++) Command(ID_TEMPO_DOWN);
  EXPECT_EQ(85, Practice.tempo);
  SeekMs(1000);
  Command(ID_LOOP);
  SeekMs(2500);
  Command(ID_LOOP);
  ASSERT_EQ(LOOP_ON, Practice.loop.stage);
  for (int i = 0; i < 3; i++) Command(ID_LYRICS_SOONER);
  Command(ID_LYRICS_LATER);
  EXPECT_EQ("200", Stored(OFFSET_SECTION)) << "stored at once";
  EXPECT_EQ("<absent>", Stored(TEMPO_SECTION)) << "the tempo waits for Mem";
  Command(ID_MEM);
  EXPECT_EQ("85", Stored(TEMPO_SECTION));
  EXPECT_EQ("1000-2500", Stored(LOOP_SECTION));
  StopSong(MainWindow);
  ForgetPractice();
  PlayCursor.current = -1;
  PlayPause(MainWindow);
  EXPECT_EQ(85, Practice.tempo);
  EXPECT_EQ(LOOP_ON, Practice.loop.stage);
  EXPECT_EQ(1000, Practice.loop.startMs);
  EXPECT_EQ(2500, Practice.loop.endMs);
  EXPECT_EQ(200, LyricsOffset);
  EXPECT_EQ(800, TimedText.entries[0].time);
  // Back to 100 and no loop: the entries the song has are written back so.
  for (int i = 0; i < 3; i++) Command(ID_TEMPO_UP);
  Command(ID_LOOP);
  Command(ID_MEM);
  EXPECT_EQ("100", Stored(TEMPO_SECTION));
  EXPECT_EQ("", Stored(LOOP_SECTION));
}

// L, L, L: the start, the end and looping, then off; looping, the song jumps back at
// the end.
TEST_F(PracticeWindow, ThreePressesSetLoopAndEndTheLoop) {
  PlayPaused("");
  SeekMs(1000);
  Command(ID_LOOP);
  EXPECT_EQ(LOOP_STARTED, Practice.loop.stage);
  SeekMs(2000);
  Command(ID_LOOP);
  ASSERT_EQ(LOOP_ON, Practice.loop.stage);
  SeekMs(2050);  // past the end: the next tick jumps back
  DrawPosition(MainWindow);
  EXPECT_NEAR(1000, SongMsNow(), 20);
  PlayPause(MainWindow);  // playing: it goes round again
  ASSERT_TRUE(PumpUntil(4000, [] { return SongMsNow() >= 1800; }));
  ASSERT_TRUE(PumpUntil(4000, [] { return SongMsNow() < 1500; })) << "no jump back";
  Command(ID_LOOP);
  EXPECT_EQ(LOOP_NONE, Practice.loop.stage);
  ASSERT_TRUE(PumpUntil(4000, [] { return SongMsNow() >= 2300; })) << "the loop still holds";
}

// A click on a timed line seeks to it and the focus rule runs; a double click loops
// the line to the next line's time. Without tags a click only moves the focus.
TEST_F(PracticeWindow, AClickOnATimedLineSeeksAndADoubleClickLoopsIt) {
  PlayPaused(Lyrics);
  SetFocus(CentsEdit);
  ClickRow(2);
  EXPECT_NEAR(3000, SongMsNow(), 20);
  EXPECT_EQ(PlayButton, GetFocus()) << "paused: Play";
  ClickRow(1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(LOOP_ON, Practice.loop.stage);
  EXPECT_EQ(2000, Practice.loop.startMs);
  EXPECT_EQ(3000, Practice.loop.endMs);
  ClickRow(3, WM_LBUTTONDBLCLK);  // the last line: to the song's end
  EXPECT_EQ(4000, Practice.loop.startMs);
  EXPECT_EQ(6000, Practice.loop.endMs);
  EXPECT_TRUE(GetClassLongA(TextViewWindow, GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(PracticeWindow, AClickOnATextWithoutTagsDoesWhatItDid) {
  PlayPaused("one\ntwo\nthree\n");
  SeekMs(1500);
  ClickRow(2);
  ClickRow(2, WM_LBUTTONDBLCLK);
  EXPECT_NEAR(1500, SongMsNow(), 20);
  EXPECT_EQ(LOOP_NONE, Practice.loop.stage);
  EXPECT_EQ(PlayButton, GetFocus());
}

// The wheel, turned over a button (where the message goes), scrolls the text by the
// system's lines a notch; a timed text's follow then waits for its next line.
TEST_F(PracticeWindow, TheWheelScrollsTheTextAndTheFollowWaits) {
  std::string text;
  for (int i = 0; i < 60; i++) text += "[00:0" + std::to_string(i < 5 ? i + 1 : 5) + ".00]line\n";
  PlayPaused(text);
  SeekMs(1000);
  DrawPosition(MainWindow);
  ASSERT_GT(TextView.scrollMax, 0);
  const int before = TextView.scrollPos;
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  SendMessageA(PlayButton, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(before + static_cast<int>(lines) * TextView.linePitch, TextView.scrollPos);
  EXPECT_EQ(TextView.scrollPos, GetScrollPos(TextViewWindow, SB_VERT));
  const int scrolled = TextView.scrollPos;
  SeekMs(1500);  // the same line still
  DrawPosition(MainWindow);
  EXPECT_EQ(scrolled, TextView.scrollPos);
  SendMessageA(TextViewWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(before, TextView.scrollPos);
}

// X and Z move the marked line: 1.5 s sooner, the line due at 1.2 s is the second.
TEST_F(PracticeWindow, XAndZMoveTheMarkedLine) {
  PlayPaused(Lyrics);
  SeekMs(1200);
  DrawPosition(MainWindow);
  EXPECT_EQ(0, TimedText.entries[TimedText.marked].firstRow);
  for (int i = 0; i < 10; i++) Command(ID_LYRICS_SOONER);
  DrawPosition(MainWindow);
  EXPECT_EQ(1, TimedText.entries[TimedText.marked].firstRow);
  for (int i = 0; i < 20; i++) Command(ID_LYRICS_LATER);
  DrawPosition(MainWindow);
  EXPECT_EQ(-1, TimedText.marked);
  EXPECT_EQ("-1000", Stored(OFFSET_SECTION));
}

// Shift+Z five times: the delay key reads 100 at once, and the mark follows the graph
// 100 ms later; Shift+X takes a step back. Z alone still moves the lyrics.
TEST_F(PracticeWindow, ShiftZDelaysTheMarkAndIsStoredAtOnce) {
  PlayPaused(Lyrics);
  auto markedAt = [](long graphMs) {
    FollowSongPosition(HeardSongTimeOfGraph(static_cast<LONGLONG>(graphMs) * 10000));
    return TimedText.marked < 0 ? -1 : TimedText.entries[TimedText.marked].firstRow;
  };
  EXPECT_EQ(1, markedAt(2050));
  auto keys = [](WORD key, int times) {
    SetFocus(PlayButton);
    HoldKey(VK_SHIFT, true);
    for (int i = 0; i < times; i++) PostKey(PlayButton, key);
    RunLoopSteps();
    HoldKey(VK_SHIFT, false);
  };
  keys('Z', 5);
  EXPECT_EQ(100, OutputDelay);
  char value[16];
  GetPrivateProfileStringA(SETTINGS_SECTION, "delay", "", value, sizeof value, iniPath.c_str());
  EXPECT_STREQ("100", value);
  EXPECT_EQ(0, LyricsOffset);
  EXPECT_EQ(0, markedAt(2050));
  EXPECT_EQ(0, markedAt(2099));
  EXPECT_EQ(1, markedAt(2100));
  keys('X', 1);
  GetPrivateProfileStringA(SETTINGS_SECTION, "delay", "", value, sizeof value, iniPath.c_str());
  EXPECT_STREQ("80", value);
  EXPECT_EQ(1, markedAt(2080));
}

// The frame shows the loop's ends in the selection colour; without a loop nothing.
TEST_F(PracticeWindow, TheFrameShowsTheLoopsEnds) {
  PlayPaused("");
  const RECT frame = ProgressRect;
  const int span = frame.right - frame.left;
  const int y = (frame.top + frame.bottom) / 2;
  const int startX = frame.left + span / 6, endX = frame.left + span / 2;  // 1 s and 3 s of 6
  auto pixel = [&](int x) {
    HDC dc = GetDC(MainWindow);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(MainWindow, dc);
    return c;
  };
  const COLORREF mark = GetSysColor(COLOR_HIGHLIGHT);
  SeekToTop(MainWindow);
  Pump();
  DrawPosition(MainWindow);
  const COLORREF plain = pixel(endX);
  EXPECT_NE(mark, plain);
  ASSERT_TRUE(SetLoopRange(&Practice.loop, 1000, 3000));
  DrawLoopMarks(MainWindow);
  EXPECT_EQ(mark, pixel(startX));
  EXPECT_EQ(mark, pixel(endX));
  Practice.loop = {LOOP_NONE, 0, 0};
  InvalidateRect(MainWindow, &ProgressRect, TRUE);
  Pump();
  DrawPosition(MainWindow);
  EXPECT_EQ(plain, pixel(endX));
}

// 練習 stands before ヘルプ, one item a command with its key; the keys follow the
// earlier ones as virtual keys, on letters no button's mnemonic takes.
TEST_F(PlayerWindow, PracticeMenuAndKeys) {
  HMENU bar = GetMenu(MainWindow);
  const int menus = GetMenuItemCount(bar);
  char text[64] = "";
  // Menus added after it stand between it and ヘルプ.
  int at = menus - 2;
  while (at > 0 && GetMenuStringA(bar, at, text, sizeof text, MF_BYPOSITION) && std::string(text) != "練習(&L)") at--;
  GetMenuStringA(bar, at, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("練習(&L)", text);
  HMENU practice = GetSubMenu(bar, at);
  const struct {
    int id;
    WORD key;
    const char *shown;
    BYTE modifiers;
  } items[] = {{ID_TEMPO_DOWN, VK_OEM_4, "\t[", 0}, {ID_TEMPO_UP, VK_OEM_6, "\t]", 0}, {ID_LOOP, 'L', "\tL", 0},
               {ID_LYRICS_SOONER, 'X', "\tX", 0}, {ID_LYRICS_LATER, 'Z', "\tZ", 0},
               {ID_DELAY_LONGER, 'Z', "\tShift+Z", FSHIFT}, {ID_DELAY_SHORTER, 'X', "\tShift+X", FSHIFT},
               {ID_VOCAL, 'V', "\tV", 0}, {ID_TIMING, 'J', "\tJ", 0}};
  const int itemCount = sizeof items / sizeof items[0];
  ASSERT_EQ(itemCount, GetMenuItemCount(practice));
  ACCEL table[64];
  const int count = CopyAcceleratorTableA(AppAccelerators, table, 64);
  ASSERT_GE(count, 10 + itemCount);  // keys of other menus follow these
  for (int i = 0; i < itemCount; i++) {
    SCOPED_TRACE(items[i].id);
    EXPECT_EQ(items[i].id, static_cast<int>(GetMenuItemID(practice, i)));
    GetMenuStringA(practice, i, text, sizeof text, MF_BYPOSITION);
    const std::string item = text;
    const size_t shown = std::strlen(items[i].shown);
    EXPECT_EQ(items[i].shown, item.substr(item.size() - shown));
    EXPECT_EQ(items[i].id, table[10 + i].cmd);
    EXPECT_EQ(items[i].key, table[10 + i].key);
    EXPECT_EQ(FVIRTKEY | items[i].modifiers, table[10 + i].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT));
    for (HWND button : {PlayButton, StopButton, TopButton, NextButton, MemButton}) {
      std::string caption = WindowText(button);
      size_t amp = caption.find('&');
      if (amp != std::string::npos) {
        EXPECT_NE(items[i].key, static_cast<WORD>(caption[amp + 1])) << caption;
      }
    }
  }
}

}  // namespace
