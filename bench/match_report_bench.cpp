// The match report over full lists: 5000 songs that all reach the fuzzy pass, against
// 2000 texts, "aimai" on. Its output is checked against a checksum of the report as it
// read before the lookup was indexed, so a faster report that says anything else fails.
//
//   bash scripts/bench.sh match_report
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "library/library.h"
#include "matching/match_report.h"
#include "settings/settings.h"

namespace {

// FNV-1a over every line and its line end.
struct Digest {
  std::uint64_t hash = 1469598103934665603ull;
  long lines = 0;
};

void Take(void *context, const char *line) {
  Digest *d = static_cast<Digest *>(context);
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(line); *p; ++p)
    d->hash = (d->hash ^ *p) * 1099511628211ull;
  d->hash = (d->hash ^ '\n') * 1099511628211ull;
  ++d->lines;
}

// Texts in three spellings: the bare title, a longer version, one in parentheses. No
// song key equals a text key; every song shares a prefix with some texts, and those
// past the 2000th only their first digits.
void FillLibrary() {
  Settings = SettingsRecord{};
  Settings.aimai = 1;
  std::snprintf(Settings.musicpath, sizeof Settings.musicpath, "%s", "D:\\Music");
  std::snprintf(Settings.textpath, sizeof Settings.textpath, "%s", "D:\\Text");
  static const char *const spellings[] = {"", " 別の版", "（Studio）"};
  TextList.count = 0;
  for (int i = 0; i < TEXT_CAPACITY; ++i) {
    char path[PATH_BYTES];
    std::snprintf(path, sizeof path, "D:\\Text\\set%02d\\曲%04d%s.txt", i / 100, i, spellings[i % 3]);
    AppendTextPath(path);
  }
  InvalidateTextKeys();
  MusicList.count = 0;
  for (int i = 0; i < MUSIC_CAPACITY; ++i) {
    char path[PATH_BYTES];
    if (i % 7 == 3) std::snprintf(path, sizeof path, "D:\\Music\\album%02d\\ｷｮｸ%04d.mp3", i / 100, i);
    else if (i % 2) std::snprintf(path, sizeof path, "D:\\Music\\album%02d\\曲%04dx.wav", i / 100, i);
    else std::snprintf(path, sizeof path, "D:\\Music\\album%02d\\曲%04d (Live).wav", i / 100, i);
    AppendMusicPath(path);
  }
}

// The report's checksum over this library, taken with the report before the index.
const std::uint64_t ReportChecksum = 0x63d2b4820ce3153cull;

void BM_MatchReport5000(benchmark::State &state) {
  FillLibrary();
  Digest digest;
  for (auto _ : state) {
    digest = Digest{};
    WriteMatchReport("bench", Take, &digest);
    benchmark::DoNotOptimize(digest.hash);
  }
  state.counters["lines"] = static_cast<double>(digest.lines);
  char seen[96];
  std::snprintf(seen, sizeof seen, "checksum %016llx", static_cast<unsigned long long>(digest.hash));
  state.SetLabel(seen);
  if (digest.hash != ReportChecksum) {
    std::snprintf(seen, sizeof seen, "the report differs from the recorded one: checksum %016llx",
                  static_cast<unsigned long long>(digest.hash));
    state.SkipWithError(seen);
  }
}
BENCHMARK(BM_MatchReport5000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
