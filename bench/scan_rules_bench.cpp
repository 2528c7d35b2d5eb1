// The portable share of a folder scan: for each of 5000 music and 2000 text names, the
// name test, the join with its folder and the append. The platform's share (the file
// search under Wine) is measured by scan_winbench.cpp; see bench/scan_wine.sh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "library/library.h"

static void BM_ListOneLibrary(benchmark::State &state) {
  std::vector<std::string> music, texts;
  char name[32];
  for (int i = 0; i < MUSIC_CAPACITY; i++) {
    std::snprintf(name, sizeof name, "%04d song.wav", i);
    music.push_back(name);
  }
  for (int i = 0; i < TEXT_CAPACITY; i++) {
    std::snprintf(name, sizeof name, "%04d song.txt", i);
    texts.push_back(name);
  }
  const char folder[] = "C:\\users\\someone\\Music\\library\\d042";
  char path[PATH_BYTES];
  for (auto _ : state) {
    MusicList.count = 0;
    TextList.count = 0;
    for (const std::string &n : music)
      if (IsMusicFileName(n.c_str(), 1, 1) && JoinChildPath(folder, n.c_str(), path)) AppendMusicPath(path);
    for (const std::string &n : texts)
      if (IsTextFileName(n.c_str()) && JoinChildPath(folder, n.c_str(), path)) AppendTextPath(path);
    benchmark::DoNotOptimize(MusicList.count + TextList.count);
  }
  state.SetItemsProcessed(state.iterations() * (MUSIC_CAPACITY + TEXT_CAPACITY));
}
BENCHMARK(BM_ListOneLibrary)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
