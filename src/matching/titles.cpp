// Song titles (ID3v1 tag, else the file name) and text names, as plain strings or keys.
#include <cstdio>
#include <cstring>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

char SongArtist[ARTIST_BYTES];

namespace {

enum { TAG_BYTES = 128, TAG_FIELD_BYTES = 30, TAG_TITLE = 3, TAG_ARTIST = 33 };

// Copies a 30-byte tag field (up to its first NUL) and trims the spaces that run up
// to the field's end; spaces before NUL padding stay.
void CopyTagField(const unsigned char *field, char *out) {
  std::memset(out, 0, TAG_FIELD_BYTES + 1);
  for (int i = 0; i < TAG_FIELD_BYTES && field[i]; ++i) out[i] = static_cast<char>(field[i]);
  for (int i = TAG_FIELD_BYTES - 1; i >= 1 && out[i] == ' '; --i) out[i] = '\0';
}

bool FieldHasText(const unsigned char *field) { return field[0] != ' ' && field[0] != '\0'; }

// The last 128 bytes of the file into tag; false when the file cannot be opened or is
// shorter than a tag.
bool ReadLastBytes(const char *path, unsigned char *tag) {
  std::FILE *file = std::fopen(path, "rb");
  if (!file) return false;
  bool whole = std::fseek(file, -TAG_BYTES, SEEK_END) == 0 &&
               std::fread(tag, 1, TAG_BYTES, file) == static_cast<size_t>(TAG_BYTES);
  std::fclose(file);
  return whole;
}

}  // namespace

bool ReadTagFields(const unsigned char *tag, char *title, char *artist) {
  title[0] = '\0';
  artist[0] = '\0';
  if (tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G') return false;
  if (FieldHasText(tag + TAG_ARTIST)) CopyTagField(tag + TAG_ARTIST, artist);
  if (FieldHasText(tag + TAG_TITLE)) CopyTagField(tag + TAG_TITLE, title);
  return true;
}

void PathStem(const char *path, char *stem) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(path);
  int lastSlash = -1, lastDot = -1, end = 0;
  // 0x5C is a valid second byte (ソ 0x835C, 表 0x955C): step over whole characters.
  while (p[end]) {
    if (IsLeadRangeByte(p[end]) && p[end + 1]) {
      end += 2;
      continue;
    }
    if (p[end] == '\\') lastSlash = end;
    if (p[end] == '.') lastDot = end;
    ++end;
  }
  const int name = lastSlash + 1;
  const int stop = lastDot > lastSlash ? lastDot : end;
  int length = stop - name;
  if (length > KEY_BYTES) length = KEY_BYTES;  // enough to see where a 255-byte cut falls
  char whole[KEY_BYTES + 1];
  std::memcpy(whole, path + name, length);
  whole[length] = '\0';
  length = CutAtCharacter(whole, KEY_BYTES - 1);
  std::memcpy(stem, whole, length);
  stem[length] = '\0';
}

void MakeKey(const char *name, int aimai, char *key) {
  if (aimai) {
    BuildMatchKey(name, key);
    return;
  }
  int length = CutAtCharacter(name, KEY_BYTES - 1);
  std::memcpy(key, name, length);
  key[length] = '\0';
}

bool ReadSongTagFields(const char *path, char *title, char *artist) {
  unsigned char tag[TAG_BYTES + 1] = {};
  if (!ReadLastBytes(path, tag)) tag[0] = '\0';
  return ReadTagFields(tag, title, artist);
}

const char *SongTitle(int songIndex) {
  static char songKey[KEY_BYTES];
  const char *path = MusicList.paths[songIndex];
  char title[KEY_BYTES];
  ReadSongTagFields(path, title, SongArtist);
  if (!title[0]) PathStem(path, title);
  MakeKey(title, Settings.aimai, songKey);
  return songKey;
}

const char *TextName(int textIndex) {
  static char textKey[KEY_BYTES];
  char stem[KEY_BYTES];
  PathStem(TextList.paths[textIndex], stem);
  MakeKey(stem, Settings.aimai, textKey);
  return textKey;
}
