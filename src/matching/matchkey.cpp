// Character boundaries over Shift-JIS text and the MatchKey conversion.
#include "matching/matching.h"

#include <cstring>

// A byte outside the lead range always ends a character, so the run of lead-range
// bytes before index starts on a boundary and its bytes pair up.
int IsLeadByteAt(const char *text, int index) {
  const unsigned char *t = reinterpret_cast<const unsigned char *>(text);
  if (!IsLeadRangeByte(t[index])) return 0;
  int run = 0;
  for (int i = index; i >= 0 && IsLeadRangeByte(t[i]); --i) ++run;
  return run & 1;
}

int ByteTypeAt(const char *text, int index) {
  const unsigned char b = static_cast<unsigned char>(text[index]);
  if (index > 0 && IsLeadByteAt(text, index - 1)) return IsTrailRangeByte(b) ? 2 : -1;
  return IsLeadRangeByte(b) ? 1 : 0;
}

namespace {

// Half-width katakana by ranges: neighbouring bytes are step codes apart in full width.
struct KanaRange {
  unsigned char first, last;
  unsigned short full;  // full-width code of `first`, first byte in the high 8 bits
  unsigned char step;
};

const KanaRange kanaRanges[] = {
    {0xA1, 0xA1, 0x8142, 0}, {0xA2, 0xA2, 0x8175, 0}, {0xA3, 0xA3, 0x8176, 0},
    {0xA4, 0xA4, 0x8141, 0}, {0xA5, 0xA5, 0x8145, 0}, {0xA6, 0xA6, 0x8392, 0},
    {0xA7, 0xAB, 0x8340, 2}, {0xAC, 0xAE, 0x8383, 2}, {0xAF, 0xAF, 0x8362, 0},
    {0xB0, 0xB0, 0x815B, 0}, {0xB1, 0xB5, 0x8341, 2}, {0xB6, 0xC1, 0x834A, 2},
    {0xC2, 0xC4, 0x8363, 2}, {0xC5, 0xC9, 0x8369, 1}, {0xCA, 0xCE, 0x836E, 3},
    {0xCF, 0xD0, 0x837D, 1}, {0xD1, 0xD3, 0x8380, 1}, {0xD4, 0xD6, 0x8384, 2},
    {0xD7, 0xDB, 0x8389, 1}, {0xDC, 0xDC, 0x838F, 0}, {0xDD, 0xDD, 0x8393, 0},
    {0xDE, 0xDE, 0x814A, 0}, {0xDF, 0xDF, 0x814B, 0},
};

// The source walk of BuildMatchKey keeps the lead-byte run as it goes, so a byte's
// type costs nothing instead of a backward rescan; it gives what ByteTypeAt gives.
struct SourceWalk {
  const unsigned char *s;
  int i;
  int runBefore;  // lead-range bytes ending just before i

  int Type() const {
    if (runBefore & 1) return IsTrailRangeByte(s[i]) ? 2 : -1;
    return IsLeadRangeByte(s[i]) ? 1 : 0;
  }
  void Step() {
    runBefore = IsLeadRangeByte(s[i]) ? runBefore + 1 : 0;
    ++i;
  }
};

struct KeyWriter {
  char *key;
  int length;
  bool cut;

  void Put(unsigned char b) {
    if (length < KEY_BYTES - 1) {
      key[length++] = static_cast<char>(b);
    } else {
      cut = true;
    }
  }
};

}  // namespace

unsigned short HalfToFullKana(unsigned char b) {
  for (const KanaRange &r : kanaRanges) {
    if (b < r.first || b > r.last) continue;
    unsigned code = r.full + r.step * (b - r.first);
    return static_cast<unsigned short>(((code & 0xFF) << 8) | (code >> 8));
  }
  return 0x9C81;  // ● 0x819C
}

int CutAtCharacter(const char *text, int limit) {
  int length = static_cast<int>(std::strlen(text));
  if (length <= limit) return length;
  if (limit > 0 && IsLeadByteAt(text, limit - 1)) return limit - 1;
  return limit;
}

void BuildMatchKey(const char *source, char *key) {
  SourceWalk w = {reinterpret_cast<const unsigned char *>(source), 0, 0};
  KeyWriter out = {key, 0, false};
  while (w.s[w.i] && !out.cut) {
    const unsigned char b = w.s[w.i];
    const unsigned char next = w.s[w.i + 1];
    const int type = w.Type();
    if (b >= 0xA1 && b <= 0xDF && type == 0) {
      unsigned short full = HalfToFullKana(b);
      unsigned char second = static_cast<unsigned char>(full >> 8);
      bool mark = true;
      if (b >= 0xB6 && b <= 0xC4 && next == 0xDE) {
        second += 1;
      } else if (b >= 0xCA && b <= 0xCE && next == 0xDE) {
        second += 1;
      } else if (b >= 0xCA && b <= 0xCE && next == 0xDF) {
        second += 2;
      } else {
        mark = false;
      }
      out.Put(static_cast<unsigned char>(full & 0xFF));
      out.Put(second);
      w.Step();
      if (mark) w.Step();
    } else if (b == 0x81 && (next == 0x69 || next == 0x6A) && type == 1) {
      out.Put(static_cast<unsigned char>(next - 0x41));  // （ ） to ( )
      w.Step();
      w.Step();
    } else if (b == 0x82 && type == 1 && next >= 0x4F && next <= 0x58) {
      out.Put(static_cast<unsigned char>(next - 0x1F));  // ０-９
      w.Step();
      w.Step();
    } else if (b == 0x82 && type == 1 && next >= 0x60 && next <= 0x79) {
      out.Put(static_cast<unsigned char>(next - 0x1F));  // Ａ-Ｚ
      w.Step();
      w.Step();
    } else if (b == 0x82 && type == 1 && next >= 0x81 && next <= 0x9A) {
      out.Put(static_cast<unsigned char>(next - 0x20));  // ａ-ｚ
      w.Step();
      w.Step();
    } else if (b == 0x20 || (b == 0x5F && type == 0)) {
      w.Step();  // spaces and underscores carry no meaning in a name
    } else {
      out.Put(b);
      w.Step();
    }
  }
  key[out.length] = '\0';
  // A key cut at 255 bytes must not end with half a double-byte character.
  if (out.cut && IsLeadByteAt(key, out.length - 1)) key[out.length - 1] = '\0';
}
