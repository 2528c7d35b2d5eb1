// A song's title and artist from a fuzzed tag block and file name: fields stay within
// their buffers, a tag is read from the file's last 128 bytes whatever its length, and
// the title line built from them is never overrun nor cut inside a character.
#include <unistd.h>

#include <cstring>

#include "fuzz/fuzz_input.h"
#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

static const char *SongFile() {
  static char path[64];
  if (!path[0]) std::snprintf(path, sizeof path, "/tmp/bramloe-fuzz-song-%d.mp3", static_cast<int>(getpid()));
  return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 2048) return 0;
  FuzzInput in = {data, size};
  Settings.aimai = TakeByte(&in) & 1;
  std::string name = AsCString(TakePiece(&in, '\n'));
  if (name.size() > PATH_BYTES - 1) name.resize(PATH_BYTES - 1);
  const std::string contents(reinterpret_cast<const char *>(in.data), in.size);

  // The tag block as it stands in memory, then as the last bytes of a file.
  unsigned char tag[128] = {};
  std::memcpy(tag, in.data, in.size < sizeof tag ? in.size : sizeof tag);
  char title[KEY_BYTES], artist[ARTIST_BYTES];
  const bool isTag = ReadTagFields(tag, title, artist);
  FUZZ_CHECK(isTag == (tag[0] == 'T' && tag[1] == 'A' && tag[2] == 'G'));
  FUZZ_CHECK(std::strlen(title) <= 30 && std::strlen(artist) <= 30);

  std::FILE *file = std::fopen(SongFile(), "wb");
  if (!file) return 0;
  std::fwrite(contents.data(), 1, contents.size(), file);
  std::fclose(file);
  const bool fileTag = ReadSongTagFields(SongFile(), title, artist);
  FUZZ_CHECK(!fileTag || contents.size() >= 128);
  if (contents.size() >= 128) FUZZ_CHECK(fileTag == (contents.compare(contents.size() - 128, 3, "TAG") == 0));

  MusicList.count = 0;
  AppendMusicPath(SongFile());
  const char *key = SongTitle(0);
  FUZZ_CHECK(std::strlen(key) <= KEY_BYTES - 1 && std::strlen(SongArtist) <= 30);

  char stem[KEY_BYTES];
  PathStem(name.c_str(), stem);
  FUZZ_CHECK(std::strlen(stem) <= KEY_BYTES - 1);
  static char full[4 * TITLE_LINE_BYTES];
  FormatTitleLine(full, sizeof full, SongExtension(name.c_str()), stem, SongArtist, key);
  const size_t fullLength = std::strlen(full);
  for (size_t lineSize : {size_t(1), size_t(2), size_t(40), size_t(TITLE_LINE_BYTES)}) {
    char line[TITLE_LINE_BYTES + 1];
    line[lineSize] = '\x7F';  // a guard past the end given
    FormatTitleLine(line, lineSize, SongExtension(name.c_str()), stem, SongArtist, key);
    FUZZ_CHECK(line[lineSize] == '\x7F');
    const size_t length = std::strlen(line);
    FUZZ_CHECK(length < lineSize);
    FUZZ_CHECK(std::memcmp(line, full, length) == 0);
    if (fullLength >= lineSize) {  // cut: as much as fits, less a first byte left alone
      FUZZ_CHECK(length + 2 >= lineSize);
      FUZZ_CHECK(length == 0 || !IsLeadByteAt(line, static_cast<int>(length) - 1));
    } else {
      FUZZ_CHECK(length == fullLength);
    }
  }
  MusicList.count = 0;
  return 0;
}
