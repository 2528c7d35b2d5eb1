// Splitting one fuzzed input into the pieces a target needs, and the check that
// reports a broken rule as a crash the fuzzer keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

struct FuzzInput {
  const uint8_t *data;
  size_t size;
};

// The next byte, 0 once the input is used up.
inline uint8_t TakeByte(FuzzInput *in) {
  if (!in->size) return 0;
  --in->size;
  return *in->data++;
}

// Bytes up to the next separator (not included) or the end.
inline std::string TakePiece(FuzzInput *in, uint8_t separator) {
  std::string piece;
  while (in->size) {
    uint8_t b = TakeByte(in);
    if (b == separator) break;
    piece += static_cast<char>(b);
  }
  return piece;
}

// A piece as the C string the product sees: cut at its first NUL.
inline std::string AsCString(const std::string &s) { return std::string(s.c_str()); }

#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "%s:%d: rule broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)
