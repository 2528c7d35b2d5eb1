#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "settings/settings.h"

TEST(SettingsValues, AutoBaseFollowsThePrefix) {
  EXPECT_EQ(16, ParseAutoBase("0x10"));
  EXPECT_EQ(16, ParseAutoBase("0X10"));
  EXPECT_EQ(8, ParseAutoBase("010"));
  EXPECT_EQ(0, ParseAutoBase("yes"));
  EXPECT_EQ(123, ParseAutoBase("123"));  // what a 4-byte read leaves of 12345
  EXPECT_EQ(-5, ParseAutoBase("  -5"));
  EXPECT_EQ(0, ParseAutoBase("0x"));     // no hex digits: the 0 alone counts
  EXPECT_EQ(0, ParseAutoBase("08"));     // 8 is no octal digit
  EXPECT_EQ(0, ParseAutoBase(""));
}

TEST(SettingsValues, DecimalStopsAtTheFirstNonDigitAndStaysInRange) {
  EXPECT_EQ(30, ParseDecimal("  +30xyz"));
  EXPECT_EQ(-1200, ParseDecimal("-1200"));
  EXPECT_EQ(10, ParseDecimal("010"));
  EXPECT_EQ(0, ParseDecimal("abc"));
  EXPECT_EQ(0, ParseDecimal("0x10"));
  EXPECT_EQ(INT_MAX, ParseDecimal("99999999999999999999"));
  EXPECT_EQ(INT_MIN, ParseDecimal("-99999999999999999999"));
}

TEST(SettingsValues, FilePathJoinsTheProfileFolder) {
  char out[260];
  EXPECT_STREQ("C:\\users\\me\\BRAMLOE.INI", SettingsFilePathFor("C:\\users\\me", out));
  EXPECT_STREQ("C:\\users\\me\\\\BRAMLOE.INI", SettingsFilePathFor("C:\\users\\me\\", out));
  EXPECT_STREQ("BRAMLOE.INI", SettingsFilePathFor("", out));
  EXPECT_STREQ("BRAMLOE.INI", SettingsFilePathFor(nullptr, out));
}

TEST(SettingsValues, TooLongAProfileFolderFallsBackToTheBareName) {
  char out[260];
  std::string fits(259 - 12, 'a');  // exactly room for "\BRAMLOE.INI"
  SettingsFilePathFor(fits.c_str(), out);
  EXPECT_EQ(259u, std::strlen(out));
  std::string longer(259 - 11, 'a');
  EXPECT_STREQ("BRAMLOE.INI", SettingsFilePathFor(longer.c_str(), out));
}

// Two copies of the program writing at once go through copies of their own, and take
// the one lock of the file, however its path is spelt.
TEST(SettingsValues, EachProcessWritesThroughCopiesOfItsOwn) {
  char copy[PATH_BYTES], check[PATH_BYTES], otherCopy[PATH_BYTES], otherCheck[PATH_BYTES];
  ASSERT_TRUE(SettingsCopyPaths("C:\\u\\BRAMLOE.INI", 4242, copy, check));
  EXPECT_STREQ("C:\\u\\BRAMLOE.INI.4242.new", copy);
  EXPECT_STREQ("C:\\u\\BRAMLOE.INI.4242.chk", check);
  ASSERT_TRUE(SettingsCopyPaths("C:\\u\\BRAMLOE.INI", 4243, otherCopy, otherCheck));
  EXPECT_STRNE(copy, otherCopy);
  EXPECT_STRNE(check, otherCheck);
  const std::string fits(PATH_BYTES - 1 - std::strlen(".4242.new"), 'a');
  EXPECT_TRUE(SettingsCopyPaths(fits.c_str(), 4242, copy, check));
  EXPECT_FALSE(SettingsCopyPaths((fits + "a").c_str(), 4242, copy, check));

  const struct {
    const char *one, *other;
    bool same;
  } locks[] = {
      {"C:\\users\\me\\BRAMLOE.INI", "c:\\USERS\\Me\\bramloe.ini", true},
      {"C:\\users\\me\\BRAMLOE.INI", "C:\\users\\you\\BRAMLOE.INI", false},
      {"C:\\users\\me\\BRAMLOE.INI", "C:\\users\\me\\BRAMLOE.INI.bak", false},
      {"D:\\\x83\x5C\\BRAMLOE.INI", "D:\\\x83\x7C\\BRAMLOE.INI", false},
  };
  for (const auto &l : locks) {
    char one[SETTINGS_LOCK_NAME_BYTES], other[SETTINGS_LOCK_NAME_BYTES];
    SettingsLockName(l.one, one);
    SettingsLockName(l.other, other);
    EXPECT_EQ(l.same, std::strcmp(one, other) == 0) << l.one << " / " << l.other;
    EXPECT_EQ(nullptr, std::strchr(one, '\\')) << one;
  }
}

// Code page 932's rule whatever the system's: 0xA1 and 0xFD begin no character in it,
// though they do in other code pages.
TEST(SettingsValues, AFieldCutInsideACharacterLosesItsFirstByte) {
  const struct {
    const char *field, *kept;
  } cases[] = {
      {"abc", "abc"},
      {"a\x82", "a"},
      {"\x82\xA0\x82", "\x82\xA0"},
      {"a\x88\x9F", "a\x88\x9F"},     // 亜 whole: its second byte is in the lead range
      {"\x88\x9F\x88", "\x88\x9F"},
      {"\x83\x5C", "\x83\x5C"},       // ソ
      {"a\xA1", "a\xA1"},
      {"a\xFD", "a\xFD"},
      {"", ""},
  };
  for (const auto &c : cases) {
    char field[PATH_BYTES];
    std::strcpy(field, c.field);
    EXPECT_STREQ(c.kept, DropCutCharacter(field)) << c.field;
  }
}
