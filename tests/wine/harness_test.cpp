// The ground every Win32 test stands on: Wine runs with code page 932 and the
// program's resources are linked in.
#include <gtest/gtest.h>
#include <windows.h>

#include "resources/ids.h"

TEST(WineHarness, AnsiCodePageIsShiftJis) { EXPECT_EQ(932u, GetACP()); }

TEST(WineHarness, ResourcesAreJapanese) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC menu = FindResourceExA(self, RT_MENU, RES_MENU, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  EXPECT_NE(nullptr, menu);
  HRSRC dialog = FindResourceExA(self, RT_DIALOG, RES_SETTING_DIALOG, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  EXPECT_NE(nullptr, dialog);
  EXPECT_NE(nullptr, LoadAcceleratorsA(self, RES_ACCELERATORS));
}

TEST(WineHarness, MenuTextsComeOutAsShiftJis) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), RES_MENU);
  ASSERT_NE(nullptr, menu);
  char text[64] = "";
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("ファイル(&F)", text);
  DestroyMenu(menu);
}
