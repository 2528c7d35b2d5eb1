// Bytes handed over by another process: a list is taken only when it is well formed,
// every name it gives lies inside the bytes and fits a list entry, the same names
// built anew give the same bytes, and taken as a drop they fill the MusicList in order.
#include <cstring>
#include <vector>

#include "app/file_list.h"
#include "fuzz/fuzz_input.h"

static FileList Rebuilt;
static FileListNames Names;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // A copy of its own size, so that a read past its end is seen by the sanitizer.
  std::vector<char> bytes(data, data + size);
  const char *first = bytes.empty() ? nullptr : bytes.data();
  if (!ReadFileList(first, bytes.size(), &Names)) {
    FUZZ_CHECK(Names.count == 0);
    return 0;
  }
  FUZZ_CHECK(Names.count > 0 && Names.count <= FILE_LIST_NAMES);
  ClearFileList(&Rebuilt);
  for (int i = 0; i < Names.count; i++) {
    const char *name = FileListName(&Names, i);
    FUZZ_CHECK(name >= first && name < first + size);
    FUZZ_CHECK(std::strlen(name) > 0 && std::strlen(name) < PATH_BYTES);
    FUZZ_CHECK(AppendToFileList(&Rebuilt, name));
  }
  FUZZ_CHECK(Rebuilt.bytes == size && std::memcmp(Rebuilt.data, first, size) == 0);
  TakeDroppedNames(Names.count, FileListName, &Names);
  FUZZ_CHECK(MusicList.count == Names.count);
  for (int i = 0; i < Names.count; i++) FUZZ_CHECK(std::strcmp(MusicList.paths[i], Names.names[i]) == 0);
  MusicList.count = 0;
  return 0;
}
