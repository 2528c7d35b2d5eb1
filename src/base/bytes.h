// The byte classes every floor shares: Shift-JIS (code page 932) lead and trail bytes,
// the walk that steps over whole characters, and the ASCII classes and case folding.
// Portable, and the lowest floor: it includes nothing of the program's own.
#pragma once

bool IsLeadRangeByte(unsigned char b);   // 0x81-0x9F, 0xE0-0xFC
bool IsTrailRangeByte(unsigned char b);  // 0x40-0x7E, 0x80-0xFC

// The bytes of the character that starts at text[at]: 2 for a lead byte with a byte
// after it, 1 otherwise (a lead byte before the NUL stands alone).
int CharBytesAt(const char *text, int at);

// The last single-byte character byte of text (never a second byte), or null. 0x5C, the
// path separator, is also a valid second byte (ソ, 表).
const char *LastSingleByte(const char *text, char byte);

// Inline: the lookup folds every byte of its keys with these.
inline bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }  // space or tab
// 'a'-'z' to 'A'-'Z', and back; every other byte as it is.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
