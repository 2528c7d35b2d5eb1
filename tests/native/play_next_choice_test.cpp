// The choice of the next song: list order, random order, and the skip loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "library/library.h"
#include "player/pitch.h"
#include "player/player.h"

namespace {

std::vector<int> lookups;
int textFrom = 1000;  // songs at or above this index have a text (their own index)

int RecordLookup(int songIndex, int attempt) {
  lookups.push_back(songIndex);
  EXPECT_EQ(static_cast<int>(lookups.size()), attempt);
  return songIndex >= textFrom ? songIndex : -1;
}

class ChooseSongTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lookups.clear();
    textFrom = 1000;
    PlayCursor = {-1, 0};
  }
  void TearDown() override { PlayCursor = {-1, 0}; }
};

TEST_F(ChooseSongTest, ListOrderStartsAtZeroAndWraps) {
  textFrom = 0;
  std::vector<int> played;
  for (int i = 0; i < 4; i++) {
    lookups.clear();
    int matched = ChooseSong(3, 0, RecordLookup);
    EXPECT_EQ(PlayCursor.current, matched);  // each song's text is its own index here
    played.push_back(PlayCursor.current);
  }
  EXPECT_EQ((std::vector<int>{0, 1, 2, 0}), played);
}

TEST_F(ChooseSongTest, SkipOffTakesOneSongWithoutText) {
  PlayCursor.current = 2;
  EXPECT_EQ(-1, ChooseSong(5, 0, RecordLookup));
  EXPECT_EQ((std::vector<int>{3}), lookups);
  EXPECT_EQ(3, PlayCursor.current);
}

TEST_F(ChooseSongTest, SkipVisitsEveryEntryOnceAndEndsWhereItStarted) {
  PlayCursor.current = 2;
  EXPECT_EQ(-1, ChooseSong(5, 1, RecordLookup));
  EXPECT_EQ((std::vector<int>{3, 4, 0, 1, 2}), lookups);
  EXPECT_EQ(2, PlayCursor.current);

  lookups.clear();
  PlayCursor.current = -1;  // from a drop: ends on the last entry
  EXPECT_EQ(-1, ChooseSong(4, 7, RecordLookup));  // any non-zero skip is on
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), lookups);
}

TEST_F(ChooseSongTest, SkipStopsAtTheFirstSongWithText) {
  textFrom = 4;
  PlayCursor.current = 1;
  EXPECT_EQ(4, ChooseSong(6, 1, RecordLookup));
  EXPECT_EQ((std::vector<int>{2, 3, 4}), lookups);
}

TEST_F(ChooseSongTest, ShuffleTakesRandModCount) {
  PlayCursor.shuffle = 1;
  std::srand(12345);
  std::vector<int> expected;
  for (int i = 0; i < 5; i++) expected.push_back(std::rand() % 7);
  std::srand(12345);
  // Skip on and no song with a text: exactly count random picks, repeats allowed.
  ChooseSong(7, 1, RecordLookup);
  EXPECT_EQ(7u, lookups.size());
  lookups.resize(5);
  EXPECT_EQ(expected, lookups);
}

TEST_F(ChooseSongTest, ListShrunkUnderTheCursorStaysInRange) {
  PlayCursor.current = 40;  // a rescan left fewer songs
  ChooseSong(3, 0, RecordLookup);
  EXPECT_EQ(2, PlayCursor.current);  // (40 + 1) mod 3
}

TEST(ShiftCents, AddsAndHoldsAtTheEnds) {
  EXPECT_EQ(1200, ShiftCents(0, 1200));
  EXPECT_EQ(-2400, ShiftCents(-1200, -1200));
  EXPECT_EQ(2147483647, ShiftCents(2147483647, 1200));
  EXPECT_EQ(-2147483647 - 1, ShiftCents(-2147483647 - 1, -25));
  EXPECT_EQ(2147483647 - 5, ShiftCents(2147483647, -5));
}

}  // namespace
