#include "player/pitch.h"

#include <climits>
#include <cmath>
#include <cstdio>

double PitchRate(int cents) {
  // The constant is a double, as stored; the product and the power are long double.
  const double perCent = 1.0 / 1200.0;
  return (double)std::pow(2.0L, (long double)cents * (long double)perCent);
}

int ShiftCents(int cents, int change) {
  long long shifted = (long long)cents + change;
  if (shifted > INT_MAX) return INT_MAX;
  if (shifted < INT_MIN) return INT_MIN;
  return (int)shifted;
}

char *PitchEntryKey(const char *path, char *out) {
  std::snprintf(out, 260, "%s", path);
  for (char *p = out; *p; ++p) {
    if (*p == '=') *p = '|';
  }
  return out;
}
