#include "player/keep_tempo.h"

#include <cmath>
#include <cstring>

StageFormat StageFormatOf(int formatTag, int channels, int rate, int bitsPerSample,
                          int blockAlign) {
  StageFormat format = {STAGE_REFUSED, channels, rate, blockAlign};
  if (channels < 1 || channels > 2 || rate < 8000 || rate > 48000) return format;
  if (blockAlign != channels * bitsPerSample / 8) return format;
  if (formatTag == STAGE_TAG_PCM && bitsPerSample == 8) format.kind = STAGE_PCM8;
  if (formatTag == STAGE_TAG_PCM && bitsPerSample == 16) format.kind = STAGE_PCM16;
  if (formatTag == STAGE_TAG_FLOAT && bitsPerSample == 32) format.kind = STAGE_FLOAT32;
  return format;
}

// 8-bit samples are unsigned around 128, 16-bit ones signed and little-endian.
void StageSamplesToFloat(const StageFormat &format, const unsigned char *bytes, int frames,
                         float *out) {
  const int count = frames * format.channels;
  for (int i = 0; i < count; i++) {
    switch (format.kind) {
      case STAGE_PCM8: out[i] = (bytes[i] - 128) / 128.0f; break;
      case STAGE_PCM16:
        out[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) / 32768.0f;
        break;
      case STAGE_FLOAT32: std::memcpy(&out[i], bytes + 4 * i, 4); break;
      default: out[i] = 0.0f; break;
    }
  }
}

static long HeldSample(float sample, float scale, long low, long high) {
  // NaN compares false both ways and ends up as silence.
  if (!(sample == sample)) return 0;
  float scaled = sample * scale;
  if (scaled <= static_cast<float>(low)) return low;
  if (scaled >= static_cast<float>(high)) return high;
  return std::lround(scaled);
}

void StageFloatToSamples(const StageFormat &format, const float *samples, int frames,
                         unsigned char *out) {
  const int count = frames * format.channels;
  for (int i = 0; i < count; i++) {
    switch (format.kind) {
      case STAGE_PCM8:
        out[i] = static_cast<unsigned char>(HeldSample(samples[i], 128.0f, -128, 127) + 128);
        break;
      case STAGE_PCM16: {
        const unsigned value =
            static_cast<unsigned>(HeldSample(samples[i], 32768.0f, -32768, 32767)) & 0xFFFF;
        out[2 * i] = static_cast<unsigned char>(value & 0xFF);
        out[2 * i + 1] = static_cast<unsigned char>(value >> 8);
        break;
      }
      case STAGE_FLOAT32: std::memcpy(out + 4 * i, &samples[i], 4); break;
      default: break;
    }
  }
}

double StageSemitones(int cents) {
  const int limit = 3600;
  if (cents > limit) cents = limit;
  if (cents < -limit) cents = -limit;
  return cents / 100.0;
}

double StageTempoFactor(int percent) {
  if (percent < 50) percent = 50;
  if (percent > 200) percent = 200;
  return percent / 100.0;
}

int64_t StageFrameTime(int64_t start, int64_t frames, int rate) {
  if (rate <= 0) return start;
  // Whole seconds and the rest apart, so a long song cannot overflow the product.
  return start + frames / rate * 10000000 + frames % rate * 10000000 / rate;
}

int DropLatency(int *owed, int frames) {
  const int dropped = frames < *owed ? frames : *owed;
  if (dropped <= 0) return 0;
  *owed -= dropped;
  return dropped;
}

void StartStageTimes(StageTimes *times, int generation, int64_t songStart, int64_t outStart,
                     int rate, int tempo, int64_t capacity) {
  times->generation = generation;
  times->songStart = songStart;
  times->outStart = outStart;
  times->rate = rate > 0 ? rate : 1;
  times->heldFrom = songStart;
  times->capacity = capacity;
  times->count = 0;
  MarkStageTimes(times, 0, 0, tempo);
}

void MarkStageTimes(StageTimes *times, int64_t output, int64_t input, int tempo) {
  if (times->count == STAGE_MARKS) {
    for (int i = 1; i < STAGE_MARKS; i++) times->marks[i - 1] = times->marks[i];
    times->count--;
  }
  times->marks[times->count++] = {output, input, tempo > 0 ? tempo : 100};
}

int64_t StageSongTime(const StageTimes &times, int64_t streamTime) {
  if (times.count == 0) return times.songStart + streamTime - times.outStart;
  // The output frame at the stream time, in hundredths of a frame for the tempo's sake.
  const int64_t since = streamTime - times.outStart;
  int at = 0;
  for (int i = 1; i < times.count; i++)
    if (since * times.rate >= times.marks[i].output * 10000000) at = i;
  const StageMark &mark = times.marks[at];
  const int64_t afterMark = since - mark.output * 10000000 / times.rate;
  return times.songStart + StageFrameTime(0, mark.input, times.rate) + afterMark * mark.tempo / 100;
}

int64_t StageInputFrame(const StageTimes &times, int64_t songTime) {
  const int64_t since = songTime - times.songStart;
  // Whole seconds and the rest apart, as StageFrameTime.
  return since / 10000000 * times.rate + since % 10000000 * times.rate / 10000000;
}

bool StageServesLoop(const StageTimes &times, long startMs, long endMs) {
  if (times.generation == 0 || endMs <= startMs) return false;
  const int64_t start = static_cast<int64_t>(startMs) * 10000, end = static_cast<int64_t>(endMs) * 10000;
  const int64_t slack = (times.heldFrom == times.songStart ? LOOP_HELD_SLACK_MS : 0) * 10000LL;
  if (start + slack < times.heldFrom) return false;
  // Room for the loop and the input held back while it plays.
  return StageInputFrame(times, end) - StageInputFrame(times, start) + times.rate <= times.capacity;
}

void CrossfadeSeam(const float *ending, const float *starting, int frames, int channels, float *out) {
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < frames; i++) {
    // Raised cosine: the two gains add up to 1 at every frame.
    const float in = static_cast<float>(0.5 - 0.5 * std::cos(pi * (i + 0.5) / frames));
    for (int c = 0; c < channels; c++) {
      const int at = i * channels + c;
      out[at] = ending[at] * (1 - in) + starting[at] * in;
    }
  }
}
