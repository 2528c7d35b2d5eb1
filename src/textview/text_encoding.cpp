#include "textview/text_encoding.h"

namespace {

enum { REPLACEMENT = 0xFFFD };

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

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

// Valid UTF-8 throughout, and not ASCII alone.
bool IsMultiByteUtf8(const unsigned char *bytes, size_t size) {
  bool multiByte = false;
  for (size_t at = 0; at < size;) {
    if (bytes[at] < 0x80) {
      ++at;
      continue;
    }
    long ignored;
    int length = Utf8SequenceLength(bytes + at, size - at, &ignored);
    if (length == 0) return false;
    multiByte = true;
    at += length;
  }
  return multiByte;
}

unsigned Utf16Unit(const TextDecoder *d, size_t at) {
  const unsigned char *s = d->bytes + at;
  return d->encoding == TEXT_UTF16_LE ? s[0] | s[1] << 8 : s[0] << 8 | s[1];
}

long NextUtf16(TextDecoder *d) {
  if (d->size - d->at < 2) {
    if (d->at == d->size) return -1;
    d->at = d->size;  // an odd byte at the end
    return REPLACEMENT;
  }
  unsigned unit = Utf16Unit(d, d->at);
  d->at += 2;
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit >= 0xDC00 || d->size - d->at < 2) return REPLACEMENT;
  unsigned low = Utf16Unit(d, d->at);
  if (low < 0xDC00 || low > 0xDFFF) return REPLACEMENT;  // the unit after stays unread
  d->at += 2;
  return 0x10000 + ((static_cast<long>(unit) - 0xD800) << 10) + (low - 0xDC00);
}

}  // namespace

int DetectTextEncoding(const unsigned char *bytes, size_t size, int *markBytes) {
  *markBytes = 0;
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    *markBytes = 3;
    return TEXT_UTF8_BOM;
  }
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    *markBytes = 2;
    return TEXT_UTF16_LE;
  }
  if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    *markBytes = 2;
    return TEXT_UTF16_BE;
  }
  return IsMultiByteUtf8(bytes, size) ? TEXT_UTF8 : TEXT_SHIFT_JIS;
}

void StartTextDecoder(TextDecoder *decoder, const unsigned char *bytes, size_t size) {
  int mark = 0;
  decoder->encoding = DetectTextEncoding(bytes, size, &mark);
  decoder->bytes = bytes;
  decoder->size = size;
  decoder->at = static_cast<size_t>(mark);
}

long NextCodePoint(TextDecoder *d) {
  if (d->at >= d->size) return -1;
  if (d->encoding == TEXT_SHIFT_JIS) return d->bytes[d->at++];
  if (d->encoding == TEXT_UTF16_LE || d->encoding == TEXT_UTF16_BE) return NextUtf16(d);
  long codePoint;
  int length = Utf8SequenceLength(d->bytes + d->at, d->size - d->at, &codePoint);
  if (length == 0) {
    // One replacement for the first byte; the bytes after it are read afresh.
    ++d->at;
    return REPLACEMENT;
  }
  d->at += length;
  return codePoint;
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
