// The recursive folder walk and dropped files.
#include "library/library_win.h"

#include <shellapi.h>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

static bool IsListedMusicName(const char *name) {
  return IsMusicFileName(name, DecoderFlags.mp3, DecoderFlags.ogg);
}

// Depth first, pre-order: a sub-folder's files land where the sub-folder was met.
// Every joined path is bounded by JoinChildPath, so a folder link that loops back on
// itself ends once the path no longer fits.
static void WalkFolder(const char *folder, bool (*accepts)(const char *name),
                       bool (*append)(const char *path)) {
  char path[PATH_BYTES];
  if (!BuildSearchPattern(folder, path)) return;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Skips . and .. and every dot-folder.
      if (entry.cFileName[0] == '.') continue;
      if (JoinChildPath(folder, entry.cFileName, path)) WalkFolder(path, accepts, append);
    } else if (accepts(entry.cFileName)) {
      // A full list passes further files over; the walk still runs to its end.
      if (JoinChildPath(folder, entry.cFileName, path)) append(path);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

void ScanMusicFolder(const char *folder) { WalkFolder(folder, IsListedMusicName, AppendMusicPath); }

void ScanTextFolder(const char *folder) { WalkFolder(folder, IsTextFileName, AppendTextPath); }

void ScanFolders() {
  HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  if (Settings.textpath[0]) {
    TextList.count = 0;
    ScanTextFolder(Settings.textpath);
    // The same count may now hold other paths: the cached text keys must go.
    InvalidateTextKeys();
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

// Taken in drop order and as they are (no name test), up to the list's capacity. A
// path longer than 259 characters is passed over: cut to fit it would name another
// file, or none (a dropped x.wav.bak cut after ".wav" would play x.wav).
void TakeDroppedFiles(HDROP drop) {
  UINT dropped = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  int count = 0;
  for (UINT i = 0; i < dropped && count < MUSIC_CAPACITY; i++) {
    if (DragQueryFileA(drop, i, nullptr, 0) >= PATH_BYTES) continue;
    DragQueryFileA(drop, i, MusicList.paths[count++], PATH_BYTES);
  }
  MusicList.count = count;
  PlayCursor.current = -1;
  PlayCursor.shuffle = 0;
  DragFinish(drop);
}
