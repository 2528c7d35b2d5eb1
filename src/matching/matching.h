// Matching: character boundaries, match keys, song titles and text names, the text
// lookup and the title line. Portable; the caption itself is set in matching_win.cpp.
#pragma once

#include <cstddef>

#include "base/bytes.h"

enum {
  KEY_BYTES = 256,         // a MatchKey, song key or text key: at most 255 bytes and the NUL
  ARTIST_BYTES = 31,       // SongArtist: at most 30 bytes and the NUL
  TITLE_LINE_BYTES = 1024, // holds every title line the lists can produce
};

// ---- Byte classes (code page 932) ----

// IsLeadRangeByte and IsTrailRangeByte: base/bytes.h.

// 1 when text[index] is the first byte of a double-byte character, else 0.
int IsLeadByteAt(const char *text, int index);
// 0 single-byte character, 1 first byte, 2 valid second byte, -1 invalid second byte.
int ByteTypeAt(const char *text, int index);
// Full-width character for a half-width katakana byte: first byte in the low 8 bits.
unsigned short HalfToFullKana(unsigned char b);

// Writes the MatchKey of source into key (KEY_BYTES). A key longer than 255 bytes is
// cut to 255, less a first byte whose second byte was cut off.
void BuildMatchKey(const char *source, char *key);

// Length of text cut to at most limit bytes without splitting a double-byte character.
int CutAtCharacter(const char *text, int limit);

// ---- Song titles and text names ----

extern char SongArtist[ARTIST_BYTES];  // artist of the last SongTitle call; "" for none

// The title of the last SongTitle call as it was read, before it was made a key.
struct SongTitleReadRecord {
  char title[KEY_BYTES];
  bool fromTag;  // the ID3v1 tag gave it; else the file name's stem
};
extern SongTitleReadRecord SongTitleRead;

// The title of MusicList entry songIndex (ID3v1 title, else the file name's stem) as
// the song key: a MatchKey when Settings.aimai is on. Valid until the next call.
const char *SongTitle(int songIndex);
// The stem of TextList entry textIndex as the text key. Valid until the next call.
const char *TextName(int textIndex);

// The stem of a path (name after the last '\', without its extension, Shift-JIS
// aware) into stem (KEY_BYTES), cut to at most 255 bytes at a character boundary.
void PathStem(const char *path, char *stem);
// The title and artist fields of a 128-byte ID3v1 tag; false when tag is not one.
// title (KEY_BYTES) is "" when the field is empty or begins with a space.
bool ReadTagFields(const unsigned char *tag, char *title, char *artist);
// The same for the ID3v1 tag at the end of the file at path, read as SongTitle reads
// it; a file that cannot be read, or is shorter than a tag, has none.
bool ReadSongTagFields(const char *path, char *title, char *artist);
// title or stem as a key: its MatchKey when aimai is non-zero, else a copy.
void MakeKey(const char *name, int aimai, char *key);

// ---- Text lookup ----

// The text keys of the TextList are built once and kept. A rebuild of the list (its
// generation), a change of Settings.aimai or of TextList.count is noticed; anything
// else that rewrites TextList.paths must call InvalidateTextKeys afterwards.
void InvalidateTextKeys();

enum LookupPass { LOOKUP_NONE = 0, LOOKUP_EXACT = 1, LOOKUP_FUZZY = 2 };

struct TextLookup {
  int index;            // TextList index found, -1 for none
  int pass;             // LookupPass that found it
  int prefixLength;     // fuzzy pass: the prefix length that gave candidates; else 0
  int candidateCount;   // texts equal at that length (fuzzy) or 1 (exact); 0 for none
  const char *songKey;  // the song key looked up
  // Filled by LookUpSongText only:
  const char *extension;  // the song path after its last '.', or "Music"
  const char *textShown;  // text for the title line; null when it must stay as it is
  int twin;               // the other of a pair x.txt and x.lrc in one folder; -1 for none
  int twinRule;           // TwinRule: which of the pair is shown
};

enum TwinRule {
  TWIN_NONE = 0,
  TWIN_TIMED_SHOWN = 1,  // x.lrc is timed and x.txt is not: x.lrc is shown
  TWIN_NOT_TIMED = 2,    // x.lrc is not timed: x.txt is shown
  TWIN_BOTH_TIMED = 3,   // both are timed: x.txt is shown
};

// Both passes for songKey over the TextList under Settings.aimai, as FindText does.
void LookUpTextKey(const char *songKey, TextLookup *result);
// All of FindText except setting the caption: song key, extension, both passes, the
// timed twin and what the title line should show for this attempt (1 for the first try).
// Where the passes find x.txt and x.lrc lies beside it, the start of each file is read:
// x.lrc is shown when it alone is timed.
void LookUpSongText(int songIndex, int attempt, TextLookup *result);

// The exact pass's comparison: whole strings, every byte with 'a'-'z' folded.
bool KeysEqualExactly(const char *songKey, const char *textKey);
// The largest n <= strlen(songKey) for which the fuzzy pass's prefix comparison over
// n bytes finds songKey and textKey equal (it holds for every smaller n too); 0 if none.
int CommonPrefixLength(const char *songKey, const char *textKey);
// CommonPrefixLength of songKey against every cached text key, into lengths
// (TextList.count entries), with the song side prepared once.
void MatchedPrefixLengths(const char *songKey, int *lengths);
// True when the fuzzy pass abandons prefix length n (it would end inside a
// double-byte character or just after '(').
bool IsAbandonedPrefix(const char *songKey, int n);
// The cached text key of TextList entry i (the same bytes TextName(i) gives).
const char *CachedTextKey(int textIndex);

// ---- Title line ----

// The extension shown for a song path: after its last '.', or "Music".
const char *SongExtension(const char *path);
// Formats the title line into out (size bytes, never overrun; a line that does not
// fit is cut at a character boundary). artist "" selects the format without it.
void FormatTitleLine(char *out, size_t size, const char *extension, const char *songKey,
                     const char *artist, const char *textShown);
extern const char NO_TEXT_SHOWN[];  // "無し"
