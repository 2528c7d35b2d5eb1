// The product against the literal reference of matching_reference.h, on random names
// drawn from alphabets where the rules interact: first bytes and second bytes that look
// like ASCII, 0x5C and the 0x7F gap, half-width kana with marks, full-width letters,
// digits and parentheses, spaces and underscores, and stray bytes. Any difference fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "library/library.h"
#include "matching/matching.h"
#include "native/matching_reference.h"
#include "native/text_list_fixture.h"
#include "settings/settings.h"

namespace {

using ref::Hex;

const char *const tokens[] = {
    "a", "A", "b", "B", "s", "S", "z", "Z", "0", "9", "(", ")", " ", "_", ".", "-",
    "ａ", "Ａ", "ｂ", "Ｂ", "ｚ", "Ｚ", "０", "９", "（", "）", "＿", "　", "＼",
    "ｱ", "ｶ", "ｻ", "ｿ", "ﾄ", "ﾊ", "ﾎ", "ｳ", "ﾜ", "ﾞ", "ﾟ", "ｰ", "｡", "ﾝ", "ｧ",
    "ガ", "パ", "ア", "ヂ", "ヴ", "さ", "く", "ら", "ん", "ソ", "表", "能", "ム", "×", "亜",
    "\x81", "\x82", "\x9F", "\xE0", "\xFC", "\x7F", "\x80", "\xA0", "\xFD", "\\", "\x40",
    "\x3F", "\x61", "\xDE", "\xDF",
};
const int tokenCount = sizeof tokens / sizeof tokens[0];

// Spellings that give the same key (or the same key up to ASCII case).
const std::vector<std::vector<std::string>> equivalents = {
    {"a", "A", "ａ", "Ａ"}, {"b", "B", "ｂ", "Ｂ"}, {"z", "Z", "ｚ", "Ｚ"}, {"s", "S"},
    {"0", "０"}, {"9", "９"}, {"(", "（"}, {")", "）"}, {" ", "_", ""},
    {"ガ", "ｶﾞ"}, {"パ", "ﾊﾟ"}, {"ア", "ｱ", "ヂ"}, {"ソ", "ｿ"}, {"ヴ", "ｳﾞ"},
};

struct Generator {
  std::mt19937 rng;
  explicit Generator(unsigned seed) : rng(seed) {}

  int Below(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

  std::vector<std::string> Tokens(int most) {
    std::vector<std::string> out;
    for (int n = Below(most + 1); n > 0; --n) out.push_back(tokens[Below(tokenCount)]);
    return out;
  }
  std::string Join(const std::vector<std::string> &parts, size_t from, size_t to) {
    std::string s;
    for (size_t i = from; i < to && i < parts.size(); ++i) s += parts[i];
    return s;
  }
  std::string Variant(const std::vector<std::string> &parts, size_t to) {
    std::string s;
    for (size_t i = 0; i < to && i < parts.size(); ++i) {
      std::string piece = parts[i];
      for (const auto &group : equivalents) {
        bool member = false;
        for (const auto &g : group) member = member || g == piece;
        if (member && Below(3) == 0) piece = group[Below(static_cast<int>(group.size()))];
      }
      s += piece;
    }
    return s;
  }
  // A text name related to the title in one of several ways.
  std::string Name(const std::vector<std::string> &title, const std::vector<std::string> &earlier) {
    const size_t cut = Below(static_cast<int>(title.size()) + 1);
    switch (Below(9)) {
      case 0: return Join(Tokens(6), 0, 99);
      case 1:
      case 2: return Join(title, 0, cut) + Join(Tokens(3), 0, 99);
      case 3: return Variant(title, title.size());
      case 4: return Variant(title, cut) + Join(Tokens(2), 0, 99);
      case 5: return earlier.empty() ? "" : earlier[Below(static_cast<int>(earlier.size()))];
      case 6: return "";
      case 7: {
        std::string s = Join(title, 0, cut + 1);
        if (!s.empty()) s.pop_back();  // often half a double-byte character
        return s;
      }
      default: return Join(title, 0, title.size());
    }
  }
};

// Runs `cases` random lookups from seed, each over up to `mostTexts` text names; returns
// the number of differences.
int CompareLookups(unsigned seed, int cases, int mostTexts = 8) {
  Generator gen(seed);
  int differences = 0;
  for (int c = 0; c < cases && differences < 5; ++c) {
    const bool aimai = gen.Below(4) != 0;
    const bool longTitle = gen.Below(200) == 0;
    std::vector<std::string> title = gen.Tokens(longTitle ? 170 : 9);
    const std::string titleText = gen.Join(title, 0, title.size());
    std::vector<std::string> names, paths;
    for (int n = gen.Below(longTitle ? 4 : mostTexts); n > 0; --n) {
      std::string name = gen.Name(title, names);
      names.push_back(name);
      const char *extension = gen.Below(6) == 0 ? "" : ".txt";
      std::string path = "D:\\T\\" + name + extension;
      if (path.size() > PATH_BYTES - 1) path.resize(PATH_BYTES - 1);
      paths.push_back(path);
    }

    SetTextList(paths, aimai);
    char key[KEY_BYTES];
    MakeKey(titleText.c_str(), aimai, key);
    const std::string expectedKey = ref::Key(titleText, aimai);
    TextLookup got;
    LookUpTextKey(key, &got);
    const ref::Result want = ref::Find(expectedKey, paths, aimai);

    std::string detail;
    if (expectedKey != key) detail += " key";
    if (want.index != got.index || want.pass != got.pass || want.prefixLength != got.prefixLength ||
        want.candidates != got.candidateCount)
      detail += " lookup";
    for (size_t i = 0; i < paths.size(); ++i) {
      const std::string t = ref::TextName(paths[i], aimai);
      if (t != CachedTextKey(static_cast<int>(i))) detail += " textkey";
      int longest = 0;
      for (int n = 1; n <= static_cast<int>(expectedKey.size()); ++n)
        if (ref::PrefixEqual(expectedKey, t, n)) longest = n;
      if (longest != CommonPrefixLength(key, t.c_str())) detail += " prefix";
    }
    if (detail.empty()) continue;
    ++differences;
    std::string texts;
    for (const std::string &path : paths) texts += "\n    " + Hex(path);
    ADD_FAILURE() << "case " << c << " of seed " << seed << ":" << detail << "\n  aimai " << aimai
                  << "\n  title " << Hex(titleText) << "\n  key   " << Hex(key) << "\n  want  "
                  << Hex(expectedKey) << "\n  texts" << texts << "\n  want index " << want.index
                  << " pass " << want.pass << " n " << want.prefixLength << " candidates "
                  << want.candidates << "\n  got  index " << got.index << " pass " << got.pass
                  << " n " << got.prefixLength << " candidates " << got.candidateCount;
  }
  Settings = SettingsRecord{};
  TextList.count = 0;
  InvalidateTextKeys();
  return differences;
}

}  // namespace

// 4 x 50,000 lookups, split so that ctest can run them side by side.
TEST(MatchingDifferential, Lookups1) { EXPECT_EQ(0, CompareLookups(1, 50000)); }
TEST(MatchingDifferential, Lookups2) { EXPECT_EQ(0, CompareLookups(2, 50000)); }
TEST(MatchingDifferential, Lookups3) { EXPECT_EQ(0, CompareLookups(3, 50000)); }
TEST(MatchingDifferential, Lookups4) { EXPECT_EQ(0, CompareLookups(4, 50000)); }

// Long text lists, where many names begin alike: the texts the lookup looks at are a
// run of its sorted keys, and every candidate must still be in that run.
TEST(MatchingDifferential, LongTextLists) { EXPECT_EQ(0, CompareLookups(5, 1500, 240)); }

TEST(MatchingDifferential, KeysAndStems) {
  Generator gen(99);
  int differences = 0;
  for (int c = 0; c < 200000 && differences < 5; ++c) {
    // Up to 180 tokens: long enough to reach the 255-byte cut from every side.
    std::vector<std::string> parts = gen.Tokens(gen.Below(10) == 0 ? 180 : 12);
    std::string source = gen.Join(parts, 0, parts.size());
    char key[KEY_BYTES];
    BuildMatchKey(source.c_str(), key);
    std::string want = ref::BuildMatchKey(source);
    if (want != key) {
      ++differences;
      ADD_FAILURE() << "key of " << Hex(source) << "\n  want " << Hex(want) << "\n  got  " << Hex(key);
    }
    std::string path = "D:\\" + source.substr(0, 300);
    char stem[KEY_BYTES];
    PathStem(path.c_str(), stem);
    if (ref::Stem(path) != stem) {
      ++differences;
      ADD_FAILURE() << "stem of " << Hex(path) << "\n  want " << Hex(ref::Stem(path)) << "\n  got  " << Hex(stem);
    }
    for (int i = 0; i < static_cast<int>(source.size()) && i < 40; ++i) {
      if (ref::ByteTypeAt(source, i) != ByteTypeAt(source.c_str(), i)) {
        ++differences;
        ADD_FAILURE() << "type at " << i << " of " << Hex(source);
        break;
      }
    }
  }
  EXPECT_EQ(0, differences);
}
