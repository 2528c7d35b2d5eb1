// The warm-up before the first Play, held at its rendered graph by the test: the song
// it warms up on stays the user's to rename, its copy goes when it ends, and a Play
// renders only after it has ended.
#include "wine/player_fixture_win.h"

#include "player/session_rules.h"

using namespace playertest;

namespace {

// What the warm-up's thread showed while the test held it.
struct HeldWarmUp {
  HANDLE rendered;  // set once the warm-up holds its graph
  std::string copy;
  HRESULT result;
  bool songWhenEnded;  // the session's graph held a song when the warm-up was let go
};
HeldWarmUp held;

// Holds the warm-up until a Play or the exit asks it to end (bounded, so that a test
// that fails does not hang).
void HoldWarmUp(const char *copy, HRESULT result, HANDLE endAsked) {
  held.copy = copy;
  held.result = result;
  SetEvent(held.rendered);
  WaitForSingleObject(endAsked, 20000);
  held.songWhenEnded = PlaybackSession.song;
}

class WarmUp : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    if (HasFatalFailure()) return;
    held = HeldWarmUp{CreateEventA(nullptr, TRUE, FALSE, nullptr), "", E_FAIL, false};
    WarmUpHeld = HoldWarmUp;
    song = AddSong("first.wav", 440, 20);  // far longer than the copy
    StartWarmUp();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held.rendered, 20000));
  }
  void TearDown() override {
    EndWarmUp();
    WarmUpHeld = nullptr;
    CloseHandle(held.rendered);
    PlayerWindow::TearDown();
  }
  std::string song;
};

TEST_F(WarmUp, RendersACopyAndLeavesTheSongFree) {
  EXPECT_EQ(S_OK, held.result);  // the first bytes are enough for the decoder
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(std::string(temp) + "bramloe-warm-up-" + std::to_string(GetCurrentProcessId()) + ".wav",
            held.copy);
  EXPECT_EQ(ReadWholeFile(song).substr(0, WARM_UP_COPY_BYTES), ReadWholeFile(held.copy));
  // Nothing holds the song: it opens unshared, and it can be renamed.
  HANDLE alone = CreateFileA(song.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, alone);
  if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);
  EXPECT_TRUE(MoveFileA(song.c_str(), (song + ".renamed").c_str()));
  EndWarmUp();
  EXPECT_FALSE(FileExists(held.copy));
}

TEST_F(WarmUp, APlayRendersOnlyOnceItHasEnded) {
  ASSERT_TRUE(OpenAndRun(song.c_str()));
  EndWarmUp();  // lets a warm-up the Play did not wait for go only now
  EXPECT_FALSE(held.songWhenEnded);
  EXPECT_FALSE(FileExists(held.copy));
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
