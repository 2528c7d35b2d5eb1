// Huge texts: a 600 MB text of one line and a 300 MB UTF-16 text of one line, made
// beside this program, loaded as a song's text is. Reports the time and, per load, the peak
// resident memory the load reached above what the process held before it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "textview/textbuffer.h"

namespace {

// A /proc/self/status figure in KiB.
long StatusKiB(const char *field) {
  std::FILE *status = std::fopen("/proc/self/status", "r");
  char line[256];
  long value = -1;
  while (status && std::fgets(line, sizeof line, status))
    if (std::strncmp(line, field, std::strlen(field)) == 0) value = std::atol(line + std::strlen(field));
  if (status) std::fclose(status);
  return value;
}

// Writing 5 to clear_refs starts the peak (VmHWM) afresh from the present size.
void RestartPeak() {
  std::FILE *refs = std::fopen("/proc/self/clear_refs", "w");
  if (refs) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

std::string BesideThisProgram(const char *name) {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("./x");
  return path.substr(0, path.rfind('/') + 1) + name;
}

// A file of size bytes beside this program: a mark, then one unit over and over.
std::string MadeText(const char *name, const std::string &mark, const std::string &unit, long long size) {
  const std::string path = BesideThisProgram(name);
  std::string block;
  while (block.size() < (1u << 20)) block += unit;
  std::FILE *file = std::fopen(path.c_str(), "wb");
  std::fwrite(mark.data(), 1, mark.size(), file);
  for (long long written = 0; written < size; written += static_cast<long long>(block.size()))
    std::fwrite(block.data(), 1, block.size(), file);
  std::fclose(file);
  return path;
}

void LoadHuge(benchmark::State &state, const std::string &path) {
  long peakAbove = 0;
  for (auto _ : state) {
    const long before = StatusKiB("VmRSS:");
    RestartPeak();
    ReadTextFile(path.c_str());
    const long above = StatusKiB("VmHWM:") - before;
    if (above > peakAbove) peakAbove = above;
    benchmark::DoNotOptimize(TextBuffer.lineCount);
  }
  state.counters["rows"] = TextBuffer.lineCount;
  state.counters["peak_MiB_above"] = static_cast<double>(peakAbove) / 1024;
}

std::string oneLine, utf16;

void BM_OneLineOf600MB(benchmark::State &state) { LoadHuge(state, oneLine); }
BENCHMARK(BM_OneLineOf600MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Utf16Of300MB(benchmark::State &state) { LoadHuge(state, utf16); }
BENCHMARK(BM_Utf16Of300MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// The files are made before the runs and removed after them: 900 MB stay nowhere.
int main(int argc, char **argv) {
  oneLine = MadeText("bramloe_bench_one_line.txt", "", "x", 600LL << 20);
  utf16 = MadeText("bramloe_bench_utf16.txt", "\xFF\xFE", std::string("x\0", 2), 300LL << 20);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(oneLine.c_str());
  std::remove(utf16.c_str());
  return 0;
}
