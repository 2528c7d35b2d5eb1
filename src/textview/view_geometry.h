// The TextView's geometry and scroll state, which the text rules and the timed-text
// follow both read. Portable.
#pragma once

// Geometry and scroll state of the text window, in pixels.
struct TextViewRecord {
  int viewWidth;
  int viewHeight;
  int linePitch;
  int scrollMax;
  int scrollPos;  // pixels of text above the top of the view, 0..scrollMax
};

extern TextViewRecord TextView;
