// A synthetic song for the voice setting, and how much of each of its parts a stage
// lets through. The voice: 220 Hz and four harmonics (amplitudes 1/k) with a 5 Hz
// vibrato of 3 %, the same in both channels; a plucked 330 Hz note in the left channel
// only and a 440 Hz one in the right only, each with two weaker harmonics. Each part
// is at -12 dBFS (the power of a sine of a quarter of full scale).
#pragma once
#include <cmath>
#include <vector>

namespace vocal_mix {

const int RATE = 44100;
enum Part { VOICE, LEFT_PART, RIGHT_PART, PARTS };

struct Song {
  std::vector<float> parts[PARTS];  // each part alone, one channel
  std::vector<float> mixed;         // interleaved stereo: the voice in both, the others in one
};

inline void ScaleToMinus12dB(std::vector<float> &part) {
  double power = 0;
  for (float v : part) power += static_cast<double>(v) * v;
  const double wanted = std::pow(10.0, -12 / 20.0) / std::sqrt(2.0);
  const double scale = wanted / std::sqrt(power / static_cast<double>(part.size()));
  for (float &v : part) v = static_cast<float>(v * scale);
}

inline Song Make(double seconds) {
  const double pi = 3.14159265358979323846;
  const int n = static_cast<int>(seconds * RATE);
  Song song;
  for (auto &part : song.parts) part.assign(static_cast<size_t>(n), 0.0f);
  double phase = 0;
  for (int i = 0; i < n; i++) {
    const double t = static_cast<double>(i) / RATE;
    phase += 2 * pi * 220 * (1 + 0.03 * std::sin(2 * pi * 5 * t)) / RATE;
    double voice = 0;
    for (int k = 1; k <= 5; k++) voice += std::sin(k * phase) / k;
    song.parts[VOICE][i] = static_cast<float>(voice);
    // A pluck every half second: a 5 ms attack and a decay to a third.
    const double sincePluck = std::fmod(t, 0.5);
    const double pluck = std::min(1.0, sincePluck / 0.005) * std::exp(-sincePluck / 0.45);
    for (int k = 1; k <= 3; k++) {
      song.parts[LEFT_PART][i] += static_cast<float>(pluck * std::sin(2 * pi * 330 * k * t) / (k * k));
      song.parts[RIGHT_PART][i] += static_cast<float>(pluck * std::sin(2 * pi * 440 * k * t) / (k * k));
    }
  }
  for (auto &part : song.parts) ScaleToMinus12dB(part);
  song.mixed.resize(2 * static_cast<size_t>(n));
  for (int i = 0; i < n; i++) {
    song.mixed[2 * i] = song.parts[VOICE][i] + song.parts[LEFT_PART][i];
    song.mixed[2 * i + 1] = song.parts[VOICE][i] + song.parts[RIGHT_PART][i];
  }
  return song;
}

// What a stage put out, measured against the song's parts delayed by its latency, over
// the samples from..to of the song (enough after the start for the stage to settle).
struct Measure {
  double gain[2][PARTS];  // per channel, each part's share in dB, by least squares
  double rest[2];         // per channel, dB of what is left once the parts kept are
                          // taken away, against the power of the parts not kept
};

// kept[channel][part]: the parts that should come out of each channel.
inline Measure Measured(const Song &song, const std::vector<float> &out, int latency,
                        const bool kept[2][PARTS], int from, int to) {
  Measure m = {};
  for (int c = 0; c < 2; c++) {
    double gram[PARTS][PARTS] = {}, dot[PARTS] = {};
    for (int i = from; i < to; i++) {
      const double y = out[2 * static_cast<size_t>(i + latency) + c];
      for (int a = 0; a < PARTS; a++) {
        dot[a] += y * song.parts[a][i];
        for (int b = 0; b < PARTS; b++) gram[a][b] += static_cast<double>(song.parts[a][i]) * song.parts[b][i];
      }
    }
    // Cramer's rule on the three parts at once: the voice's harmonic at 440 Hz is not
    // quite orthogonal to the right part.
    auto det = [](const double g[PARTS][PARTS]) {
      return g[0][0] * (g[1][1] * g[2][2] - g[1][2] * g[2][1]) -
             g[0][1] * (g[1][0] * g[2][2] - g[1][2] * g[2][0]) +
             g[0][2] * (g[1][0] * g[2][1] - g[1][1] * g[2][0]);
    };
    const double whole = det(gram);
    for (int a = 0; a < PARTS; a++) {
      double swapped[PARTS][PARTS];
      for (int r = 0; r < PARTS; r++)
        for (int k = 0; k < PARTS; k++) swapped[r][k] = k == a ? dot[r] : gram[r][k];
      m.gain[c][a] = 20 * std::log10(std::fabs(det(swapped) / whole) + 1e-12);
    }
    double left = 0, gone = 0;
    for (int i = from; i < to; i++) {
      double y = out[2 * static_cast<size_t>(i + latency) + c], dropped = 0;
      for (int a = 0; a < PARTS; a++) {
        const bool in = a == VOICE || a == (c == 0 ? LEFT_PART : RIGHT_PART);
        if (!in) continue;
        if (kept[c][a]) y -= song.parts[a][i];
        else dropped += song.parts[a][i];
      }
      left += y * y;
      gone += dropped * dropped;
    }
    m.rest[c] = 10 * std::log10((left + 1e-30) / (gone + 1e-30));
  }
  return m;
}

}  // namespace vocal_mix
