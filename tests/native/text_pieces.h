// Loads a text in pieces of 1, 2, 3 and 7 bytes, expecting from each the very rows,
// wide rows and time tags of one load in pieces of the default size, which it then
// leaves in the TextBuffer: whatever a test checks holds across every piece edge.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/text_facts.h"

inline void LoadInEveryPieceSize(const std::string &bytes, CodePage932Encoder encode = nullptr) {
  const unsigned char *data = reinterpret_cast<const unsigned char *>(bytes.data());
  std::vector<std::vector<long>> small;
  for (size_t piece : {1, 2, 3, 7}) {
    ReadTextBytes(data, bytes.size(), encode, piece);
    small.push_back(LoadedTextFacts());
  }
  ReadTextBytes(data, bytes.size(), encode);
  const std::vector<long> whole = LoadedTextFacts();
  for (size_t i = 0; i < small.size(); i++) EXPECT_EQ(whole, small[i]) << "pieces #" << i;
}
