// The settings file's values as read back from any text: aimai and skip through their
// 4-byte buffer, a stored pitch through its 260-byte one, the settings file's path
// for any profile folder and the pitch key for any song path.
#include <cmath>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "player/pitch.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzInput in = {data, size};
  const std::string value = AsCString(TakePiece(&in, '\n'));
  const std::string profile = AsCString(TakePiece(&in, '\n'));
  std::string song = AsCString(std::string(reinterpret_cast<const char *>(in.data), in.size));
  if (song.size() > 259) song.resize(259);

  // What the option buffers keep: at most three characters.
  const std::string option = value.substr(0, 3);
  for (int parsed : {ParseAutoBase(option.c_str()), ParseDecimal(option.c_str())}) {
    // Written back with %d and read again, a value that fits the buffer is kept.
    char written[16];
    std::snprintf(written, sizeof written, "%d", parsed);
    if (std::strlen(written) <= 3) FUZZ_CHECK(ParseAutoBase(written) == parsed);
  }
  std::string cents = value.substr(0, 259);
  const int stored = ParseDecimal(cents.c_str());
  char written[16];
  std::snprintf(written, sizeof written, "%d", stored);
  FUZZ_CHECK(ParseDecimal(written) == stored);
  FUZZ_CHECK(!std::isnan(PitchRate(stored)) && PitchRate(stored) >= 0.0);
  const int shifted = ShiftCents(stored, 1200);
  FUZZ_CHECK(shifted >= stored);

  char path[260];
  SettingsFilePathFor(profile.c_str(), path);
  const size_t length = std::strlen(path);
  FUZZ_CHECK(length <= 259 && length >= 11);
  FUZZ_CHECK(std::strcmp(path + length - 11, "BRAMLOE.INI") == 0);
  if (!profile.empty() && profile.size() + 12 <= 259)
    FUZZ_CHECK(path == profile + "\\BRAMLOE.INI");
  else
    FUZZ_CHECK(std::strcmp(path, "BRAMLOE.INI") == 0);

  char key[260];
  PitchEntryKey(song.c_str(), key);
  FUZZ_CHECK(std::strlen(key) == song.size() && std::strchr(key, '=') == nullptr);
  for (size_t i = 0; i < song.size(); ++i) FUZZ_CHECK(key[i] == (song[i] == '=' ? '|' : song[i]));
  return 0;
}
