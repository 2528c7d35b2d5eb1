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
