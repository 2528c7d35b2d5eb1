#include "shell/layout.h"

LayoutMetricsRecord LayoutMetrics;
int ScreenDpi;

int ScaledForDpi(int length, int dpi, int designDpi) {
  if (dpi <= 0 || designDpi <= 0 || dpi == designDpi) return length;
  return static_cast<int>(static_cast<long long>(length) * dpi / designDpi);
}

// The notice's place is a fixed pixel position on a screen of 96 dots per inch, where
// it clears the Mem button; it keeps that distance on any other.
int NoticeX(int dpi) { return ScaledForDpi(330, dpi, 96); }

int HalfLineHeightOf(int charSet, int ascent, int height) {
  const int shiftJisCharSet = 128;
  return (charSet == shiftJisCharSet ? ascent : height) / 2;
}

// Products and differences with a fractional factor are formed in extended precision
// and truncated toward zero; the conversion to int does exactly that.
static int Truncated(long double value) { return static_cast<int>(value); }

int ButtonWidth(int a) { return Truncated(7.5L * a); }

LayoutBox SlotBox(int slot, int a, int h, int width, int height) {
  const int row = 3 * h;
  const int bottomRowY = height - row - 1;
  switch (slot) {
    case SLOT_TEXT_VIEW: return {0, row + 1, width, height - 6 * h - 2};
    case SLOT_PLAY: return {0, 0, ButtonWidth(a), row};
    case SLOT_STOP: return {ButtonWidth(a), 0, ButtonWidth(a), row};
    // The label sits exactly under the edit box.
    case SLOT_CENT_LABEL:
    case SLOT_CENTS: return {16 * a + 2, 0, 6 * a + 2, row};
    case SLOT_RATE: return {22 * a + 4, 0, (3 * a) / 2, row};
    case SLOT_OCTAVE_DOWN: return {29 * a - 2, 0, 3 * a, row};
    case SLOT_OCTAVE_UP: return {32 * a - 2, 0, 3 * a, row};
    case SLOT_MEM: return {35 * a - 1, 0, 6 * a, row};
    case SLOT_TOP: return {0, bottomRowY, ButtonWidth(a), row};
    case SLOT_NEXT: return {Truncated(width - 7.5L * a), bottomRowY, ButtonWidth(a), row};
    default: return {0, 0, 0, 0};
  }
}

LayoutEdges ProgressEdges(int a, int h, int width, int height) {
  return {8 * a, Truncated(height - 2.5L * h), width - 8 * a, height - h / 2};
}

void PitchLabelAt(int a, int h, int *x, int *y) {
  *x = 11 * a + 2;
  *y = h / 4;
}

void CentLabelAt(int a, int h, int *x, int *y) {
  *x = 24 * a + 2;
  *y = h / 4;
}
