// The TextBuffer and the TextView state, and the portable rules over them: reading a
// text into rows, the font-height and line-pitch rule, the scroll range and steps.
#pragma once
#include <cstddef>
#include <cstdio>

#include "textview/view_geometry.h"

enum {
  TEXT_ROWS = 200,   // rows kept; the rest of a file is ignored
  ROW_BYTES = 100,   // one row: at most 99 bytes and the NUL
  ROW_UNITS = 101,   // UTF-16 of one row: a character begun at its last byte may need 2
};

struct TextBufferRecord {
  char rows[TEXT_ROWS][ROW_BYTES];  // code page 932, as the view's font expects
  int lineCount;
  int longest;  // bytes in the longest row in use
  // A row of a UTF-8 or UTF-16 text holding a character that code page 932 lacks
  // keeps its UTF-16 here and is drawn from it; in rows[] each such character stands
  // as two bytes, so it is one full-width cell for the metrics. 0: drawn from rows[].
  short wideUnits[TEXT_ROWS];
  unsigned short wide[TEXT_ROWS][ROW_UNITS];
  // The line of the text each row came from, counting every line from 0 (header lines
  // too): a long line fills several rows with one number.
  int rowLines[TEXT_ROWS];
};

extern TextBufferRecord TextBuffer;

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

// The code page 932 bytes of a code point into out (room for 2): gives 1 or 2, or 0
// when the code page lacks it. The platform's tables stand behind it.
typedef int (*CodePage932Encoder)(long codePoint, unsigned char *out);

// Empties the TextBuffer and the timed-text tags.
void ClearTextBuffer();

// Where a text's bytes come from, read front to back in pieces.
struct TextSource {
  // Up to size bytes into buffer: how many, 0 at the end of the text or on a read
  // error (then *failed is set).
  size_t (*read)(void *context, unsigned char *buffer, size_t size, bool *failed);
  // Back to the first byte; false when the source cannot go back.
  bool (*rewind)(void *context);
  void *context;
};

enum {
  TEXT_CHUNK_BYTES = 64 * 1024,  // the piece read at a time
  TEXT_DETECT_BYTES = 1 << 20,   // the first part of a text that decides how it is read
};

// Fills the TextBuffer from a text read in pieces of chunkBytes (at most
// TEXT_CHUNK_BYTES), only as far as the rows need, with storage that does not grow
// with the text. The encoding and whether the text is timed are decided on its first
// TEXT_DETECT_BYTES bytes: a byte-order mark, else UTF-8 when they are valid UTF-8 with
// a multi-byte sequence, else Shift-JIS taken as it is. Then the text-mode rules apply
// (CR dropped, 0x1A ends the text), and the time tags of a timed text leave its rows.
// A read error ends the text after the last whole row. Without an encoder only ASCII
// is taken to exist in code page 932.
void ReadTextSource(const TextSource &source, CodePage932Encoder encode = nullptr,
                    size_t chunkBytes = TEXT_CHUNK_BYTES);

// The same over bytes in memory.
void ReadTextBytes(const unsigned char *bytes, size_t size, CodePage932Encoder encode = nullptr,
                   size_t chunkBytes = TEXT_CHUNK_BYTES);

// The same for a stream opened in binary mode.
void ReadTextRows(std::FILE *file, CodePage932Encoder encode = nullptr);

// Empties the TextBuffer, then reads the file at path when it opens. False when it
// does not (the buffer stays empty).
bool ReadTextFile(const char *path, CodePage932Encoder encode = nullptr);

enum { TIMED_CHECK_BYTES = 16 * 1024 };  // the start of a text that says whether it is timed

// Whether a line among the first TIMED_CHECK_BYTES of the file at path begins with a
// time tag, as the loader would find; false for a file that does not open.
bool TextFileIsTimed(const char *path);

// Font height for a view width and a longest row: width x 1.9 / longest, truncated.
int FontHeightFor(int viewWidth, int longest);

// Sets TextView.linePitch from the buffer and the view size; returns the font height.
int UpdateLineMetrics();

// Recomputes TextView.scrollMax and pulls scrollPos back into 0..scrollMax.
void RecomputeScrollRange();

// The scroll step of a request, clamped so the position stays within 0..scrollMax.
int ScrollStepFor(int code, int pos);
