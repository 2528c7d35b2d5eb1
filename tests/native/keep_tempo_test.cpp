// The keep-tempo stage's portable rules: the formats it takes, the conversions to and
// from float, the pitch for the cents and the times of its output; and the tone
// measure the sound tests rely on.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "player/keep_tempo.h"
#include "tone_measure.h"

TEST(KeepTempoFormat, TakesPcmAndFloatMonoAndStereo8To48kHz) {
  const struct {
    int tag, channels, rate, bits, align;
    StageSampleKind kind;
  } cases[] = {
      {STAGE_TAG_PCM, 1, 8000, 8, 1, STAGE_PCM8},
      {STAGE_TAG_PCM, 2, 44100, 16, 4, STAGE_PCM16},
      {STAGE_TAG_PCM, 1, 22050, 16, 2, STAGE_PCM16},
      {STAGE_TAG_FLOAT, 2, 48000, 32, 8, STAGE_FLOAT32},
      {STAGE_TAG_PCM, 2, 44100, 24, 6, STAGE_REFUSED},   // 24-bit
      {STAGE_TAG_PCM, 2, 44100, 32, 8, STAGE_REFUSED},   // 32-bit integers
      {STAGE_TAG_FLOAT, 2, 44100, 64, 16, STAGE_REFUSED},
      {STAGE_TAG_PCM, 6, 48000, 16, 12, STAGE_REFUSED},  // surround
      {STAGE_TAG_PCM, 0, 44100, 16, 0, STAGE_REFUSED},
      {STAGE_TAG_PCM, 2, 96000, 16, 4, STAGE_REFUSED},
      {STAGE_TAG_PCM, 2, 7999, 16, 4, STAGE_REFUSED},
      {STAGE_TAG_PCM, 2, 44100, 16, 2, STAGE_REFUSED},   // block alignment of mono
      {0x55, 2, 44100, 16, 4, STAGE_REFUSED},            // mp3, undecoded
  };
  for (const auto &c : cases) {
    StageFormat format = StageFormatOf(c.tag, c.channels, c.rate, c.bits, c.align);
    EXPECT_EQ(c.kind, format.kind) << c.tag << " " << c.channels << " " << c.rate << " " << c.bits;
    if (c.kind != STAGE_REFUSED) {
      EXPECT_EQ(c.align, format.frameBytes);
    }
  }
}

// Every 8- and 16-bit sample comes back as itself; floats pass unchanged.
TEST(KeepTempoFormat, EverySampleSurvivesTheRoundTrip) {
  const StageFormat pcm16 = StageFormatOf(STAGE_TAG_PCM, 1, 44100, 16, 2);
  std::vector<unsigned char> bytes(65536 * 2), back(bytes.size());
  for (int v = 0; v < 65536; v++) {
    bytes[2 * v] = static_cast<unsigned char>(v & 0xFF);
    bytes[2 * v + 1] = static_cast<unsigned char>(v >> 8);
  }
  std::vector<float> floats(65536);
  StageSamplesToFloat(pcm16, bytes.data(), 65536, floats.data());
  EXPECT_FLOAT_EQ(-1.0f, floats[0x8000]);
  EXPECT_FLOAT_EQ(0.5f, floats[0x4000]);
  StageFloatToSamples(pcm16, floats.data(), 65536, back.data());
  EXPECT_EQ(bytes, back);

  const StageFormat pcm8 = StageFormatOf(STAGE_TAG_PCM, 2, 8000, 8, 2);
  std::vector<unsigned char> bytes8(256), back8(256);
  for (int v = 0; v < 256; v++) bytes8[v] = static_cast<unsigned char>(v);
  StageSamplesToFloat(pcm8, bytes8.data(), 128, floats.data());
  EXPECT_FLOAT_EQ(0.0f, floats[128]);
  EXPECT_FLOAT_EQ(-1.0f, floats[0]);
  StageFloatToSamples(pcm8, floats.data(), 128, back8.data());
  EXPECT_EQ(bytes8, back8);

  const StageFormat single = StageFormatOf(STAGE_TAG_FLOAT, 1, 48000, 32, 4);
  const float values[] = {0.25f, -0.75f, 1.5f};
  unsigned char raw[sizeof values];
  StageFloatToSamples(single, values, 3, raw);
  float read[3];
  StageSamplesToFloat(single, raw, 3, read);
  EXPECT_EQ(0, std::memcmp(values, read, sizeof values));
}

// What the stretcher overshoots is held at the ends rather than wrapped round.
TEST(KeepTempoFormat, OvershootIsHeldAtTheEnds) {
  const float loud[] = {1.0f, 1.5f, -1.0f, -7.0f, std::nanf("")};
  unsigned char out16[10], out8[5];
  StageFloatToSamples(StageFormatOf(STAGE_TAG_PCM, 1, 8000, 16, 2), loud, 5, out16);
  const int expected16[] = {32767, 32767, -32768, -32768, 0};
  for (int i = 0; i < 5; i++)
    EXPECT_EQ(expected16[i], static_cast<short>(out16[2 * i] | out16[2 * i + 1] << 8)) << i;
  StageFloatToSamples(StageFormatOf(STAGE_TAG_PCM, 1, 8000, 8, 1), loud, 5, out8);
  const int expected8[] = {255, 255, 0, 0, 128};
  for (int i = 0; i < 5; i++) EXPECT_EQ(expected8[i], out8[i]) << i;
}

TEST(KeepTempoPitch, SemitonesForCentsWithinThreeOctaves) {
  const struct {
    int cents;
    double semitones;
  } cases[] = {{0, 0.0},       {100, 1.0},      {1200, 12.0},    {-500, -5.0}, {30, 0.3},
               {3600, 36.0},   {3601, 36.0},    {-4800, -36.0},  {INT_MAX, 36.0},
               {INT_MIN, -36.0}};
  for (const auto &c : cases) EXPECT_DOUBLE_EQ(c.semitones, StageSemitones(c.cents)) << c.cents;
}

TEST(KeepTempoTimes, FramesToMediaTime) {
  EXPECT_EQ(5000000, StageFrameTime(5000000, 0, 44100));
  EXPECT_EQ(15000000, StageFrameTime(5000000, 44100, 44100));
  EXPECT_EQ(226, StageFrameTime(0, 1, 44100));  // 226.7 truncated
  EXPECT_EQ(1250000, StageFrameTime(0, 1000, 8000));
  // A day of samples at 48 kHz: no overflow on the way.
  const long long day = 48000LL * 86400;
  EXPECT_EQ(864000000000LL, StageFrameTime(0, day, 48000));
  EXPECT_EQ(864000000000LL + 208, StageFrameTime(0, day + 1, 48000));
}

TEST(ToneMeasure, FrequencyAndLoudSpanOfASineWithSplices) {
  const double rate = 44100, pi = 3.14159265358979323846;
  for (double hz : {329.6, 440.0, 466.2, 880.0}) {
    std::vector<short> samples(44100, 0);
    double phase = 0;
    for (size_t i = 4410; i < 39690; i++) {
      // Every 40 ms a jump of phase, as a time-stretcher's splice may leave.
      if (i % 1764 == 0) phase += 1.0;
      samples[i] = static_cast<short>(10000 * std::sin(2 * pi * hz * i / rate + phase));
    }
    tone::Span span = tone::LoudSpan(samples);
    // Loud from the tone's first crest above the threshold to its last: within a period.
    EXPECT_NEAR(4410.0, static_cast<double>(span.first), rate / hz) << hz;
    EXPECT_NEAR(35280.0, static_cast<double>(span.Length()), 2 * rate / hz) << hz;
    EXPECT_NEAR(hz, tone::Frequency(samples, span.first, span.last, rate), hz * 0.001);
    std::vector<double> windows = tone::WindowFrequencies(samples, 0, samples.size(), 4410, rate);
    ASSERT_EQ(10u, windows.size());
    EXPECT_EQ(0.0, windows[0]);
    EXPECT_TRUE(tone::Near(windows[5], hz, 0.01)) << windows[5];
  }
}
