// bramloe-match.exe: the match report for the player's folders on the console. The
// settings, the decoder probe and the folder walk are the player's own; the report is
// written by WriteMatchReport.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/report_options.h"
#include "library/library.h"
#include "library/library_win.h"
#include "matching/match_report.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

namespace {

enum { EXIT_USAGE = 2 };

const char USAGE[] =
    "usage: bramloe-match [--music DIR] [--text DIR] [--aimai on|off] [--skip on|off] [--utf8]\n"
    "\n"
    "For every song of the music folder, in the player's order: where its title comes\n"
    "from, the text the player finds for it and by which rule, or the nearest text names\n"
    "when it finds none; then the songs without a text and the texts no song finds.\n"
    "Folders and options come from the player's settings file (named below); those\n"
    "given here win.\n"
    "\n"
    "  --music DIR      the music folder\n"
    "  --text DIR       the text folder\n"
    "  --aimai on|off   fuzzy matching (match keys and the prefix pass)\n"
    "  --skip on|off    passing over songs without a text\n"
    "  --utf8           write UTF-8 rather than code page 932 (Linux terminals, files)\n"
    "  --help           this text\n"
    "\n"
    "Exit status: 0; 2 for an unknown option or a folder that cannot be read.\n"
    "\n";

struct Output {
  HANDLE handle;
  bool utf8;
};


// Text in code page 932 as UTF-16.
std::wstring Wide(const char *text) {
  int n = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(932, 0, text, -1, &wide[0], n);
  wide.resize(wide.size() - 1);
  return wide;
}

// A console shows the characters whatever its code page; a file or a pipe gets the
// player's own bytes, or UTF-8 when asked for.
void WriteText(const Output &out, const char *text) {
  DWORD mode, written;
  if (GetConsoleMode(out.handle, &mode)) {
    std::wstring wide = Wide(text);
    WriteConsoleW(out.handle, wide.data(), (DWORD)wide.size(), &written, nullptr);
    return;
  }
  std::string bytes;
  if (out.utf8) {
    std::wstring wide = Wide(text);
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    bytes.resize(n > 0 ? n : 0);
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &bytes[0], n, nullptr, nullptr);
  } else {
    bytes = text;
  }
  WriteFile(out.handle, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
}

// Windows line ends in code page 932, Linux ones in UTF-8.
void PutLine(const Output &out, const char *line) {
  WriteText(out, line);
  WriteText(out, out.utf8 ? "\n" : "\r\n");
}

void ReportLine(void *context, const char *line) { PutLine(*static_cast<const Output *>(context), line); }

void PutLines(const Output &out, const char *text) {
  const std::string all = text;
  size_t start = 0, end;
  while ((end = all.find('\n', start)) != std::string::npos) {
    PutLine(out, all.substr(start, end - start).c_str());
    start = end + 1;
  }
}

__attribute__((format(printf, 2, 3))) void Fail(const Output &err, const char *format, ...) {
  char message[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  WriteText(err, "bramloe-match: ");
  PutLine(err, message);
}

// A folder given on the command line as a full path: the walk makes the text folder the
// current directory before it walks the music folder, so a relative music folder
// would be looked for inside the text folder.
bool TakeFolder(const char *option, const char *folder, char *setting, const Output &err) {
  const DWORD n = GetFullPathNameA(folder, PATH_BYTES, setting, nullptr);
  if (n == 0 || n >= PATH_BYTES) {
    Fail(err, "%s: \"%s\" does not make a folder path of at most %d characters", option, folder,
         PATH_BYTES - 1);
    return false;
  }
  return true;
}

// Command-line values over the settings file's; says which in origin.
bool ApplyOptions(const ReportOptions &options, std::string *origin, const Output &err) {
  std::string given;
  auto note = [&given](const char *name) { given += given.empty() ? name : std::string(", ") + name; };
  if (options.music) {
    if (!TakeFolder("--music", options.music, Settings.musicpath, err)) return false;
    note("--music");
  }
  if (options.text) {
    if (!TakeFolder("--text", options.text, Settings.textpath, err)) return false;
    note("--text");
  }
  if (options.aimai >= 0) {
    Settings.aimai = options.aimai;
    note("--aimai");
  }
  if (options.skip >= 0) {
    Settings.skip = options.skip;
    note("--skip");
  }
  if (!given.empty()) *origin += " (" + given + " from the command line)";
  return true;
}

// The walk adds nothing for a folder it cannot search, silently; here that is an error.
bool FolderReadable(const char *kind, const char *option, const char *folder, const char *settingsFile,
                    const Output &err) {
  if (!folder[0]) {
    Fail(err, "no %s folder: give %s DIR or set it in %s", kind, option, settingsFile);
    return false;
  }
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Fail(err, "cannot read the %s folder \"%s\": it does not exist", kind, folder);
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Fail(err, "cannot read the %s folder \"%s\": it is not a folder", kind, folder);
    return false;
  }
  char pattern[PATH_BYTES];
  if (!BuildSearchPattern(folder, pattern)) {
    Fail(err, "cannot read the %s folder \"%s\": the path is too long", kind, folder);
    return false;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) {
    // An empty drive root has no . entry: nothing found is not unreadable.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    Fail(err, "cannot read the %s folder \"%s\" (error %lu)", kind, folder, GetLastError());
    return false;
  }
  FindClose(search);
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  Output out = {GetStdHandle(STD_OUTPUT_HANDLE), false};
  Output err = {GetStdHandle(STD_ERROR_HANDLE), false};
  // --utf8 also governs the messages about the other options, wherever it stands.
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--utf8") == 0) out.utf8 = err.utf8 = true;

  ReportOptions options;
  char error[1024];
  if (!ParseReportOptions(argc, argv, &options, error, sizeof error)) {
    Fail(err, "%s", error);
    return EXIT_USAGE;
  }
  char settingsFile[PATH_BYTES];
  SettingsFilePath(settingsFile);
  if (options.help) {
    PutLines(out, USAGE);
    std::string named = std::string("settings file: ") + settingsFile;
    PutLine(out, named.c_str());
    return 0;
  }

  // The player's start-up order: decoders, settings, then the scan.
  ProbeDecoders();
  LoadSettings();
  std::string origin = settingsFile;
  if (!ApplyOptions(options, &origin, err)) return EXIT_USAGE;
  if (!FolderReadable("music", "--music", Settings.musicpath, settingsFile, err) ||
      !FolderReadable("text", "--text", Settings.textpath, settingsFile, err))
    return EXIT_USAGE;
  ScanFolders();

  WriteMatchReport(origin.c_str(), ReportLine, &out);
  return 0;
}
