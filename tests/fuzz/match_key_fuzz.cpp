// Match keys and stems of any bytes agree with the literal rules; keys stay within
// 255 bytes with fuzzy matching on and off.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "matching/matching.h"
#include "native/matching_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 1024) return 0;  // the reference rescans backwards: quadratic in runs of first bytes
  FuzzInput in = {data, size};
  const int aimai = TakeByte(&in) & 1;
  const std::string source = AsCString(std::string(reinterpret_cast<const char *>(in.data), in.size));

  char key[KEY_BYTES];
  BuildMatchKey(source.c_str(), key);
  FUZZ_CHECK(std::strlen(key) <= KEY_BYTES - 1);
  FUZZ_CHECK(ref::BuildMatchKey(source) == key);

  MakeKey(source.c_str(), aimai, key);
  FUZZ_CHECK(ref::Key(source, aimai) == key);

  char stem[KEY_BYTES];
  PathStem(source.c_str(), stem);
  FUZZ_CHECK(ref::Stem(source) == stem);

  const int cut = CutAtCharacter(source.c_str(), KEY_BYTES - 1);
  FUZZ_CHECK(cut >= 0 && cut <= KEY_BYTES - 1 && cut <= static_cast<int>(source.size()));
  return 0;
}
