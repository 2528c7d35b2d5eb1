// What Explorer and the system read from the executable's resources: the version
// (the same as the About box's), the icon in every size, and the manifest. This test
// program carries the program's resource script, so it reads its own module.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resources/ids.h"
#include "shell/version.h"

namespace {

std::string ResourceBytes(const char *name, const char *type) {
  HRSRC found = FindResourceA(nullptr, name, type);
  if (!found) return "";
  HGLOBAL loaded = LoadResource(nullptr, found);
  return std::string(static_cast<const char *>(LockResource(loaded)), SizeofResource(nullptr, found));
}

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_NE(0u, size) << "no version resource in " << path;
    block.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &block[0]));
  }
  std::string Value(const char *name) {
    std::string query = std::string("\\StringFileInfo\\041104B0\\") + name;
    char *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &length)) return "<none>";
    return value;
  }
  std::string block;
};

// The About box's text is "BRAMLOE " and the version.
std::string AboutVersion() { return std::string(VersionText).substr(std::strlen("BRAMLOE ")); }

TEST_F(VersionResource, StringsAgreeWithTheAboutBox) {
  ASSERT_EQ(0, std::strncmp(VersionText, "BRAMLOE ", 8));
  struct Case { const char *name; std::string expected; } cases[] = {
      {"FileVersion", AboutVersion()},
      {"ProductVersion", AboutVersion()},
      {"ProductName", "BRAMLOE"},
      {"OriginalFilename", "bramloe.exe"},
  };
  for (const Case &c : cases) EXPECT_EQ(c.expected, Value(c.name)) << c.name;
  for (const char *name : {"FileDescription", "LegalCopyright"}) {
    EXPECT_NE("<none>", Value(name)) << name;
    EXPECT_NE("", Value(name)) << name;
  }
  EXPECT_NE(std::string::npos, Value("LegalCopyright").find("Copyright"));
}

TEST_F(VersionResource, NumbersAreTheVersionsParts) {
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
  unsigned major = 0, minor = 0;
  ASSERT_EQ(2, std::sscanf(AboutVersion().c_str(), "%u.%u", &major, &minor));
  EXPECT_EQ(MAKELONG(minor, major), fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

TEST(IconResource, HoldsEverySize) {
  // The group's directory: a 6-byte header, then 14 bytes an image (width 0 is 256).
  std::string group = ResourceBytes(MAIN_ICON_NAME, RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u) << "no icon " << MAIN_ICON_NAME;
  unsigned count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::string widths;
  for (unsigned i = 0; i < count; i++) {
    unsigned width = static_cast<unsigned char>(group[6 + 14 * i]);
    widths += std::to_string(width ? width : 256) + " ";
  }
  EXPECT_EQ("16 32 48 256 ", widths);
  for (int size : {16, 32, 48, 256}) {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAIN_ICON_NAME, IMAGE_ICON, size, size, 0));
    EXPECT_NE(nullptr, icon) << size;
    if (icon) DestroyIcon(icon);
  }
}

TEST(ManifestResource, DeclaresSystemsAndDpiAwareness) {
  std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_FALSE(manifest.empty());
  const char *wanted[] = {
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
      ">PerMonitorV2, System</dpiAwareness>",
      ">true</dpiAware>",
      "level=\"asInvoker\"",
  };
  for (const char *text : wanted) EXPECT_NE(std::string::npos, manifest.find(text)) << text;
}

}  // namespace
