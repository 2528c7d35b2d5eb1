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

// Which song time the stage's output carries. The stage numbers the frames that came in
// since the last flush (the input) and those it put out (the output, stamped from
// outStart on); a mark says that from an output frame on, the output carries the input
// from a frame on, at a tempo. A flush starts the record afresh, a change of tempo and a
// loop's jump back add a mark. The stage writes it on the graph's thread; the window's
// thread reads the song's time from it for the graph's position.
const int STAGE_MARKS = 8;

struct StageMark {
  int64_t output, input;
  int tempo;  // percent
};

struct StageTimes {
  int generation;     // of the seek the record follows; 0: none yet
  int64_t songStart;  // the song's time of input frame 0, 100 ns units
  int64_t outStart;   // the stream time of output frame 0
  int rate;
  int64_t heldFrom;  // the song's time of the oldest input frame the stage holds
  int64_t capacity;  // input frames it can hold
  int count;                 // the latest marks, the oldest first
  StageMark marks[STAGE_MARKS];
};

void StartStageTimes(StageTimes *times, int generation, int64_t songStart, int64_t outStart,
                     int rate, int tempo, int64_t capacity);
// From output frame output on, the input from frame input on at tempo; the oldest mark
// goes when the record is full.
void MarkStageTimes(StageTimes *times, int64_t output, int64_t input, int tempo);
// The song's time of what the output carries at a stream time.
int64_t StageSongTime(const StageTimes &times, int64_t streamTime);
// The input frame of a song time; may lie before 0 or beyond what came in.
int64_t StageInputFrame(const StageTimes &times, int64_t songTime);

// Whether the stage can play the loop from startMs to endMs from the frames it holds:
// its start is held (or lies at most LOOP_HELD_SLACK_MS before the first frame since a
// seek, which a seek to the start itself leaves), and it fits into what is held.
const int LOOP_HELD_SLACK_MS = 100;
bool StageServesLoop(const StageTimes &times, long startMs, long endMs);

// The seam of a loop: frames frames of ending faded out into starting faded in, over
// the whole length, into out; interleaved, channels a frame.
void CrossfadeSeam(const float *ending, const float *starting, int frames, int channels, float *out);
