// The match report's command line, parsed without the platform.
#pragma once

#include <cstddef>

struct ReportOptions {
  const char *music;  // null: from the settings file
  const char *text;
  int aimai;          // -1: from the settings file
  int skip;
  bool utf8;
  bool help;
};

// Fills options from argv[1..argc-1]. False for an option it does not know or a value
// that does not fit, with the reason in error (size bytes, never overrun).
bool ParseReportOptions(int argc, const char *const *argv, ReportOptions *options, char *error,
                        size_t size);
