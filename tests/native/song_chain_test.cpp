// The rules of the unattended chain of songs and of commands held by a message box.
#include <gtest/gtest.h>

#include <vector>

#include "player/song_chain.h"
#include "shell/player_state.h"

namespace {

struct ChainCall {
  bool boxOpen, folderGone;  // what the chain finds at this failure
  bool showBox;              // what it is told
  ChainNext next;
};

struct ChainStory {
  const char *name;
  int songs;
  std::vector<ChainCall> calls;  // one run of failures, in order
};

const ChainStory chainStories[] = {
    {"one song that cannot start among good ones: its message, then the next",
     30, {{false, false, true, CHAIN_TRY_NEXT}}},
    {"a whole round of failures: one message, then Stopped",
     3,
     {{false, false, true, CHAIN_TRY_NEXT},
      {false, false, false, CHAIN_TRY_NEXT},
      {false, false, false, CHAIN_REST}}},
    {"the folder vanished: one message, then Stopped",
     30, {{false, true, true, CHAIN_REST}}},
    {"the folder vanishes during the run", 30,
     {{false, false, true, CHAIN_TRY_NEXT}, {false, true, false, CHAIN_REST}}},
    {"under another box the chain waits, then decides as if it had not",
     2,
     {{true, false, false, CHAIN_WAIT},
      {true, false, false, CHAIN_WAIT},
      {false, false, true, CHAIN_TRY_NEXT},
      {false, false, false, CHAIN_REST}}},
    {"an empty list: its message, then Stopped", 0, {{false, false, true, CHAIN_REST}}},
    {"a list of one song", 1, {{false, false, true, CHAIN_REST}}},
};

TEST(SongChain, OneMessageARunAndRestAfterARoundOrAVanishedFolder) {
  for (const ChainStory &story : chainStories) {
    SCOPED_TRACE(story.name);
    ChainRun run = {0, false};
    int boxes = 0;
    for (size_t i = 0; i < story.calls.size(); i++) {
      const ChainCall &call = story.calls[i];
      SCOPED_TRACE(i);
      const ChainStep step = ChainFailed(&run, story.songs, call.boxOpen, call.folderGone);
      EXPECT_EQ(call.showBox, step.showBox);
      EXPECT_EQ(call.next, step.next);
      boxes += step.showBox;
    }
    EXPECT_EQ(1, boxes);
  }
}

struct HeldCase {
  HeldCommand held;
  int state;
  bool songInGraph;
  HeldAction action;
};

const HeldCase heldCases[] = {
    {HELD_NONE, Playing, true, DO_NOTHING},
    {HELD_STOP, Playing, true, DO_STOP},
    {HELD_STOP, Playing, false, DO_STOP},
    {HELD_NEXT, Stopped, false, DO_NEXT},
    {HELD_NEXT, Paused, true, DO_NEXT},
    {HELD_PLAY, Stopped, false, DO_START},
    {HELD_PLAY, Playing, true, DO_PAUSE},
    {HELD_PLAY, Paused, true, DO_RESUME},
    // The chain was between songs: nothing plays, so Play starts one.
    {HELD_PLAY, Playing, false, DO_START},
    {HELD_PLAY, Paused, false, DO_START},
};

TEST(SongChain, ACommandHeldByABoxIsObeyedAsPressedWhenItCloses) {
  for (const HeldCase &c : heldCases) {
    SCOPED_TRACE(testing::Message() << c.held << " " << c.state << " " << c.songInGraph);
    EXPECT_EQ(c.action, HeldCommandAction(c.held, c.state, c.songInGraph));
  }
}

TEST(SongChain, TheLastCommandPressedUnderABoxIsKept) {
  const HeldCommand cases[][3] = {
      {HELD_NONE, HELD_STOP, HELD_STOP},
      {HELD_STOP, HELD_PLAY, HELD_PLAY},
      {HELD_PLAY, HELD_STOP, HELD_STOP},
      {HELD_NEXT, HELD_NONE, HELD_NEXT},
  };
  for (const auto &c : cases) EXPECT_EQ(c[2], HoldCommand(c[0], c[1])) << c[0] << " " << c[1];
}

}  // namespace
