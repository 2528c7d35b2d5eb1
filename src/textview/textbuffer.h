// The TextBuffer and the TextView state, and the portable rules over them: reading a
// text into rows, the font-height and line-pitch rule, the scroll range and steps.
#pragma once
#include <cstdio>

enum {
  TEXT_ROWS = 200,   // rows kept; the rest of a file is ignored
  ROW_BYTES = 100,   // one row: at most 99 bytes and the NUL
};

struct TextBufferRecord {
  char rows[TEXT_ROWS][ROW_BYTES];
  int lineCount;
  int longest;  // bytes in the longest row in use
};

// Geometry and scroll state of the text window, in pixels.
struct TextViewRecord {
  int viewWidth;
  int viewHeight;
  int linePitch;
  int scrollMax;
  int scrollPos;  // pixels of text above the top of the view, 0..scrollMax
};

extern TextBufferRecord TextBuffer;
extern TextViewRecord TextView;

// Scroll request codes, the values of the platform's SB_ codes.
enum ScrollCode {
  SCROLL_LINE_UP = 0,
  SCROLL_LINE_DOWN = 1,
  SCROLL_PAGE_UP = 2,
  SCROLL_PAGE_DOWN = 3,
  SCROLL_THUMB_POSITION = 4,
  SCROLL_THUMB_TRACK = 5,
  SCROLL_TOP = 6,
  SCROLL_BOTTOM = 7,
};

// Empties the TextBuffer.
void ClearTextBuffer();

// Fills the TextBuffer from a stream opened in binary mode, applying the text-mode
// rules itself (CR dropped, 0x1A ends the text).
void ReadTextRows(std::FILE *file);

// Empties the TextBuffer, then reads the file at path when it opens. False when it
// does not (the buffer stays empty).
bool ReadTextFile(const char *path);

// Font height for a view width and a longest row: width x 1.9 / longest, truncated.
int FontHeightFor(int viewWidth, int longest);

// Sets TextView.linePitch from the buffer and the view size; returns the font height.
int UpdateLineMetrics();

// Recomputes TextView.scrollMax and pulls scrollPos back into 0..scrollMax.
void RecomputeScrollRange();

// The scroll step of a request, clamped so the position stays within 0..scrollMax.
int ScrollStepFor(int code, int pos);
