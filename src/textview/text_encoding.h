// Which encoding a text file is in, and its characters one by one. Portable.
#pragma once
#include <cstddef>

enum TextEncoding {
  TEXT_SHIFT_JIS = 0,  // code page 932, taken byte for byte
  TEXT_UTF8 = 1,       // no byte-order mark: valid UTF-8 with a multi-byte sequence
  TEXT_UTF8_BOM = 2,
  TEXT_UTF16_LE = 3,   // always with its mark
  TEXT_UTF16_BE = 4,
};

// The encoding of a whole file's bytes. A byte-order mark decides; without one the
// text is UTF-8 when all of it is valid UTF-8 and it holds at least one multi-byte
// sequence, else Shift-JIS. *markBytes gets the mark's length (0, 2 or 3).
int DetectTextEncoding(const unsigned char *bytes, size_t size, int *markBytes);

// A reader of one encoded text, from just after its mark.
struct TextDecoder {
  const unsigned char *bytes;
  size_t size;
  size_t at;
  int encoding;
};

void StartTextDecoder(TextDecoder *decoder, const unsigned char *bytes, size_t size);

// The next character as a code point, or -1 at the end. A malformed sequence (only
// possible after a mark) gives U+FFFD. For TEXT_SHIFT_JIS every byte is its own
// "code point" 0..255: the caller keeps such text as bytes.
long NextCodePoint(TextDecoder *decoder);

// The UTF-16 units of a code point into units (room for 2); gives how many.
int CodePointToUtf16(long codePoint, unsigned short *units);
