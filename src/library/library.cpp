#include "library/library.h"

#include <cstdio>
#include <cstring>

#include "base/bytes.h"

MusicListRecord MusicList;
unsigned (*MusicFolderChanges)(int songIndex) = nullptr;
TextListRecord TextList;
PlayCursorRecord PlayCursor = {-1, 0};
DecoderFlagsRecord DecoderFlags;

struct NameMark {
  const char *lower, *upper;
};

// By FileType.
static const NameMark nameMarks[] = {
    {".wav", ".WAV"}, {".mp3", ".MP3"}, {".ogg", ".OGG"}, {".mid", ".MID"}, {".txt", ".TXT"}, {".lrc", ".LRC"},
};

bool HasNameMark(const char *name, FileType type) {
  const NameMark &mark = nameMarks[type];
  return std::strstr(name, mark.lower) || std::strstr(name, mark.upper);
}

bool IsMusicFileName(const char *name, int mp3Flag, int oggFlag) {
  return HasNameMark(name, FILE_WAV) || (mp3Flag && HasNameMark(name, FILE_MP3)) ||
         (oggFlag && HasNameMark(name, FILE_OGG)) || HasNameMark(name, FILE_MIDI);
}

bool IsTextFileName(const char *name) { return HasNameMark(name, FILE_TEXT); }

bool IsTimedTextFileName(const char *name) {
  return !IsTextFileName(name) && HasNameMark(name, FILE_TIMED_TEXT);
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

bool PlanMusicWatches(WatchPlanRecord *plan) {
  plan->folderCount = 0;
  plan->songCount = 0;
  for (int i = 0; i < MusicList.count; i++) {
    const char *path = MusicList.paths[i];
    const size_t length = static_cast<size_t>(PathName(path) - path);
    if (length < 2) return false;  // a name without a folder: nothing to watch it by
    int known = 0;
    while (known < plan->folderCount && !(std::strlen(plan->folders[known]) == length - 1 &&
                                          std::strncmp(plan->folders[known], path, length - 1) == 0))
      known++;
    if (known == plan->folderCount) {
      if (plan->folderCount == WATCH_LIMIT) return false;
      std::memcpy(plan->folders[known], path, length - 1);
      plan->folders[known][length - 1] = '\0';
      plan->closed[known] = false;
      plan->folderCount++;
    }
    plan->songFolder[i] = static_cast<signed char>(known);
  }
  plan->songCount = MusicList.count;
  return true;
}

int DriveLength(const char *path) {
  if (path[0] && path[1] == ':') return 2;
  if (path[0] != '\\' || path[1] != '\\') return 0;
  // Past the server's name and then the share's, each ended by '\' or the end.
  int at = 2;
  for (int part = 0; part < 2; part++) {
    if (part) at++;
    while (path[at] && path[at] != '\\') at += CharBytesAt(path, at);
  }
  return at;
}

static bool SameDrive(const char *one, const char *other) {
  const int length = DriveLength(one);
  if (length == 0 || length != DriveLength(other)) return false;
  for (int i = 0; i < length; i++)
    if (UpperAscii(one[i]) != UpperAscii(other[i])) return false;
  return true;
}

int CloseDriveWatches(WatchPlanRecord *plan, int folder, bool *closedNow) {
  int closed = 0;
  for (int i = 0; i < plan->folderCount; i++) {
    closedNow[i] = !plan->closed[i] && (i == folder || SameDrive(plan->folders[i], plan->folders[folder]));
    if (closedNow[i]) {
      plan->closed[i] = true;
      closed++;
    }
  }
  return closed;
}

bool IsSongWatched(const WatchPlanRecord *plan, int songIndex) {
  // A song listed since the plan was made has no watch of its own.
  if (songIndex < 0 || songIndex >= plan->songCount || songIndex >= MusicList.count) return false;
  const int folder = plan->songFolder[songIndex];
  return folder >= 0 && folder < plan->folderCount && !plan->closed[folder];
}
