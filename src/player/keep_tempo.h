// The keep-tempo stage's portable rules: the sample formats it takes, their conversion
// to and from the float samples of the time-stretcher, the pitch it is given for the
// cents, and the times of what it puts out.
#pragma once
#include <cstdint>

enum StageSampleKind { STAGE_REFUSED, STAGE_PCM8, STAGE_PCM16, STAGE_FLOAT32 };

struct StageFormat {
  StageSampleKind kind;
  int channels;
  int rate;        // frames a second
  int frameBytes;  // one sample of every channel
};

// Format tags as a WAVEFORMATEX holds them; an extensible format is given by its
// subformat's tag.
const int STAGE_TAG_PCM = 1;
const int STAGE_TAG_FLOAT = 3;

// The format the stage takes for a wave format's fields: 8- or 16-bit PCM or 32-bit
// float, mono or stereo, 8 to 48 kHz, with the block alignment these give. Anything
// else is STAGE_REFUSED, and the song plays without the stage.
StageFormat StageFormatOf(int formatTag, int channels, int rate, int bitsPerSample,
                          int blockAlign);

// frames frames of the format, interleaved, to floats in [-1, 1] and back; the way
// back rounds to the nearest sample and holds what lies outside at the ends.
void StageSamplesToFloat(const StageFormat &format, const unsigned char *bytes, int frames,
                         float *out);
void StageFloatToSamples(const StageFormat &format, const float *samples, int frames,
                         unsigned char *out);

// The stage's pitch in semitones for cents, held within three octaves either way: the
// cents have no bounds, the time-stretcher's buffers have.
double StageSemitones(int cents);

// The time-stretcher's tempo factor for a percentage, held within 50 to 200 %.
double StageTempoFactor(int percent);

// Media time (100 ns units) of the frame that many frames after the one at start.
int64_t StageFrameTime(int64_t start, int64_t frames, int rate);

// Of frames the voice setting's extraction has just put out, how many at their front
// are the silence of its latency still owed since the last flush; *owed counts them off.
int DropLatency(int *owed, int frames);
