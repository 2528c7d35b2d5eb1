#include "player/pitch.h"

#include <climits>
#include <cmath>

double PitchRate(int cents) {
  // The constant is a double, as stored; the product and the power are long double.
  const double perCent = 1.0 / 1200.0;
  return (double)std::pow(2.0L, (long double)cents * (long double)perCent);
}

double PlayableRate(double rate) { return std::isfinite(rate) && rate > 0.0 ? rate : 1.0; }

int ShiftCents(int cents, int change) {
  long long shifted = (long long)cents + change;
  if (shifted > INT_MAX) return INT_MAX;
  if (shifted < INT_MIN) return INT_MIN;
  return (int)shifted;
}
