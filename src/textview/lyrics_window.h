// The lyrics window that floats over the desktop: its record and its portable rules
// (the kept place, bringing it onto a screen, the font for its height, the two lines it
// shows).
#pragma once

struct ScreenBox {
  int x, y, width, height;
};

struct LyricsWindowRecord {
  ScreenBox place;  // screen pixels; width 0: never placed, the default place is taken
  bool locked;      // clicks go through to the window below
  bool shown;
};

extern LyricsWindowRecord LyricsWindow;

extern const char LyricsPlaceKey[];   // "lyricswindow"
extern const char LyricsLockKey[];    // "lyricslock"
extern const char LyricsShownKey[];   // "lyricsshown"

enum {
  LYRICS_MIN_WIDTH = 64,  // room for a few characters and the lock button (96 dpi)
  LYRICS_MIN_HEIGHT = 32,
  LYRICS_PLACE_BYTES = 48,
};

// "x,y,width,height" in decimal, blanks allowed around each number; false for anything
// else or a width or height below 1.
bool ParseLyricsPlace(const char *text, ScreenBox *place);
void FormatLyricsPlace(const ScreenBox &place, char *out, int size);

// A place that meets no part of the monitor given (the nearest one) is moved into its
// work area, cut to the area's size when larger; one that shows on it stays as it is.
ScreenBox BringOntoMonitor(const ScreenBox &place, const ScreenBox &monitor, const ScreenBox &work);
// The place of a window never placed: the lower part of the work area, centred.
ScreenBox DefaultLyricsPlace(const ScreenBox &work, int dpi);

// The font height for a window height: two lines, each with room for its outline.
int LyricsFontHeight(int windowHeight);
// A line extent pixels wide in a font of fontHeight, made to fit available pixels.
int FittedFontHeight(int fontHeight, int extent, int available);

// A line of the TextBuffer the window shows: rowCount rows from firstRow, drawn one
// after another; rowCount 0 for none.
struct ShownLine {
  int firstRow, rowCount;
};

struct LyricsLines {
  ShownLine top, bottom;
  int sungEntry;   // the timed entry the top line sings, -1 when none is sung
  bool titleLine;  // no text: the window shows the song's title line
};

// What the window shows now: the line being sung and the next one; before the first
// line of a timed text, its first two lines; an untimed text's first two lines that
// hold more than blanks; with no text, the title line.
LyricsLines PickLyricsLines();
bool SameLyricsLines(const LyricsLines &a, const LyricsLines &b);
