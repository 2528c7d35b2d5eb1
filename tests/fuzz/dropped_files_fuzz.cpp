// The dropped-file list from any names: every name that fits is taken in drop order
// and as it is, a longer one is passed over, the list never overflows and the next
// song is its first entry.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "library/library.h"

static const char *NameAt(void *context, int index) {
  const std::vector<std::string> &names = *static_cast<const std::vector<std::string> *>(context);
  const std::string &name = names[index];
  return name == "?" ? nullptr : name.c_str();  // "?" stands for a name the shell will not give
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzInput in = {data, size};
  // A first byte with its top bit set repeats the list past the list's capacity.
  const bool overfill = TakeByte(&in) & 0x80;
  std::vector<std::string> pieces;
  while (in.size) {
    std::string piece = AsCString(TakePiece(&in, '\n'));
    // A first byte 0xFF stretches a name to 200 bytes and its second byte more, over
    // the path limit or up to it.
    if (piece.size() >= 2 && static_cast<uint8_t>(piece[0]) == 0xFF)
      piece.resize(200 + static_cast<uint8_t>(piece[1]), 'x');
    pieces.push_back(piece);
  }
  const size_t repeat = overfill && !pieces.empty() ? MUSIC_CAPACITY / pieces.size() + 2 : 1;
  std::vector<std::string> names;
  for (size_t r = 0; r < repeat && !pieces.empty(); ++r) names.insert(names.end(), pieces.begin(), pieces.end());

  PlayCursor.current = 7;
  PlayCursor.shuffle = 1;
  TakeDroppedNames(static_cast<int>(names.size()), NameAt, &names);
  FUZZ_CHECK(MusicList.count >= 0 && MusicList.count <= MUSIC_CAPACITY);
  FUZZ_CHECK(PlayCursor.current == -1 && PlayCursor.shuffle == 0);
  int taken = 0;
  for (const std::string &name : names) {
    if (taken == MusicList.count) break;
    if (name == "?" || name.size() >= PATH_BYTES) continue;
    FUZZ_CHECK(name == MusicList.paths[taken]);
    ++taken;
  }
  FUZZ_CHECK(taken == MusicList.count);
  int fitting = 0;
  for (const std::string &name : names) fitting += name != "?" && name.size() < PATH_BYTES;
  FUZZ_CHECK(MusicList.count == (fitting < MUSIC_CAPACITY ? fitting : MUSIC_CAPACITY));
  MusicList.count = 0;
  return 0;
}
