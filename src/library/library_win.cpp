// The recursive folder walk and dropped files.
#include "library/library_win.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstring>

#include "library/library.h"
#include "settings/settings.h"
#include "shell/shell_calls_win.h"
#include "shell/shell_win.h"

static bool IsListedMusicName(const char *name) {
  return IsMusicFileName(name, DecoderFlags.mp3, DecoderFlags.ogg);
}

static HANDLE MakeChangeWatch(const char *folder) {
  return FindFirstChangeNotificationA(folder, FALSE,
                                      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                          FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                          FILE_NOTIFY_CHANGE_ATTRIBUTES);
}

HANDLE (*MakeFolderWatch)(const char *folder) = MakeChangeWatch;

// The watches on the folders that hold the scanned songs, and their change count (see
// MusicFolderChanges). One watch a folder rather than one over the whole tree: Wine
// tells nothing of changes below the folder a watch was set on. A library spread over
// more folders than one wait can take is not watched. Setting a watch up costs
// milliseconds under Wine (and may hang on a share that went offline), so a thread of
// its own does it after the scan, and until it is done the stamps are asked as
// without a watch.
//
// The watches of one scan live in a job record shared by that thread and the window's
// thread, each holding a reference: whichever lets go last closes the watches and
// frees the record. So the window's thread can stop the watches without waiting for
// a thread that hangs: it marks the job cancelled and lets go, and the thread closes
// what it made once it comes back. The window's thread looks at the watches only once
// the thread has made them all and set ready.
struct WatchJob {
  char folders[WATCH_LIMIT][PATH_BYTES];
  int folderCount;
  HWND recipient;  // told when a drive holding a watched folder is to be removed
  HANDLE watches[WATCH_LIMIT];
  HDEVNOTIFY notices[WATCH_LIMIT];
  int made;
  volatile LONG ready, cancelled, references;
};

enum { STOP_WAIT_MS = 200 };

static WatchPlanRecord watchPlan;
static WatchJob *musicJob;
static HANDLE watchMaker;  // the job's thread, while it may still run
static HANDLE liveWatches[WATCH_LIMIT];  // the job's watches not let go, for the wait
static int liveFolders[WATCH_LIMIT];
static int liveCount = -1;  // -1: to be gathered once the job is ready
static unsigned musicChanges;
static DWORD musicPolledAt;

static void CloseWatch(WatchJob *job, int i) {
  if (job->notices[i]) UnregisterDeviceNotification(job->notices[i]);
  if (job->watches[i]) FindCloseChangeNotification(job->watches[i]);
  job->notices[i] = nullptr;
  job->watches[i] = nullptr;
}

static void ReleaseWatchJob(WatchJob *job) {
  if (InterlockedDecrement(&job->references) != 0) return;
  for (int i = 0; i < job->made; i++) CloseWatch(job, i);
  delete job;
}

static DWORD WINAPI MakeMusicWatches(void *context) {
  WatchJob *job = static_cast<WatchJob *>(context);
  for (; job->made < job->folderCount && !job->cancelled; job->made++) {
    HANDLE watch = MakeFolderWatch(job->folders[job->made]);
    if (watch == INVALID_HANDLE_VALUE) break;
    job->watches[job->made] = watch;
    if (job->cancelled || !job->recipient) continue;
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = watch;
    job->notices[job->made] = RegisterDeviceNotificationA(job->recipient, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  if (job->made == job->folderCount && !job->cancelled) InterlockedExchange(&job->ready, 1);
  ReleaseWatchJob(job);
  return 0;
}

// Never waits on the window's thread for longer than STOP_WAIT_MS.
static void StopWatchingMusic() {
  liveCount = -1;
  if (!musicJob) return;
  InterlockedExchange(&musicJob->cancelled, 1);
  if (watchMaker) {
    WaitForSingleObject(watchMaker, STOP_WAIT_MS);
    CloseHandle(watchMaker);
    watchMaker = nullptr;
  }
  ReleaseWatchJob(musicJob);
  musicJob = nullptr;
}

static bool WatchesReady() { return musicJob && InterlockedCompareExchange(&musicJob->ready, 1, 1) == 1; }

static void GatherLiveWatches() {
  liveCount = 0;
  for (int i = 0; i < musicJob->made; i++) {
    if (!musicJob->watches[i]) continue;
    liveFolders[liveCount] = i;
    liveWatches[liveCount++] = musicJob->watches[i];
  }
}

// The watches are looked at once a clock tick at most: "skip" asks for every song in
// one go, and under Wine each look is a call to the server, dearer than the stamp it
// saves. A change is thus seen within a tick of the system telling of it.
static unsigned WatchedMusicChanges(int songIndex) {
  if (!WatchesReady() || !IsSongWatched(&watchPlan, songIndex)) return 0;
  if (liveCount < 0) GatherLiveWatches();
  const DWORD now = GetTickCount();
  if (now == musicPolledAt) return musicChanges;
  musicPolledAt = now;
  bool changed = false;
  for (int round = 0; round < liveCount; round++) {
    DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(liveCount), liveWatches, FALSE, 0);
    if (woken >= WAIT_OBJECT_0 + static_cast<DWORD>(liveCount)) break;
    changed = true;
    // Armed again at once: what changes from here on is told of next time.
    if (!FindNextChangeNotification(liveWatches[woken - WAIT_OBJECT_0])) {
      StopWatchingMusic();
      return 0;
    }
  }
  if (changed && ++musicChanges == 0) musicChanges = 1;
  return musicChanges;
}

bool LetDriveGo(WPARAM event, LPARAM data) {
  const DEV_BROADCAST_HDR *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(data);
  if ((event != DBT_DEVICEQUERYREMOVE && event != DBT_DEVICEREMOVEPENDING) || !header ||
      header->dbch_devicetype != DBT_DEVTYP_HANDLE || !musicJob)
    return false;
  // While the thread still makes the watches they are not ours to touch: all go.
  if (!WatchesReady()) {
    StopWatchingMusic();
    return true;
  }
  const HANDLE handle = reinterpret_cast<const DEV_BROADCAST_HANDLE *>(header)->dbch_handle;
  int folder = 0;
  while (folder < musicJob->made && (!handle || musicJob->watches[folder] != handle)) folder++;
  if (folder == musicJob->made) return false;
  bool closedNow[WATCH_LIMIT];
  CloseDriveWatches(&watchPlan, folder, closedNow);
  for (int i = 0; i < musicJob->made; i++)
    if (closedNow[i]) CloseWatch(musicJob, i);
  liveCount = -1;
  return true;
}

// The folders of the MusicList's entries, each watched once.
static void WatchMusicFolders() {
  StopWatchingMusic();
  if (++musicChanges == 0) musicChanges = 1;  // nothing read before the scan is trusted
  musicPolledAt = GetTickCount() - 1;
  MusicFolderChanges = WatchedMusicChanges;
  if (!PlanMusicWatches(&watchPlan) || watchPlan.folderCount == 0) return;
  WatchJob *job = new WatchJob();
  std::memcpy(job->folders, watchPlan.folders, sizeof job->folders);
  job->folderCount = watchPlan.folderCount;
  job->recipient = MainWindow;
  job->references = 2;
  watchMaker = CreateThread(nullptr, 0, MakeMusicWatches, job, 0, nullptr);
  if (!watchMaker) job->references = 1;
  musicJob = job;
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
