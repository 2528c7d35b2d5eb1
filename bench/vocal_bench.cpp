// The voice setting's extraction on the synthetic song of its tests (tests/vocal_mix.h,
// made by the media generator): the CPU time of each mode per run of the song, then the
// summary lines
//   vocal reduction: N dB   what is left of the voice with it reduced (all of what is
//                           left once the side parts are taken away), below the voice
//   side loss: N dB         the side parts' level lost, the worse of the two
//   vocal cpu, native stage: X.XX   the stage reducing against the same stage as
//                           recorded, in alternating rounds (the median of each), and
//                           its CPU per second of song
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "player/vocal.h"
#include "vocal_mix.h"

namespace {

const double Seconds = 10.0;

const vocal_mix::Song &TheSong() {
  static const vocal_mix::Song song = vocal_mix::Make(Seconds);
  return song;
}

// The song through a fresh stage, with the latency of silence after it.
std::vector<float> Run(VocalStage *stage, int mode) {
  std::vector<float> out = TheSong().mixed;
  out.resize(out.size() + 2 * static_cast<size_t>(VocalLatency(2)), 0.0f);
  VocalStageClear(stage);
  const int frames = static_cast<int>(out.size() / 2), piece = 2205;  // the stage's buffers
  for (int at = 0; at < frames; at += piece)
    VocalStageProcess(stage, out.data() + 2 * at, std::min(piece, frames - at), 2, mode);
  return out;
}

void BM_VocalStage(benchmark::State &state) {
  std::unique_ptr<VocalStage> stage(new VocalStage());
  VocalStageInit(stage.get(), vocal_mix::RATE);
  for (auto _ : state) benchmark::DoNotOptimize(Run(stage.get(), static_cast<int>(state.range(0))).data());
}
BENCHMARK(BM_VocalStage)->Arg(VOCAL_AS_RECORDED)->Arg(VOCAL_REDUCED)->Unit(benchmark::kMillisecond);

double CpuSeconds(VocalStage *stage, int mode) {
  const std::clock_t start = std::clock();
  benchmark::DoNotOptimize(Run(stage, mode).data());
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintFigures() {
  std::unique_ptr<VocalStage> stage(new VocalStage());
  VocalStageInit(stage.get(), vocal_mix::RATE);
  const bool kept[2][vocal_mix::PARTS] = {{false, true, false}, {false, false, true}};
  const int from = VOCAL_FRAME, to = static_cast<int>(TheSong().parts[0].size()) - VOCAL_FRAME;
  const vocal_mix::Measure m =
      vocal_mix::Measured(TheSong(), Run(stage.get(), VOCAL_REDUCED), VocalLatency(2), kept, from, to);
  std::vector<double> reduced, recorded;
  for (int round = 0; round < 7; round++) {
    reduced.push_back(CpuSeconds(stage.get(), VOCAL_REDUCED));
    recorded.push_back(CpuSeconds(stage.get(), VOCAL_AS_RECORDED));
  }
  std::printf("vocal reduction: %.1f dB\n", -std::max(m.rest[0], m.rest[1]));
  std::printf("side loss: %.2f dB\n", std::max(std::fabs(m.gain[0][vocal_mix::LEFT_PART]),
                                               std::fabs(m.gain[1][vocal_mix::RIGHT_PART])));
  std::printf("vocal cpu, native stage: %.2f (%.1f ms a second of song, %.2f ms as recorded)\n",
              Median(reduced) / Median(recorded), 1000 * Median(reduced) / Seconds,
              1000 * Median(recorded) / Seconds);
}

}  // namespace

int main(int argc, char **argv) {
  if (TheSong().mixed.empty()) {
    std::printf("vocal reduction: not measured (the build made no synthetic song)\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintFigures();
  return 0;
}
