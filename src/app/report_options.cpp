#include "app/report_options.h"

#include <cstdio>
#include <cstring>

static int ParseOnOff(const char *value) {
  if (std::strcmp(value, "on") == 0) return 1;
  if (std::strcmp(value, "off") == 0) return 0;
  return -1;
}

// names ends with a null.
static bool IsOneOf(const char *arg, const char *const *names) {
  for (; *names; ++names)
    if (std::strcmp(arg, *names) == 0) return true;
  return false;
}

static const char *const helpNames[] = {"--help", "-h", "/?", nullptr};
static const char *const valueNames[] = {"--music", "--text", "--aimai", "--skip", nullptr};

bool ParseReportOptions(int argc, const char *const *argv, ReportOptions *options, char *error,
                        size_t size) {
  *options = ReportOptions{nullptr, nullptr, -1, -1, false, false};
  if (size) error[0] = '\0';
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--utf8") == 0) {
      options->utf8 = true;
    } else if (IsOneOf(arg, helpNames)) {
      options->help = true;
    } else if (IsOneOf(arg, valueNames)) {
      if (i + 1 >= argc) {
        std::snprintf(error, size, "%s needs a value (see --help)", arg);
        return false;
      }
      const char *value = argv[++i];
      if (arg[2] == 'm' || arg[2] == 't') {
        if (!value[0]) {
          std::snprintf(error, size, "%s needs a folder, not an empty string", arg);
          return false;
        }
        (arg[2] == 'm' ? options->music : options->text) = value;
      } else {
        const int on = ParseOnOff(value);
        if (on < 0) {
          std::snprintf(error, size, "%s takes on or off, not \"%s\"", arg, value);
          return false;
        }
        (arg[2] == 'a' ? options->aimai : options->skip) = on;
      }
    } else {
      std::snprintf(error, size, "unknown option \"%s\" (see --help)", arg);
      return false;
    }
  }
  return true;
}
