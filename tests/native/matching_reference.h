// A literal, slow statement of the matching rules, used only by the tests as the
// reference for the product: every byte type is found by rescanning backwards, every
// text key is rebuilt from its path at every comparison, and the prefix comparison
// walks character by character with its byte count exactly as the rules describe.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace ref {

inline bool LeadRange(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool TrailRange(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
inline unsigned char At(const std::string &s, int i) {
  return i < static_cast<int>(s.size()) ? static_cast<unsigned char>(s[i]) : 0;
}

inline int IsLeadByteAt(const std::string &t, int index) {
  if (!LeadRange(At(t, index))) return 0;
  int count = 0;
  for (int i = index; i >= 0; --i) {
    if (!LeadRange(At(t, i))) break;
    ++count;
  }
  return count % 2 == 1 ? 1 : 0;
}

inline int ByteTypeAt(const std::string &t, int index) {
  if (index > 0 && IsLeadByteAt(t, index - 1) == 1) return TrailRange(At(t, index)) ? 2 : -1;
  return LeadRange(At(t, index)) ? 1 : 0;
}

// The full-width forms of 0xA1..0xDF in order, as the compiler encodes them.
inline unsigned short HalfToFullKana(unsigned char b) {
  static const char full[] =
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
      "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
  if (b < 0xA1 || b > 0xDF) return 0x9C81;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(full) + 2 * (b - 0xA1);
  return static_cast<unsigned short>(p[0] | (p[1] << 8));
}

// The key rules one by one, then the cut chosen for keys over 255 bytes: the first 255
// bytes, less a last byte that begins a double-byte character.
inline std::string BuildMatchKey(const std::string &s) {
  std::string key;
  for (int i = 0; At(s, i) != 0; ++i) {
    const unsigned char b = At(s, i);
    const unsigned char next = At(s, i + 1);
    if (b >= 0xA1 && b <= 0xDF && ByteTypeAt(s, i) == 0) {
      unsigned short full = HalfToFullKana(b);
      key += static_cast<char>(full & 0xFF);
      key += static_cast<char>(full >> 8);
      if (At(s, i) >= 0xB6 && At(s, i) <= 0xC4 && At(s, i + 1) == 0xDE) {
        key.back() = static_cast<char>(key.back() + 1);
        ++i;
      }
      if (At(s, i) >= 0xCA && At(s, i) <= 0xCE && At(s, i + 1) == 0xDE) {
        key.back() = static_cast<char>(key.back() + 1);
        ++i;
      }
      if (At(s, i) >= 0xCA && At(s, i) <= 0xCE && At(s, i + 1) == 0xDF) {
        key.back() = static_cast<char>(key.back() + 2);
        ++i;
      }
    } else if (b == 0x81 && (next == 0x69 || next == 0x6A) && ByteTypeAt(s, i) == 1) {
      key += static_cast<char>(next - 0x41);
      ++i;
    } else if (b == 0x82 && next >= 0x4F && next <= 0x58 && ByteTypeAt(s, i) == 1) {
      key += static_cast<char>(next - 0x1F);
      ++i;
    } else if (b == 0x82 && next >= 0x60 && next <= 0x79 && ByteTypeAt(s, i) == 1) {
      key += static_cast<char>(next - 0x1F);
      ++i;
    } else if (b == 0x82 && next >= 0x81 && next <= 0x9A && ByteTypeAt(s, i) == 1) {
      key += static_cast<char>(next - 0x20);
      ++i;
    } else if (b == 0x20) {
    } else if (b == 0x5F && ByteTypeAt(s, i) == 0) {
    } else {
      key += static_cast<char>(b);
    }
  }
  if (key.size() > 255) {
    key.resize(255);
    if (IsLeadByteAt(key, 254)) key.resize(254);
  }
  return key;
}

inline std::string CutTo255(std::string s) {
  if (s.size() > 255) {
    s.resize(255);
    if (IsLeadByteAt(s, 254)) s.resize(254);
  }
  return s;
}

inline std::string Stem(const std::string &path) {
  int lastSlash = -1, lastDot = -1;
  for (int i = 0; i < static_cast<int>(path.size()); ++i) {
    if (ByteTypeAt(path, i) == 2 || ByteTypeAt(path, i) == -1) continue;  // a second byte
    if (path[i] == '\\') lastSlash = i;
    if (path[i] == '.') lastDot = i;
  }
  std::string name = path.substr(lastSlash + 1);
  if (lastDot > lastSlash) name = path.substr(lastSlash + 1, lastDot - lastSlash - 1);
  return CutTo255(name);
}

inline std::string Key(const std::string &name, bool aimai) {
  return aimai ? BuildMatchKey(name) : CutTo255(name);
}

inline std::string TextName(const std::string &path, bool aimai) { return Key(Stem(path), aimai); }

inline unsigned char Upper(unsigned char b) { return b >= 'a' && b <= 'z' ? b - 32 : b; }

inline bool ExactEqual(const std::string &s, const std::string &t) {
  for (size_t i = 0;; ++i) {
    unsigned char a = Upper(At(s, static_cast<int>(i))), b = Upper(At(t, static_cast<int>(i)));
    if (a != b) return false;
    if (a == 0) return true;
  }
}

// One character of a string: 0 for the end, a folded byte, or 0x10000 + both bytes.
inline int ReadChar(const std::string &s, int &pos, bool &doubleByte) {
  unsigned char b = At(s, pos);
  doubleByte = false;
  if (LeadRange(b)) {
    if (At(s, pos + 1) == 0) return 0;  // a first byte before the NUL reads as the end
    doubleByte = true;
    int c = 0x10000 | (b << 8) | At(s, pos + 1);
    pos += 2;
    return c;
  }
  if (b) ++pos;
  return Upper(b);
}

inline bool PrefixEqual(const std::string &s, const std::string &t, int n) {
  int count = n, p = 0, q = 0;
  for (;;) {
    --count;
    bool sDouble, tDouble;
    if (LeadRange(At(s, p)) && count == 0) return true;
    int cs = ReadChar(s, p, sDouble);
    int ct = ReadChar(t, q, tDouble);
    if (tDouble) {
      if (count == 0) return true;
      --count;
    }
    if (cs != ct) return false;
    if (cs == 0 && ct == 0) return true;
    if (count == 0) return true;
  }
}

struct Result {
  int index = -1;
  int pass = 0;        // 0 none, 1 exact, 2 fuzzy
  int prefixLength = 0;
  int candidates = 0;
};

// Both passes, with every text key rebuilt from its path each time it is compared.
inline Result Find(const std::string &songKey, const std::vector<std::string> &textPaths, bool aimai) {
  Result r;
  const int count = static_cast<int>(textPaths.size());
  for (int i = 0; i < count; ++i) {
    if (ExactEqual(songKey, TextName(textPaths[i], aimai))) {
      r.index = i;
      r.pass = 1;
      r.candidates = 1;
      return r;
    }
  }
  if (!aimai) return r;
  const int length = static_cast<int>(songKey.size());
  for (int n = length - 1; n >= 2; --n) {
    int best = -1, bestLength = 1 << 30, candidates = 0;
    bool abandoned = false;
    for (int i = 0; i < count && !abandoned; ++i) {
      std::string t = TextName(textPaths[i], aimai);
      if (!PrefixEqual(songKey, t, n)) continue;
      const unsigned char last = At(songKey, n - 1);
      if (LeadRange(last) && ByteTypeAt(songKey, n - 1) == 1) abandoned = true;
      else if (last == '(' && ByteTypeAt(songKey, n - 1) == 0) abandoned = true;
      else {
        ++candidates;
        if (static_cast<int>(t.size()) < bestLength) {
          best = i;
          bestLength = static_cast<int>(TextName(textPaths[i], aimai).size());
        }
      }
    }
    if (!abandoned && best >= 0) {
      r.index = best;
      r.pass = 2;
      r.prefixLength = n;
      r.candidates = candidates;
      return r;
    }
  }
  return r;
}

// Bytes as hexadecimal pairs, for failure messages.
inline std::string Hex(const std::string &bytes) {
  std::string out;
  char two[4];
  for (unsigned char b : bytes) {
    std::snprintf(two, sizeof two, "%02X ", b);
    out += two;
  }
  return out;
}

}  // namespace ref
