// Files a real library holds and no one checked: empty, mislabelled, cut short, gone
// after the scan, unnameable in code page 932, texts that cannot be read, a folder
// that vanishes while it plays, an overgrown settings file. Whatever the file, the
// player answers, keeps the settings file as it was and plays the next song.
#include "wine/player_fixture_win.h"

#include <cstring>

#include "library/library_win.h"
#include "player/pitch_win.h"
#include "player/player_win.h"
#include "player/position_win.h"
#include "player/session_rules.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

using namespace playertest;

namespace {

// MPEG-1 layer III frames of silence: a header (128 kbit/s, 44.1 kHz, mono) and
// zeroed side information and data, 417 bytes each.
std::string SilentMp3(int frames) {
  std::string frame(417, '\0');
  frame[0] = '\xFF';
  frame[1] = '\xFB';
  frame[2] = '\x90';
  frame[3] = '\xC0';
  std::string mp3;
  for (int i = 0; i < frames; ++i) mp3 += frame;
  return mp3;
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (char &b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<char>(seed >> 16);
  }
  return bytes;
}

class HostileFiles : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    // A settings file the user has: folders and a stored pitch.
    settingsBefore = "[BRAMLOE]\r\nmusicpath=" + folder + "\r\ntextpath=" + folder +
                     "\r\naimai=1\r\nskip=0\r\n" + folder + "\\kept.wav=-300\r\n";
    MakeFile(iniPath, settingsBefore);
  }

  // The graph tells of the end of the current song, as its renderer would.
  void EndSong() {
    ASSERT_NE(nullptr, PlaybackSession.graph);
    IMediaEventSink *sink = nullptr;
    ASSERT_TRUE(SUCCEEDED(PlaybackSession.graph->QueryInterface(
        IID_IMediaEventSink, reinterpret_cast<void **>(&sink))));
    sink->Notify(EC_COMPLETE, 0, 0);
    sink->Release();
    DrainEvents(MainWindow);
  }

  void ExpectStopped() {
    EXPECT_EQ(Stopped, Controller.state);
    EXPECT_EQ("&Play", WindowText(PlayButton));
    EXPECT_TRUE(IsWindowEnabled(PlayButton));
    EXPECT_FALSE(IsWindowEnabled(NextButton));
    EXPECT_EQ(PlayButton, GetFocus());
  }

  // The window answers, the settings file is as it was, and the next song asked for
  // plays: song is the MusicList index Next must reach.
  void ExpectUnharmed(int song, const char *what) {
    SCOPED_TRACE(what);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    EXPECT_EQ(settingsBefore, ReadWholeFile(iniPath));
    const size_t boxes = Boxes().size();
    NextSong(MainWindow);
    EXPECT_EQ(boxes, Boxes().size());
    ExpectPlaying(song);
  }

  std::string settingsBefore;
};

struct UnplayableSong {
  const char *name;
  // Makes the song's file (after the scan, where the fault is the file's going).
  void (*make)(const std::string &path);
  bool refused;  // false: it plays what it holds
};

void ZeroBytes(const std::string &path) { MakeFile(path, ""); }
void NoiseNamedMp3(const std::string &path) { MakeFile(path, RandomBytes(20000, 16)); }
void CutInAFrame(const std::string &path) { MakeFile(path, SilentMp3(40).substr(0, 417 * 30 + 200)); }
void Deleted(const std::string &path) { DeleteFileA(path.c_str()); }

// One song the chain cannot start lies between two good ones: after its message the
// chain goes on to the one after it; nothing else is shown, the state stays Playing.
TEST_F(HostileFiles, UnplayableSongReachedByTheEndOfSongChain) {
  const UnplayableSong songs[] = {
      {"empty.wav", ZeroBytes, true},
      {"noise.mp3", NoiseNamedMp3, false},  // the decoder takes what it can find in it
      {"cut.mp3", CutInAFrame, false},
      {"gone.wav", Deleted, true},
  };
  for (const UnplayableSong &song : songs) {
    SCOPED_TRACE(song.name);
    MusicList.count = 0;
    PlayCursor = {-1, 0};
    ResetSession(MainWindow);
    Controller.state = Stopped;
    AddSong("first.wav");
    const std::string path = AddSong(song.name);
    AddSong("third.wav");
    song.make(path);
    Boxes().clear();
    PlayPause(MainWindow);
    ExpectPlaying(0);
    EndSong();
    if (song.refused) {
      ASSERT_EQ(1u, Boxes().size());
      EXPECT_EQ("open", Boxes()[0].caption);
      ExpectPlaying(2);
    } else {
      EXPECT_EQ(0u, Boxes().size());
      ExpectPlaying(1);
    }
    for (const RecordedBox &box : Boxes()) std::printf("%s: %s\n", song.name, box.text.c_str());
    ExpectUnharmed(song.refused ? 0 : 2, song.name);
  }
}

// A file name with a character outside code page 932 reaches the program as a best-fit
// or '?' spelling that names no file: the chain reports it and goes on.
TEST_F(HostileFiles, NameOutsideTheCodePage) {
  const std::string music = folder + "\\music";
  MakeFolder(music);
  const std::string wide = music + "\\";
  std::wstring name(wide.begin(), wide.end());
  name += L"b\x00E9\x0101\x4E02.wav";  // é ā and a CJK ideograph that code page 932 lacks
  std::string tone = media::Tone(440, 3);
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, tone.data(), static_cast<DWORD>(tone.size()), &written, nullptr);
  CloseHandle(file);
  MakeFile(music + "\\a.wav", tone);
  MakeFile(music + "\\c.wav", tone);
  ScanMusicFolder(music.c_str());
  ASSERT_EQ(3, MusicList.count);
  int odd = -1;
  for (int i = 0; i < 3; ++i) {
    const char *leaf = std::strrchr(MusicList.paths[i], '\\') + 1;
    if (std::strcmp(leaf, "a.wav") != 0 && std::strcmp(leaf, "c.wav") != 0) odd = i;
  }
  ASSERT_GE(odd, 0);
  std::printf("listed as %s\n", MusicList.paths[odd]);
  // Start on the song before it, so the end of song reaches it.
  PlayCursor = {(odd + 1) % 3, 0};
  PlayPause(MainWindow);
  ExpectPlaying((odd + 2) % 3);
  EndSong();
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ("open", Boxes()[0].caption);
  std::printf("message: %s\n", Boxes()[0].text.c_str());
  ExpectPlaying((odd + 1) % 3);
  ExpectUnharmed((odd + 2) % 3, "after the odd name");
}

// The music folder goes while a song plays: every song after it fails, the first one
// with its message, and the player ends stopped with Play enabled instead of looping.
TEST_F(HostileFiles, MusicFolderThatDisappearsWhilePlaying) {
  const std::string music = folder + "\\music";
  MakeFolder(music);
  for (const char *name : {"a.wav", "b.wav", "c.wav"}) {
    const std::string path = music + "\\" + name;
    MakeFile(path, media::Tone(440, 3));
    lstrcpynA(MusicList.paths[MusicList.count++], path.c_str(), PATH_BYTES);
  }
  PlayPause(MainWindow);
  ExpectPlaying(0);
  // Gone from under the program, as an unplugged drive or another system's delete
  // takes it: Windows would refuse to delete the open song here.
  ASSERT_TRUE(RunUnixScript("rm -rf '" + UnixPathOf(music) + "'"));
  ASSERT_FALSE(FileExists(music));
  EndSong();
  ASSERT_EQ(1u, Boxes().size()) << "one message for the run of failures";
  for (const RecordedBox &box : Boxes()) {
    EXPECT_EQ("open", box.caption);
    std::printf("message: %s\n", box.text.c_str());
  }
  ExpectStopped();
  EXPECT_NE(nullptr, PlaybackSession.graph);
  // Play tries again from the song after the last one tried, once.
  Boxes().clear();
  PlayPause(MainWindow);
  EXPECT_EQ(1u, Boxes().size());
  EXPECT_EQ(Stopped, Controller.state);
  MusicList.count = 0;
  AddSong("back.wav");
  ExpectUnharmed(0, "a song that is there again");
}

// Texts that cannot be read when テキスト再読込 asks for them: the view empties, or
// keeps what a text has room for; nothing is shown and the song goes on.
TEST_F(HostileFiles, TextsThatCannotBeReadOnReload) {
  struct Case {
    const char *what;
    void (*spoil)(const std::string &path, HANDLE *held);
    int rows;  // rows shown after the reload
  };
  const Case cases[] = {
      {"deleted", [](const std::string &path, HANDLE *) { DeleteFileA(path.c_str()); }, 0},
      {"held open by another program",
       [](const std::string &path, HANDLE *held) {
         *held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         ASSERT_NE(INVALID_HANDLE_VALUE, *held);
       },
       0},
      {"a folder of the same name",
       [](const std::string &path, HANDLE *) {
         DeleteFileA(path.c_str());
         MakeFolder(path);
       },
       0},
      {"10 MB with no line end",
       [](const std::string &path, HANDLE *) { MakeFile(path, std::string(10 << 20, 'x')); }, 200},
  };
  AddSong("song.wav");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = folder + "\\song.txt";
    RemoveDirectoryA(text.c_str());
    TextList.count = 0;
    AddText("song.txt", "line one\r\nline two\r\n");
    Boxes().clear();
    PlayCursor = {-1, 0};
    NextSong(MainWindow);
    ExpectPlaying(0);
    ASSERT_EQ(0, PlayerState.matchedText);
    ASSERT_EQ(2, TextBuffer.lineCount);
    HANDLE held = INVALID_HANDLE_VALUE;
    c.spoil(text, &held);
    Command(ID_RELOAD_TEXT);
    EXPECT_EQ(c.rows, TextBuffer.lineCount);
    if (c.rows) {
      EXPECT_EQ(99, TextBuffer.longest);
    }
    EXPECT_TRUE(Boxes().empty());
    ExpectPlaying(0);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    ExpectUnharmed(0, c.what);
  }
}

// A folder named like a text is no text: the scan passes it over, and whatever it holds
// is listed as the files of any folder are.
TEST_F(HostileFiles, FolderNamedLikeAText) {
  const std::string texts = folder + "\\texts";
  MakeFolder(texts);
  MakeFolder(texts + "\\x.txt");
  MakeFile(texts + "\\x.txt\\inner.txt", "inner\r\n");
  MakeFile(texts + "\\y.txt", "y\r\n");
  TextList.count = 0;
  ScanTextFolder(texts.c_str());
  InvalidateTextKeys();
  ASSERT_EQ(2, TextList.count);
  for (int i = 0; i < TextList.count; ++i) EXPECT_STRNE((texts + "\\x.txt").c_str(), TextList.paths[i]);
  AddSong("x.wav");
  NextSong(MainWindow);
  ExpectPlaying(0);
  EXPECT_EQ(-1, PlayerState.matchedText);
  EXPECT_NE(std::string::npos, WindowText(MainWindow).find("TXT:無し"));
  EXPECT_TRUE(Boxes().empty());
  ExpectUnharmed(0, "x.txt a folder");
}

// A settings file grown by years of Mem (20,000 stored pitches) and a line of 1 MB
// written by hand: the settings and the pitches are read, Mem stores one more, and
// every entry and the long line are still there afterwards.
TEST_F(HostileFiles, OvergrownSettingsFile) {
  const std::string longLine(1 << 20, 'n');
  std::string ini = "[BRAMLOE]\r\nmusicpath=" + folder + "\r\ntextpath=" + folder + "\r\nnotes=" + longLine +
                    "\r\naimai=0\r\nskip=1\r\n";
  char line[400];
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(line, sizeof line, "D:\\Music\\album %03d\\song %05d.wav=%d\r\n", i / 100, i, i % 2400 - 1200);
    ini += line;
  }
  const std::string song = AddSong("late.wav");
  ini += song + "=-1200\r\n";
  MakeFile(iniPath, ini);
  LoadSettings();
  EXPECT_STREQ(folder.c_str(), Settings.musicpath);
  EXPECT_EQ(0, Settings.aimai);
  EXPECT_EQ(1, Settings.skip);
  NextSong(MainWindow);
  ExpectPlaying(0);
  EXPECT_EQ("-1200", CentsText());
  SetWindowTextA(CentsEdit, "250");
  StorePitch(MainWindow);
  SaveSettings();
  EXPECT_EQ("250", StoredValue(song));
  char value[16];
  GetPrivateProfileStringA("BRAMLOE", "D:\\Music\\album 199\\song 19999.wav", "", value, sizeof value,
                           iniPath.c_str());
  EXPECT_STREQ("-401", value);  // 19999 % 2400 - 1200
  const std::string after = ReadWholeFile(iniPath);
  EXPECT_NE(std::string::npos, after.find("notes=" + longLine + "\r\n"));
  EXPECT_NE(std::string::npos, after.find(song + "=250\r\n"));
  for (int i = 0; i < 20000; i += 1999) {
    std::snprintf(line, sizeof line, "D:\\Music\\album %03d\\song %05d.wav=%d\r\n", i / 100, i, i % 2400 - 1200);
    EXPECT_NE(std::string::npos, after.find(line)) << line;
  }
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace

namespace {

// The copy (or with check, the read-back copy) this process writes the settings
// file through.
std::string OwnCopy(const std::string &ini, bool check = false) {
  char copy[PATH_BYTES], readBack[PATH_BYTES];
  SettingsCopyPaths(ini.c_str(), GetCurrentProcessId(), copy, readBack);
  return check ? readBack : copy;
}

// Writes of the settings file that cannot be made as asked: the stored pitches are
// never cut or lost. What a bare write of the profile functions makes of the same
// case is printed beside it.
TEST_F(HostileFiles, SettingsWritesThatFail) {
  struct Case {
    const char *what;
    void (*block)(const std::string &ini, HANDLE *held);
    void (*unblock)(const std::string &ini);
    bool stored;  // the new pitch is in the file afterwards
  };
  const Case cases[] = {
      {"a read-only file",
       [](const std::string &ini, HANDLE *) { SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY); },
       [](const std::string &ini) { SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL); }, false},
      {"a file another program holds without sharing",
       [](const std::string &ini, HANDLE *held) {
         *held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
       },
       nullptr, false},
      {"a file another program reads and shares",
       [](const std::string &ini, HANDLE *held) {
         *held = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
       },
       nullptr, true},
      {"no room for the copy beside it",
       [](const std::string &ini, HANDLE *) { MakeFolder(OwnCopy(ini)); },
       [](const std::string &ini) { RemoveDirectoryA(OwnCopy(ini).c_str()); }, false},
  };
  const std::string song = AddSong("kept.wav");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    // The same case met by one bare call of the profile functions, for the record.
    {
      MakeFile(iniPath, settingsBefore);
      HANDLE held = INVALID_HANDLE_VALUE;
      c.block(iniPath, &held);
      BOOL written = WritePrivateProfileStringA("BRAMLOE", "D:\\other.wav", "100", iniPath.c_str());
      if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
      if (c.unblock) c.unblock(iniPath);
      std::printf("%s, written in place: %s, file %s\n", c.what, written ? "written" : "refused",
                  ReadWholeFile(iniPath) == settingsBefore ? "unchanged" : "changed");
    }
    MakeFile(iniPath, settingsBefore);
    PlayCursor = {-1, 0};
    NextSong(MainWindow);
    ExpectPlaying(0);
    ASSERT_EQ("-300", CentsText());
    HANDLE held = INVALID_HANDLE_VALUE;
    c.block(iniPath, &held);
    SetWindowTextA(CentsEdit, "450");
    StorePitch(MainWindow);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    if (c.unblock) c.unblock(iniPath);
    const std::string after = ReadWholeFile(iniPath);
    if (c.stored) {
      EXPECT_EQ("450", StoredValue(song));
      EXPECT_EQ(settingsBefore.size() - 1, after.size());  // -300 became 450
      EXPECT_NE(std::string::npos, after.find("musicpath=" + folder + "\r\n"));
    } else {
      EXPECT_EQ(settingsBefore, after);
    }
    EXPECT_FALSE(FileExists(OwnCopy(iniPath)));
    EXPECT_FALSE(FileExists(OwnCopy(iniPath, true)));
    EXPECT_TRUE(Boxes().empty());
  }
}

}  // namespace

namespace {

// A window narrower than its controls: the progress frame's right edge lies left of its
// left one. The ticks draw no bar, a click anywhere seeks nowhere, and a song that
// reports a length next to nothing (a bar far past its end) changes none of that.
TEST_F(HostileFiles, WindowNarrowerThanTheProgressFrame) {
  AddSong("a.wav", 440, 4);
  PlayPause(MainWindow);
  ExpectPlaying(0);
  PlayPause(MainWindow);  // paused: the position stays where a seek puts it
  // Windows keeps a captioned window wider than the frame needs here (Wine's character
  // width is small); without the caption the layout sees the width it would on a
  // system whose font is wider.
  RECT frame;
  GetWindowRect(MainWindow, &frame);
  SetWindowLongA(MainWindow, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  SetWindowPos(MainWindow, nullptr, frame.left, frame.top, 6 * LayoutMetrics.charWidth,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_FRAMECHANGED);
  Pump(50);
  const RECT bar = ProgressRect;
  ASSERT_LT(bar.right, bar.left);
  // The row the bar would cover, as the frame was painted: the ticks must leave it so.
  auto barRow = [&bar]() {
    std::string row;
    HDC dc = GetDC(MainWindow);
    RECT client;
    GetClientRect(MainWindow, &client);
    for (int x = 0; x < client.right; ++x) row += GetPixel(dc, x, bar.top + 1) == RGB(0, 0, 0) ? '#' : '.';
    ReleaseDC(MainWindow, dc);
    return row;
  };
  const std::string painted = barRow();
  LONGLONG before = -1;
  PlaybackSession.seeking->GetCurrentPosition(&before);
  for (double duration : {PlaybackSession.duration, 1e-300}) {
    PlaybackSession.duration = duration;
    for (int x = bar.right - 2; x <= bar.left + 2; ++x) {
      SeekByClick(MainWindow, MAKELPARAM(x, bar.top));
      DrawPosition(MainWindow);
    }
    LONGLONG position = -1;
    PlaybackSession.seeking->GetCurrentPosition(&position);
    EXPECT_EQ(before, position);
    Pump(50);
    EXPECT_EQ(painted, barRow()) << "a bar was drawn";
  }
  PlayPause(MainWindow);
  ExpectPlaying(0);
}

}  // namespace
