#include "textview/text_encoding.h"

namespace {

enum { REPLACEMENT = 0xFFFD };

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The bytes a sequence with this first byte takes; 1 for a byte no sequence begins
// with, which is then found malformed at once.
int Utf8Span(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 1;
}

// Length of the well-formed UTF-8 sequence at bytes[0..size), 0 when it is not one:
// no overlong forms, no surrogates, nothing above U+10FFFF.
int Utf8SequenceLength(const unsigned char *s, size_t size, long *codePoint) {
  const unsigned char b = s[0];
  int length;
  long value;
  long least;
  if (b < 0x80) {
    *codePoint = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    length = 2, value = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, value = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, value = b & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (size < static_cast<size_t>(length)) return 0;
  for (int i = 1; i < length; ++i) {
    if (!IsContinuation(s[i])) return 0;
    value = (value << 6) | (s[i] & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}

void DropPending(TextDecoder *d, int n) {
  for (int i = n; i < d->pendingCount; ++i) d->pending[i - n] = d->pending[i];
  d->pendingCount -= n;
}

long NextUtf8(TextDecoder *d, const unsigned char **at, const unsigned char *end, bool last) {
  if (d->pendingCount == 0) {
    if (*at == end) return -1;
    if (**at < 0x80) return *(*at)++;
    d->pending[d->pendingCount++] = *(*at)++;
  }
  const int span = Utf8Span(d->pending[0]);
  while (d->pendingCount < span && *at < end) d->pending[d->pendingCount++] = *(*at)++;
  if (d->pendingCount < span && !last) return -1;
  long codePoint;
  int length = Utf8SequenceLength(d->pending, static_cast<size_t>(d->pendingCount), &codePoint);
  if (length == 0) {
    // One replacement for the first byte; the bytes after it are read afresh.
    d->malformed = true;
    codePoint = REPLACEMENT;
    length = 1;
  }
  DropPending(d, length);
  return codePoint;
}

// The next UTF-16 unit, -1 when the piece has no whole one left.
long TakeUnit(TextDecoder *d, const unsigned char **at, const unsigned char *end) {
  if (d->held >= 0) {
    long unit = d->held;
    d->held = -1;
    return unit;
  }
  while (d->pendingCount < 2 && *at < end) d->pending[d->pendingCount++] = *(*at)++;
  if (d->pendingCount < 2) return -1;
  d->pendingCount = 0;
  const unsigned char *s = d->pending;
  return d->encoding == TEXT_UTF16_LE ? s[0] | s[1] << 8 : s[0] << 8 | s[1];
}

long NextUtf16(TextDecoder *d, const unsigned char **at, const unsigned char *end, bool last) {
  long unit = d->high >= 0 ? d->high : TakeUnit(d, at, end);
  d->high = -1;
  if (unit < 0) {
    if (!last || d->pendingCount == 0) return -1;
    d->pendingCount = 0;  // an odd byte at the end
    d->malformed = true;
    return REPLACEMENT;
  }
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit >= 0xDC00) {
    d->malformed = true;
    return REPLACEMENT;
  }
  const long low = TakeUnit(d, at, end);
  if (low < 0 && !last) {
    d->high = unit;  // its partner is in the next piece
    return -1;
  }
  if (low < 0xDC00 || low > 0xDFFF) {
    d->held = low;  // the unit after stays unread
    d->malformed = true;
    return REPLACEMENT;
  }
  return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

// The mark of the first bytes of a text (all of them when there are fewer than 3).
int MarkOf(const unsigned char *b, int size, int *markBytes) {
  *markBytes = 0;
  if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    *markBytes = 3;
    return TEXT_UTF8_BOM;
  }
  if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    *markBytes = 2;
    return TEXT_UTF16_LE;
  }
  if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    *markBytes = 2;
    return TEXT_UTF16_BE;
  }
  return TEXT_SHIFT_JIS;  // no mark: what the bytes are is still open
}

// Reads a piece as UTF-8, noting whether it is still well formed and multi-byte.
void CheckUtf8(EncodingDetector *e, const unsigned char *at, const unsigned char *end, bool last) {
  for (long c; !e->utf8.malformed && (c = NextCodePoint(&e->utf8, &at, end, last)) >= 0;)
    if (c >= 0x80) e->multiByte = true;
}

void SettleMark(EncodingDetector *e, bool last) {
  e->encoding = MarkOf(e->first, e->firstCount, &e->markBytes);
  if (e->markBytes == 0) CheckUtf8(e, e->first, e->first + e->firstCount, last);
}

}  // namespace

void StartTextDecoder(TextDecoder *decoder, int encoding, int markBytes) {
  decoder->encoding = encoding;
  decoder->skip = markBytes;
  decoder->pendingCount = 0;
  decoder->high = -1;
  decoder->held = -1;
  decoder->malformed = false;
}

long NextCodePoint(TextDecoder *d, const unsigned char **at, const unsigned char *end, bool last) {
  for (; d->skip > 0 && *at < end; --d->skip) ++*at;
  if (d->encoding == TEXT_SHIFT_JIS) return *at < end ? *(*at)++ : -1;
  if (d->encoding == TEXT_UTF16_LE || d->encoding == TEXT_UTF16_BE) return NextUtf16(d, at, end, last);
  return NextUtf8(d, at, end, last);
}

void StartEncodingDetector(EncodingDetector *detector) {
  detector->firstCount = 0;
  detector->encoding = -1;
  detector->markBytes = 0;
  detector->multiByte = false;
  StartTextDecoder(&detector->utf8, TEXT_UTF8, 0);
}

void FeedEncodingDetector(EncodingDetector *e, const unsigned char *bytes, size_t size) {
  const unsigned char *end = bytes + size;
  while (e->encoding < 0 && e->firstCount < 3 && bytes < end) {
    e->first[e->firstCount++] = *bytes++;
    if (e->firstCount == 3) SettleMark(e, false);
  }
  if (e->markBytes == 0) CheckUtf8(e, bytes, end, false);
}

int FinishEncodingDetector(EncodingDetector *e, bool wholeText, int *markBytes) {
  if (e->encoding < 0) SettleMark(e, wholeText);
  *markBytes = e->markBytes;
  if (e->markBytes) return e->encoding;
  // What waits in the reader is a sequence cut by the end of the bytes seen.
  CheckUtf8(e, nullptr, nullptr, wholeText);
  return !e->utf8.malformed && e->multiByte ? TEXT_UTF8 : TEXT_SHIFT_JIS;
}

int DetectTextEncoding(const unsigned char *bytes, size_t size, int *markBytes) {
  EncodingDetector detector;
  StartEncodingDetector(&detector);
  FeedEncodingDetector(&detector, bytes, size);
  return FinishEncodingDetector(&detector, true, markBytes);
}

int CodePointToUtf16(long codePoint, unsigned short *units) {
  if (codePoint < 0x10000) {
    units[0] = static_cast<unsigned short>(codePoint);
    return 1;
  }
  long v = codePoint - 0x10000;
  units[0] = static_cast<unsigned short>(0xD800 + (v >> 10));
  units[1] = static_cast<unsigned short>(0xDC00 + (v & 0x3FF));
  return 2;
}
