// Which encoding a text file is in, and its characters one by one, from its bytes fed
// in pieces of any size. Portable.
#pragma once
#include <cstddef>

enum TextEncoding {
  TEXT_SHIFT_JIS = 0,  // code page 932, taken byte for byte
  TEXT_UTF8 = 1,       // no byte-order mark: valid UTF-8 with a multi-byte sequence
  TEXT_UTF8_BOM = 2,
  TEXT_UTF16_LE = 3,   // always with its mark
  TEXT_UTF16_BE = 4,
};

// A reader of one encoded text. A character cut by the end of a piece waits in it for
// the next piece.
struct TextDecoder {
  int encoding;
  int skip;                  // bytes of the mark still to pass over
  unsigned char pending[4];  // bytes of a character begun in an earlier piece
  int pendingCount;
  long high;                 // a high surrogate waiting for its partner, -1 for none
  long held;                 // a UTF-16 unit read but not yet taken, -1 for none
  bool malformed;            // some sequence was not well-formed UTF-8 (or UTF-16)
};

void StartTextDecoder(TextDecoder *decoder, int encoding, int markBytes);

// The next character from the piece [*at, end) as a code point, *at moved past what it
// took; -1 when the piece is used up. With last (no piece follows) a character cut by
// the end is malformed and -1 means the text is over. A malformed sequence gives
// U+FFFD. For TEXT_SHIFT_JIS every byte is its own "code point" 0..255: the caller
// keeps such text as bytes.
long NextCodePoint(TextDecoder *decoder, const unsigned char **at, const unsigned char *end, bool last);

// The encoding of a text from its first bytes. A byte-order mark decides; without one
// the text is UTF-8 when all the bytes seen are valid UTF-8 and hold at least one
// multi-byte sequence, else Shift-JIS.
struct EncodingDetector {
  unsigned char first[3];  // the bytes a mark would be
  int firstCount;
  int encoding;            // -1 until the mark question is settled
  int markBytes;
  TextDecoder utf8;        // the bytes seen, read as UTF-8
  bool multiByte;
};

void StartEncodingDetector(EncodingDetector *detector);
void FeedEncodingDetector(EncodingDetector *detector, const unsigned char *bytes, size_t size);
// The encoding, and in *markBytes the mark's length (0, 2 or 3). wholeText: the bytes
// fed were all of the text, so a sequence cut at their end is malformed; otherwise they
// were its first part and it counts as whole.
int FinishEncodingDetector(EncodingDetector *detector, bool wholeText, int *markBytes);

// The encoding of a whole text's bytes at once.
int DetectTextEncoding(const unsigned char *bytes, size_t size, int *markBytes);

// The UTF-16 units of a code point into units (room for 2); gives how many.
int CodePointToUtf16(long codePoint, unsigned short *units);
