#include "app/command_line_win.h"

#include "app/file_list.h"
#include "library/library_win.h"
#include "player/player_win.h"
#include "resources/ids.h"
#include "shell/message_box_win.h"
#include "shell/shell_calls_win.h"

const char UnnamedFileMessage[] =
    "ファイル名に使えない文字があるか長すぎるため、開けないファイルがありました";
const char UnnamedFileCaption[] = "BRAMLOE";

static FileList CommandLineFiles;
static int UnnamedFiles;  // arguments that no path in the ANSI code page names

// The whole path, or nothing: a character the code page lacks would otherwise become
// another one (é as e) and name another file, or none.
static bool ToAnsiPath(const wchar_t *wide, char *path) {
  BOOL usedDefault = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, PATH_BYTES, nullptr,
                             &usedDefault) > 0 &&
         !usedDefault;
}

// The full path, since the folder scan moves the current directory and a running
// player has its own; where that cannot be written in the code page (or is too long),
// the file system's short name of it, where it has one.
static bool NameArgument(const wchar_t *argument, char *path) {
  static wchar_t full[32768], shortName[32768];
  DWORD length = GetFullPathNameW(argument, 32768, full, nullptr);
  if (!length || length >= 32768) return false;
  if (ToAnsiPath(full, path)) return true;
  length = GetShortPathNameW(full, shortName, 32768);
  return length && length < 32768 && ToAnsiPath(shortName, path);
}

bool ReadCommandLineFiles() {
  ClearFileList(&CommandLineFiles);
  UnnamedFiles = 0;
  const wchar_t *line = GetCommandLineW();
  if (!NamesArguments(line)) return false;  // the shell's library is left unloaded
  int count = 0;
  LPWSTR *arguments = SplitCommandLine(line, &count);
  if (!arguments) return false;
  char path[PATH_BYTES];
  // Beyond the MusicList's capacity names are passed over, as a drop's are.
  for (int i = 1; i < count; i++)
    if (NameArgument(arguments[i], path)) AppendToFileList(&CommandLineFiles, path);
    else UnnamedFiles++;
  LocalFree(arguments);
  return CommandLineFiles.count + UnnamedFiles > 0;
}

static void ReportUnnamedFiles(HWND owner) {
  if (UnnamedFiles) ShowMessageBox(owner, UnnamedFileMessage, UnnamedFileCaption, MB_OK);
}

bool HandFilesToRunningPlayer() {
  HWND running = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
  if (!running) return false;
  if (CommandLineFiles.count) {
    COPYDATASTRUCT copy = {FILE_LIST_COPYDATA, static_cast<DWORD>(CommandLineFiles.bytes),
                           CommandLineFiles.data};
    DWORD_PTR taken = FALSE;
    if (!SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                             SMTO_ABORTIFHUNG, 10000, &taken) ||
        taken != TRUE)
      return false;
  }
  ReportUnnamedFiles(nullptr);
  return true;
}

static bool TakeFileList(const char *data, size_t bytes) {
  static FileListNames names;
  if (!ReadFileList(data, bytes, &names)) return false;
  TakeFilesAsDrop(names.count, FileListName, &names);
  return true;
}

bool PlayCommandLineFiles(HWND mainWindow) {
  ReportUnnamedFiles(mainWindow);
  if (!TakeFileList(CommandLineFiles.data, CommandLineFiles.bytes)) return false;
  NextSong(mainWindow);
  return true;
}

// The bytes come from another process: they are read only within their stated size,
// and taken only when they make a well-formed list.
LRESULT TakeHandedFiles(HWND mainWindow, const COPYDATASTRUCT *copy) {
  if (!copy || copy->dwData != FILE_LIST_COPYDATA || copy->cbData > FILE_LIST_BYTES ||
      !TakeFileList(static_cast<const char *>(copy->lpData), copy->cbData))
    return FALSE;
  // The sender need not wait for the song to start, nor for a message box it brings.
  ReplyMessage(TRUE);
  NextSong(mainWindow);
  return TRUE;
}
