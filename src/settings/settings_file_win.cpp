// The settings file: where it is, and a write that leaves it whole (Win32).
#include "settings/settings_file_win.h"

#include <cstdio>
#include <cstring>
#include <string>

char *SettingsFilePath(char *out) {
  // Only a value that fits the path buffer can leave room for the file name; a longer
  // one (GetEnvironmentVariableA then returns the size it needs) takes the same bare
  // name fallback as a profile folder that fits but leaves no room for "\BRAMLOE.INI".
  char profile[PATH_BYTES];
  DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  if (length == 0 || length >= sizeof profile) profile[0] = '\0';
  return SettingsFilePathFor(profile, out);
}

// The number of entries of the section as the profile functions read it from path.
static int CountEntries(const char *path, DWORD bytes) {
  std::string section(bytes + 2, '\0');
  DWORD length = GetPrivateProfileSectionA(SETTINGS_SECTION, &section[0], bytes + 2, path);
  int entries = 0;
  for (DWORD i = 0; i < length; ++i) entries += section[i] == '\0';
  return entries;
}

static DWORD FileBytes(const char *path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
  return data.nFileSizeLow;
}

// Whether the file at path ends with a whole line: the profile functions end every
// line with one, so a write cut short by a full disk ends without it.
static bool EndsWithLineEnd(const char *path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char last = 0;
  DWORD got = 0;
  bool read = SetFilePointer(file, -1, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
              ReadFile(file, &last, 1, &got, nullptr) && got == 1;
  CloseHandle(file);
  return read && last == '\n';
}

// The copy holds what the file held and the new entries: no entry was lost, its last
// line is whole, and every key written is found. The profile layer may keep what it
// wrote in memory, so the copy is read back through a second copy of its bytes.
static bool CopyIsComplete(const char *copy, const char *check, int entriesBefore,
                           const SettingWrite *writes, int count) {
  if (!EndsWithLineEnd(copy) || !CopyFileA(copy, check, FALSE)) return false;
  DWORD bytes = FileBytes(check);
  if (CountEntries(check, bytes) < entriesBefore) return false;
  char found[4];
  for (int i = 0; i < count; ++i) {
    GetPrivateProfileStringA(writes[i].section, writes[i].key, "\x01", found, sizeof found, check);
    if (std::strcmp(found, "\x01") == 0) return false;
  }
  return true;
}

// The file behind the settings path, into target (PATH_BYTES): where a symbolic link
// leads, else the path itself. True when the file has other names (hard links): it is
// then written in place, since a replacement would part it from them.
static bool ResolveSettingsFile(const char *path, char *target) {
  std::snprintf(target, PATH_BYTES, "%s", path);
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool linked = GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1;
  // Asked of every file: Wine shows a symbolic link to a file as a plain file.
  char finalPath[PATH_BYTES + 8];
  const DWORD length = GetFinalPathNameByHandleA(file, finalPath, sizeof finalPath, FILE_NAME_NORMALIZED);
  CloseHandle(file);
  if (length == 0 || length >= sizeof finalPath) return linked;
  // "\\?\D:\x" names D:\x, "\\?\UNC\server\x" names \\server\x.
  const char *name = finalPath;
  if (std::strncmp(finalPath, "\\\\?\\UNC\\", 8) == 0) {
    name = finalPath + 6;
    finalPath[6] = '\\';
  } else if (std::strncmp(finalPath, "\\\\?\\", 4) == 0) {
    name = finalPath + 4;
  }
  if (std::strlen(name) < PATH_BYTES) std::strcpy(target, name);
  return linked;
}

// The running copies of the program write the settings file one at a time, each from
// what the file holds when its turn comes: a copy made before another copy's write
// would put back the entries from before it and lose the other's. A copy that holds
// the lock far longer than a write takes is not waited for without end.
static HANDLE TakeSettingsLock(const char *path) {
  char name[SETTINGS_LOCK_NAME_BYTES];
  HANDLE lock = CreateMutexA(nullptr, FALSE, SettingsLockName(path, name));
  if (!lock) return nullptr;
  const DWORD waited = WaitForSingleObject(lock, 3000);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return lock;
  CloseHandle(lock);
  return nullptr;
}

static void ReleaseSettingsLock(HANDLE lock) {
  if (!lock) return;
  ReleaseMutex(lock);
  CloseHandle(lock);
}

static bool WriteInPlace(const char *path, const SettingWrite *writes, int count) {
  bool written = true;
  for (int i = 0; i < count; ++i)
    written = WritePrivateProfileStringA(writes[i].section, writes[i].key, writes[i].value, path) && written;
  return written;
}

bool ReplaceThroughCopy(const char *path, bool inPlace, const char *copy, CopyFiller fill, void *context) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  bool done = fill(copy, context);
  // The file is replaced in one step: it holds either the old bytes or the new ones.
  // A file another program holds open but shares for writing cannot be replaced, nor
  // can one with other names be without parting it from them: it is overwritten with
  // the complete copy, into the room its old bytes leave.
  done = done && ((!inPlace && MoveFileExA(copy, path, MOVEFILE_REPLACE_EXISTING)) || CopyFileA(copy, path, FALSE));
  DeleteFileA(copy);  // left when the write failed, or when the file was overwritten
  return done;
}

struct SettingsCopy {
  const char *path, *check;
  const SettingWrite *writes;
  int count;
};

// The copy holds the file's entries and the new ones, read back through the check.
static bool FillSettingsCopy(const char *copy, void *context) {
  const SettingsCopy &c = *static_cast<const SettingsCopy *>(context);
  const bool exists = GetFileAttributesA(c.path) != INVALID_FILE_ATTRIBUTES;
  const int entriesBefore = exists ? CountEntries(c.path, FileBytes(c.path)) : 0;
  bool done = !exists || CopyFileA(c.path, copy, FALSE);
  for (int i = 0; done && i < c.count; ++i)
    done = WritePrivateProfileStringA(c.writes[i].section, c.writes[i].key, c.writes[i].value, copy);
  return done && CopyIsComplete(copy, c.check, entriesBefore, c.writes, c.count);
}

// The copies are this process's own: another copy of the program writing at the same
// moment has copies of its own, which this one never touches.
static bool WriteThroughCopy(const char *path, bool inPlace, const char *copy, const char *check,
                             const SettingWrite *writes, int count) {
  SettingsCopy context = {path, check, writes, count};
  const bool done = ReplaceThroughCopy(path, inPlace, copy, FillSettingsCopy, &context);
  DeleteFileA(check);
  return done;
}

bool WriteSettingsFile(const char *path, const SettingWrite *writes, int count) {
  // A bare file name is placed by the profile functions, not in the current folder;
  // a path with no room for the copies' names is written in place as well.
  char target[PATH_BYTES], copy[PATH_BYTES], check[PATH_BYTES];
  if (!std::strchr(path, '\\')) return WriteInPlace(path, writes, count);
  const bool hardLinked = ResolveSettingsFile(path, target);
  if (!SettingsCopyPaths(target, GetCurrentProcessId(), copy, check)) return WriteInPlace(path, writes, count);
  HANDLE lock = TakeSettingsLock(target);
  const bool done = WriteThroughCopy(target, hardLinked, copy, check, writes, count);
  ReleaseSettingsLock(lock);
  return done;
}
