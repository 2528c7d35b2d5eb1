#include "settings/song_memory.h"

#include <cstdio>
#include <cstdlib>

#include "base/bytes.h"

namespace {

const long OFFSET_HELD = 60000;

// Plain digits at *text, no sign or blank; false when there are none or too many.
bool ReadMs(const char **text, long *value) {
  const char *at = *text;
  long ms = 0;
  int digits = 0;
  for (; IsAsciiDigit(*at); ++at) {
    if (++digits > 9) return false;
    ms = ms * 10 + (*at - '0');
  }
  *text = at;
  *value = ms;
  return digits > 0;
}

}  // namespace

int ParseTempoValue(const char *text) {
  long long value = std::strtoll(text, nullptr, 10);
  return value < 0 || value > 1000 ? 0 : static_cast<int>(value);
}

bool ParseLoopValue(const char *text, long *startMs, long *endMs) {
  long start, end;
  if (!ReadMs(&text, &start) || *text++ != '-' || !ReadMs(&text, &end) || *text) return false;
  if (end <= start) return false;
  *startMs = start;
  *endMs = end;
  return true;
}

void FormatLoopValue(long startMs, long endMs, char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), "%ld-%ld", startMs, endMs);
}

long ParseOffsetValue(const char *text) {
  long long value = std::strtoll(text, nullptr, 10);
  if (value > OFFSET_HELD) return OFFSET_HELD;
  if (value < -OFFSET_HELD) return -OFFSET_HELD;
  return static_cast<long>(value);
}

void FormatOffsetValue(long ms, char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), "%ld", ms);
}
