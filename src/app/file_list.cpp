#include "app/file_list.h"

#include <cstring>

void ClearFileList(FileList *list) {
  list->count = 0;
  list->bytes = 1;
  list->data[0] = '\0';
}

bool AppendToFileList(FileList *list, const char *name) {
  const size_t length = std::strlen(name);
  if (length == 0 || length >= PATH_BYTES || list->count >= FILE_LIST_NAMES) return false;
  // The new name takes the place of the closing NUL and brings its own.
  char *at = list->data + list->bytes - 1;
  std::memcpy(at, name, length + 1);
  at[length + 1] = '\0';
  list->bytes += length + 1;
  list->count++;
  return true;
}

bool ReadFileList(const char *data, size_t bytes, FileListNames *out) {
  out->count = 0;
  if (!data || bytes < 2 || bytes > FILE_LIST_BYTES || data[bytes - 1] != '\0') return false;
  size_t at = 0;
  int count = 0;
  // Every name ends inside the bytes, since the last byte is a NUL; a name that ends
  // on it leaves no closing NUL.
  while (at < bytes && data[at] != '\0') {
    const size_t length = std::strlen(data + at);
    if (length >= PATH_BYTES || count == FILE_LIST_NAMES) return false;
    out->names[count++] = data + at;
    at += length + 1;
  }
  if (at != bytes - 1) return false;  // no closing NUL, or bytes after it
  out->count = count;
  return count > 0;
}

const char *FileListName(void *names, int index) {
  const FileListNames *read = static_cast<const FileListNames *>(names);
  return index >= 0 && index < read->count ? read->names[index] : nullptr;
}

bool NamesArguments(const wchar_t *commandLine) {
  if (!commandLine) return false;
  const wchar_t *at = commandLine;
  if (*at == L'"') {
    for (at++; *at && *at != L'"'; at++) {
    }
    if (*at) at++;
  } else {
    while (*at && *at != L' ' && *at != L'\t') at++;
  }
  while (*at == L' ' || *at == L'\t') at++;
  return *at != L'\0';
}
