// The decoder probe on the test prefix's own classes and on stand-in trees, each
// mapped over HKEY_CLASSES_ROOT for this process only.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "library/library.h"
#include "library/library_win.h"
#include "library_scratch.h"

namespace {

const char EXTENSIONS[] = "Media Type\\Extensions";

bool Lists(const char *path) {
  for (int i = 0; i < MusicList.count; i++)
    if (std::string(MusicList.paths[i]) == path) return true;
  return false;
}

// HKEY_CLASSES_ROOT redirected, for this process, to a key of its own under
// HKEY_CURRENT_USER (the prefix's registry is shared by every process of the prefix),
// holding the given subkeys or a copy of the prefix's own "Media Type" tree.
class ProbeOverStandInClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    own = "Software\\BramloeTests\\" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, own.c_str());  // left by an ended process of this id
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, (own + "\\Classes").c_str(), &root));
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(root);
    RegDeleteTreeA(HKEY_CURRENT_USER, own.c_str());
  }
  void Add(const char *subkey) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, subkey, &key));
    RegCloseKey(key);
  }
  void Remove(const char *subkey) { EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(root, subkey)); }
  // The prefix's "Media Type" tree, as the real classes root holds it.
  void CopyPrefixMediaTypes() {
    HKEY real, copy;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_CLASSES_ROOT, "Media Type", &real));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, "Media Type", &copy));
    EXPECT_EQ(ERROR_SUCCESS, RegCopyTreeA(real, nullptr, copy));
    RegCloseKey(copy);
    RegCloseKey(real);
  }
  bool StandInHas(const std::string &subkey) {
    HKEY key;
    if (RegOpenKeyA(root, subkey.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  void ProbeOverRoot() {
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, root));
    DecoderFlags = {7, 7};
    ProbeDecoders();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  }
  RecordsGuard records;
  std::string own;
  HKEY root = nullptr;
};

TEST_F(ProbeOverStandInClasses, OggKeyOverThePrefixsClassesTurnsTheFlagOnAndOff) {
  CopyPrefixMediaTypes();
  const std::string ogg = std::string(EXTENSIONS) + "\\.ogg";
  if (StandInHas(ogg)) GTEST_SKIP() << "the prefix already registers .ogg; the flag cannot be turned off";
  const bool mp3 = StandInHas(std::string(EXTENSIONS) + "\\.mp3");
  std::string folder = MakeScratchFolder("probe");
  MakeFile(folder + "\\a.ogg");
  MakeFile(folder + "\\b.wav");

  ProbeOverRoot();
  EXPECT_EQ(0, DecoderFlags.ogg);
  EXPECT_EQ(mp3 ? 1 : 0, DecoderFlags.mp3);
  MusicList.count = 0;
  ScanMusicFolder(folder.c_str());
  EXPECT_FALSE(Lists((folder + "\\a.ogg").c_str()));
  EXPECT_TRUE(Lists((folder + "\\b.wav").c_str()));

  Add(ogg.c_str());
  ProbeOverRoot();
  EXPECT_EQ(1, DecoderFlags.ogg);
  EXPECT_EQ(mp3 ? 1 : 0, DecoderFlags.mp3);
  MusicList.count = 0;
  ScanMusicFolder(folder.c_str());
  EXPECT_TRUE(Lists((folder + "\\a.ogg").c_str()));

  Remove(ogg.c_str());
  ProbeOverRoot();
  EXPECT_EQ(0, DecoderFlags.ogg);
  RemoveTree(folder);
}

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
