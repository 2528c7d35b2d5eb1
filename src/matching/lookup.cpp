// The text lookup for a song (exact pass, then the fuzzy pass) and the title line.
//
// Taken literally, the fuzzy pass rebuilds every text key at every prefix length and
// compares character by character: over 0.1 s for one song with 2000 long texts, and
// "skip" may chain 5000 such lookups, all on the UI thread. Here the text keys are
// built once per TextList and aimai value, and one comparison per text gives the
// longest prefix length at which it matches; as a text that matches a prefix also
// matches every shorter one, the winning length and text follow from those lengths.
// The keys are also kept in sorted order, so that both passes look only at the texts
// that begin like the song: a binary search finds them, side by side.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"
#include "textview/text_timing.h"
#include "textview/textbuffer.h"

const char NO_TEXT_SHOWN[] = "無し";

namespace {

// Padded with zeros to KEY_BYTES + 8 so comparisons can read whole words.
enum { PADDED_BYTES = KEY_BYTES + 8 };

struct TextKeyCache {
  bool valid;
  int aimai;
  int count;
  unsigned generation;
  char keys[TEXT_CAPACITY][KEY_BYTES];               // the text keys as TextName gives them
  unsigned char folded[TEXT_CAPACITY][PADDED_BYTES];  // every byte 'a'-'z' folded
  unsigned char canonical[TEXT_CAPACITY][PADDED_BYTES];  // single-byte characters folded
  short lengths[TEXT_CAPACITY];
  short byFolded[TEXT_CAPACITY];     // text indices in the order of their folded keys
  short byCanonical[TEXT_CAPACITY];  // and of their canonical keys; ties by index
};

TextKeyCache TextKeys;

int BoundedLength(const char *key) {
  int n = 0;
  while (n < KEY_BYTES - 1 && key[n]) ++n;
  return n;
}

// Every byte folded: the exact pass compares these with memcmp.
void FoldAll(const char *key, int length, unsigned char *out) {
  std::memset(out, 0, PADDED_BYTES);
  for (int i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(UpperAscii(key[i]));
}

// Single-byte characters folded, double-byte ones kept: two such strings agree byte
// for byte exactly where the prefix comparison finds their characters equal. Marks in
// firstBytes (when given) the bytes that begin a double-byte character.
void Canonicalise(const char *key, int length, unsigned char *out, bool *firstBytes) {
  std::memset(out, 0, PADDED_BYTES);
  if (firstBytes) std::memset(firstBytes, 0, PADDED_BYTES);
  for (int i = 0; i < length; ++i) {
    const unsigned char b = static_cast<unsigned char>(key[i]);
    if (!IsLeadRangeByte(b)) {
      out[i] = static_cast<unsigned char>(UpperAscii(key[i]));
      continue;
    }
    if (firstBytes) firstBytes[i] = true;
    out[i] = b;
    if (i + 1 < length) {
      out[i + 1] = static_cast<unsigned char>(key[i + 1]);
      ++i;
    }
  }
}

// First index at which two padded strings differ, looking no further than limit
// (returns limit + 1 when they agree up to and including it).
int FirstDifference(const unsigned char *a, const unsigned char *b, int limit) {
  int i = 0;
  for (; i <= limit; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) break;
  }
  for (; i <= limit; ++i)
    if (a[i] != b[i]) return i;
  return limit + 1;
}

// The song side of a lookup, prepared once.
struct SongSide {
  int length;
  unsigned char canonical[PADDED_BYTES];
  unsigned char folded[PADDED_BYTES];
  bool firstBytes[PADDED_BYTES];  // byte i begins a double-byte character
};

void PrepareSong(const char *songKey, SongSide *song) {
  song->length = BoundedLength(songKey);
  Canonicalise(songKey, song->length, song->canonical, song->firstBytes);
  FoldAll(songKey, song->length, song->folded);
}

// The end of a string: its NUL, or a first byte followed by the NUL.
bool IsEnd(const unsigned char *s, int i) { return s[i] == 0 || (IsLeadRangeByte(s[i]) && s[i + 1] == 0); }

// The longest prefix length at which the comparison finds the song and a text equal,
// capped at the song's length. The strings agree on every byte before the first
// difference m, so the comparison walks in step up to m, and what it decides there
// depends only on the characters at m.
int MatchedPrefix(const SongSide &song, const unsigned char *text) {
  const unsigned char *s = song.canonical;
  const int m = FirstDifference(s, text, song.length);
  if (m > song.length) return song.length;  // both ended together: equal at every length
  if (m > 0 && song.firstBytes[m - 1]) return m;  // they differ in a second byte
  int matched;
  if (IsEnd(s, m) && IsEnd(text, m)) {
    matched = song.length;  // a first byte before the NUL reads as the end
  } else if (IsLeadRangeByte(s[m]) || (IsLeadRangeByte(text[m]) && !IsEnd(text, m))) {
    matched = m + 1;  // a double-byte character that begins at the last byte counts as equal
  } else {
    matched = m;
  }
  return matched < song.length ? matched : song.length;
}

bool Abandoned(const char *songKey, const bool *firstBytes, int n) {
  if (firstBytes[n - 1]) return true;
  return songKey[n - 1] == '(' && !(n >= 2 && firstBytes[n - 2]);
}

void SortKeys(const unsigned char (*keys)[PADDED_BYTES], int count, short *order) {
  for (int i = 0; i < count; ++i) order[i] = static_cast<short>(i);
  std::sort(order, order + count, [keys](short a, short b) {
    const int c = std::memcmp(keys[a], keys[b], PADDED_BYTES);
    return c < 0 || (c == 0 && a < b);
  });
}

void EnsureTextKeys() {
  const int aimai = Settings.aimai != 0;
  if (TextKeys.valid && TextKeys.aimai == aimai && TextKeys.count == TextList.count &&
      TextKeys.generation == TextList.generation)
    return;
  char stem[KEY_BYTES];
  for (int i = 0; i < TextList.count; ++i) {
    PathStem(TextList.paths[i], stem);
    MakeKey(stem, aimai, TextKeys.keys[i]);
    const int length = BoundedLength(TextKeys.keys[i]);
    TextKeys.lengths[i] = static_cast<short>(length);
    FoldAll(TextKeys.keys[i], length, TextKeys.folded[i]);
    Canonicalise(TextKeys.keys[i], length, TextKeys.canonical[i], nullptr);
  }
  SortKeys(TextKeys.folded, TextList.count, TextKeys.byFolded);
  SortKeys(TextKeys.canonical, TextList.count, TextKeys.byCanonical);
  TextKeys.aimai = aimai;
  TextKeys.count = TextList.count;
  TextKeys.generation = TextList.generation;
  TextKeys.valid = true;
}

// The first place in order at which key would go: every key before it is smaller.
int LowerBound(const unsigned char (*keys)[PADDED_BYTES], const short *order, int count,
               const unsigned char *key) {
  const short *at = std::lower_bound(order, order + count, key, [keys](short i, const unsigned char *k) {
    return std::memcmp(keys[i], k, PADDED_BYTES) < 0;
  });
  return static_cast<int>(at - order);
}

// How many leading bytes the song and text i share (at most the song's length + 1).
int Agreement(const SongSide &song, int i) {
  return FirstDifference(song.canonical, TextKeys.canonical[i], song.length);
}

// The texts sharing at least k leading bytes with the song: a run of the sorted order
// around the song's own place, from *first up to *last (exclusive).
void SharingRun(const SongSide &song, int place, int k, int *first, int *last) {
  const short *order = TextKeys.byCanonical;
  int lo = place, hi = place;
  while (lo > 0 && Agreement(song, order[lo - 1]) >= k) --lo;
  while (hi < TextKeys.count && Agreement(song, order[hi]) >= k) ++hi;
  *first = lo;
  *last = hi;
}

// The .lrc beside text i, a .txt: the text of the same key whose path is i's with the
// extension .lrc. Texts of one key sit side by side in the folded order.
int TimedTwinOf(int i) {
  char twin[PATH_BYTES];
  if (!IsTextFileName(PathName(TextList.paths[i])) || !TimedTwinPath(TextList.paths[i], twin)) return -1;
  const short *order = TextKeys.byFolded;
  for (int r = LowerBound(TextKeys.folded, order, TextKeys.count, TextKeys.folded[i]);
       r < TextKeys.count && std::memcmp(TextKeys.folded[order[r]], TextKeys.folded[i], PADDED_BYTES) == 0; ++r)
    if (KeysEqualExactly(TextList.paths[order[r]], twin)) return order[r];
  return -1;
}

// Only a pair costs a look into the files.
void ChooseTimedTwin(TextLookup *result) {
  result->twin = -1;
  result->twinRule = TWIN_NONE;
  if (result->index < 0) return;
  const int twin = TimedTwinOf(result->index);
  if (twin < 0) return;
  result->twin = twin;
  if (!TextFileIsTimed(TextList.paths[twin])) {
    result->twinRule = TWIN_NOT_TIMED;
  } else if (TextFileIsTimed(TextList.paths[result->index])) {
    result->twinRule = TWIN_BOTH_TIMED;
  } else {
    result->twinRule = TWIN_TIMED_SHOWN;
    result->twin = result->index;
    result->index = twin;
  }
}

}  // namespace

void InvalidateTextKeys() { TextKeys.valid = false; }

const char *CachedTextKey(int textIndex) {
  EnsureTextKeys();
  return TextKeys.keys[textIndex];
}

bool KeysEqualExactly(const char *songKey, const char *textKey) {
  size_t i = 0;
  for (; songKey[i] && textKey[i]; ++i) {
    if (UpperAscii(songKey[i]) != UpperAscii(textKey[i]))
      return false;
  }
  return songKey[i] == textKey[i];
}

int CommonPrefixLength(const char *songKey, const char *textKey) {
  SongSide song;
  PrepareSong(songKey, &song);
  unsigned char text[PADDED_BYTES];
  Canonicalise(textKey, BoundedLength(textKey), text, nullptr);
  return MatchedPrefix(song, text);
}

bool IsAbandonedPrefix(const char *songKey, int n) {
  SongSide song;
  PrepareSong(songKey, &song);
  return n >= 1 && n <= song.length && Abandoned(songKey, song.firstBytes, n);
}

// The two passes over the sorted keys. The exact pass's equal texts sit together, the
// lowest index first. In the fuzzy pass a text matches at most one byte further than it
// agrees with the song, so the texts that can reach the winning length are the run of
// those agreeing on at least one byte less; the rest cannot be candidates.
void LookUpTextKey(const char *songKey, TextLookup *result) {
  EnsureTextKeys();
  *result = TextLookup{-1, LOOKUP_NONE, 0, 0, songKey, nullptr, nullptr, -1, TWIN_NONE};
  SongSide song;
  PrepareSong(songKey, &song);
  const int count = TextKeys.count;
  const int length = song.length;

  const int equal = LowerBound(TextKeys.folded, TextKeys.byFolded, count, song.folded);
  if (equal < count && std::memcmp(TextKeys.folded[TextKeys.byFolded[equal]], song.folded, PADDED_BYTES) == 0) {
    *result = TextLookup{TextKeys.byFolded[equal], LOOKUP_EXACT, 0, 1, songKey, nullptr, nullptr, -1, TWIN_NONE};
    return;
  }
  if (!TextKeys.aimai || length <= 2 || count == 0) return;

  const short *order = TextKeys.byCanonical;
  const int place = LowerBound(TextKeys.canonical, order, count, song.canonical);
  int agreed = 0;  // the most bytes any text agrees on: its neighbours in the order
  if (place > 0) agreed = Agreement(song, order[place - 1]);
  if (place < count) agreed = std::max(agreed, Agreement(song, order[place]));
  if (agreed < 1) return;  // no text can match 2 bytes

  int first, last, longest = 0;
  SharingRun(song, place, std::max(agreed - 1, 1), &first, &last);
  for (int r = first; r < last; ++r) longest = std::max(longest, MatchedPrefix(song, TextKeys.canonical[order[r]]));
  // The literal pass takes the longest length, below the full key, that is not
  // abandoned and that some text matches.
  int n = longest < length - 1 ? longest : length - 1;
  while (n >= 2 && Abandoned(songKey, song.firstBytes, n)) --n;
  if (n < 2) return;

  SharingRun(song, place, n - 1, &first, &last);
  int best = -1, candidates = 0;
  for (int r = first; r < last; ++r) {
    const int i = order[r];
    if (MatchedPrefix(song, TextKeys.canonical[i]) < n) continue;
    ++candidates;
    const bool shorter = best < 0 || TextKeys.lengths[i] < TextKeys.lengths[best];
    if (shorter || (TextKeys.lengths[i] == TextKeys.lengths[best] && i < best)) best = i;  // ties: lower index
  }
  *result = TextLookup{best, LOOKUP_FUZZY, n, candidates, songKey, nullptr, nullptr, -1, TWIN_NONE};
}

void MatchedPrefixLengths(const char *songKey, int *lengths) {
  EnsureTextKeys();
  SongSide song;
  PrepareSong(songKey, &song);
  for (int i = 0; i < TextKeys.count; ++i) lengths[i] = MatchedPrefix(song, TextKeys.canonical[i]);
}

const char *SongExtension(const char *path) {
  const char *dot = std::strrchr(path, '.');
  return dot ? dot + 1 : "Music";
}

void LookUpSongText(int songIndex, int attempt, TextLookup *result) {
  const char *songKey = SongTitle(songIndex);
  LookUpTextKey(songKey, result);
  ChooseTimedTwin(result);
  result->extension = SongExtension(MusicList.paths[songIndex]);
  if (result->index >= 0) {
    result->textShown = TextName(result->index);
  } else if (!Settings.skip || attempt >= MusicList.count) {
    result->textShown = NO_TEXT_SHOWN;
  }
  // Otherwise another song will be tried at once: the title line stays as it is.
}

void FormatTitleLine(char *out, size_t size, const char *extension, const char *songKey,
                     const char *artist, const char *textShown) {
  if (size == 0) return;
  int n = artist[0] ? std::snprintf(out, size, "BRAMLOE: %s:%s(%s)   TXT:%s", extension, songKey, artist, textShown)
                    : std::snprintf(out, size, "BRAMLOE: %s:%s   TXT:%s", extension, songKey, textShown);
  if (n < 0) {
    out[0] = '\0';
  } else if (static_cast<size_t>(n) >= size && size >= 2 && IsLeadByteAt(out, static_cast<int>(size) - 2)) {
    out[size - 2] = '\0';  // snprintf cut the line inside a double-byte character
  }
}
