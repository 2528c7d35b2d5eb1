// The WAV writer of the C++ tests and benchmarks: the same files as scripts/wav.py,
// the home of the rules, writes for the scripts (16-bit PCM, a header of 44 bytes,
// sine tones of a whole number of hertz whose first second repeats exactly).
#pragma once
#include <cmath>
#include <string>
#include <vector>

namespace wav {

const unsigned Rate = 44100;

// Little-endian fields, as RIFF files hold them.
inline void Put16(std::string &s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string &s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A whole WAV file for 16-bit samples (interleaved when channels > 1).
inline std::string WavBytes(const std::vector<short> &samples, unsigned channels = 2,
                            unsigned rate = Rate) {
  const unsigned bytes = static_cast<unsigned>(samples.size() * 2);
  std::string wav = "RIFF";
  Put32(wav, 36 + bytes);
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);
  Put16(wav, channels);
  Put32(wav, rate);
  Put32(wav, rate * channels * 2);
  Put16(wav, channels * 2);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, bytes);
  for (short sample : samples) Put16(wav, static_cast<unsigned short>(sample));
  return wav;
}

// Stereo samples of a sine of hz: one second is computed and repeated.
inline std::vector<short> ToneSamples(int hz, double seconds, int amplitude = 10000) {
  const double pi = 3.14159265358979323846;
  std::vector<short> one;
  one.reserve(2 * Rate);
  for (unsigned i = 0; i < Rate; i++) {
    short sample = static_cast<short>(static_cast<int>(amplitude * std::sin(2 * pi * hz * i / Rate)));
    one.push_back(sample);
    one.push_back(sample);
  }
  const unsigned frames = static_cast<unsigned>(Rate * seconds);
  std::vector<short> samples;
  samples.reserve(2 * frames);
  for (unsigned done = 0; done < frames; done += Rate) {
    unsigned take = frames - done < Rate ? frames - done : Rate;
    samples.insert(samples.end(), one.begin(), one.begin() + 2 * take);
  }
  return samples;
}

inline std::string ToneWav(int hz, double seconds, int amplitude = 10000) {
  return WavBytes(ToneSamples(hz, seconds, amplitude));
}

}  // namespace wav
