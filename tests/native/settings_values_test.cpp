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
