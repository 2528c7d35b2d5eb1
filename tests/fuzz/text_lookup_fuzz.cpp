// The text lookup over a fuzzed TextList gives what the literal rules give: the same
// text, pass, prefix length and candidates, and the same cached text keys.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "library/library.h"
#include "matching/matching.h"
#include "native/matching_reference.h"
#include "native/text_list_fixture.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 4096) return 0;
  FuzzInput in = {data, size};
  const int aimai = TakeByte(&in) & 1;
  // The title, then the text paths, one a line.
  const std::string title = AsCString(TakePiece(&in, '\n'));
  std::vector<std::string> paths;
  while (in.size && paths.size() < 64) {
    std::string path = AsCString(TakePiece(&in, '\n'));
    if (path.size() > PATH_BYTES - 1) path.resize(PATH_BYTES - 1);
    paths.push_back(path);
  }

  SetTextList(paths, aimai);

  char key[KEY_BYTES];
  MakeKey(title.c_str(), aimai, key);
  TextLookup got;
  LookUpTextKey(key, &got);
  const ref::Result want = ref::Find(key, paths, aimai);
  FUZZ_CHECK(want.index == got.index);
  FUZZ_CHECK(want.pass == got.pass);
  FUZZ_CHECK(want.prefixLength == got.prefixLength);
  FUZZ_CHECK(want.candidates == got.candidateCount);
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string textKey = ref::TextName(paths[i], aimai);
    FUZZ_CHECK(textKey == CachedTextKey(static_cast<int>(i)));
    int longest = 0;
    for (int n = 1; n <= static_cast<int>(std::strlen(key)); ++n)
      if (ref::PrefixEqual(key, textKey, n)) longest = n;
    FUZZ_CHECK(longest == CommonPrefixLength(key, textKey.c_str()));
  }
  TextList.count = 0;
  InvalidateTextKeys();
  return 0;
}
