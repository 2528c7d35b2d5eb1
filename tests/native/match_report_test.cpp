// The match report over hand-filled lists: what it says about each song agrees with the
// lookup, names the rule, the prefix length and the texts beaten, and sums up.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "generated_media.h"
#include "library/library.h"
#include "matching/match_report.h"
#include "native/own_files.h"
#include "settings/settings.h"

namespace {

void SetLists(std::initializer_list<const char *> songs, std::initializer_list<const char *> texts,
              int aimai = 1, int skip = 0) {
  MusicList.count = 0;
  for (const char *s : songs) std::snprintf(MusicList.paths[MusicList.count++], PATH_BYTES, "%s", s);
  TextList.count = 0;
  for (const char *t : texts) std::snprintf(TextList.paths[TextList.count++], PATH_BYTES, "%s", t);
  Settings.aimai = aimai;
  Settings.skip = skip;
  InvalidateTextKeys();
}

std::vector<std::string> Report() {
  std::vector<std::string> lines;
  WriteMatchReport("test", [](void *context, const char *line) {
    static_cast<std::vector<std::string> *>(context)->push_back(line);
  }, &lines);
  return lines;
}

// The lines of one song's block: from "song N: " up to the blank line after it.
std::vector<std::string> SongBlock(const std::vector<std::string> &lines, int number) {
  std::vector<std::string> block;
  const std::string head = "song " + std::to_string(number) + ": ";
  bool inside = false;
  for (const std::string &line : lines) {
    if (line.rfind(head, 0) == 0) inside = true;
    else if (inside && line.empty()) break;
    if (inside) block.push_back(line);
  }
  return block;
}

int CountContaining(const std::vector<std::string> &lines, const std::string &part) {
  int n = 0;
  for (const std::string &line : lines) n += line.find(part) != std::string::npos;
  return n;
}

std::string Joined(const std::vector<std::string> &lines) {
  std::string all;
  for (const std::string &line : lines) all += line + "\n";
  return all;
}

}  // namespace

TEST(MatchReport, FuzzyWinnerWithItsPrefixSkippedLengthAndBeatenCandidates) {
  SetLists({"C:\\m\\Sakura (Live).wav"},
           {"C:\\t\\SakuraDrop.txt", "C:\\t\\Sakura(Studio).txt", "C:\\t\\Sakura.txt", "C:\\t\\Sakuran.txt"});
  SongMatch m;
  DescribeSong(0, &m);
  EXPECT_EQ(2, m.textIndex);
  EXPECT_EQ(LOOKUP_FUZZY, m.pass);
  EXPECT_EQ(6, m.prefixLength);
  EXPECT_EQ(4, m.candidateCount);
  EXPECT_EQ(TITLE_FROM_FILE_NAME, m.titleSource);
  EXPECT_STREQ("Sakura (Live)", m.title);
  EXPECT_STREQ("Sakura(Live)", m.songKey);

  const std::vector<std::string> block = SongBlock(Report(), 1);
  const std::string all = Joined(block);
  EXPECT_NE(std::string::npos,
            all.find("  text:   C:\\t\\Sakura.txt   (fuzzy pass: prefix of 6 bytes \"Sakura\", 4 candidates)"))
      << all;
  EXPECT_NE(std::string::npos, all.find("skipped: prefix of 7 bytes \"Sakura(\" (ends just after '(')")) << all;
  EXPECT_EQ(1, CountContaining(block, "skipped:")) << all;
  EXPECT_NE(std::string::npos, all.find("beat:   C:\\t\\SakuraDrop.txt   (longer name: 10 bytes against 6)")) << all;
  EXPECT_NE(std::string::npos, all.find("beat:   C:\\t\\Sakura(Studio).txt   (longer name: 14 bytes against 6)"));
  EXPECT_NE(std::string::npos, all.find("beat:   C:\\t\\Sakuran.txt   (longer name: 7 bytes against 6)"));
  EXPECT_EQ(3, CountContaining(block, "beat:"));
  EXPECT_NE(std::string::npos, all.find("  line:   BRAMLOE: wav:Sakura(Live)   TXT:Sakura\n")) << all;
  EXPECT_NE(std::string::npos, all.find("  title:  Sakura (Live)   (from the file name)"));
}

TEST(MatchReport, DoubleByteTitlesTiesAndPrefixesInsideACharacter) {
  SetLists({"C:\\m\\さくら.wav", "C:\\m\\SongC.mp3"},
           {"C:\\t\\さくらんぼ.txt", "C:\\t\\さくま.txt", "C:\\t\\SongA.txt", "C:\\t\\SongB.txt"});
  const std::vector<std::string> lines = Report();
  const std::string sakura = Joined(SongBlock(lines, 1));
  EXPECT_NE(std::string::npos,
            sakura.find("text:   C:\\t\\さくま.txt   (fuzzy pass: prefix of 4 bytes \"さく\", 2 candidates)"))
      << sakura;
  EXPECT_NE(std::string::npos,
            sakura.find("skipped: prefix of 5 bytes (would end inside a double-byte character)"));
  EXPECT_NE(std::string::npos, sakura.find("beat:   C:\\t\\さくらんぼ.txt   (longer name: 10 bytes against 6)"));

  const std::string song = Joined(SongBlock(lines, 2));
  EXPECT_NE(std::string::npos, song.find("text:   C:\\t\\SongA.txt   (fuzzy pass: prefix of 4 bytes \"Song\""))
      << song;
  EXPECT_NE(std::string::npos,
            song.find("beat:   C:\\t\\SongB.txt   (same length, 5 bytes: the tie goes to the lower index)"));
  EXPECT_EQ(std::string::npos, song.find("skipped:"));
}

TEST(MatchReport, NoTextGivesTheReasonAndTheNearestNames) {
  SetLists({"C:\\m\\AB.wav", "C:\\m\\Zebra.wav"}, {"C:\\t\\A.txt", "C:\\t\\ABC.txt", "C:\\t\\Other.txt"});
  const std::vector<std::string> lines = Report();
  const std::string ab = Joined(SongBlock(lines, 1));
  EXPECT_NE(std::string::npos, ab.find("a key of 2 bytes or fewer is matched only exactly")) << ab;
  EXPECT_NE(std::string::npos, ab.find("nearest: C:\\t\\ABC.txt   (shares \"AB\", 2 bytes)")) << ab;
  EXPECT_EQ(std::string::npos, ab.find("nearest: C:\\t\\A.txt"));
  EXPECT_NE(std::string::npos, ab.find("  line:   BRAMLOE: wav:AB   TXT:無し"));
  const std::string zebra = Joined(SongBlock(lines, 2));
  EXPECT_NE(std::string::npos, zebra.find("no text shares a usable prefix")) << zebra;
  EXPECT_NE(std::string::npos, zebra.find("nearest: none")) << zebra;
}

TEST(MatchReport, NearestCountsOnlyWholeSharedCharacters) {
  // あ い う え share their first byte 0x82, which the comparison alone would count.
  SetLists({"C:\\m\\x.wav"}, {"C:\\t\\かき.txt", "C:\\t\\あえ.txt", "C:\\t\\あお.txt"});
  int lengths[TEXT_CAPACITY];
  MatchedPrefixLengths("あいう", lengths);
  int shared = 0, out[4] = {-1, -1, -1, -1};
  EXPECT_EQ(2, NearestTexts("あいう", lengths, &shared, out, 4));
  EXPECT_EQ(2, shared);
  EXPECT_EQ(1, out[0]);
  EXPECT_EQ(2, out[1]);
  MatchedPrefixLengths("けこ", lengths);
  EXPECT_EQ(0, NearestTexts("けこ", lengths, &shared, out, 4));
  EXPECT_EQ(0, shared);
}

TEST(MatchReport, ExactPassWithAimaiOffAndLaterEqualNames) {
  SetLists({"C:\\m\\SONG.wav", "C:\\m\\My Song.wav"},
           {"C:\\t\\Song.txt", "C:\\t\\sub\\song.TXT", "C:\\t\\mysong.txt", "C:\\t\\My SongX.txt"}, 0);
  const std::vector<std::string> lines = Report();
  const std::string first = Joined(SongBlock(lines, 1));
  EXPECT_NE(std::string::npos, first.find("text:   C:\\t\\Song.txt   (exact pass)")) << first;
  EXPECT_NE(std::string::npos, first.find("also equal, later in the text list: C:\\t\\sub\\song.TXT"));
  EXPECT_EQ(std::string::npos, first.find("(match key)"));
  const std::string second = Joined(SongBlock(lines, 2));
  EXPECT_NE(std::string::npos, second.find("fuzzy matching is off")) << second;
  EXPECT_NE(std::string::npos, second.find("nearest: C:\\t\\My SongX.txt   (shares \"My Song\", 7 bytes)"))
      << second;
}

TEST(MatchReport, SummaryCountsSongsAndListsUnusedTexts) {
  SetLists({"C:\\m\\表.wav", "C:\\m\\ソ.mid", "C:\\m\\Lost.wav"},
           {"C:\\t\\表\\ソ.txt", "C:\\t\\表.txt", "C:\\t\\Spare.txt"});
  const std::vector<std::string> lines = Report();
  const std::string all = Joined(lines);
  // 0x5C second bytes in the folder and in the names: still whole stems.
  EXPECT_NE(std::string::npos, all.find("text:   C:\\t\\表.txt   (exact pass)")) << all;
  EXPECT_NE(std::string::npos, all.find("text:   C:\\t\\表\\ソ.txt   (exact pass)"));
  EXPECT_NE(std::string::npos, all.find("line:   BRAMLOE: mid:ソ   TXT:ソ\n"));
  EXPECT_NE(std::string::npos, all.find("  songs:                3\n"));
  EXPECT_NE(std::string::npos, all.find("  songs with a text:    2\n"));
  EXPECT_NE(std::string::npos, all.find("  songs without a text: 1   (skip would pass over them"));
  EXPECT_NE(std::string::npos, all.find("  texts no song finds:  1\n    C:\\t\\Spare.txt\n")) << all;
  const size_t summary = all.find("summary\n");
  ASSERT_NE(std::string::npos, summary);
  EXPECT_NE(std::string::npos, all.find("    C:\\m\\Lost.wav\n", summary));
  EXPECT_EQ(std::string::npos, all.find("    C:\\m\\表.wav\n", summary));
}

TEST(MatchReport, SkipLeavesTheTitleLineUnlessTheSongIsTheOnlyOne) {
  SetLists({"C:\\m\\Lost.wav", "C:\\m\\Found.wav"}, {"C:\\t\\Found.txt"}, 1, 1);
  SongMatch m;
  DescribeSong(0, &m);
  EXPECT_TRUE(m.titleLineKept);
  const std::string all = Joined(Report());
  EXPECT_NE(std::string::npos, all.find("  line:   (left as it was: skip passes over this song)")) << all;
  EXPECT_NE(std::string::npos, all.find("skip is on: the player passes over them"));

  SetLists({"C:\\m\\Lost.wav"}, {"C:\\t\\Found.txt"}, 1, 1);
  DescribeSong(0, &m);
  EXPECT_FALSE(m.titleLineKept);  // the last try shows 無し
  EXPECT_STREQ("BRAMLOE: wav:Lost   TXT:無し", m.titleLine);
}

TEST(MatchReport, TitleAndArtistFromTheTag) {
  // In the working folder (no '\': the whole name is the stem), named for this process.
  const std::string stem = "bramloe_report_tag_" + ProcessTag();
  const std::string name = stem + ".mp3";
  const char *path = name.c_str();
  std::string tag = GeneratedTag("my_song");
  std::FILE *file = std::fopen(path, "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite("audio", 1, 5, file);
  std::fwrite(tag.data(), 1, tag.size(), file);
  std::fclose(file);
  SetLists({path}, {"C:\\t\\mysong.txt"});
  SongMatch m;
  DescribeSong(0, &m);
  EXPECT_EQ(TITLE_FROM_TAG, m.titleSource);
  EXPECT_STREQ("Ｍｙ Ｓｏｎｇ", m.title);
  EXPECT_STREQ("MySong", m.songKey);
  EXPECT_STREQ("Foo", m.artist);
  EXPECT_STREQ("BRAMLOE: mp3:MySong(Foo)   TXT:mysong", m.titleLine);
  const std::string all = Joined(Report());
  EXPECT_NE(std::string::npos, all.find("  title:  Ｍｙ Ｓｏｎｇ   (from the ID3v1 tag)\n  artist: Foo\n"
                                        "  key:    MySong   (match key)\n")) << all;

  // A title field that begins with a space falls back to the file name; the artist stays.
  tag[3] = ' ';
  file = std::fopen(path, "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite(tag.data(), 1, tag.size(), file);
  std::fclose(file);
  DescribeSong(0, &m);
  EXPECT_EQ(TITLE_FROM_FILE_NAME, m.titleSource);
  EXPECT_EQ(stem, m.title);
  EXPECT_STREQ("Foo", m.artist);
  std::remove(path);
}
