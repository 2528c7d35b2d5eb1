// Measuring tones in captured or generated samples (one channel, 16-bit): where the
// sound is loud, and its frequency from the upward zero crossings, each placed between
// its two samples. The median period is taken, so a splice of the time-stretcher that
// moves one crossing does not move the result.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace tone {

// One channel (0 left, 1 right) of interleaved 16-bit stereo bytes.
inline std::vector<short> Channel(const std::string &bytes, int channel) {
  std::vector<short> samples(bytes.size() / 4);
  for (size_t i = 0; i < samples.size(); i++)
    samples[i] = static_cast<short>(static_cast<unsigned char>(bytes[4 * i + 2 * channel]) |
                                    static_cast<unsigned char>(bytes[4 * i + 2 * channel + 1]) << 8);
  return samples;
}

inline std::vector<short> LeftChannel(const std::string &bytes) { return Channel(bytes, 0); }

struct Span {
  size_t first, last;  // the first and the last loud sample; first > last: none
  size_t Length() const { return first > last ? 0 : last - first; }
};

inline Span LoudSpan(const std::vector<short> &samples, int threshold = 3000) {
  Span span = {1, 0};
  for (size_t i = 0; i < samples.size(); i++) {
    if (std::abs(samples[i]) <= threshold) continue;
    if (span.first > span.last) span.first = i;
    span.last = i;
  }
  return span;
}

// Hz of the samples from..to (to exclusive), 0 when fewer than two periods are there.
inline double Frequency(const std::vector<short> &samples, size_t from, size_t to, double rate) {
  std::vector<double> crossings;
  to = std::min(to, samples.size());
  for (size_t i = from + 1; i < to; i++) {
    if (samples[i - 1] < 0 && samples[i] >= 0)
      crossings.push_back(i - 1 + static_cast<double>(-samples[i - 1]) / (samples[i] - samples[i - 1]));
  }
  if (crossings.size() < 3) return 0.0;
  std::vector<double> periods;
  for (size_t i = 1; i < crossings.size(); i++) periods.push_back(crossings[i] - crossings[i - 1]);
  std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
  return rate / periods[periods.size() / 2];
}

// The frequency of each window of window samples from..to; 0 for a quiet one.
inline std::vector<double> WindowFrequencies(const std::vector<short> &samples, size_t from,
                                             size_t to, size_t window, double rate,
                                             int threshold = 3000) {
  std::vector<double> heard;
  for (size_t start = from; start + window <= std::min(to, samples.size()); start += window) {
    int peak = 0;
    for (size_t i = start; i < start + window; i++) peak = std::max(peak, std::abs(samples[i]));
    heard.push_back(peak > threshold ? Frequency(samples, start, start + window, rate) : 0.0);
  }
  return heard;
}

// The level in dB (against full scale) of the component at hz in the samples
// from..to, through a Hann window.
inline double Level(const std::vector<short> &samples, size_t from, size_t to, double hz, double rate) {
  const double pi = 3.14159265358979323846;
  double re = 0, im = 0, gain = 0;
  to = std::min(to, samples.size());
  for (size_t i = from; i < to; i++) {
    const double w = 0.5 - 0.5 * std::cos(2 * pi * (i - from) / (to - from));
    re += w * samples[i] * std::cos(2 * pi * hz * i / rate);
    im += w * samples[i] * std::sin(2 * pi * hz * i / rate);
    gain += w;
  }
  return 20 * std::log10(2 * std::sqrt(re * re + im * im) / (gain * 32768.0) + 1e-12);
}

// The largest step from one sample to the next in from..to.
inline int LargestStep(const std::vector<short> &samples, size_t from, size_t to) {
  int largest = 0;
  for (size_t i = from + 1; i < std::min(to, samples.size()); i++)
    largest = std::max(largest, std::abs(samples[i] - samples[i - 1]));
  return largest;
}

inline bool Near(double hz, double target, double fraction) {
  return std::fabs(hz - target) <= target * fraction;
}

}  // namespace tone
