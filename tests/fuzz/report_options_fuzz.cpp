// The match report's options from any command line: a line it takes sets only what
// was given, one it refuses says why, and the reason never overruns its buffer.
#include <cstring>
#include <vector>

#include "app/report_options.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 4096) return 0;
  FuzzInput in = {data, size};
  const size_t errorSize = TakeByte(&in) % 64;
  std::vector<std::string> args = {"bramloe-match"};
  while (in.size && args.size() < 32) args.push_back(TakePiece(&in, '\0'));
  std::vector<const char *> argv;
  for (const std::string &arg : args) argv.push_back(arg.c_str());

  ReportOptions options;
  char error[80];
  std::memset(error, 0x7F, sizeof error);
  const bool taken = ParseReportOptions(static_cast<int>(argv.size()), argv.data(), &options, error, errorSize);
  for (size_t i = errorSize; i < sizeof error; ++i) FUZZ_CHECK(error[i] == 0x7F);
  if (errorSize) FUZZ_CHECK(std::memchr(error, '\0', errorSize) != nullptr);
  if (!taken) {
    if (errorSize > 1) FUZZ_CHECK(error[0] != '\0');
    return 0;
  }
  if (errorSize) FUZZ_CHECK(error[0] == '\0');
  FUZZ_CHECK(options.aimai >= -1 && options.aimai <= 1 && options.skip >= -1 && options.skip <= 1);
  // Every value taken is one of the arguments, and a folder is never empty.
  for (const char *folder : {options.music, options.text}) {
    if (!folder) continue;
    FUZZ_CHECK(folder[0] != '\0');
    bool found = false;
    for (const char *arg : argv) found = found || arg == folder;
    FUZZ_CHECK(found);
  }
  return 0;
}
