// The text lookup (exact and fuzzy pass), its key cache and the title line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

namespace {

void SetTexts(const std::vector<std::string> &names) {
  TextList.count = 0;
  for (const std::string &name : names) AppendTextPath(("D:\\Text\\" + name + ".txt").c_str());
  InvalidateTextKeys();
}

struct Found {
  int index, pass, prefixLength, candidates;
};

// Looks up a title (turned into the song key as SongTitle would) among text names.
Found Look(const std::string &title, const std::vector<std::string> &names, int aimai = 1) {
  Settings.aimai = aimai;
  SetTexts(names);
  char key[KEY_BYTES];
  MakeKey(title.c_str(), aimai, key);
  TextLookup result;
  LookUpTextKey(key, &result);
  return {result.index, result.pass, result.prefixLength, result.candidateCount};
}

class Lookup : public ::testing::Test {
 protected:
  void TearDown() override {
    Settings = SettingsRecord{};
    TextList.count = 0;
    MusicList.count = 0;
    InvalidateTextKeys();
  }
};

}  // namespace

TEST_F(Lookup, ExactPassIgnoresAsciiCaseAndTakesTheFirst) {
  Found f = Look("My Song", {"other", "mysong", "MySong"});
  EXPECT_EQ(1, f.index);
  EXPECT_EQ(LOOKUP_EXACT, f.pass);
  EXPECT_EQ(0, Look("ｻｸﾗ", {"サクラ"}).index);
  // Case folding reaches second bytes that are letters: ア 83 41 equals ヂ 83 61.
  EXPECT_EQ(0, Look("ア", {"ヂ"}).index);
  EXPECT_EQ(0, Look("ア", {"ヂ"}, 0).index);
  // The fuzzy pass compares double-byte characters exactly: no prefix match there.
  EXPECT_EQ(-1, Look("アイウ", {"ヂイ"}).index);
}

TEST_F(Lookup, AimaiOffRunsOnlyTheExactPassOnPlainNames) {
  EXPECT_EQ(0, Look("SONG", {"Song"}, 0).index);
  EXPECT_EQ(-1, Look("Song", {"SongX"}, 0).index);
  EXPECT_EQ(-1, Look("My Song", {"MySong"}, 0).index);
  EXPECT_EQ(-1, Look("Ｓｏｎｇ", {"Song"}, 0).index);
  EXPECT_EQ(0, Look("Ｓｏｎｇ", {"Song"}, 1).index);
}

TEST_F(Lookup, FuzzyPassWorkedExamples) {
  Found f = Look("Sakura (Live)", {"SakuraDrop", "Sakura(Studio)", "Sakura", "Sakuran"});
  EXPECT_EQ(2, f.index);
  EXPECT_EQ(LOOKUP_FUZZY, f.pass);
  EXPECT_EQ(6, f.prefixLength);
  EXPECT_EQ(4, f.candidates);

  f = Look("SongC", {"SongA", "SongB"});  // equal lengths: the lower index wins
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(4, f.prefixLength);
  EXPECT_EQ(1, Look("SongC", {"SongAA", "SongB", "SongD"}).index);

  f = Look("Song2", {"Song1", "Song2(Live)"});  // the full key is never a prefix
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(4, f.prefixLength);

  f = Look("さくら", {"さくらんぼ", "さくま"});  // n = 5 ends inside ら
  EXPECT_EQ(1, f.index);
  EXPECT_EQ(4, f.prefixLength);

  f = Look("ABCD", {"ABあ", "ABX"});  // あ begins at the last byte of the prefix
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(3, f.prefixLength);

  EXPECT_EQ(-1, Look("AB", {"A", "ABC"}).index);
}

TEST_F(Lookup, ParenthesisRule) {
  // Without the rule, "Sakura(" would pick Sakura(Studio) over the bare name.
  EXPECT_EQ(1, Look("Sakura(Live)", {"Sakura(Studio)", "Sakura"}).index);
  // A full-width parenthesis becomes '(' in the key and is skipped the same way.
  EXPECT_EQ(1, Look("Sakura（Live）", {"Sakura(Studio)", "Sakura"}).index);
  // A closing parenthesis is an ordinary end.
  Found f = Look("A(b)cd", {"A(b)x", "A"});
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(4, f.prefixLength);
  // '(' as an invalid second byte after a first byte does not abandon its length.
  f = Look(std::string("AB\x82(Z"), {std::string("AB\x82(Y")});
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(4, f.prefixLength);
}

TEST_F(Lookup, ShortAndEmptyKeys) {
  EXPECT_EQ(-1, Look("A", {"A1", "AB"}).index);
  EXPECT_EQ(-1, Look("AB", {"ABC"}).index);
  EXPECT_EQ(0, Look("ab", {"AB"}).index);
  Found f = Look("ABC", {"ABD"});  // three bytes: n = 2 only
  EXPECT_EQ(0, f.index);
  EXPECT_EQ(2, f.prefixLength);
  EXPECT_EQ(-1, Look("あ", {"あい"}).index);  // one character, two bytes
  EXPECT_EQ(1, Look("", {"x", ""}).index);  // an empty key equals only an empty one
  EXPECT_EQ(-1, Look("Song", {}).index);
  // A text whose key is empty (a name of spaces) never matches a prefix.
  EXPECT_EQ(-1, Look("Song", {"  ", "_"}).index);
}

TEST_F(Lookup, LongestPrefixFirstThenTheShortestText) {
  Found f = Look("abcdef", {"abX", "abcdXXXXXXXX", "abcdYY", "abcX"});
  EXPECT_EQ(2, f.index);
  EXPECT_EQ(4, f.prefixLength);
  EXPECT_EQ(2, f.candidates);
  // A text shorter than the prefix does not match it.
  EXPECT_EQ(1, Look("abcdef", {"abcd", "abcdeZ"}).index);
}

TEST_F(Lookup, CacheFollowsTheSettingAndTheList) {
  Look("x", {"Ｓｏｎｇ"});
  char key[KEY_BYTES] = "Song";
  TextLookup r;
  Settings.aimai = 1;
  LookUpTextKey(key, &r);
  EXPECT_EQ(0, r.index);
  Settings.aimai = 0;  // no invalidation: the change of the setting is noticed
  LookUpTextKey(key, &r);
  EXPECT_EQ(-1, r.index);
  Settings.aimai = 1;
  AppendTextPath("D:\\Text\\Song.txt");  // a longer list is noticed too
  std::snprintf(TextList.paths[0], PATH_BYTES, "%s", "D:\\Text\\other.txt");
  LookUpTextKey(key, &r);
  EXPECT_EQ(1, r.index);
  EXPECT_STREQ("other", CachedTextKey(0));
  // Same count, new paths: the scan's invalidation is what rebuilds the keys.
  std::snprintf(TextList.paths[0], PATH_BYTES, "%s", "D:\\Text\\SONG.txt");
  InvalidateTextKeys();
  LookUpTextKey(key, &r);
  EXPECT_EQ(0, r.index);
}

TEST_F(Lookup, ReportHelpers) {
  EXPECT_EQ(4, CommonPrefixLength("SongC", "SongA"));
  EXPECT_EQ(5, CommonPrefixLength("SongC", "songc"));   // equal: capped at the song key
  EXPECT_EQ(2, CommonPrefixLength("AB", "ABC"));
  EXPECT_EQ(3, CommonPrefixLength("ABCD", "ABあ"));
  EXPECT_EQ(6, CommonPrefixLength("さくら", "さくらんぼ"));  // the whole song key
  EXPECT_EQ(5, CommonPrefixLength("さくら", "さくり"));      // ら and り differ in the second byte
  EXPECT_EQ(0, CommonPrefixLength("x", "y"));
  EXPECT_TRUE(IsAbandonedPrefix("さくら", 5));
  EXPECT_FALSE(IsAbandonedPrefix("さくら", 4));
  EXPECT_TRUE(IsAbandonedPrefix("Sakura(Live)", 7));
  EXPECT_FALSE(IsAbandonedPrefix("Sakura(Live)", 6));
  EXPECT_TRUE(KeysEqualExactly("ア", "ヂ"));
  EXPECT_FALSE(KeysEqualExactly("Song", "Song2"));
}

// ---- The title line ----

TEST(TitleLine, Formats) {
  char line[TITLE_LINE_BYTES];
  FormatTitleLine(line, sizeof line, "mp3", "MySong", "Foo", "mysong");
  EXPECT_STREQ("BRAMLOE: mp3:MySong(Foo)   TXT:mysong", line);
  FormatTitleLine(line, sizeof line, "mp3", "MySong", "", "mysong");
  EXPECT_STREQ("BRAMLOE: mp3:MySong   TXT:mysong", line);
  FormatTitleLine(line, sizeof line, "WAV", "Song", "", NO_TEXT_SHOWN);
  EXPECT_STREQ("BRAMLOE: WAV:Song   TXT:\x96\xB3\x82\xB5", line);  // 無し
}

TEST(TitleLine, NeverOverrunsAndNeverSplitsACharacter) {
  std::string key(255, 'k'), text;
  for (int i = 0; i < 127; ++i) text += "表";
  std::string extension(250, 'e');
  char line[TITLE_LINE_BYTES];
  FormatTitleLine(line, sizeof line, extension.c_str(), key.c_str(), std::string(30, 'a').c_str(), text.c_str());
  EXPECT_EQ(9 + 250 + 1 + 255 + 32 + 7 + 254u, std::strlen(line));  // the longest line fits whole

  char small[24];
  std::memset(small, '#', sizeof small);
  FormatTitleLine(small, 19, "mp3", "表表表表表", "", "x");  // 18 bytes end inside a 表
  EXPECT_STREQ("BRAMLOE: mp3:表表", small);
  EXPECT_EQ('#', small[19]);
  FormatTitleLine(small, 20, "mp3", "表表表表表", "", "x");
  EXPECT_STREQ("BRAMLOE: mp3:表表表", small);
  EXPECT_EQ('#', small[20]);
}

class SongLookup : public Lookup {
 protected:
  void SetSongs(const std::vector<std::string> &paths) {
    MusicList.count = 0;
    for (const std::string &path : paths) AppendMusicPath(path.c_str());
  }
};

TEST_F(SongLookup, TitleLineTextForFoundAndMissingTexts) {
  Settings.aimai = 1;
  SetSongs({"D:\\Music\\My Song.mp3", "D:\\Music\\none.wav", "D:\\a.b\\song", "D:\\Music\\plain"});
  SetTexts({"mysong", "other"});
  TextLookup r;
  LookUpSongText(0, 1, &r);
  EXPECT_EQ(0, r.index);
  EXPECT_STREQ("MySong", r.songKey);
  EXPECT_STREQ("mp3", r.extension);
  EXPECT_STREQ("mysong", r.textShown);

  LookUpSongText(1, 1, &r);
  EXPECT_EQ(-1, r.index);
  EXPECT_STREQ("wav", r.extension);
  EXPECT_STREQ(NO_TEXT_SHOWN, r.textShown);  // skip off: shown every time

  LookUpSongText(2, 1, &r);
  EXPECT_STREQ("b\\song", r.extension);  // the last '.' of the whole path
  LookUpSongText(3, 1, &r);
  EXPECT_STREQ("Music", r.extension);
}

TEST_F(SongLookup, SkipLeavesTheTitleLineUntilTheLastAttempt) {
  Settings.aimai = 1;
  Settings.skip = 1;
  SetSongs({"D:\\M\\a.wav", "D:\\M\\b.wav", "D:\\M\\c.wav"});
  SetTexts({"zzz"});
  TextLookup r;
  LookUpSongText(0, 1, &r);
  EXPECT_EQ(nullptr, r.textShown);
  LookUpSongText(1, 2, &r);
  EXPECT_EQ(nullptr, r.textShown);
  LookUpSongText(2, 3, &r);  // attempt has reached the MusicList count
  EXPECT_STREQ(NO_TEXT_SHOWN, r.textShown);
  Settings.skip = 0;
  LookUpSongText(0, 1, &r);
  EXPECT_STREQ(NO_TEXT_SHOWN, r.textShown);
  // An empty TextList finds nothing, with the same title-line rule.
  SetTexts({});
  LookUpSongText(0, 1, &r);
  EXPECT_EQ(-1, r.index);
  EXPECT_STREQ(NO_TEXT_SHOWN, r.textShown);
}
