// Loading a full text (200 rows, longer lines cut) and the metric rule.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "textview/textbuffer.h"

static void BM_ReadFullText(benchmark::State &state) {
  std::string path = "/tmp/bramloe_bench_text.txt";
  std::FILE *file = std::fopen(path.c_str(), "wb");
  for (int i = 0; i < 300; i++) std::fprintf(file, "%s\r\n", std::string(150, 'a' + i % 26).c_str());
  std::fclose(file);
  for (auto _ : state) {
    ReadTextFile(path.c_str());
    benchmark::DoNotOptimize(TextBuffer.lineCount);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadFullText);

static void BM_LineMetrics(benchmark::State &state) {
  TextBuffer.lineCount = 200;
  TextBuffer.longest = 57;
  TextView.viewHeight = 700;
  int width = 0;
  for (auto _ : state) {
    TextView.viewWidth = width++ & 0xFFFF;
    benchmark::DoNotOptimize(UpdateLineMetrics());
  }
}
BENCHMARK(BM_LineMetrics);

BENCHMARK_MAIN();
