// Song titles (ID3v1 tag, else the file name) and text names, as plain strings or keys.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <sys/stat.h>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

char SongArtist[ARTIST_BYTES];
SongTitleReadRecord SongTitleRead;

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
  const char *name = PathName(path);
  int length = static_cast<int>(NameExtension(name) - name);
  if (length > KEY_BYTES) length = KEY_BYTES;  // enough to see where a 255-byte cut falls
  char whole[KEY_BYTES + 1];
  std::memcpy(whole, name, length);
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

namespace {

// What identifies one state of a file's bytes without reading them. File times are
// coarse (a clock tick, or a whole second), so a change in the same tick as the last
// one could leave the stamp as it was: a stamp is trusted only once the file has been
// left alone for longer than that.
struct FileStamp {
  std::int64_t size, modified, changed;
  bool settled;  // the last change is far enough in the past
};

bool ReadFileStamp(const char *path, FileStamp *stamp) {
#ifdef _WIN32
  struct _stat64 status;
  if (_stat64(path, &status) != 0) return false;
  *stamp = {status.st_size, status.st_mtime, status.st_ctime, false};
  const std::int64_t now = std::time(nullptr), settle = 2;
#else
  struct stat status;
  if (stat(path, &status) != 0) return false;
  *stamp = {status.st_size, status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec,
            status.st_ctim.tv_sec * 1000000000LL + status.st_ctim.tv_nsec, false};
  std::timespec clock;
  std::timespec_get(&clock, TIME_UTC);
  const std::int64_t now = clock.tv_sec * 1000000000LL + clock.tv_nsec, settle = 2000000000LL;
#endif
  stamp->settled = now - stamp->modified >= settle && now - stamp->changed >= settle;
  return true;
}

// Each song's title and artist as its tag last gave them, with the path and the file's
// stamp they were read under. Opening a file costs several times what asking after its
// stamp does, and "skip" may ask for every song of the list in one go. A file without a
// settled stamp (missing, unreadable, just written) is read each time. Even the stamps
// cost a call to the file system each, so while a watch on the music folder tells of
// no change since a song's stamp was last found the same, it is not asked again.
struct SongTitleCache {
  char paths[MUSIC_CAPACITY][PATH_BYTES];
  FileStamp stamps[MUSIC_CAPACITY];
  unsigned checked[MUSIC_CAPACITY];  // the folder's change count then; 0: not watched
  char titles[MUSIC_CAPACITY][KEY_BYTES];
  char artists[MUSIC_CAPACITY][ARTIST_BYTES];
  bool valid[MUSIC_CAPACITY];
};

SongTitleCache SongTitles;

// The tag fields of MusicList entry songIndex, read again only when the path or the
// file's stamp changed.
void SongTagFields(int songIndex, char *title, char *artist) {
  const char *path = MusicList.paths[songIndex];
  // Asked before the stamp: a change after this is counted, and seen next time.
  const unsigned changes = MusicFolderChanges ? MusicFolderChanges(songIndex) : 0;
  if (changes && SongTitles.valid[songIndex] && SongTitles.checked[songIndex] == changes &&
      std::strcmp(SongTitles.paths[songIndex], path) == 0) {
    std::memcpy(title, SongTitles.titles[songIndex], KEY_BYTES);
    std::memcpy(artist, SongTitles.artists[songIndex], ARTIST_BYTES);
    return;
  }
  FileStamp stamp;
  if (!ReadFileStamp(path, &stamp) || !stamp.settled) {
    SongTitles.valid[songIndex] = false;
    ReadSongTagFields(path, title, artist);
    return;
  }
  const FileStamp &kept = SongTitles.stamps[songIndex];
  if (!SongTitles.valid[songIndex] || std::strcmp(SongTitles.paths[songIndex], path) != 0 ||
      kept.size != stamp.size || kept.modified != stamp.modified || kept.changed != stamp.changed) {
    ReadSongTagFields(path, SongTitles.titles[songIndex], SongTitles.artists[songIndex]);
    std::memcpy(SongTitles.paths[songIndex], path, PATH_BYTES);
    SongTitles.stamps[songIndex] = stamp;
    SongTitles.valid[songIndex] = true;
  }
  SongTitles.checked[songIndex] = changes;
  std::memcpy(title, SongTitles.titles[songIndex], KEY_BYTES);
  std::memcpy(artist, SongTitles.artists[songIndex], ARTIST_BYTES);
}

}  // namespace

const char *SongTitle(int songIndex) {
  static char songKey[KEY_BYTES];
  SongTagFields(songIndex, SongTitleRead.title, SongArtist);
  SongTitleRead.fromTag = SongTitleRead.title[0] != '\0';
  if (!SongTitleRead.fromTag) PathStem(MusicList.paths[songIndex], SongTitleRead.title);
  MakeKey(SongTitleRead.title, Settings.aimai, songKey);
  return songKey;
}

const char *TextName(int textIndex) {
  static char textKey[KEY_BYTES];
  char stem[KEY_BYTES];
  PathStem(TextList.paths[textIndex], stem);
  MakeKey(stem, Settings.aimai, textKey);
  return textKey;
}
