// Play/Pause, Next and Stop on the real main window: the state table with captions,
// focus and the Next button, list order after a drop, skip, and the empty list.
#include "wine/player_fixture_win.h"

#include "player/player_win.h"

using namespace playertest;

namespace {

class PlayerState_ : public PlayerWindow {};

TEST_F(PlayerState_, PlayPauseResumeStopPlay) {
  for (const char *name : {"one.wav", "two.wav", "three.wav"}) AddSong(name);
  EXPECT_EQ("&Play", WindowText(PlayButton));

  PlayPause(MainWindow);
  ExpectPlaying(0);
  EXPECT_EQ(1, Controller.timerStarted);
  EXPECT_GT(PlaybackSession.duration, 2.9);
  EXPECT_LT(PlaybackSession.duration, 3.1);
  IGraphBuilder *graph = PlaybackSession.graph;

  SetFocus(StopButton);
  PlayPause(MainWindow);  // pause stops the graph rather than pausing it
  EXPECT_EQ(Paused, Controller.state);
  EXPECT_EQ("&Play", WindowText(PlayButton));
  EXPECT_EQ(State_Stopped, GraphState());
  EXPECT_EQ(StopButton, GetFocus());

  PlayPause(MainWindow);  // resume: the same graph runs again
  EXPECT_EQ(Playing, Controller.state);
  EXPECT_EQ("&Pause", WindowText(PlayButton));
  EXPECT_EQ(graph, PlaybackSession.graph);
  EXPECT_EQ(State_Running, GraphState());
  EXPECT_EQ(StopButton, GetFocus());

  StopSong(MainWindow);
  EXPECT_EQ(Stopped, Controller.state);
  EXPECT_EQ("&Play", WindowText(PlayButton));
  EXPECT_EQ(PlayButton, GetFocus());
  EXPECT_FALSE(IsWindowEnabled(NextButton));
  EXPECT_EQ(0, PlayCursor.current);

  PlayPause(MainWindow);  // goes on after the stopped song
  ExpectPlaying(1);
}

TEST_F(PlayerState_, NextFollowsTheDroppedOrderAndWraps) {
  for (const char *name : {"one.wav", "two.wav", "three.wav"}) AddSong(name);
  std::vector<int> played;
  for (int i = 0; i < 4; i++) {
    NextSong(MainWindow);
    ExpectPlaying(i % 3);
    played.push_back(PlayCursor.current);
  }
  EXPECT_EQ((std::vector<int>{0, 1, 2, 0}), played);
}

TEST_F(PlayerState_, SkipPassesOverEverySongAndPlaysTheLastTried) {
  for (const char *name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}) AddSong(name);
  AddText("unrelated.txt", "x\n");
  Settings.skip = 1;
  PlayCursor.current = 2;
  NextSong(MainWindow);
  ExpectPlaying(2);
  EXPECT_EQ(-1, PlayerState.matchedText);
  // The title line is written for the last attempt only, with no text.
  EXPECT_NE(std::string::npos, WindowText(MainWindow).find(NO_TEXT_SHOWN));
  EXPECT_NE(std::string::npos, WindowText(MainWindow).find(":c"));
}

TEST_F(PlayerState_, MatchedTextIsLoadedAndNamedInTheTitle) {
  AddSong("song.wav");
  AddText("other.txt", "other\n");
  AddText("SONG.txt", "line one\nline two\nline three\n");
  NextSong(MainWindow);
  ExpectPlaying(0);
  EXPECT_EQ(1, PlayerState.matchedText);
  EXPECT_EQ(3, TextBuffer.lineCount);
  EXPECT_NE(std::string::npos, WindowText(MainWindow).find("TXT:SONG"));
}

TEST_F(PlayerState_, EmptyListShowsTheMessageAndStaysStopped) {
  PlayPause(MainWindow);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ("音楽ファイルが見つからない", Boxes()[0].text);
  EXPECT_EQ("BRAMLOE", Boxes()[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), Boxes()[0].type);
  EXPECT_EQ(Stopped, Controller.state);
  EXPECT_EQ("&Play", WindowText(PlayButton));
  EXPECT_EQ(0, Controller.timerStarted);
  EXPECT_EQ(-1, PlayCursor.current);
}

// A Next that cannot start its song tries no other: the state says nothing plays.
TEST_F(PlayerState_, NextThatFailsStopsAndFocusesNext) {
  AddSong("good.wav");
  std::string bad = folder + "\\missing.wav";
  lstrcpynA(MusicList.paths[MusicList.count++], bad.c_str(), PATH_BYTES);
  NextSong(MainWindow);
  ExpectPlaying(0);
  NextSong(MainWindow);  // the file is gone: the session is reset
  EXPECT_EQ(1u, Boxes().size());
  EXPECT_EQ(Stopped, Controller.state);
  EXPECT_EQ("&Play", WindowText(PlayButton));
  EXPECT_EQ(1, PlayCursor.current);
  EXPECT_FALSE(IsWindowEnabled(NextButton));
  EXPECT_TRUE(IsWindowEnabled(PlayButton));
  NextSong(MainWindow);  // Next recovers
  ExpectPlaying(0);
}

}  // namespace
