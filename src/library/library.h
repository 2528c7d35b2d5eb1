// The MusicList, the TextList, the PlayCursor and the decoder flags, and the portable
// rules of the folder walk. The walk itself is in library_win.cpp.
#pragma once

#include "shell/path_bytes.h"

enum {
  MUSIC_CAPACITY = 5000,
  TEXT_CAPACITY = 2000,
};

struct MusicListRecord {
  char paths[MUSIC_CAPACITY][PATH_BYTES];
  int count;
};

struct TextListRecord {
  char paths[TEXT_CAPACITY][PATH_BYTES];
  int count;
  unsigned generation;  // bumped by every rebuild, so caches of the paths notice it
};

struct PlayCursorRecord {
  int current;  // MusicList index of the song chosen last; -1 for none
  int shuffle;  // 1 after a folder scan (random order), 0 after a drop (list order)
};

struct DecoderFlagsRecord {
  int mp3;  // the .MP3 extension is registered with the media framework
  int ogg;  // the .ogg extension is registered
};

extern MusicListRecord MusicList;

// A count that moves whenever anything in the folder of song index changes, kept by
// watches on the songs' folders (Win32): 0 while no watch covers that song (after a
// drop, before the watches are up, once its drive was let go). Null: nothing watches.
// While it stands still, what was read of the song's file still holds.
extern unsigned (*MusicFolderChanges)(int songIndex);
extern TextListRecord TextList;
extern PlayCursorRecord PlayCursor;
extern DecoderFlagsRecord DecoderFlags;

enum FileType { FILE_WAV, FILE_MP3, FILE_OGG, FILE_MIDI, FILE_TEXT, FILE_TIMED_TEXT };

// Whether name holds the type's mark (".wav" or ".WAV", and so on) anywhere: the one
// test of a name's type, for the walk and for whatever plays the file.
bool HasNameMark(const char *name, FileType type);

// Which file names a walk takes: case-sensitive substrings anywhere in the name.
bool IsMusicFileName(const char *name, int mp3Flag, int oggFlag);
bool IsTextFileName(const char *name);
// Timed lyrics (".lrc", ".LRC") are texts too; a name that is also a .txt name counts
// as a .txt.
bool IsTimedTextFileName(const char *name);

// The name part of a path: after its last '\' that is not a second byte.
const char *PathName(const char *path);
// Where a name's extension begins: its last '.' that is not a second byte, else its end.
const char *NameExtension(const char *name);

// A drive root such as "D:\" (exactly three characters, ':' then '\').
bool IsDriveRoot(const char *folder);

// The search pattern of a folder ("D:\*" for a root, "D:\Music\*" otherwise) into a
// PATH_BYTES buffer. False, with out emptied, when it would not fit.
bool BuildSearchPattern(const char *folder, char *out);

// folder joined with a child name ("%s%s" for a root, "%s\%s" otherwise) into a
// PATH_BYTES buffer. False, with out emptied, when the path would exceed 259 bytes:
// such an entry is passed over rather than cut into a wrong path.
bool JoinChildPath(const char *folder, const char *name, char *out);

// The full name of dropped file index (any length), or null when it cannot be read.
typedef const char *(*DroppedNameReader)(void *context, int index);

// Replaces the MusicList with the dropped files, in drop order and as they are (no
// name test), up to its capacity; a name of more than 259 bytes is passed over. The
// next song is the first entry, in list order.
void TakeDroppedNames(int dropped, DroppedNameReader read, void *context);

// Appends path to the list when there is room. Returns true when it was added.
bool AppendMusicPath(const char *path);
bool AppendTextPath(const char *path);

// Empties the TextList for a rebuild and bumps its generation.
void ClearTextList();

// A text walk lists every .txt before any .lrc, so a song whose x.txt and x.lrc both
// exist finds x.txt in either pass, and a folder's .txt entries keep the indices they
// have without the .lrc files. A found text goes to the list or, for a .lrc, waits;
// the waiting ones follow the .txt entries when the walk is over.
bool TakeFoundTextPath(const char *path);
void AppendWaitingTimedTexts();

enum { WATCH_LIMIT = 64 };  // the handles one wait can take

// The folders watched for the MusicList's songs, each once, and which of them have
// been let go (their drive is being removed).
struct WatchPlanRecord {
  char folders[WATCH_LIMIT][PATH_BYTES];
  int folderCount;
  int songCount;                           // the MusicList's count when planned
  signed char songFolder[MUSIC_CAPACITY];  // the folder of each song
  bool closed[WATCH_LIMIT];
};

// The folders of the MusicList's songs. False (nothing is watched) when the songs lie
// in more folders than one wait takes, or a song has no folder to watch it by.
bool PlanMusicWatches(WatchPlanRecord *plan);

// The bytes of path that name its drive: "D:", or "\\server\share" for a network
// share; 0 when it names none.
int DriveLength(const char *path);

// Lets go of every watched folder on the drive of folder (an index into the plan):
// each newly let go gets true in closedNow. Gives how many.
int CloseDriveWatches(WatchPlanRecord *plan, int folder, bool *closedNow);

// Whether song index lies in a folder that is still watched.
bool IsSongWatched(const WatchPlanRecord *plan, int songIndex);
