// The folder walk over real folders made by the test: which files are listed, in
// which order, how paths are joined (a drive root included), the list capacities,
// paths too long to list, and a folder link that loops back on itself.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "generated_media.h"
#include "library/library.h"
#include "library/library_win.h"
#include "library_scratch.h"
#include "matching/matching.h"
#include "settings/settings.h"

namespace {

std::vector<std::string> Music() {
  return std::vector<std::string>(MusicList.paths, MusicList.paths + MusicList.count);
}
std::vector<std::string> Texts() {
  return std::vector<std::string>(TextList.paths, TextList.paths + TextList.count);
}
std::set<std::string> AsSet(const std::vector<std::string> &list) {
  return std::set<std::string>(list.begin(), list.end());
}

// Names of a folder in the order the file system's search returns them.
std::vector<std::string> SearchOrder(const std::string &folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (entry.cFileName[0] != '.') names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

class FolderScan : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(sizeof keptDirectory, keptDirectory);
    root = MakeScratchFolder("scan");
  }
  void TearDown() override {
    SetCurrentDirectoryA(keptDirectory);  // a current folder cannot be removed
    RemoveTree(root);
  }
  std::string At(const char *relative) { return root + "\\" + relative; }

  RecordsGuard records;
  char keptDirectory[MAX_PATH];
  std::string root;
};

TEST_F(FolderScan, ListsByCaseSensitiveSubstringsAndSkipsDotFolders) {
  for (const char *name : {"a.wav", "x.wav.bak", "x.Wav", "x.Mp3", "a.mp3", "b.MP3", "a.ogg",
                           "c.OGG", "song.MID", "b.mid", ".hidden.wav", "notes.txt", "A.TXT",
                           "b.Txt", "notes.txt.old", "ｻｸﾗ表.wav"})
    MakeFile(At(name));
  MakeFolder(At(".hidden"));
  MakeFile(At(".hidden\\c.wav"));
  MakeFile(At(".hidden\\c.txt"));
  MakeFolder(At("sub.wav"));  // a folder is walked, never listed, whatever its name
  MakeFile(At("sub.wav\\d.wav"));
  MakeFile(At("sub.wav\\.e.wav"));
  MakeFolder(At("sub.wav\\.git"));
  MakeFile(At("sub.wav\\.git\\f.wav"));
  MakeFolder(At("ソ"));  // its second byte is 0x5C, as is 表's
  MakeFile(At("ソ\\表.mid"));

  const std::set<std::string> always = {At("a.wav"), At("x.wav.bak"), At("song.MID"), At("b.mid"),
                                        At(".hidden.wav"), At("ｻｸﾗ表.wav"), At("sub.wav\\d.wav"),
                                        At("sub.wav\\.e.wav"), At("ソ\\表.mid")};
  ScanMusicFolder(root.c_str());
  EXPECT_EQ(always, AsSet(Music()));

  std::set<std::string> withMp3 = always;
  withMp3.insert({At("a.mp3"), At("b.MP3")});
  DecoderFlags = {1, 0};
  MusicList.count = 0;
  ScanMusicFolder(root.c_str());
  EXPECT_EQ(withMp3, AsSet(Music()));

  std::set<std::string> withOgg = always;
  withOgg.insert({At("a.ogg"), At("c.OGG")});
  DecoderFlags = {0, 1};
  MusicList.count = 0;
  ScanMusicFolder(root.c_str());
  EXPECT_EQ(withOgg, AsSet(Music()));

  ScanTextFolder(root.c_str());
  EXPECT_EQ((std::set<std::string>{At("notes.txt"), At("A.TXT"), At("notes.txt.old")}), AsSet(Texts()));
}

// Depth first, pre-order: each folder's files form one run, placed where the search
// met the folder; runs of one folder's children follow the search order.
TEST_F(FolderScan, SubFoldersLandWhereTheSearchMetThem) {
  for (const char *name : {"a.wav", "m.wav", "z.wav", "sub\\", "sub\\b.wav", "sub\\c.wav",
                           "sub\\deep\\", "sub\\deep\\d.wav", "sub\\e.wav", "two\\", "two\\y.wav",
                           "empty\\"}) {
    std::string path = At(name);
    if (path.back() == '\\') MakeFolder(path.substr(0, path.size() - 1));
    else MakeFile(path);
  }
  ScanMusicFolder(root.c_str());
  std::vector<std::string> list = Music();
  ASSERT_EQ(8u, list.size());

  // For a folder: the child of it that each listed path lies under, runs collapsed.
  auto childRuns = [&](const std::string &folder) {
    std::vector<std::string> runs;
    for (const std::string &path : list) {
      if (path.compare(0, folder.size() + 1, folder + "\\") != 0) continue;
      std::string child = path.substr(folder.size() + 1);
      child = child.substr(0, child.find('\\'));
      if (runs.empty() || runs.back() != child) runs.push_back(child);
    }
    return runs;
  };
  auto expectedRuns = [&](const std::string &folder) {
    std::vector<std::string> order = SearchOrder(folder);
    order.erase(std::remove(order.begin(), order.end(), "empty"), order.end());
    return order;
  };
  EXPECT_EQ(expectedRuns(root), childRuns(root));
  EXPECT_EQ(expectedRuns(At("sub")), childRuns(At("sub")));
}

TEST_F(FolderScan, DriveRootsJoinWithoutASecondBackslash) {
  char prefix[MAX_PATH];
  if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) GTEST_SKIP() << "not under Wine";
  DWORD drives = GetLogicalDrives();
  char letter = 'Y';
  while (letter > 'K' && (drives & (1u << (letter - 'A')))) letter--;
  ASSERT_GT(letter, 'K') << "no free drive letter";
  MakeFile(At("a.wav"));
  MakeFolder(At("sub"));
  MakeFile(At("sub\\b.wav"));
  // A drive letter is a link in the prefix's dosdevices folder.
  std::string device = std::string(prefix) + "/dosdevices/" + (char)(letter + 'a' - 'A') + ":";
  ASSERT_TRUE(MakeUnixLink(UnixPathOf(root), device));
  std::string drive = std::string(1, letter) + ":";
  bool mapped = FileExists(drive + "\\sub\\b.wav");

  std::string rootFolder = drive + "\\";
  ScanMusicFolder(rootFolder.c_str());
  std::set<std::string> fromRoot = AsSet(Music());
  MusicList.count = 0;
  ScanMusicFolder(drive.c_str());  // "Q:" is no root by the rule, and joins with "\"
  std::set<std::string> fromBareDrive = AsSet(Music());
  MusicList.count = 0;
  std::string trailing = drive + "\\sub\\";  // kept as typed
  ScanMusicFolder(trailing.c_str());
  std::set<std::string> fromTrailing = AsSet(Music());
  EXPECT_TRUE(RemoveUnixPath(device));

  ASSERT_TRUE(mapped) << "could not map " << drive << " through " << device;
  const std::set<std::string> expected = {drive + "\\a.wav", drive + "\\sub\\b.wav"};
  EXPECT_EQ(expected, fromRoot);
  EXPECT_EQ(expected, fromBareDrive);
  EXPECT_EQ(std::set<std::string>{drive + "\\sub\\\\b.wav"}, fromTrailing);
}

TEST_F(FolderScan, ListsStopAtTheirCapacities) {
  MakeFolder(At("music"));
  MakeFolder(At("texts"));
  MakeNumberedFiles(At("music"), MUSIC_CAPACITY, ".wav");  // one more than fits
  MakeNumberedFiles(At("texts"), TEXT_CAPACITY, ".txt");
  ASSERT_TRUE(FileExists(At("music\\5000.wav")));
  ASSERT_TRUE(FileExists(At("texts\\2000.txt")));
  std::strcpy(Settings.musicpath, At("music").c_str());
  std::strcpy(Settings.textpath, At("texts").c_str());
  ScanFolders();
  EXPECT_EQ(MUSIC_CAPACITY, MusicList.count);
  EXPECT_EQ(TEXT_CAPACITY, TextList.count);
  EXPECT_EQ(size_t(MUSIC_CAPACITY), AsSet(Music()).size());  // no entry twice
  EXPECT_EQ(size_t(TEXT_CAPACITY), AsSet(Texts()).size());
  for (const std::string &path : Music()) ASSERT_TRUE(FileExists(path)) << path;

  // A second scan rebuilds rather than appends.
  ScanFolders();
  EXPECT_EQ(MUSIC_CAPACITY, MusicList.count);
  EXPECT_EQ(TEXT_CAPACITY, TextList.count);
}

// Creates a file whose path may exceed MAX_PATH, through the wide functions.
void MakeLongFile(const std::string &path) {
  WCHAR wide[1024] = L"\\\\?\\";
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide + 4, 1000);
  HANDLE file = CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  CloseHandle(file);
}

TEST_F(FolderScan, PathsLongerThan259CharactersArePassedOver) {
  // A folder whose own path is 250 characters.
  std::string folder = root + "\\" + std::string(250 - root.size() - 1, 'L');
  ASSERT_EQ(250u, folder.size());
  MakeFolder(folder);
  MakeFile(folder + "\\a.wav");             // 256
  MakeLongFile(folder + "\\abcdefghij.wav");  // 265
  MakeFolder(folder + "\\s");
  MakeFile(folder + "\\s\\b.wav");           // 258
  MakeFile(folder + "\\s\\bb.wav");          // 259
  MakeLongFile(folder + "\\s\\bbb.wav");     // 260
  MakeFolder(folder + "\\" + std::string(8, 'd'));  // 259: no room for its pattern
  MakeLongFile(folder + "\\" + std::string(8, 'd') + "\\c.wav");

  std::memset(MusicList.paths, 'x', sizeof MusicList.paths[0] * 8);
  ScanMusicFolder(root.c_str());
  EXPECT_EQ((std::set<std::string>{folder + "\\a.wav", folder + "\\s\\b.wav", folder + "\\s\\bb.wav"}),
            AsSet(Music()));
  EXPECT_EQ('x', MusicList.paths[MusicList.count][0]);  // nothing written past the list
  // Paths over 259 characters are beyond the "A" functions that RemoveTree uses.
  EXPECT_TRUE(RunUnixScript("rm -rf '" + UnixPathOf(folder) + "'"));
}

// Links back to an ancestor are not followed, however many there are: two of them
// followed to the path limit would take 2^40 steps.
TEST_F(FolderScan, FolderLinksThatLoopBackAreNotFollowed) {
  MakeFolder(At("sub"));
  MakeFile(At("sub\\a.wav"));
  MakeFolder(At("sub\\deep"));
  MakeFile(At("sub\\deep\\b.wav"));
  MakeFolder(At("elsewhere"));
  MakeFile(At("elsewhere\\c.wav"));
  std::string sub = UnixPathOf(At("sub"));
  std::string deep = UnixPathOf(At("sub\\deep"));
  // sub\loop and sub\deep\up lead back to the scan folder, sub\deep\self to sub;
  // sub\other leads sideways and is walked like any folder.
  ASSERT_TRUE(MakeUnixLink("..", sub + "/loop"));
  ASSERT_TRUE(MakeUnixLink("../..", deep + "/up"));
  ASSERT_TRUE(MakeUnixLink("..", deep + "/self"));
  ASSERT_TRUE(MakeUnixLink("../elsewhere", sub + "/other"));
  bool linked = FileExists(At("sub\\loop\\sub\\deep\\self\\a.wav")) &&
                FileExists(At("sub\\other\\c.wav"));
  ScanMusicFolder(root.c_str());
  for (const char *link : {"/loop", "/other"}) EXPECT_TRUE(RemoveUnixPath(sub + link));
  for (const char *link : {"/up", "/self"}) EXPECT_TRUE(RemoveUnixPath(deep + link));
  ASSERT_TRUE(linked) << "could not make the links";

  EXPECT_EQ((std::set<std::string>{At("sub\\a.wav"), At("sub\\deep\\b.wav"), At("elsewhere\\c.wav"),
                                   At("sub\\other\\c.wav")}),
            AsSet(Music()));
  EXPECT_EQ(4, MusicList.count);
}

// The titles of a scanned folder's songs are remembered while the folder's watch tells
// of no change; a tag rewritten in place (same size) is told of, and read again.
TEST_F(FolderScan, ATagRewrittenInTheWatchedFolderIsReadAgain) {
  auto tagged = [](const char *name) { return std::string(1000, 'x') + GeneratedTag(name); };
  MakeFolder(At("sub"));
  MakeFile(At("sub\\song.wav"), tagged("First"));
  Settings.aimai = 0;
  Sleep(2100);  // a stamp is trusted once the file has been left alone a while
  ScanMusicFolder(root.c_str());
  ASSERT_EQ(1, MusicList.count);
  ASSERT_NE(nullptr, MusicFolderChanges);
  EXPECT_STREQ("First", SongTitle(0));  // asked as unwatched until the watch is up
  for (DWORD start = GetTickCount(); !MusicFolderChanges(0) && GetTickCount() - start < 5000;) Sleep(20);
  ASSERT_NE(0u, MusicFolderChanges(0)) << "the watch did not come up";
  EXPECT_STREQ("First", SongTitle(0));
  MakeFile(At("sub\\song.wav"), tagged("Later"));
  std::string title;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
    title = SongTitle(0);
    if (title == "Later") break;
  }
  EXPECT_EQ("Later", title);

  // Songs in more folders than one wait can watch: every stamp is asked, as unwatched.
  for (int i = 0; i < MAXIMUM_WAIT_OBJECTS; i++) {
    std::string folder = At(("many" + std::to_string(i)).c_str());
    MakeFolder(folder);
    MakeFile(folder + "\\a.wav");
  }
  MusicList.count = 0;
  ScanMusicFolder(root.c_str());
  ASSERT_EQ(MAXIMUM_WAIT_OBJECTS + 1, MusicList.count);
  EXPECT_EQ(0u, MusicFolderChanges(0));
  MusicFolderChanges = nullptr;
}

TEST_F(FolderScan, ScanFoldersRebuildsOnlyTheNamedLists) {
  MakeFolder(At("music"));
  MakeFile(At("music\\a.wav"));
  MakeFolder(At("texts"));
  MakeFile(At("texts\\a.txt"));

  // Texts only: the MusicList, a dropped one say, and its cursor stay.
  std::strcpy(MusicList.paths[0], "C:\\dropped.wav");
  MusicList.count = 1;
  PlayCursor = {0, 0};
  std::strcpy(Settings.textpath, At("texts").c_str());
  Settings.musicpath[0] = '\0';
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  SetCursor(arrow);
  ScanFolders();
  EXPECT_EQ(arrow, GetCursor());  // the wait cursor is taken down again
  EXPECT_EQ(std::vector<std::string>{At("texts\\a.txt")}, Texts());
  EXPECT_EQ(std::vector<std::string>{"C:\\dropped.wav"}, Music());
  EXPECT_EQ(0, PlayCursor.shuffle);
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  EXPECT_STREQ(At("texts").c_str(), current);

  // Music only: shuffle turns on, the current song index and the texts stay, and so
  // does the current folder.
  SetCurrentDirectoryA(root.c_str());
  std::strcpy(Settings.musicpath, At("music").c_str());
  Settings.textpath[0] = '\0';
  std::strcpy(TextList.paths[0], "C:\\kept.txt");
  ScanFolders();
  EXPECT_EQ(std::vector<std::string>{At("music\\a.wav")}, Music());
  EXPECT_EQ(std::vector<std::string>{"C:\\kept.txt"}, Texts());
  EXPECT_EQ(1, PlayCursor.shuffle);
  EXPECT_EQ(0, PlayCursor.current);
  GetCurrentDirectoryA(sizeof current, current);
  EXPECT_STREQ(root.c_str(), current);

  // A folder that does not exist empties its list and adds nothing.
  std::strcpy(Settings.musicpath, At("missing").c_str());
  ScanFolders();
  EXPECT_EQ(0, MusicList.count);
}

// A rescan that finds as many texts as before, under other names, must not leave the
// lookup with the keys of the old ones.
TEST_F(FolderScan, ARescanRenewsTheTextKeysOfTheLookup) {
  MakeFolder(At("one"));
  MakeFile(At("one\\alpha.txt"));
  MakeFolder(At("two"));
  MakeFile(At("two\\beta.txt"));
  Settings.aimai = 0;
  Settings.musicpath[0] = '\0';
  TextLookup found;
  std::strcpy(Settings.textpath, At("one").c_str());
  ScanFolders();
  LookUpTextKey("alpha", &found);
  EXPECT_EQ(0, found.index);

  std::strcpy(Settings.textpath, At("two").c_str());
  ScanFolders();
  ASSERT_EQ(1, TextList.count);
  LookUpTextKey("beta", &found);
  EXPECT_EQ(0, found.index);
  LookUpTextKey("alpha", &found);
  EXPECT_EQ(-1, found.index);
}

}  // namespace

namespace {

// Stand-ins for the watch thread's maker of watches: one that notes the watch made for
// each folder, and one that hangs, as on a share gone offline, until let go.
HANDLE (*RealFolderWatch)(const char *folder);
std::vector<std::pair<std::string, HANDLE>> madeWatches;
HANDLE hangEntered, hangRelease;
volatile LONG hangsOver;

HANDLE NotedFolderWatch(const char *folder) {
  HANDLE watch = RealFolderWatch(folder);
  madeWatches.push_back({folder, watch});
  return watch;
}

HANDLE HangingFolderWatch(const char *folder) {
  SetEvent(hangEntered);
  WaitForSingleObject(hangRelease, 10000);
  InterlockedIncrement(&hangsOver);
  return RealFolderWatch(folder);
}

class FolderWatches : public FolderScan {
 protected:
  void SetUp() override {
    FolderScan::SetUp();
    RealFolderWatch = MakeFolderWatch;
    madeWatches.clear();
  }
  void TearDown() override {
    MusicList.count = 0;
    ScanMusicFolder(At("none").c_str());  // no songs, no watches
    MakeFolderWatch = RealFolderWatch;
    MusicFolderChanges = nullptr;
    FolderScan::TearDown();
  }
  // Until the watches of every song are up; false after five seconds.
  bool WatchesComeUp() {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20))
      if (MusicFolderChanges(0)) return true;
    return false;
  }
};

}  // namespace

// Told that the drive holding a watched folder is to be removed (Wine sends no such
// notice: the one the system would send is handed over as the window would get it),
// the player closes the watches on that drive at once; the songs there go back to
// their file stamps, those elsewhere keep their watch.
TEST_F(FolderWatches, ADriveToBeRemovedIsLetGo) {
  MakeFolder(At("c"));
  MakeFile(At("c\\a.wav"));
  MakeFolder(At("z"));
  MakeFile(At("z\\b.wav"));
  std::string onZ = "Z:" + UnixPathOf(At("z"));  // the same folder by another drive
  std::replace(onZ.begin(), onZ.end(), '/', '\\');
  MakeFolderWatch = NotedFolderWatch;
  ScanMusicFolder(At("c").c_str());
  // The first scan's watch thread is done making its watch before the second scan's
  // begins, so the watches counted are the second scan's alone.
  ASSERT_TRUE(WatchesComeUp());
  madeWatches.clear();
  ScanMusicFolder(onZ.c_str());
  ASSERT_EQ(2, MusicList.count);
  ASSERT_TRUE(WatchesComeUp());
  ASSERT_EQ(2u, madeWatches.size());  // C: and Z:
  const HANDLE onC = madeWatches[0].second, onZWatch = madeWatches[1].second;
  ASSERT_EQ(At("c"), madeWatches[0].first);

  DEV_BROADCAST_HANDLE notice = {};
  notice.dbch_size = sizeof notice;
  notice.dbch_devicetype = DBT_DEVTYP_HANDLE;
  notice.dbch_handle = onC;
  EXPECT_TRUE(LetDriveGo(DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&notice)));
  DWORD flags;
  EXPECT_FALSE(GetHandleInformation(onC, &flags)) << "the watch on C: is still open";
  EXPECT_TRUE(GetHandleInformation(onZWatch, &flags));
  EXPECT_EQ(0u, MusicFolderChanges(0));
  EXPECT_NE(0u, MusicFolderChanges(1));
  // A second notice for the same watch finds nothing more to let go.
  EXPECT_FALSE(LetDriveGo(DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&notice)));
}

// Stopping the watches (a rescan, a drop) comes back while the thread that makes them
// hangs; that thread closes what it made once it comes back.
TEST_F(FolderWatches, StoppingDoesNotWaitForAHangingWatch) {
  MakeFolder(At("m"));
  MakeFile(At("m\\a.wav"));
  hangEntered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  hangRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  hangsOver = 0;
  MakeFolderWatch = HangingFolderWatch;
  ScanMusicFolder(At("m").c_str());
  ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(hangEntered, 5000));
  MusicList.count = 0;
  ScanMusicFolder(At("m").c_str());
  EXPECT_EQ(0, hangsOver) << "the stop waited for the hanging watch";
  SetEvent(hangRelease);
  EXPECT_TRUE(WatchesComeUp());  // the new scan's watch, once the share answers
  for (DWORD start = GetTickCount(); hangsOver < 2 && GetTickCount() - start < 5000;) Sleep(20);
  EXPECT_EQ(2, hangsOver);
  CloseHandle(hangEntered);
  CloseHandle(hangRelease);
}
