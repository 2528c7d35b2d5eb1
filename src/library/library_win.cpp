// The recursive folder walk and dropped files.
#include "library/library_win.h"

#include <shellapi.h>

#include <cstring>

#include "library/library.h"
#include "settings/settings.h"
#include "shell/shell_calls_win.h"

static bool IsListedMusicName(const char *name) {
  return IsMusicFileName(name, DecoderFlags.mp3, DecoderFlags.ogg);
}

// The watches on the folders that hold the scanned songs, and their change count (see
// MusicFolderChanges). One watch a folder rather than one over the whole tree: Wine
// tells nothing of changes below the folder a watch was set on. A library spread over
// more folders than one wait can take is not watched. Setting a watch up costs
// milliseconds under Wine, so a thread of its own does it after the scan, and until it
// is done the stamps are asked as without a watch.
static char watchFolders[MAXIMUM_WAIT_OBJECTS][PATH_BYTES];
static int watchFolderCount;
static HANDLE musicWatches[MAXIMUM_WAIT_OBJECTS];
static int musicWatchCount;
static volatile LONG musicWatchesReady;  // set once the thread has made every watch
static HANDLE watchMaker;                // that thread, until it is waited for
static unsigned musicChanges;
static DWORD musicPolledAt;

static DWORD WINAPI MakeMusicWatches(void *) {
  int made = 0;
  for (; made < watchFolderCount; made++) {
    HANDLE watch = FindFirstChangeNotificationA(
        watchFolders[made], FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
            FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES);
    if (watch == INVALID_HANDLE_VALUE) break;
    musicWatches[made] = watch;
  }
  musicWatchCount = made;
  if (made == watchFolderCount) InterlockedExchange(&musicWatchesReady, 1);
  return 0;
}

static void StopWatchingMusic() {
  if (watchMaker) {
    WaitForSingleObject(watchMaker, INFINITE);
    CloseHandle(watchMaker);
    watchMaker = nullptr;
  }
  InterlockedExchange(&musicWatchesReady, 0);
  for (int i = 0; i < musicWatchCount; i++) FindCloseChangeNotification(musicWatches[i]);
  musicWatchCount = 0;
}

// The watches are looked at once a clock tick at most: "skip" asks for every song in
// one go, and under Wine each look is a call to the server, dearer than the stamp it
// saves. A change is thus seen within a tick of the system telling of it.
static unsigned WatchedMusicChanges() {
  if (!musicWatchesReady) return 0;
  const DWORD now = GetTickCount();
  if (now == musicPolledAt) return musicChanges;
  musicPolledAt = now;
  bool changed = false;
  for (int round = 0; round < musicWatchCount; round++) {
    DWORD woken = WaitForMultipleObjects(musicWatchCount, musicWatches, FALSE, 0);
    if (woken >= WAIT_OBJECT_0 + static_cast<DWORD>(musicWatchCount)) break;
    changed = true;
    // Armed again at once: what changes from here on is told of next time.
    if (!FindNextChangeNotification(musicWatches[woken - WAIT_OBJECT_0])) {
      InterlockedExchange(&musicWatchesReady, 0);
      return 0;
    }
  }
  if (changed && ++musicChanges == 0) musicChanges = 1;
  return musicChanges;
}

// The folders of the MusicList's entries, each watched once.
static void WatchMusicFolders() {
  StopWatchingMusic();
  if (++musicChanges == 0) musicChanges = 1;  // nothing read before the scan is trusted
  musicPolledAt = GetTickCount() - 1;
  MusicFolderChanges = WatchedMusicChanges;
  watchFolderCount = 0;
  for (int i = 0; i < MusicList.count; i++) {
    const char *path = MusicList.paths[i];
    const size_t length = static_cast<size_t>(PathName(path) - path);
    if (length < 2) return;  // a name without a folder: nothing to watch it by
    int known = 0;
    while (known < watchFolderCount && !(std::strlen(watchFolders[known]) == length - 1 &&
                                         std::strncmp(watchFolders[known], path, length - 1) == 0))
      known++;
    if (known < watchFolderCount) continue;
    if (watchFolderCount == MAXIMUM_WAIT_OBJECTS) return;
    std::memcpy(watchFolders[watchFolderCount], path, length - 1);
    watchFolders[watchFolderCount++][length - 1] = '\0';
  }
  if (watchFolderCount) watchMaker = CreateThread(nullptr, 0, MakeMusicWatches, nullptr, 0, nullptr);
}

// A folder on the walk's current branch. Its file identity is read only when a folder
// link is met below it: reading it costs more under Wine than searching a folder.
struct FolderVisit {
  const char *path;
  int identity;  // 0 not read yet, 1 read, -1 unreadable
  DWORD volume, indexHigh, indexLow;
  FolderVisit *parent;
};

static bool ReadIdentity(FolderVisit *visit) {
  if (visit->identity) return visit->identity > 0;
  visit->identity = -1;
  HANDLE handle = CreateFileA(visit->path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info)) {
    visit->identity = 1;
    visit->volume = info.dwVolumeSerialNumber;
    visit->indexHigh = info.nFileIndexHigh;
    visit->indexLow = info.nFileIndexLow;
  }
  CloseHandle(handle);
  return visit->identity > 0;
}

// Whether the folder link at linkPath leads to a folder on the branch ending at visit.
static bool LeadsBackUp(const char *linkPath, FolderVisit *visit) {
  FolderVisit target = {linkPath, 0, 0, 0, 0, nullptr};
  if (!ReadIdentity(&target)) return false;
  for (FolderVisit *up = visit; up; up = up->parent)
    if (ReadIdentity(up) && up->volume == target.volume && up->indexHigh == target.indexHigh &&
        up->indexLow == target.indexLow)
      return true;
  return false;
}

// Depth first, pre-order: a sub-folder's files land where the sub-folder was met.
// A folder link (a reparse point) back to an ancestor is not followed: its files are
// listed already, and two such links would double the walk at every level. A loop
// made some other way still ends at the path limit: JoinChildPath refuses any path
// over 259 characters.
static void WalkFolder(const char *folder, FolderVisit *parent, bool (*accepts)(const char *name),
                       bool (*append)(const char *path)) {
  FolderVisit self = {folder, 0, 0, 0, 0, parent};
  char path[PATH_BYTES];
  if (!BuildSearchPattern(folder, path)) return;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Skips . and .. and every dot-folder.
      if (entry.cFileName[0] == '.') continue;
      if (!JoinChildPath(folder, entry.cFileName, path)) continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && LeadsBackUp(path, &self)) continue;
      WalkFolder(path, &self, accepts, append);
    } else if (accepts(entry.cFileName)) {
      // A full list passes further files over; the walk still runs to its end.
      if (JoinChildPath(folder, entry.cFileName, path)) append(path);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

void ScanMusicFolder(const char *folder) {
  WalkFolder(folder, nullptr, IsListedMusicName, AppendMusicPath);
  WatchMusicFolders();
}

static bool IsListedTextName(const char *name) {
  return IsTextFileName(name) || IsTimedTextFileName(name);
}

void ScanTextFolder(const char *folder) {
  WalkFolder(folder, nullptr, IsListedTextName, TakeFoundTextPath);
  AppendWaitingTimedTexts();
}

void ScanFolders() {
  HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  if (Settings.textpath[0]) {
    // The same count may hold other paths: the new generation tells the cached keys.
    ClearTextList();
    ScanTextFolder(Settings.textpath);
    // The editor command names a new text without a folder: it lands here.
    SetCurrentDirectoryA(Settings.textpath);
  }
  if (Settings.musicpath[0]) {
    MusicList.count = 0;
    PlayCursor.shuffle = 1;
    ScanMusicFolder(Settings.musicpath);
  }
  SetCursor(kept);
}

// The shell gives names of up to 32767 characters; the list takes those that fit.
static const char *DroppedName(void *context, int index) {
  static char name[32768];
  HDROP drop = static_cast<HDROP>(context);
  if (QueryDroppedFile(drop, index, nullptr, 0) >= sizeof name) return nullptr;
  if (!QueryDroppedFile(drop, index, name, sizeof name)) return nullptr;
  return name;
}

void TakeDroppedFiles(HDROP drop) {
  TakeFilesAsDrop(static_cast<int>(QueryDroppedFile(drop, 0xFFFFFFFF, nullptr, 0)), DroppedName, drop);
  FinishDrop(drop);
}

void TakeFilesAsDrop(int count, DroppedNameReader read, void *context) {
  StopWatchingMusic();  // dropped songs lie anywhere
  TakeDroppedNames(count, read, context);
}
