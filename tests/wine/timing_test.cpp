// Timing a plain text by tapping Space while its song plays: the .lrc written beside it
// holds the song's times of the taps, at 100 % and at a slower tempo, and is shown at
// once; a write that fails is told once and keeps the stamps.
#include "wine/player_fixture_win.h"

#include <cstdlib>

#include "player/player_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/timing_win.h"
#include "settings/song_memory.h"
#include "settings/song_memory_win.h"
#include "textview/text_timing.h"
#include "textview/timed_text.h"

using namespace playertest;

namespace {

const int LINES = 10;

std::string PlainText() {
  std::string text;
  for (int i = 1; i <= LINES; i++) text += "行" + std::to_string(i) + "\r\n";
  return text;
}

class TimingSong : public PlayerWindow {
 protected:
  long GraphMs() {
    LONGLONG g = 0;
    PlaybackSession.seeking->GetCurrentPosition(&g);
    return static_cast<long>(g / 10000);
  }
  // The song's time by the test's own reckoning: the graph's clock at the tempo, from
  // the moment the graph and the song stood together.
  long ReferenceMs() { return fromMs + (GraphMs() - fromMs) * tempo / 100; }
  // The song name.wav with its text name.txt, and an untimed name.lrc beside it when
  // oldLrc is given: x.txt is shown.
  void PlayWithText(const std::string &text, const std::string &name = "song", const std::string &oldLrc = "") {
    song = AddSong(name + ".wav", 440, 5);
    txt = AddText(name + ".txt", text);
    lrc = folder + "\\" + name + ".lrc";
    if (!oldLrc.empty()) AddText(name + ".lrc", oldLrc);
    PlayPause(MainWindow);
    ASSERT_EQ(Playing, Controller.state);
    ASSERT_EQ(0, PlayerState.matchedText);
    ASSERT_TRUE(PumpUntil(5000, [] { return !GraphStarting(); }));
  }
  // Space as the keyboard sends it to the focus, once the song has reached songMs; gives
  // the song's time just before.
  long TapAt(long songMs) {
    EXPECT_TRUE(PumpUntil(10000, [&] { return ReferenceMs() >= songMs; }));
    const long reference = ReferenceMs();
    PostKey(GetFocus(), VK_SPACE);
    RunLoopSteps();
    return reference;
  }
  void Press(UINT key) {
    PostKey(GetFocus(), key);
    RunLoopSteps();
  }
  // The tag time of each line of the file, -1 for a line without one.
  std::vector<long> TagsOf(const std::string &path) {
    std::vector<long> tags;
    const std::string text = ReadWholeFile(path);
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      end = end == std::string::npos ? text.size() : end + 1;
      long ms = -1;
      ParseTimeTag(text.c_str() + at, static_cast<int>(end - at), &ms);
      tags.push_back(ms);
      at = end;
    }
    return tags;
  }
  std::string song, txt, lrc;
  long fromMs = 0;
  int tempo = TEMPO_DEFAULT;
};

// Each tap lands within 30 ms of the song's time it was made at, also at 70 % stored for
// the song, or slowed with [ while timing; x.txt stays as it was, the old x.lrc is kept
// as x.lrc.bak, and the new x.lrc is shown and followed. One step of [ brings the stage
// in at 95 % from its first sample, which the test's clock can follow; a further step
// while it already plays is heard only after what it has queued at the tempo before,
// which only the stage's own record knows.
TEST_F(TimingSong, TapsGiveTheLrcOfTheSongsTimes) {
  const struct {
    int storedTempo;  // 0: none
    int slowedAt;     // the tap before which [ slows the song; -1 never
  } cases[] = {{0, -1}, {70, -1}, {0, 5}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.storedTempo * 100 + c.slowedAt);
    MusicList.count = TextList.count = 0;
    tempo = c.storedTempo ? c.storedTempo : TEMPO_DEFAULT;
    fromMs = 0;
    const std::string name = "song" + std::to_string(&c - cases);
    if (c.storedTempo) WriteSongValue(TEMPO_SECTION, (folder + "\\" + name + ".wav").c_str(), std::to_string(tempo).c_str());
    const std::string text = PlainText();
    PlayWithText(text, name, "old, not timed\r\n");
    Command(ID_TIMING);
    ASSERT_TRUE(Timing.on);
    const int song0 = PlayCursor.current;
    long reference[LINES];
    for (int i = 0; i < LINES; i++) {
      if (i == c.slowedAt) {
        Command(ID_TEMPO_DOWN);
        ASSERT_EQ(95, Practice.tempo);
        ASSERT_TRUE(Timing.on) << "the tempo's keys work while timing";
        fromMs = static_cast<long>(Practice.clock.songAt / 10000);  // the switch put the graph there
        tempo = 95;
      }
      reference[i] = TapAt(400 + 300 * i);
    }
    EXPECT_FALSE(Timing.on) << "the last line ends timing";
    EXPECT_EQ(song0, PlayCursor.current) << "Space pressed no button";
    EXPECT_EQ(Playing, Controller.state);
    EXPECT_EQ(text, ReadWholeFile(txt));
    EXPECT_EQ("old, not timed\r\n", ReadWholeFile(lrc + ".bak"));
    const std::vector<long> tags = TagsOf(lrc);
    ASSERT_EQ(static_cast<size_t>(LINES), tags.size());
    for (int i = 0; i < LINES; i++) {
      std::printf("tempo %d, tap %d: song %ld ms, tag %ld ms\n", tempo, i, reference[i], tags[i]);
      EXPECT_LE(std::labs(tags[i] - reference[i]), 30) << i;
    }
    ASSERT_GE(PlayerState.matchedText, 0);
    EXPECT_EQ(lrc, TextList.paths[PlayerState.matchedText]);
    EXPECT_TRUE(TimedText.timed);
    DrawPosition(MainWindow);
    ASSERT_GE(TimedText.marked, 0);
    EXPECT_EQ(LINES - 1, TimedText.entries[TimedText.marked].firstRow) << "the last line tapped is sung";
    TextLookup found;
    LookUpSongText(0, 1, &found);
    EXPECT_EQ(PlayerState.matchedText, found.index) << "the timed twin is found from now on";
    StopSong(MainWindow);
    for (const std::string &path : {song, txt, lrc, lrc + ".bak"}) DeleteFileA(path.c_str());
  }
}

TEST_F(TimingSong, AWriteThatFailsIsToldOnceAndKeepsTheStamps) {
  PlayWithText("a\r\nb\r\nc\r\nd\r\n");
  MakeFolder(lrc);  // nothing can be written under the .lrc's name
  Command(ID_TIMING);
  ASSERT_TRUE(Timing.on);
  for (UINT key : {VK_SPACE, VK_SPACE, VK_SPACE, VK_BACK}) Press(key);
  EXPECT_EQ(2, Timing.next);
  EXPECT_TRUE(Timing.on);
  Command(ID_TIMING);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_NE(std::string::npos, Boxes()[0].text.find(lrc)) << Boxes()[0].text;
  EXPECT_TRUE(Timing.on);
  EXPECT_EQ(2, Timing.next);
  ASSERT_TRUE(RemoveDirectoryA(lrc.c_str()));
  Press(VK_ESCAPE);  // ends timing again: the write is tried anew
  EXPECT_EQ(1u, Boxes().size());
  EXPECT_FALSE(Timing.on);
  const std::vector<long> tags = TagsOf(lrc);
  ASSERT_EQ(4u, tags.size());
  EXPECT_GE(tags[0], 0);
  EXPECT_GE(tags[1], tags[0]);
  EXPECT_EQ(-1, tags[2]);
  EXPECT_EQ(-1, tags[3]);
  EXPECT_FALSE(FileExists(lrc + ".bak"));
}

// R and a quit write the stamps first. While the write fails, R keeps the text and the
// stamps, and the first quit is held; once it can be written, the quit writes and goes.
TEST_F(TimingSong, ReloadAndQuitWriteTheStampsFirst) {
  PlayWithText("a\r\nb\r\nc\r\n");
  MakeFolder(lrc);
  Command(ID_TIMING);
  for (UINT key : {VK_SPACE, VK_SPACE}) Press(key);
  Command(ID_RELOAD_TEXT);
  EXPECT_EQ(1u, Boxes().size());
  EXPECT_TRUE(Timing.on);
  EXPECT_EQ(2, Timing.next);
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(2u, Boxes().size());
  ASSERT_TRUE(IsWindow(MainWindow)) << "the first quit is held";
  ASSERT_TRUE(RemoveDirectoryA(lrc.c_str()));
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(MainWindow));
  const std::vector<long> tags = TagsOf(lrc);
  ASSERT_EQ(3u, tags.size());
  EXPECT_GE(tags[1], tags[0]);
  EXPECT_GE(tags[0], 0);
  EXPECT_EQ(-1, tags[2]);
}

TEST_F(TimingSong, NoSongPlayingOrNoTextTakesNoTiming) {
  PlayWithText("a\r\nb\r\n");
  StopSong(MainWindow);  // the text stays in view, but no song plays
  Command(ID_TIMING);
  EXPECT_FALSE(Timing.on);
  AddSong("other.wav", 440, 5);
  PlayPause(MainWindow);
  ASSERT_EQ(-1, PlayerState.matchedText);
  Command(ID_TIMING);
  EXPECT_FALSE(Timing.on);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
