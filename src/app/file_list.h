// The files a start of the program is given: those of its own command line, and those
// a second start hands to the player already running (WM_COPYDATA, FILE_LIST_COPYDATA).
// Both travel as one list of bytes: full paths in the ANSI code page, each ended by a
// NUL, in the order given, and one more NUL after the last.
#pragma once
#include <cstddef>

#include "library/library.h"

enum {
  FILE_LIST_NAMES = MUSIC_CAPACITY,
  FILE_LIST_BYTES = FILE_LIST_NAMES * PATH_BYTES + 1,
};

struct FileList {
  int count;
  size_t bytes;  // of data in use, the closing NUL included
  char data[FILE_LIST_BYTES];
};

void ClearFileList(FileList *list);  // no names: a single closing NUL

// False, and the list unchanged, for an empty name, one of PATH_BYTES or more, or a
// full list.
bool AppendToFileList(FileList *list, const char *name);

struct FileListNames {
  int count;
  const char *names[FILE_LIST_NAMES];  // into the bytes read
};

// Reads a list from bytes of unknown origin. True only for at least one name, each
// non-empty and shorter than PATH_BYTES, at most FILE_LIST_NAMES of them, and the
// closing NUL as the last byte; otherwise false with no names.
bool ReadFileList(const char *data, size_t bytes, FileListNames *out);

// A DroppedNameReader over the names read, so that they are taken as a drop is.
const char *FileListName(void *names, int index);

// Whether a command line names anything after the program: the program's name ends at
// its closing quote when it starts with one, else at the first blank.
bool NamesArguments(const wchar_t *commandLine);
