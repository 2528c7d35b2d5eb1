// Files handed over by a second start of the program (WM_COPYDATA): the main window
// takes a well-formed list as a drop and starts its first song; whatever else another
// process sends is refused and leaves the list as it was.
#include "wine/main_window_fixture_win.h"

#include <string>

using namespace mainwindowtest;
using namespace std::string_literals;

namespace {

using HandedFiles = MainWindowTest;

LRESULT Hand(ULONG_PTR tag, const std::string &bytes, DWORD size) {
  COPYDATASTRUCT copy = {tag, size, const_cast<char *>(bytes.data())};
  return SendMessageA(MainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

TEST_F(HandedFiles, OnlyAWellFormedListIsTaken) {
  const std::string good = "C:\\none\\one.wav\0C:\\none\\two words.wav\0\0"s;
  struct Case {
    const char *what;
    ULONG_PTR tag;
    std::string bytes;
    DWORD size;
    bool taken;
  } cases[] = {
      {"another tag", FILE_LIST_COPYDATA + 1, good, static_cast<DWORD>(good.size()), false},
      {"cut short", FILE_LIST_COPYDATA, good, static_cast<DWORD>(good.size() - 1), false},
      {"no names", FILE_LIST_COPYDATA, "\0"s, 1, false},
      {"a name too long", FILE_LIST_COPYDATA, std::string(260, 'x') + "\0\0"s, 262, false},
      {"larger than any list", FILE_LIST_COPYDATA, good, 0x7FFFFFFF, false},
      {"well formed", FILE_LIST_COPYDATA, good, static_cast<DWORD>(good.size()), true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    lstrcpynA(MusicList.paths[0], "C:\\scanned.wav", PATH_BYTES);
    MusicList.count = 1;
    PlayCursor = {-1, 1};
    EXPECT_EQ(c.taken ? TRUE : FALSE, Hand(c.tag, c.bytes, c.size));
    if (c.taken) {
      ASSERT_EQ(2, MusicList.count);
      EXPECT_STREQ("C:\\none\\one.wav", MusicList.paths[0]);
      EXPECT_STREQ("C:\\none\\two words.wav", MusicList.paths[1]);
      EXPECT_EQ(0, PlayCursor.current) << "the first song was started";
      EXPECT_EQ(0, PlayCursor.shuffle);
    } else {
      EXPECT_EQ(1, MusicList.count);
      EXPECT_STREQ("C:\\scanned.wav", MusicList.paths[0]);
      EXPECT_EQ(-1, PlayCursor.current);
    }
  }
}

}  // namespace
