// The text lookup at its worst, product against the literal reference, and the chain
// of lookups that "skip" can cause when no song has a text.
//
//   bash scripts/bench.sh matching
//
// Worst case: 2000 texts whose 255-byte keys share long prefixes (123 to 195 bytes)
// with a 255-byte song key, "aimai" on. The reference rebuilds every text key at
// every prefix length, as the rules read literally.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "library/library.h"
#include "matching/matching.h"
#include "native/matching_reference.h"
#include "settings/settings.h"

namespace {

// 130 units: half-width kana and letters. Its key is 255 bytes (each kana doubles).
std::string UnitName(int variant, int shared) {
  static const char kana[] = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜ";
  const int kanaCount = sizeof kana - 1;
  std::string name;
  for (int u = 0; u < 130; ++u) {
    if (u < 5) {
      name += static_cast<char>('a' + u);  // 5 ASCII bytes: 250 + 5 = 255 key bytes
    } else {
      int pick = u * 7 % kanaCount;
      if (u >= shared) pick = (pick + 1 + variant % (kanaCount - 1)) % kanaCount;
      name += kana[pick];
    }
  }
  return name;
}

// The song's key units, and 2000 texts sharing 64 to 100 leading units with it.
void FillWorstCase(std::vector<std::string> *paths) {
  Settings.aimai = 1;
  Settings.skip = 0;
  TextList.count = 0;
  paths->clear();
  for (int i = 0; i < TEXT_CAPACITY; ++i) {
    int shared = 64 + (i * 7) % 37;  // 123 to 195 shared key bytes
    std::string path = "D:\\Text\\" + UnitName(i, shared) + ".txt";
    AppendTextPath(path.c_str());
    paths->push_back(path);
  }
  InvalidateTextKeys();
  MusicList.count = 0;
  AppendMusicPath(("D:\\NoSuchFolder\\" + UnitName(0, 130) + ".mp3").c_str());
}

void BM_MatchingWorstCaseLookup(benchmark::State &state) {
  std::vector<std::string> paths;
  FillWorstCase(&paths);
  TextLookup result;
  LookUpSongText(0, 1, &result);  // builds the text keys once
  for (auto _ : state) {
    LookUpSongText(0, 1, &result);
    benchmark::DoNotOptimize(result.index);
  }
  state.counters["songKeyBytes"] = static_cast<double>(std::string(result.songKey).size());
  state.counters["prefixLength"] = result.prefixLength;
}
BENCHMARK(BM_MatchingWorstCaseLookup)->Unit(benchmark::kMicrosecond);

void BM_MatchingWorstCaseLookupReference(benchmark::State &state) {
  std::vector<std::string> paths;
  FillWorstCase(&paths);
  TextLookup product;
  LookUpSongText(0, 1, &product);
  const std::string songKey = ref::Key(ref::Stem(MusicList.paths[0]), true);
  ref::Result result;
  for (auto _ : state) {
    result = ref::Find(songKey, paths, true);
    benchmark::DoNotOptimize(result.index);
  }
  if (result.index != product.index || result.prefixLength != product.prefixLength)
    state.SkipWithError("the reference and the product disagree");
}
BENCHMARK(BM_MatchingWorstCaseLookupReference)->Unit(benchmark::kMillisecond)->Iterations(3);

// Building the 2000 text keys, as after every folder scan.
void BM_MatchingTextKeyRebuild(benchmark::State &state) {
  std::vector<std::string> paths;
  FillWorstCase(&paths);
  for (auto _ : state) {
    InvalidateTextKeys();
    benchmark::DoNotOptimize(CachedTextKey(0));
  }
}
BENCHMARK(BM_MatchingTextKeyRebuild)->Unit(benchmark::kMicrosecond);

// 5000 real music files, each with an ID3v1 tag whose title no text resembles, and the
// worst-case TextList: the whole chain "skip" walks through before giving up.
struct SongFolder {
  std::filesystem::path folder;
  SongFolder() {
    folder = std::filesystem::temp_directory_path() / ("bramloe-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    MusicList.count = 0;
    for (int i = 0; i < MUSIC_CAPACITY; ++i) {
      char name[64], title[31];
      std::snprintf(name, sizeof name, "M\\song %04d.mp3", i);
      std::snprintf(title, sizeof title, "Tune %04d of the long night", i);
      std::string path = (folder / name).string();
      std::string bytes(4096, '\0');
      std::string tag = "TAG" + std::string(title) + std::string(30 - std::string(title).size(), ' ');
      tag += "Someone" + std::string(23, ' ');
      tag.resize(128, '\0');
      bytes += tag;
      std::FILE *file = std::fopen(path.c_str(), "wb");
      if (!file) continue;
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
      AppendMusicPath(path.c_str());
    }
    // A library as it lies on a disk: files written a while ago, not a moment ago.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  }
  ~SongFolder() { std::filesystem::remove_all(folder); }
};

// The chain over a scanned folder, whose watch (the program's, on Windows) tells of no
// change since the titles were read: the stamps are not asked again. Argument 0: a list
// no watch covers (dropped songs), each stamp asked as before.
void BM_MatchingSkipChain5000(benchmark::State &state) {
  std::vector<std::string> paths;
  FillWorstCase(&paths);
  SongFolder songs;
  Settings.skip = 1;
  MusicFolderChanges = state.range(0) ? +[](int) { return 1u; } : nullptr;
  int found = 0;
  for (auto _ : state) {
    TextLookup result;
    for (int attempt = 1; attempt <= MusicList.count; ++attempt) {
      LookUpSongText(attempt - 1, attempt, &result);
      if (result.index >= 0) ++found;
    }
    benchmark::DoNotOptimize(result.textShown);
  }
  state.counters["songs"] = MusicList.count;
  MusicFolderChanges = nullptr;
  if (found || MusicList.count != MUSIC_CAPACITY) state.SkipWithError("the chain is not 5000 songless lookups");
}
BENCHMARK(BM_MatchingSkipChain5000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// One songless lookup of the chain through the reference, for the ratio.
void BM_MatchingSonglessLookupReference(benchmark::State &state) {
  std::vector<std::string> paths;
  FillWorstCase(&paths);
  const std::string songKey = ref::Key("Tune 0001 of the long night", true);
  for (auto _ : state) benchmark::DoNotOptimize(ref::Find(songKey, paths, true).index);
}
BENCHMARK(BM_MatchingSonglessLookupReference)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
