// The decoder probe on the real registry of the test prefix, and on stand-in
// HKEY_CLASSES_ROOT trees mapped over the real one for this process only.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "library/library.h"
#include "library/library_win.h"
#include "library_scratch.h"

namespace {

const char EXTENSIONS[] = "Media Type\\Extensions";

bool ClassesKeyExists(const std::string &subkey) {
  HKEY key;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, subkey.c_str(), &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool Lists(const char *path) {
  for (int i = 0; i < MusicList.count; i++)
    if (std::string(MusicList.paths[i]) == path) return true;
  return false;
}

TEST(DecoderProbe, OggKeyInThePrefixTurnsTheFlagOnAndOff) {
  const std::string ogg = std::string(EXTENSIONS) + "\\.ogg";
  if (ClassesKeyExists(ogg)) GTEST_SKIP() << "the prefix already registers .ogg; left alone";
  std::string folder = MakeScratchFolder("probe");
  MakeFile(folder + "\\a.ogg");
  MakeFile(folder + "\\b.wav");

  ProbeDecoders();
  EXPECT_EQ(0, DecoderFlags.ogg);
  EXPECT_EQ(ClassesKeyExists(std::string(EXTENSIONS) + "\\.mp3") ? 1 : 0, DecoderFlags.mp3);
  MusicList.count = 0;
  ScanMusicFolder(folder.c_str());
  EXPECT_FALSE(Lists((folder + "\\a.ogg").c_str()));
  EXPECT_TRUE(Lists((folder + "\\b.wav").c_str()));

  HKEY created;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, ogg.c_str(), &created));
  RegCloseKey(created);
  ProbeDecoders();
  int withKey = DecoderFlags.ogg;
  MusicList.count = 0;
  ScanMusicFolder(folder.c_str());
  bool listedWithKey = Lists((folder + "\\a.ogg").c_str());
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, ogg.c_str()));  // as found
  EXPECT_EQ(1, withKey);
  EXPECT_TRUE(listedWithKey);

  ProbeDecoders();
  EXPECT_EQ(0, DecoderFlags.ogg);
  MusicList.count = 0;
  RemoveTree(folder);
}

// HKEY_CLASSES_ROOT redirected, for this process, to a scratch key holding the given
// subkeys (none: "Media Type" itself is missing).
class ProbeOverStandInClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, ROOT, &root));
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(root);
    RegDeleteTreeA(HKEY_CURRENT_USER, ROOT);
  }
  void Add(const char *subkey) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, subkey, &key));
    RegCloseKey(key);
  }
  void ProbeOverRoot() {
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, root));
    DecoderFlags = {7, 7};
    ProbeDecoders();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  }
  static constexpr const char *ROOT = "Software\\BramloeTests\\Classes";
  HKEY root = nullptr;
};

TEST_F(ProbeOverStandInClasses, NoMediaTypeKeyMeansNoDecoders) {
  ProbeOverRoot();
  EXPECT_EQ(0, DecoderFlags.mp3);
  EXPECT_EQ(0, DecoderFlags.ogg);
  Add("Media Type");  // without Extensions
  ProbeOverRoot();
  EXPECT_EQ(0, DecoderFlags.mp3);
  EXPECT_EQ(0, DecoderFlags.ogg);
}

TEST_F(ProbeOverStandInClasses, EachExtensionKeySetsItsOwnFlagWhateverItsCase) {
  Add("Media Type\\Extensions\\.mp3");
  ProbeOverRoot();
  EXPECT_EQ(1, DecoderFlags.mp3);
  EXPECT_EQ(0, DecoderFlags.ogg);
  Add("Media Type\\Extensions\\.OGG");
  ProbeOverRoot();
  EXPECT_EQ(1, DecoderFlags.mp3);
  EXPECT_EQ(1, DecoderFlags.ogg);
}

}  // namespace
