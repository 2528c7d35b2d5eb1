// Media the build made with scripts/media.py (cmake/test_media.cmake), read from the
// build tree by the native tests and the Wine tests alike.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// The 128-byte ID3v1 tag made as NAME.tag; a failure of the test when the build made none.
inline std::string GeneratedTag(const std::string &name) {
  const std::string path = BRAMLOE_TEST_MEDIA_DIR "/" + name + ".tag";
  std::string bytes;
  if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
  }
  EXPECT_EQ(128u, bytes.size()) << path;
  return bytes;
}
