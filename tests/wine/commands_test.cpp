// The small commands on the real main window: About, the editor's command line (an
// editor stand-in logs what it was started with), and Reload.
#include "wine/player_fixture_win.h"

#include "app/commands_win.h"
#include "player/player_win.h"
#include "textview/textview_win.h"

using namespace playertest;

namespace {

class Commands : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    logPath = folder + "\\editor.log";
    SetEnvironmentVariableA("BRAMLOE_EDITOR_LOG", logPath.c_str());
    // The stand-in sits in the build folder, a Unix path.
    std::string editor = WindowsPathOf(BRAMLOE_TEST_BUILD_DIR "/bramloe_editor_logger.exe");
    lstrcpynA(Settings.editor, editor.c_str(), sizeof Settings.editor);
  }
  void TearDown() override {
    SetEnvironmentVariableA("BRAMLOE_EDITOR_LOG", nullptr);
    PlayerWindow::TearDown();
  }
  // The command line the stand-in logged, waiting for it to start.
  std::string LoggedCommandLine() {
    for (int waited = 0; waited < 10000; waited += 20) {
      std::string log = ReadWholeFile(logPath);
      if (!log.empty() && log.back() == '\n') {
        DeleteFileA(logPath.c_str());
        return log.substr(0, log.size() - 1);
      }
      Sleep(20);
    }
    return "<no editor started>";
  }
  std::string logPath;
};

TEST_F(Commands, AboutShowsThePathOnceASongIsChosen) {
  std::string path = AddSong("曲 one.wav");
  ShowAbout(MainWindow);
  PlayCursor.current = 0;
  ShowAbout(MainWindow);
  PlayCursor.current = -1;  // after a drop
  ShowAbout(MainWindow);
  ASSERT_EQ(3u, Boxes().size());
  EXPECT_EQ("BRAMLOE 0.02", Boxes()[0].text);
  EXPECT_EQ("BRAMLOE 0.02\n" + path, Boxes()[1].text);
  EXPECT_EQ("BRAMLOE 0.02", Boxes()[2].text);
  for (const RecordedBox &box : Boxes()) {
    EXPECT_EQ("バージョン情報", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
  }
}

TEST_F(Commands, EditorOpensTheMatchedTextQuoted) {
  AddSong("song.wav");
  std::string text = AddText("my text 歌.txt", "words\n");
  PlayerState.matchedText = 0;
  LaunchEditor(MainWindow);
  EXPECT_EQ(std::string(Settings.editor) + " \"" + text + "\"", LoggedCommandLine());
}

TEST_F(Commands, EditorWithoutTextNamesANewTextAfterTheSong) {
  AddSong("first.wav");
  AddSong("ABC def.wav");
  PlayerState.matchedText = -1;
  PlayCursor.current = 1;
  LaunchEditor(MainWindow);
  EXPECT_EQ(std::string(Settings.editor) + " \"ABC def.txt\"", LoggedCommandLine());
  // No song chosen yet: the first song of the list stands in.
  PlayCursor.current = -1;
  LaunchEditor(MainWindow);
  EXPECT_EQ(std::string(Settings.editor) + " \"first.txt\"", LoggedCommandLine());
  // With aimai on the song key is the match key: spaces dropped.
  Settings.aimai = 1;
  PlayCursor.current = 1;
  EXPECT_EQ(std::string(Settings.editor) + " \"ABCdef.txt\"", FormatEditorCommand());
}

TEST_F(Commands, EditorArgumentsAreTheWholeCommandAsTyped) {
  AddSong("x.wav");
  AddText("t.txt", "t\n");
  lstrcpynA(Settings.editor, "notepad /a", sizeof Settings.editor);
  PlayerState.matchedText = 0;
  EXPECT_EQ("notepad /a \"" + std::string(TextList.paths[0]) + "\"", FormatEditorCommand());
}

TEST_F(Commands, ReloadShowsTheMatchedTextAnew) {
  std::string text = AddText("t.txt", "one\n");
  ReloadText(MainWindow);  // before any song the matched text index is 0
  EXPECT_EQ(1, TextBuffer.lineCount);
  MakeFile(text, "one\ntwo\nthree\n");
  ReloadText(MainWindow);
  EXPECT_EQ(3, TextBuffer.lineCount);
  PlayerState.matchedText = -1;
  ReloadText(MainWindow);
  EXPECT_EQ(0, TextBuffer.lineCount);
  EXPECT_EQ(-1, PlayerState.matchedText);
}

}  // namespace
