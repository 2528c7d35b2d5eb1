#include "player/vocal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// Hann windows before and after the transform: at a hop of a quarter frame, the
// products of the four frames over any sample add up to 1.5.
static const float WindowProductSum = 1.5f;

// Bass and kick drum are mixed in the centre too: the bins below LowHz are left as
// they are, and the extraction fades in up to FullHz, so the edge does not ring.
static const float LowHz = 120.0f;
static const float FullHz = 160.0f;

// The averages a bin's estimate is made from: each hop keeps Held of the last (about
// 100 ms of memory at 44.1 kHz), and a bin reads Spread bins either side of it too. Long
// enough for a voice and a side part in one bin to average out against each other,
// short enough to follow a song; the synthetic song of the tests loses 3 dB of
// reduction at half the memory and gains 1 dB at twice the spread.
static const float Held = 0.8f;
static const int Spread = 1;

// The sides' powers never count as less than this share of the bin's power, so that a
// bin of the centre alone splits its estimate evenly between the channels.
static const float SideFloor = 1e-3f;

bool VocalStageInit(VocalStage *stage, int rate) {
  stage->ready = false;
  size_t forwardBytes = sizeof stage->forwardTables, inverseBytes = sizeof stage->inverseTables;
  stage->forward = kiss_fftr_alloc(VOCAL_FRAME, 0, stage->forwardTables, &forwardBytes);
  stage->inverse = kiss_fftr_alloc(VOCAL_FRAME, 1, stage->inverseTables, &inverseBytes);
  if (!stage->forward || !stage->inverse || rate <= 0) return false;
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < VOCAL_FRAME; i++)
    stage->window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * pi * i / VOCAL_FRAME));
  for (int k = 0; k < VOCAL_BINS; k++) {
    const float hz = static_cast<float>(k) * static_cast<float>(rate) / VOCAL_FRAME;
    stage->strength[k] = std::min(1.0f, std::max(0.0f, (hz - LowHz) / (FullHz - LowHz)));
  }
  stage->ready = true;
  VocalStageClear(stage);
  return true;
}

void VocalStageClear(VocalStage *stage) {
  std::memset(stage->input, 0, sizeof stage->input);
  std::memset(stage->summed, 0, sizeof stage->summed);
  std::memset(stage->out, 0, sizeof stage->out);
  stage->fill = 0;
  stage->fresh = true;
}

// The centre of each bin, estimated from both channels and taken out of them or kept
// alone, with the gains for the mode. The channels are modelled as L = C + SL and
// R = C + SR, the three uncorrelated: then the averaged cross power Re(L R*) is C's
// power, and the rest of each channel's power is its side's. C is estimated from L and
// R together by least squares under that model (a Wiener estimate of two inputs):
// where one channel carries no side, the estimate is that channel itself, so a side
// part sharing a bin with the voice stays whole in the other channel; where the
// channels share nothing, it is nothing.
static void ExtractCentre(VocalStage *stage, float keep, float centre) {
  const float held = stage->fresh ? 0.0f : Held;
  kiss_fft_cpx *left = stage->spectrum[0], *right = stage->spectrum[1];
  for (int k = 0; k < VOCAL_BINS; k++) {
    const kiss_fft_cpx l = left[k], r = right[k];
    stage->powerLeft[k] = held * stage->powerLeft[k] + (1 - held) * (l.r * l.r + l.i * l.i);
    stage->powerRight[k] = held * stage->powerRight[k] + (1 - held) * (r.r * r.r + r.i * r.i);
    stage->shared[k] = held * stage->shared[k] + (1 - held) * (l.r * r.r + l.i * r.i);
  }
  for (int k = 0; k < VOCAL_BINS; k++) {
    const kiss_fft_cpx l = left[k], r = right[k];
    const int lo = std::max(0, k - Spread), hi = std::min(VOCAL_BINS - 1, k + Spread);
    float powerLeft = 0, powerRight = 0, shared = 0;
    for (int j = lo; j <= hi; j++) {
      powerLeft += stage->powerLeft[j];
      powerRight += stage->powerRight[j];
      shared += stage->shared[j];
    }
    const float total = powerLeft + powerRight;
    float weightLeft = 0, weightRight = 0;
    if (total > 1e-20f) {  // shares of the bin's power, so the products below stay in range
      const float common = std::min(std::max(shared, 0.0f), std::min(powerLeft, powerRight)) / total;
      const float sideLeft = powerLeft / total - common + SideFloor;
      const float sideRight = powerRight / total - common + SideFloor;
      const float d = common * (sideLeft + sideRight) + sideLeft * sideRight;
      weightLeft = common * sideRight / d;
      weightRight = common * sideLeft / d;
    }
    const float s = stage->strength[k];
    const float c = s * centre, own = 1 + s * (keep - 1);
    const float cr = weightLeft * l.r + weightRight * r.r, ci = weightLeft * l.i + weightRight * r.i;
    left[k].r = own * l.r + c * cr;
    left[k].i = own * l.i + c * ci;
    right[k].r = own * r.r + c * cr;
    right[k].i = own * r.i + c * ci;
  }
  stage->fresh = false;
}

// A frame of the last VOCAL_FRAME samples, added into the sums; the oldest hop of the
// sums is then whole and goes out during the next hop.
static void MakeFrame(VocalStage *stage, int mode) {
  const float keep = mode == VOCAL_ONLY ? 0.0f : 1.0f;
  const float centre = mode == VOCAL_REDUCED ? -1.0f : mode == VOCAL_ONLY ? 1.0f : 0.0f;
  const float *window = stage->window;
  if (centre == 0 && keep == 1) {
    // As recorded the transform would give the frame back: only the windows are applied,
    // so that a fade from another mode still overlaps, and the averages start afresh.
    for (int c = 0; c < 2; c++)
      for (int i = 0; i < VOCAL_FRAME; i++)
        stage->summed[c][i] += stage->input[c][i] * window[i] * window[i] / WindowProductSum;
    stage->fresh = true;
  } else {
    for (int c = 0; c < 2; c++) {
      for (int i = 0; i < VOCAL_FRAME; i++) stage->time[i] = stage->input[c][i] * window[i];
      kiss_fftr(stage->forward, stage->time, stage->spectrum[c]);
    }
    ExtractCentre(stage, keep, centre);
    const float scale = 1.0f / (VOCAL_FRAME * WindowProductSum);  // the inverse is unscaled
    for (int c = 0; c < 2; c++) {
      kiss_fftri(stage->inverse, stage->spectrum[c], stage->time);
      for (int i = 0; i < VOCAL_FRAME; i++) stage->summed[c][i] += stage->time[i] * window[i] * scale;
    }
  }
  const size_t rest = sizeof(float) * (VOCAL_FRAME - VOCAL_HOP);
  for (int c = 0; c < 2; c++) {
    std::memcpy(stage->out[c], stage->summed[c], sizeof stage->out[c]);
    std::memmove(stage->summed[c], stage->summed[c] + VOCAL_HOP, rest);
    std::memset(stage->summed[c] + VOCAL_FRAME - VOCAL_HOP, 0, sizeof(float) * VOCAL_HOP);
    std::memmove(stage->input[c], stage->input[c] + VOCAL_HOP, rest);
  }
}

void VocalStageProcess(VocalStage *stage, float *samples, int frames, int channels, int mode) {
  if (channels != 2 || !stage->ready) return;
  for (int i = 0; i < frames; i++) {
    float *frame = samples + 2 * i;
    const int at = VOCAL_FRAME - VOCAL_HOP + stage->fill;
    for (int c = 0; c < 2; c++) {
      stage->input[c][at] = frame[c];
      frame[c] = stage->out[c][stage->fill];
    }
    if (++stage->fill == VOCAL_HOP) {
      MakeFrame(stage, mode);
      stage->fill = 0;
    }
  }
}

int VocalLatency(int channels) { return channels == 2 ? VOCAL_FRAME : 0; }
