// Shift-JIS (code page 932) byte classes, and the one walk over a path that steps over
// whole characters: 0x5C, the path separator, is also a valid second byte (ソ, 表).
#pragma once

bool IsLeadRangeByte(unsigned char b);   // 0x81-0x9F, 0xE0-0xFC
bool IsTrailRangeByte(unsigned char b);  // 0x40-0x7E, 0x80-0xFC

// The last single-byte character byte of text (never a second byte), or null.
const char *LastSingleByte(const char *text, char byte);
