// Loading a full text (200 rows, longer lines cut), a timed text with its headers and
// tags, and the metric rule.
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

// 200 sung lines behind three headers, some with two tags, read from memory: the time
// tags and headers are taken out of the rows as the text streams in.
static void BM_ReadTimedText(benchmark::State &state) {
  std::string text = "[ti:bench]\r\n[ar:the bench]\r\n[offset:+120]\r\n";
  char line[128];
  for (int i = 0; i < 200; i++) {
    const int ms = i * 2500;
    std::snprintf(line, sizeof line, "[%02d:%02d.%02d]%ssung line %d of the bench text, a little longer\r\n",
                  ms / 60000, ms / 1000 % 60, ms / 10 % 100, i % 4 ? "" : "[09:59.99]", i);
    text += line;
  }
  for (auto _ : state) {
    ReadTextBytes(reinterpret_cast<const unsigned char *>(text.data()), text.size());
    benchmark::DoNotOptimize(TextBuffer.lineCount);
  }
}
BENCHMARK(BM_ReadTimedText);

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
