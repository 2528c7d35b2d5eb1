#include "library/library.h"

#include <cstdio>
#include <cstring>

#include "library/sjis_bytes.h"

MusicListRecord MusicList;
unsigned (*MusicFolderChanges)() = nullptr;
TextListRecord TextList;
PlayCursorRecord PlayCursor = {-1, 0};
DecoderFlagsRecord DecoderFlags;

bool IsMusicFileName(const char *name, int mp3Flag, int oggFlag) {
  if (std::strstr(name, ".wav") || std::strstr(name, ".WAV")) return true;
  if (mp3Flag && (std::strstr(name, ".mp3") || std::strstr(name, ".MP3"))) return true;
  if (oggFlag && (std::strstr(name, ".ogg") || std::strstr(name, ".OGG"))) return true;
  return std::strstr(name, ".mid") || std::strstr(name, ".MID");
}

bool IsTextFileName(const char *name) {
  return std::strstr(name, ".TXT") || std::strstr(name, ".txt");
}

bool IsTimedTextFileName(const char *name) {
  return !IsTextFileName(name) && (std::strstr(name, ".lrc") || std::strstr(name, ".LRC"));
}

const char *PathName(const char *path) {
  const char *separator = LastSingleByte(path, '\\');
  return separator ? separator + 1 : path;
}

const char *NameExtension(const char *name) {
  const char *dot = LastSingleByte(name, '.');
  return dot ? dot : name + std::strlen(name);
}

bool IsDriveRoot(const char *folder) {
  return folder[0] && folder[1] == ':' && folder[2] == '\\' && folder[3] == '\0';
}

// Copies a and b into out (PATH_BYTES) when the result has at most 259 bytes.
static bool Concat3(const char *a, const char *separator, const char *b, char *out) {
  int n = std::snprintf(out, PATH_BYTES, "%s%s%s", a, separator, b);
  if (n < 0 || n >= PATH_BYTES) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool BuildSearchPattern(const char *folder, char *out) {
  return Concat3(folder, IsDriveRoot(folder) ? "" : "\\", "*", out);
}

bool JoinChildPath(const char *folder, const char *name, char *out) {
  return Concat3(folder, IsDriveRoot(folder) ? "" : "\\", name, out);
}

bool AppendMusicPath(const char *path) {
  if (MusicList.count >= MUSIC_CAPACITY) return false;
  std::snprintf(MusicList.paths[MusicList.count++], PATH_BYTES, "%s", path);
  return true;
}

bool AppendTextPath(const char *path) {
  if (TextList.count >= TEXT_CAPACITY) return false;
  std::snprintf(TextList.paths[TextList.count++], PATH_BYTES, "%s", path);
  return true;
}

void ClearTextList() {
  TextList.count = 0;
  TextList.generation++;
}

namespace {

struct WaitingTexts {
  char paths[TEXT_CAPACITY][PATH_BYTES];
  int count;
};

WaitingTexts WaitingTimedTexts;

}  // namespace

bool TakeFoundTextPath(const char *path) {
  if (!IsTimedTextFileName(PathName(path))) return AppendTextPath(path);
  if (WaitingTimedTexts.count >= TEXT_CAPACITY) return false;
  std::snprintf(WaitingTimedTexts.paths[WaitingTimedTexts.count++], PATH_BYTES, "%s", path);
  return true;
}

void AppendWaitingTimedTexts() {
  for (int i = 0; i < WaitingTimedTexts.count; ++i) AppendTextPath(WaitingTimedTexts.paths[i]);
  WaitingTimedTexts.count = 0;
}

// A path cut to fit would name another file, or none (a dropped x.wav.bak cut after
// ".wav" would play x.wav): it is passed over instead.
void TakeDroppedNames(int dropped, DroppedNameReader read, void *context) {
  int count = 0;
  for (int i = 0; i < dropped && count < MUSIC_CAPACITY; i++) {
    const char *name = read(context, i);
    if (!name || std::strlen(name) >= PATH_BYTES) continue;
    std::memcpy(MusicList.paths[count++], name, std::strlen(name) + 1);
  }
  MusicList.count = count;
  PlayCursor.current = -1;
  PlayCursor.shuffle = 0;
  MusicFolderChanges = nullptr;  // no folder's watch covers dropped songs
}
