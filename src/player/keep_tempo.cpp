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
