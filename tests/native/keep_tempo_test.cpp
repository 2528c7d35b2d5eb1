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

// A song started at 10 s after a seek (the stage's output stamped from 0): at half
// tempo from output frame 44100 on, back to the input's second 1 (the loop's start) at
// output frame 132300. Each row: a stream time and the song's time it carries.
class StageTimesRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    StartStageTimes(&times, 3, Second * 10, 0, 44100, 100, 44100 * 30);
    MarkStageTimes(&times, 44100, 44100, 50);
    MarkStageTimes(&times, 132300, 44100, 50);
  }
  static const int64_t Second = 10000000;
  StageTimes times;
};

TEST_F(StageTimesRecord, TheOutputCarriesTheSongsTimeThroughTempoAndLoop) {
  const struct {
    int64_t stream, song;
  } cases[] = {{0, Second * 10},
               {Second / 2, Second * 21 / 2},
               {Second, Second * 11},              // the tempo halves here
               {Second * 2, Second * 23 / 2},       // half a second of song a second
               {Second * 3 - 10, Second * 12 - 5},  // just before the jump back
               {Second * 3, Second * 11},           // back at the loop's start
               {Second * 4, Second * 23 / 2}};
  for (const auto &c : cases) EXPECT_EQ(c.song, StageSongTime(times, c.stream)) << c.stream;
  EXPECT_EQ(44100, StageInputFrame(times, Second * 11));
  EXPECT_EQ(-44100, StageInputFrame(times, Second * 9));
}

// The oldest mark goes when the record is full; a record without marks runs at 100 %.
TEST_F(StageTimesRecord, AFullRecordKeepsTheLatestMarks) {
  for (int i = 0; i < STAGE_MARKS; i++) MarkStageTimes(&times, 200000 + i * 44100, i * 44100, 100);
  EXPECT_EQ(STAGE_MARKS, times.count);
  EXPECT_EQ(200000, times.marks[0].output);
  const int64_t first = StageFrameTime(0, 200000, 44100), last = StageFrameTime(0, 200000 + 7 * 44100, 44100);
  EXPECT_NEAR(Second * 10, StageSongTime(times, first), 1);
  EXPECT_NEAR(Second * 18, StageSongTime(times, last + Second), 1);
  times.count = 0;
  EXPECT_EQ(Second * 12, StageSongTime(times, Second * 2));
}

// The stage plays a loop whose start it holds (or one a seek to the start left just
// out) and that fits into what it can hold, with a second to spare for the input held.
TEST_F(StageTimesRecord, TheStageServesLoopsItHolds) {
  const struct {
    int64_t heldFrom;
    long startMs, endMs;
    bool served;
  } cases[] = {{Second * 10, 10000, 12000, true},  {Second * 10, 9950, 12000, true},
               {Second * 10, 9800, 12000, false},  {Second * 15, 14950, 16000, false},
               {Second * 15, 15000, 16000, true},  {Second * 10, 10000, 39000, true},
               {Second * 10, 10000, 39100, false}, {Second * 10, 12000, 12000, false}};
  for (const auto &c : cases) {
    times.heldFrom = c.heldFrom;
    EXPECT_EQ(c.served, StageServesLoop(times, c.startMs, c.endMs)) << c.startMs << "-" << c.endMs;
  }
  times.generation = 0;
  EXPECT_FALSE(StageServesLoop(times, 10000, 12000)) << "no record yet";
}

// The seam fades the end out and the start in with gains that add up to 1, from the
// end's side to the start's, never stepping by more than the fade's slope.
TEST(KeepTempoLoop, TheSeamFadesTheEndIntoTheStart) {
  const int frames = 441;
  std::vector<float> ending(2 * frames, 1.0f), starting(2 * frames, -1.0f), out(2 * frames);
  CrossfadeSeam(ending.data(), starting.data(), frames, 2, out.data());
  EXPECT_NEAR(1.0f, out[0], 1e-3);
  EXPECT_NEAR(-1.0f, out[2 * frames - 1], 1e-3);
  EXPECT_NEAR(0.0f, out[frames], 1e-2);  // halfway
  for (int i = 1; i < frames; i++) {
    EXPECT_LE(out[2 * i], out[2 * (i - 1)]) << i;
    EXPECT_LT(std::fabs(out[2 * i] - out[2 * (i - 1)]), 4.0f / frames) << i;
    EXPECT_EQ(out[2 * i], out[2 * i + 1]);
  }
  std::fill(starting.begin(), starting.end(), 1.0f);
  CrossfadeSeam(ending.data(), starting.data(), frames, 2, out.data());
  for (float v : out) EXPECT_NEAR(1.0f, v, 1e-6) << "the same sound goes on unchanged";
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
