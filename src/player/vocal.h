// The voice setting of the keep-tempo stage: the part of a stereo song common to both
// channels (the centre, where a song's voice is mixed) taken out, or kept alone, frame
// by frame in the frequency domain.
#pragma once
#include <kissfft/kiss_fftr.h>

enum VocalMode { VOCAL_AS_RECORDED = 0, VOCAL_REDUCED = 1, VOCAL_ONLY = 2 };

const int VOCAL_FRAME = 4096;  // samples of a channel in one transform
const int VOCAL_HOP = VOCAL_FRAME / 4;
const int VOCAL_BINS = VOCAL_FRAME / 2 + 1;
const int VOCAL_FFT_BYTES = 64 * 1024;  // room for each transform's tables

// One stage's buffers, all of fixed size, so that processing allocates nothing.
struct VocalStage {
  bool ready;  // VocalStageInit succeeded
  int fill;    // samples of the current hop taken in
  bool fresh;          // the averages start again with the next frame
  float strength[VOCAL_BINS];  // 0 for the bins left alone, 1 for those worked on
  float window[VOCAL_FRAME];
  float input[2][VOCAL_FRAME];   // the last frame of samples taken in
  float summed[2][VOCAL_FRAME];  // frames added up, the oldest samples first
  float out[2][VOCAL_HOP];       // the finished samples, put out during the next hop
  float time[VOCAL_FRAME];
  kiss_fft_cpx spectrum[2][VOCAL_BINS];
  kiss_fft_cpx result[VOCAL_BINS];
  float powerLeft[VOCAL_BINS], powerRight[VOCAL_BINS], shared[VOCAL_BINS];
  kiss_fftr_cfg forward, inverse;
  alignas(16) unsigned char forwardTables[VOCAL_FFT_BYTES];
  alignas(16) unsigned char inverseTables[VOCAL_FFT_BYTES];
};

// Sets the stage up for a rate (frames a second), silent; false if the transform's
// tables do not fit.
bool VocalStageInit(VocalStage *stage, int rate);

// Forgets every sample taken in (after a seek): what comes out next is silence for the
// latency, then the new samples.
void VocalStageClear(VocalStage *stage);

// frames frames of interleaved float samples, changed in place for mode and put out
// VocalLatency frames later. One channel passes through as it is, at once; a mode
// change is heard from the next frame on, faded over a frame's overlap.
void VocalStageProcess(VocalStage *stage, float *samples, int frames, int channels, int mode);

// Frames between a sample going in and coming out, for a number of channels.
int VocalLatency(int channels);
