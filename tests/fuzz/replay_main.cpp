// Feeds every file of the corpus folders (or the files) named on the command line to
// the target once, as the fuzzer would: the seeds and every input that once broke a
// rule run with the ordinary tests.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static bool ReadWhole(const std::string &path, std::vector<uint8_t> *bytes) {
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + n);
  std::fclose(file);
  return true;
}

static int Replay(const std::string &path) {
  std::vector<uint8_t> bytes;
  if (!ReadWhole(path, &bytes)) {
    std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
    return -1;
  }
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 1;
}

int main(int argc, char **argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat info;
    if (stat(argv[i], &info) != 0) {
      std::fprintf(stderr, "replay: no such corpus %s\n", argv[i]);
      return 1;
    }
    if (!S_ISDIR(info.st_mode)) {
      if (Replay(argv[i]) < 0) return 1;
      ++inputs;
      continue;
    }
    DIR *folder = opendir(argv[i]);
    if (!folder) return 1;
    while (dirent *entry = readdir(folder)) {
      if (entry->d_name[0] == '.') continue;
      if (Replay(std::string(argv[i]) + "/" + entry->d_name) < 0) return 1;
      ++inputs;
    }
    closedir(folder);
  }
  // An empty corpus would pass while testing nothing.
  if (inputs == 0) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 1;
  }
  std::printf("replay: %d inputs\n", inputs);
  return 0;
}
