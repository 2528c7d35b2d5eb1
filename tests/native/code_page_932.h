// The code page 932 table the text tests load with: the player's own converter under
// Windows, the C library's iconv natively.
#pragma once

#ifdef _WIN32
#include "textview/textview_win.h"

inline int TestCodePage932(long codePoint, unsigned char *out) {
  return CodePage932FromPlatform(codePoint, out);
}
#else
#include <iconv.h>

inline int TestCodePage932(long codePoint, unsigned char *out) {
  static iconv_t converter = iconv_open("CP932", "UTF-32LE");
  if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
                static_cast<char>((codePoint >> 16) & 0xFF), 0};
  char bytes[8];
  char *from = in, *to = bytes;
  size_t inLeft = sizeof in, outLeft = sizeof bytes;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &from, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) return 0;
  const int n = static_cast<int>(sizeof bytes - outLeft);
  if (n < 1 || n > 2) return 0;
  for (int i = 0; i < n; i++) out[i] = static_cast<unsigned char>(bytes[i]);
  return n;
}
#endif
