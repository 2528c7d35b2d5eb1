// The chain of songs when songs cannot start: a vanished music folder, and Play, Next
// and Stop pressed while one of the chain's message boxes is open.
#include "wine/player_fixture_win.h"

#include "library/library_win.h"
#include "player/player_win.h"

namespace {

using namespace playertest;

int FilterCount() {
  IEnumFilters *filters = nullptr;
  if (!PlaybackSession.graph || FAILED(PlaybackSession.graph->EnumFilters(&filters))) return 0;
  int count = 0;
  IBaseFilter *filter = nullptr;
  while (filters->Next(1, &filter, nullptr) == S_OK) {
    count++;
    filter->Release();
  }
  filters->Release();
  return count;
}

// The command a click on the main window gives while the box is open.
int pressedUnderBox;
int PressUnderBox(HWND owner, const char *text, const char *caption, UINT type) {
  RecordBox(owner, text, caption, type);
  if (pressedUnderBox) SendMessageA(MainWindow, WM_COMMAND, pressedUnderBox, 0);
  return IDOK;
}

// The graph tells of the end of the current song, and its message is handled.
void EndCurrentSong() {
  IMediaEventSink *sink = nullptr;
  if (!PlaybackSession.graph || FAILED(PlaybackSession.graph->QueryInterface(
                                    IID_IMediaEventSink, reinterpret_cast<void **>(&sink))))
    return;
  sink->Notify(EC_COMPLETE, 0, 0);
  sink->Release();
  DrainEvents(MainWindow);
}

// The first box stays open while the song ends, as a box the user has not closed.
size_t boxesUnderTheFirst;
int EndSongUnderTheFirstBox(HWND owner, const char *text, const char *caption, UINT type) {
  RecordBox(owner, text, caption, type);
  if (Boxes().size() == 1) {
    EndCurrentSong();
    boxesUnderTheFirst = Boxes().size();
  }
  return IDOK;
}

class SongChain_ : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    pressedUnderBox = 0;
  }

  void EndSong() {
    ASSERT_NE(nullptr, PlaybackSession.graph);
    EndCurrentSong();
    Pump(100);
  }

  // a.wav, then a song whose file is gone, then c.wav, in list order.
  void AddGoodGoneGood() {
    AddSong("a.wav");
    const std::string gone = folder + "\\gone.wav";
    lstrcpynA(MusicList.paths[MusicList.count++], gone.c_str(), PATH_BYTES);
    AddSong("c.wav");
  }

  // Stopped, and it stays so: nothing starts by itself, the graph is empty.
  void ExpectResting() {
    for (int look = 0; look < 2; look++) {
      EXPECT_EQ(Stopped, Controller.state);
      EXPECT_EQ("&Play", WindowText(PlayButton));
      EXPECT_EQ(0, FilterCount());
      Pump(300);
    }
  }
};

TEST_F(SongChain_, AVanishedMusicFolderGivesAtMostTwoBoxesAndRestsStopped) {
  const std::string music = folder + "\\music";
  MakeFolder(music);
  for (int i = 0; i < 30; i++) MakeFile(music + "\\song" + std::to_string(i) + ".wav", media::Tone(440, 2));
  lstrcpynA(Settings.musicpath, music.c_str(), PATH_BYTES);
  PlayCursor = {-1, 1};  // random order, as after the scan of the settings' folder
  ScanMusicFolder(music.c_str());
  ASSERT_EQ(30, MusicList.count);
  PlayPause(MainWindow);
  ASSERT_EQ(Playing, Controller.state);
  ASSERT_TRUE(MoveFileA(music.c_str(), (music + "-renamed").c_str()));
  EndSong();
  EXPECT_GE(2u, Boxes().size());
  EXPECT_LE(1u, Boxes().size());
  ExpectResting();
  EXPECT_EQ(PlayButton, GetFocus());
}

// song 1 cannot start; the command is pressed while its box is open.
struct UnderBoxCase {
  int command;
  int state;     // once the box has closed
  int current;   // the song chosen last
};

TEST_F(SongChain_, ACommandPressedWhileTheChainsBoxIsOpenIsObeyedOnceItCloses) {
  const UnderBoxCase cases[] = {
      {ID_STOP, Stopped, 1},
      {ID_NEXT, Playing, 2},
      {ID_PLAY, Playing, 2},
  };
  AddGoodGoneGood();
  for (const UnderBoxCase &c : cases) {
    SCOPED_TRACE(c.command);
    StopSong(MainWindow);
    PlayCursor = {-1, 0};
    MessageBoxHook = RecordBox;
    PlayPause(MainWindow);
    ExpectPlaying(0);
    Boxes().clear();
    pressedUnderBox = c.command;
    MessageBoxHook = PressUnderBox;
    EndSong();
    pressedUnderBox = 0;
    EXPECT_EQ(1u, Boxes().size());
    EXPECT_EQ(c.state, Controller.state);
    EXPECT_EQ(c.current, PlayCursor.current);
    if (c.state == Stopped)
      ExpectResting();
    else
      ExpectPlaying(c.current);
  }
  // Play after the Stop renders into an empty graph: one song, as after any Play.
  StopSong(MainWindow);
  PlayPause(MainWindow);
  ExpectPlaying(0);
}

// The end of a song comes while another box of the program is open: the song that
// cannot start tells it once that box has closed, and the chain goes on.
TEST_F(SongChain_, NoBoxOfTheChainOpensUnderAnotherBox) {
  AddGoodGoneGood();
  PlayPause(MainWindow);
  ExpectPlaying(0);
  Boxes().clear();
  boxesUnderTheFirst = 0;
  MessageBoxHook = EndSongUnderTheFirstBox;
  ShowMessageBox(MainWindow, "BRAMLOE 0.02", "バージョン情報", MB_OK);
  EXPECT_EQ(1u, boxesUnderTheFirst);
  Pump(100);
  ASSERT_EQ(2u, Boxes().size());
  EXPECT_EQ("open", Boxes()[1].caption);
  ExpectPlaying(2);
}

}  // namespace
