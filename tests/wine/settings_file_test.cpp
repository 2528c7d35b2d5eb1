// The settings file on the real profile functions: BRAMLOE.INI in a scratch folder
// that stands in for the user's profile folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "library_scratch.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string kept(32768, '\0');
    DWORD length = GetEnvironmentVariableA("USERPROFILE", &kept[0], (DWORD)kept.size());
    hadProfile = length != 0;
    kept.resize(length);
    keptProfile = kept;
    folder = MakeScratchFolder("settings");
    SetEnvironmentVariableA("USERPROFILE", folder.c_str());
    iniPath = folder + "\\BRAMLOE.INI";
    // Anything but the defaults, so a value left unread shows.
    Settings = {"stale-text", "stale-music", "stale-editor", 77, 77};
  }
  void TearDown() override {
    SetEnvironmentVariableA("USERPROFILE", hadProfile ? keptProfile.c_str() : nullptr);
    RemoveTree(folder);
  }
  std::string Read(const char *key) {
    char value[600];
    GetPrivateProfileStringA("BRAMLOE", key, "<absent>", value, sizeof value, iniPath.c_str());
    return value;
  }

  RecordsGuard records;
  bool hadProfile = false;
  std::string keptProfile, folder, iniPath;
};

TEST_F(SettingsFile, PathFollowsUserProfile) {
  char out[260];
  SetEnvironmentVariableA("USERPROFILE", "C:\\users\\me");
  EXPECT_STREQ("C:\\users\\me\\BRAMLOE.INI", SettingsFilePath(out));
  SetEnvironmentVariableA("USERPROFILE", "C:\\users\\me\\");
  EXPECT_STREQ("C:\\users\\me\\\\BRAMLOE.INI", SettingsFilePath(out));
  SetEnvironmentVariableA("USERPROFILE", "");
  EXPECT_STREQ("BRAMLOE.INI", SettingsFilePath(out));
  SetEnvironmentVariableA("USERPROFILE", nullptr);
  EXPECT_STREQ("BRAMLOE.INI", SettingsFilePath(out));
}

TEST_F(SettingsFile, TooLongAProfileFallsBackToTheBareName) {
  char out[260];
  std::string fits = "C:\\" + std::string(244, 'p');  // 247 characters: exactly room
  SetEnvironmentVariableA("USERPROFILE", fits.c_str());
  EXPECT_EQ(fits + "\\BRAMLOE.INI", SettingsFilePath(out));
  for (size_t length : {248u, 259u, 260u, 1000u, 32000u}) {
    std::string value = "C:\\" + std::string(length - 3, 'p');
    SetEnvironmentVariableA("USERPROFILE", value.c_str());
    EXPECT_STREQ("BRAMLOE.INI", SettingsFilePath(out)) << length;
  }
}

// The bare name is handed to the profile functions, which keep it in the Windows folder.
TEST_F(SettingsFile, ATooLongProfileStillGivesAWorkingFile) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  std::string bare = std::string(windows) + "\\BRAMLOE.INI";
  std::string kept = ReadWholeFile(bare);
  bool existed = FileExists(bare);
  DeleteFileA(bare.c_str());

  SetEnvironmentVariableA("USERPROFILE", ("C:\\" + std::string(1000, 'p')).c_str());
  Settings = {"C:\\texts", "C:\\music", "ed", 0, 1};
  SaveSettings();
  Settings = {"", "", "", 5, 5};
  LoadSettings();
  bool written = FileExists(bare);
  if (existed) MakeFile(bare, kept);
  else DeleteFileA(bare.c_str());

  EXPECT_TRUE(written);
  EXPECT_STREQ("C:\\texts", Settings.textpath);
  EXPECT_STREQ("C:\\music", Settings.musicpath);
  EXPECT_STREQ("ed", Settings.editor);
  EXPECT_EQ(0, Settings.aimai);
  EXPECT_EQ(1, Settings.skip);
}

TEST_F(SettingsFile, MissingFileOrSectionGivesDefaults) {
  // No file, then a file with every key in another section.
  for (const char *file : {static_cast<const char *>(nullptr),
                           "[Other]\r\neditor=vi\r\naimai=0\r\nskip=1\r\n"}) {
    SCOPED_TRACE(file ? file : "no file");
    if (file) MakeFile(iniPath, file);
    Settings = {"x", "y", "z", 5, 5};
    LoadSettings();
    EXPECT_STREQ("notepad", Settings.editor);
    EXPECT_STREQ("", Settings.textpath);
    EXPECT_STREQ("", Settings.musicpath);
    EXPECT_EQ(1, Settings.aimai);
    EXPECT_EQ(0, Settings.skip);
  }
}

TEST_F(SettingsFile, LoadsEveryKeyOfTheSection) {
  MakeFile(iniPath,
           "[BRAMLOE]\r\n"
           "editor=C:\\Program Files\\ed\\ed.exe -n\r\n"
           "textpath=C:\\テキスト\\表\r\n"
           "musicpath=Z:\\音楽\\ソ\r\n"
           "aimai=0\r\n"
           "skip=1\r\n");
  LoadSettings();
  EXPECT_STREQ("C:\\Program Files\\ed\\ed.exe -n", Settings.editor);
  EXPECT_STREQ("C:\\テキスト\\\x95\x5C", Settings.textpath);
  EXPECT_STREQ("Z:\\音楽\\\x83\x5C", Settings.musicpath);
  EXPECT_EQ(0, Settings.aimai);
  EXPECT_EQ(1, Settings.skip);
}

TEST_F(SettingsFile, OptionsCountOnlyTheirFirstThreeCharacters) {
  struct Case { const char *stored; int read; };
  // A stored 0x10 is read as "0x1": still on, though 1 rather than 16.
  const Case cases[] = {{"0x10", 1}, {"0xF", 15}, {"010", 8}, {"yes", 0},
                        {"12345", 123}, {"-7", -7}, {" 2", 2}, {"", 0}};
  for (const Case &c : cases) {
    MakeFile(iniPath, std::string("[BRAMLOE]\r\naimai=") + c.stored + "\r\nskip=" + c.stored + "\r\n");
    LoadSettings();
    EXPECT_EQ(c.read, Settings.aimai) << c.stored;
    EXPECT_EQ(c.read, Settings.skip) << c.stored;
  }
}

TEST_F(SettingsFile, LongStringsAreCutAt259Characters) {
  std::string longPath = "C:\\" + std::string(400, 'm');
  MakeFile(iniPath, "[BRAMLOE]\r\nmusicpath=" + longPath + "\r\n");
  LoadSettings();
  EXPECT_EQ(longPath.substr(0, 259), Settings.musicpath);
}

TEST_F(SettingsFile, SaveWritesOptionsAlwaysAndStringsOnlyWhenSet) {
  MakeFile(iniPath,
           "[BRAMLOE]\r\n"
           "textpath=C:\\old-texts\r\n"
           "musicpath=C:\\old-music\r\n"
           "editor=old-editor\r\n"
           "aimai=010\r\n"
           "skip=yes\r\n");
  LoadSettings();
  // The dialog empties the music folder and the editor and names a new text folder.
  std::strcpy(Settings.textpath, "C:\\新しい");
  Settings.musicpath[0] = '\0';
  Settings.editor[0] = '\0';
  SaveSettings();
  EXPECT_EQ("C:\\新しい", Read("textpath"));
  EXPECT_EQ("C:\\old-music", Read("musicpath"));
  EXPECT_EQ("old-editor", Read("editor"));
  EXPECT_EQ("8", Read("aimai"));  // the decimal form of what was read
  EXPECT_EQ("0", Read("skip"));

  Settings.aimai = -2147483647 - 1;
  SaveSettings();
  EXPECT_EQ("-2147483648", Read("aimai"));
}

TEST_F(SettingsFile, FirstSaveCreatesTheFileWithoutEmptyFolders) {
  Settings = {"", "", "notepad", 1, 0};
  SaveSettings();
  ASSERT_TRUE(FileExists(iniPath));
  EXPECT_EQ("notepad", Read("editor"));
  EXPECT_EQ("1", Read("aimai"));
  EXPECT_EQ("0", Read("skip"));
  EXPECT_EQ("<absent>", Read("textpath"));
  EXPECT_EQ("<absent>", Read("musicpath"));
  LoadSettings();
  EXPECT_STREQ("notepad", Settings.editor);
  EXPECT_EQ(1, Settings.aimai);
}

// Per-song pitch entries share the section, keyed by the song's full path.
TEST_F(SettingsFile, PerSongKeysWithShiftJisPathsSurviveASave) {
  char path[260];
  SettingsFilePath(path);
  ASSERT_EQ(iniPath, path);
  const std::string songs[] = {
      "Z:\\音楽\\ソ\\表 の 歌.wav",       // 0x5C second bytes, spaces
      "C:\\users\\me\\Music\\ｻｸﾗ (live).mp3",  // half-width katakana
      "D:\\a.wav",
  };
  const char *cents[] = {"-300", "1200", "abc"};
  for (int i = 0; i < 3; i++) WritePrivateProfileStringA("BRAMLOE", songs[i].c_str(), cents[i], path);
  Settings = {"C:\\t", "C:\\m", "notepad", 1, 0};
  SaveSettings();
  for (int i = 0; i < 3; i++) EXPECT_EQ(cents[i], Read(songs[i].c_str())) << i;
  // Stored as code page 932 bytes, as the other programs reading the file expect.
  EXPECT_NE(std::string::npos, ReadWholeFile(iniPath).find("Z:\\\x89\xB9\x8A\x79\\\x83\x5C\\\x95\x5C"));
}

// keeptempo is read at start as 0 or 1; it is written at exit once the option is on or
// the file named it, so a file that never had it gets nothing new while it is off.
TEST_F(SettingsFile, KeepTempoIsReadAndWrittenWithTheOthers) {
  const struct {
    const char *stored;
    int read;
  } cases[] = {{"1", 1}, {"0", 0}, {"7", 1}, {"0x0", 0}, {"yes", 0}};
  for (const auto &c : cases) {
    MakeFile(iniPath, std::string("[BRAMLOE]\r\nkeeptempo=") + c.stored + "\r\n");
    KeepTempo = 5;
    LoadSettings();
    EXPECT_EQ(c.read, KeepTempo) << c.stored;
  }
  MakeFile(iniPath, "[BRAMLOE]\r\naimai=1\r\n");
  LoadSettings();
  EXPECT_EQ(0, KeepTempo);
  SaveSettings();
  EXPECT_EQ("<absent>", Read("keeptempo"));
  KeepTempo = 1;
  SaveSettings();
  EXPECT_EQ("1", Read("keeptempo"));
  LoadSettings();
  EXPECT_EQ(1, KeepTempo);
  KeepTempo = 0;
  SaveSettings();
  EXPECT_EQ("0", Read("keeptempo"));
}

}  // namespace

// A settings file that is a link to a file elsewhere stays one: the write goes into
// the file it leads to, and a hard link's other name holds the new entry too.
TEST_F(SettingsFile, ALinkedFileIsWrittenThroughItsLink) {
  const std::string target = folder + "\\elsewhere.ini";
  const struct {
    const char *what;
    bool (*link)(const std::string &target, const std::string &ini);
    bool symbolic;
  } cases[] = {
      {"symbolic link",
       [](const std::string &to, const std::string &ini) { return MakeUnixLink(UnixPathOf(to), UnixPathOf(ini)); },
       true},
      {"hard link",
       [](const std::string &to, const std::string &ini) {
         return CreateHardLinkA(ini.c_str(), to.c_str(), nullptr) != 0;
       },
       false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    MakeFile(target, "[BRAMLOE]\r\nmusicpath=D:\\Music\r\n");
    ASSERT_TRUE(c.link(target, iniPath));
    WritePitchEntry("D:\\Music\\a.wav", "250");
    char value[16];
    GetPrivateProfileStringA("BRAMLOE", "D:\\Music\\a.wav", "", value, sizeof value, target.c_str());
    EXPECT_STREQ("250", value);
    EXPECT_EQ("[BRAMLOE]\r\nmusicpath=D:\\Music\r\nD:\\Music\\a.wav=250\r\n", ReadWholeFile(target));
    EXPECT_EQ("250", Read("D:\\Music\\a.wav"));
    // Still one file under both names: what the other name is given, this one shows.
    WritePrivateProfileStringA("BRAMLOE", "later", "1", target.c_str());
    EXPECT_EQ("1", Read("later")) << "the link was replaced by a file of its own";
    if (c.symbolic) {
      EXPECT_TRUE(RemoveUnixPath(UnixPathOf(iniPath)));
    } else {
      DeleteFileA(iniPath.c_str());
    }
    DeleteFileA(target.c_str());
  }
}
