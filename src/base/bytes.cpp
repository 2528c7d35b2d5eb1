#include "base/bytes.h"

bool IsLeadRangeByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrailRangeByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

int CharBytesAt(const char *text, int at) {
  return IsLeadRangeByte(static_cast<unsigned char>(text[at])) && text[at + 1] ? 2 : 1;
}

const char *LastSingleByte(const char *text, char byte) {
  const char *found = nullptr;
  for (int at = 0; text[at]; at += CharBytesAt(text, at))
    if (text[at] == byte) found = text + at;
  return found;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
