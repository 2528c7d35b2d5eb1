#include "library/sjis_bytes.h"

bool IsLeadRangeByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrailRangeByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

const char *LastSingleByte(const char *text, char byte) {
  const char *found = nullptr;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    if (IsLeadRangeByte(*p) && p[1])
      ++p;
    else if (*p == static_cast<unsigned char>(byte))
      found = reinterpret_cast<const char *>(p);
  }
  return found;
}
