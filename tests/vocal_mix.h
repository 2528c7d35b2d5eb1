// The synthetic song of the voice setting, as the media generator made it at build time
// (scripts/media.py vocal --parts, see cmake/test_media.cmake), and how much of each of
// its parts a stage lets through. The voice: 220 Hz and four harmonics with a 5 Hz
// vibrato, the same in both channels; a plucked 330 Hz note in the left channel only and
// a 440 Hz one in the right only. Each part at -12 dBFS.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vocal_mix {

const int RATE = 44100;
enum Part { VOICE, LEFT_PART, RIGHT_PART, PARTS };

struct Song {
  std::vector<float> parts[PARTS];  // each part alone, one channel
  std::vector<float> mixed;         // interleaved stereo: the voice in both, the others in one
};

// The first seconds of the generated song; an empty song when the build made none.
inline Song Make(double seconds) {
  Song song;
  std::string bytes;
  if (std::FILE *file = std::fopen(BRAMLOE_TEST_MEDIA_DIR "/vocal_parts.wav", "rb")) {
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
  }
  // The generator writes a 44-byte header: 16-bit samples, the three parts a frame.
  const size_t frameBytes = 2 * PARTS, n = static_cast<size_t>(seconds * RATE);
  if (bytes.size() < 44 + n * frameBytes) return song;
  for (int p = 0; p < PARTS; p++) {
    song.parts[p].resize(n);
    for (size_t i = 0; i < n; i++) {
      int16_t sample;
      std::memcpy(&sample, bytes.data() + 44 + i * frameBytes + 2 * p, 2);
      song.parts[p][i] = sample / 32767.0f;
    }
  }
  song.mixed.resize(2 * n);
  for (size_t i = 0; i < n; i++) {
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
