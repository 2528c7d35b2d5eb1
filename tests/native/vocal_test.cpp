// The voice setting's extraction on a synthetic song: what each mode keeps and takes
// out, its latency, mono and buffers cut anywhere, and a mode change without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "player/keep_tempo.h"
#include "player/vocal.h"
#include "vocal_mix.h"

namespace {

class Vocal : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { song = new vocal_mix::Song(vocal_mix::Make(4.0)); }
  static void TearDownTestSuite() {
    delete song;
    song = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(song->mixed.empty()) << "the build made no synthetic song";
    ASSERT_TRUE(VocalStageInit(stage.get(), vocal_mix::RATE));
  }

  // The song through the stage in one mode, in buffers of `piece` frames, with the
  // stage's latency of silence after it so that all of it comes out.
  std::vector<float> Processed(int mode, int piece = 441) {
    std::vector<float> out = song->mixed;
    out.resize(out.size() + 2 * static_cast<size_t>(VocalLatency(2)), 0.0f);
    const int frames = static_cast<int>(out.size() / 2);
    for (int at = 0; at < frames; at += piece)
      VocalStageProcess(stage.get(), out.data() + 2 * at, std::min(piece, frames - at), 2, mode);
    return out;
  }

  static vocal_mix::Song *song;
  std::unique_ptr<VocalStage> stage{new VocalStage()};
};

vocal_mix::Song *Vocal::song = nullptr;

using vocal_mix::PARTS;

// Reduced: the voice 20 dB down or more, the side parts within 1 dB and in their own
// channel. Alone: the side parts 20 dB down or more, the voice within 1 dB.
TEST_F(Vocal, EachModeKeepsItsPartsAndTakesOutTheOthers) {
  const struct {
    int mode;
    bool kept[2][PARTS];  // per channel: voice, left part, right part
  } cases[] = {
      {VOCAL_REDUCED, {{false, true, false}, {false, false, true}}},
      {VOCAL_ONLY, {{true, false, false}, {true, false, false}}},
  };
  const int from = VOCAL_FRAME, to = static_cast<int>(song->parts[0].size()) - VOCAL_FRAME;
  for (const auto &c : cases) {
    VocalStageClear(stage.get());
    const vocal_mix::Measure m =
        vocal_mix::Measured(*song, Processed(c.mode), VocalLatency(2), c.kept, from, to);
    for (int channel = 0; channel < 2; channel++) {
      for (int part = 0; part < PARTS; part++) {
        if (c.kept[channel][part]) {
          EXPECT_LE(std::fabs(m.gain[channel][part]), 1.0) << c.mode << " " << channel << " " << part;
        }
      }
      EXPECT_LE(m.rest[channel], -20.0) << c.mode << " " << channel;
    }
  }
}

// Cleared, the stage forgets what it held: as recorded, two channels come out as they
// went in, the latency later, after silence; one channel comes out at once, whatever
// the mode.
TEST_F(Vocal, AsRecordedAndMonoComeOutAsTheyWentIn) {
  const struct {
    int channels, mode, latency;
  } cases[] = {{2, VOCAL_AS_RECORDED, VOCAL_FRAME}, {1, VOCAL_REDUCED, 0}, {1, VOCAL_ONLY, 0}};
  for (const auto &c : cases) {
    EXPECT_EQ(c.latency, VocalLatency(c.channels));
    std::vector<float> before(song->mixed.begin() + 5000, song->mixed.begin() + 25000);
    VocalStageProcess(stage.get(), before.data(), 10000, 2, VOCAL_REDUCED);
    VocalStageClear(stage.get());
    const size_t n = song->mixed.size();
    std::vector<float> out = song->mixed;
    VocalStageProcess(stage.get(), out.data(), static_cast<int>(n) / c.channels, c.channels, c.mode);
    const size_t delay = static_cast<size_t>(c.channels * c.latency);
    for (size_t i = 0; i < n; i++) {
      const float wanted = i < delay ? 0.0f : song->mixed[i - delay];
      ASSERT_NEAR(wanted, out[i], 1e-5) << c.channels << " " << c.mode << " at " << i;
    }
  }
}

// As the keep-tempo stage feeds its stretcher: the latency's silence dropped after a
// clear, and the latency of silence pushed in at the end. What comes out is the song as
// it went in, frame for frame at its own times, in buffers of any size, in two
// channels or one.
TEST_F(Vocal, TheLatencyDroppedKeepsTheSongsTimes) {
  const struct {
    int channels, piece;
  } cases[] = {{2, 441}, {2, 1}, {2, VOCAL_FRAME + 7}, {1, 441}};
  const int frames = 30000;
  for (const auto &c : cases) {
    VocalStageClear(stage.get());
    std::vector<float> in(song->mixed.begin(), song->mixed.begin() + c.channels * frames);
    in.resize(in.size() + static_cast<size_t>(c.channels * VocalLatency(c.channels)), 0.0f);
    std::vector<float> out;
    int owed = VocalLatency(c.channels);
    const int total = static_cast<int>(in.size()) / c.channels;
    for (int at = 0; at < total; at += c.piece) {
      const int n = std::min(c.piece, total - at);
      float *piece = in.data() + c.channels * at;
      VocalStageProcess(stage.get(), piece, n, c.channels, VOCAL_AS_RECORDED);
      const int dropped = DropLatency(&owed, n);
      out.insert(out.end(), piece + c.channels * dropped, piece + c.channels * n);
    }
    ASSERT_EQ(static_cast<size_t>(c.channels * frames), out.size()) << c.channels << " " << c.piece;
    for (size_t i = 0; i < out.size(); i++)
      ASSERT_NEAR(song->mixed[i], out[i], 1e-5) << c.channels << " " << c.piece << " at " << i;
  }
}

// Buffers of any size give the same samples as one buffer of the whole song.
TEST_F(Vocal, BuffersCutAnywhereGiveTheSameSamples) {
  const std::vector<float> whole = Processed(VOCAL_REDUCED, 1 << 30);
  for (int piece : {1, 441, VOCAL_HOP, VOCAL_HOP + 1}) {
    VocalStageClear(stage.get());
    EXPECT_EQ(whole, Processed(VOCAL_REDUCED, piece)) << piece;
  }
}

// A mode change is faded over a frame: around it, no second difference of the samples
// (where a click stands out) is larger than the song's own largest, before or after.
TEST_F(Vocal, AModeChangeMakesNoClick) {
  const int modes[][2] = {{VOCAL_AS_RECORDED, VOCAL_REDUCED}, {VOCAL_REDUCED, VOCAL_ONLY},
                          {VOCAL_ONLY, VOCAL_AS_RECORDED}};
  const int frames = static_cast<int>(song->mixed.size() / 2), change = frames / 2 + 100;
  for (const auto &m : modes) {
    VocalStageClear(stage.get());
    std::vector<float> out = song->mixed;
    VocalStageProcess(stage.get(), out.data(), change, 2, m[0]);
    VocalStageProcess(stage.get(), out.data() + 2 * change, frames - change, 2, m[1]);
    float steady = 0, around = 0;
    for (int i = 2 * VOCAL_FRAME; i < frames; i++) {
      const bool near = std::abs(i - change - VOCAL_FRAME) < 2 * VOCAL_FRAME;
      for (int c = 0; c < 2; c++) {
        const float step = std::fabs(out[2 * i + c] - 2 * out[2 * (i - 1) + c] + out[2 * (i - 2) + c]);
        (near ? around : steady) = std::max(near ? around : steady, step);
      }
    }
    EXPECT_LE(around, steady * 1.05f) << m[0] << " to " << m[1];
  }
}

}  // namespace
