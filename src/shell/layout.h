// The main window's geometry, computed from the two measures of the OEM fixed font.
#pragma once

struct LayoutMetricsRecord {
  int charWidth;       // a: tmAveCharWidth
  int halfLineHeight;  // h: half the line height
};

extern LayoutMetricsRecord LayoutMetrics;

// The screen's dots per inch, read when the metrics are measured; 0 until then.
extern int ScreenDpi;

// A length made for a screen of designDpi, on a screen of dpi: scaled and truncated
// toward zero, as the layout's integer arithmetic does. Unchanged when the two are
// equal or either is unknown (0 or less).
int ScaledForDpi(int length, int dpi, int designDpi);

// Where ShowNotice writes, on a screen of dpi.
int NoticeX(int dpi);

// The line height of a Shift-JIS font is its ascent; of any other, its full height.
int HalfLineHeightOf(int charSet, int ascent, int height);

struct LayoutBox {
  int x, y, width, height;
};

struct LayoutEdges {
  int left, top, right, bottom;
};

// The child windows, in the order of their creation (which is also the Tab order).
enum LayoutSlot {
  SLOT_TEXT_VIEW,
  SLOT_PLAY,
  SLOT_STOP,
  SLOT_CENT_LABEL,
  SLOT_CENTS,
  SLOT_RATE,
  SLOT_OCTAVE_DOWN,
  SLOT_OCTAVE_UP,
  SLOT_MEM,
  SLOT_TOP,
  SLOT_NEXT,
  SLOT_COUNT
};

// a, h: the metrics; width, height: the main window's client area.
LayoutBox SlotBox(int slot, int a, int h, int width, int height);
LayoutEdges ProgressEdges(int a, int h, int width, int height);

// Where WM_PAINT writes the "Pitch" and "cent" labels.
void PitchLabelAt(int a, int h, int *x, int *y);
void CentLabelAt(int a, int h, int *x, int *y);

// t(7.5a): the width of the Play, Stop, Top and Next buttons.
int ButtonWidth(int a);
