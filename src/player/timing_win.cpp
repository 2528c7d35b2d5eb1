#include "player/timing_win.h"

#include <cstdio>
#include <string>

#include "library/library.h"
#include "matching/matching.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "settings/settings.h"
#include "settings/settings_file_win.h"
#include "shell/message_box_win.h"
#include "shell/notice_win.h"
#include "shell/player_state.h"
#include "textview/text_timing.h"
#include "textview/textview_win.h"

const char NoLyricsNotice[] = "歌詞がありません";
const char TimingWriteFailure[] = "タイミングを書き込めませんでした:";

bool TimingOn() { return Timing.on; }

static void ShowProgress() {
  char notice[32];
  FormatTimingNotice(notice, sizeof notice);
  ShowNotice(notice);
}

static bool ReadWholeFile(const char *path, std::string *bytes) {
  std::FILE *file = std::fopen(path, "rb");
  if (!file) return false;
  char piece[16384];
  for (size_t n; (n = std::fread(piece, 1, sizeof piece, file)) > 0;) bytes->append(piece, n);
  const bool read = !std::ferror(file);
  std::fclose(file);
  return read;
}

static bool FillTextCopy(const char *copy, void *context) {
  const std::string &bytes = *static_cast<const std::string *>(context);
  HANDLE file = CreateFileA(copy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool done = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
  return CloseHandle(file) && done;
}

// The old .lrc is kept as .lrc.bak (one level) before the new one replaces it through
// a copy, so a write that fails leaves it whole.
static bool WriteTimedTwin(const char *lrc) {
  std::string text;
  if (!ReadWholeFile(Timing.path, &text)) return false;
  std::string timed = RewriteTimedText(text, Timing.lines, Timing.times, Timing.next);
  char backup[PATH_BYTES], copy[PATH_BYTES], check[PATH_BYTES];
  if (std::snprintf(backup, sizeof backup, "%s.bak", lrc) >= PATH_BYTES) return false;
  if (!SettingsCopyPaths(lrc, GetCurrentProcessId(), copy, check)) return false;
  const DWORD attributes = GetFileAttributesA(lrc);
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      !CopyFileA(lrc, backup, FALSE))
    return false;
  return ReplaceThroughCopy(lrc, false, copy, FillTextCopy, &timed);
}

// The song's text is read anew from the file written, which joins the text list.
static void ShowTimedTwin(const char *lrc) {
  int index = 0;
  while (index < TextList.count && !KeysEqualExactly(TextList.paths[index], lrc)) ++index;
  if (index == TextList.count && !AppendTextPath(lrc)) return;
  InvalidateTextKeys();
  PlayerState.matchedText = index;
  LoadText(index);
}

// One box that names the file; timing stays on with its stamps, to be ended again.
static void TellWriteFailure(HWND mainWindow) {
  std::string text = TimingWriteFailure;
  text += "\n" + TimedTwinName(Timing.path);
  ShowMessageBox(mainWindow, text.c_str(), "BRAMLOE", MB_OK | MB_ICONEXCLAMATION);
}

void EndTiming(HWND mainWindow) {
  if (!Timing.on) return;
  if (Timing.next > 0) {
    char lrc[PATH_BYTES];
    if (!TimedTwinPath(Timing.path, lrc) || !WriteTimedTwin(lrc)) {
      TellWriteFailure(mainWindow);
      return;
    }
    const bool shown = Timing.shown;
    StopTiming();
    if (shown) ShowTimedTwin(lrc);
  } else {
    StopTiming();
  }
  ShowTimingInView();
  ShowNotice(NoticeBlank);
}

void EndTimingBeforeNewText(HWND mainWindow) {
  if (!Timing.shown) return;  // stamps left over wait for J or Esc, told once already
  EndTiming(mainWindow);
  if (Timing.on) Timing.shown = false;  // its stamps wait for the next try of the write
}

bool WriteStampsBeforeReload(HWND mainWindow) {
  EndTiming(mainWindow);
  return !Timing.on;
}

bool WriteStampsBeforeQuit(HWND mainWindow) {
  if (!Timing.on) return true;
  const bool heldBefore = Timing.quitHeld;
  EndTiming(mainWindow);
  if (!Timing.on) return true;
  Timing.quitHeld = true;
  return heldBefore;
}

static void StartTimingSong() {
  const int text = PlayerState.matchedText;
  if (!PlaybackSession.song || text < 0 || text >= TextList.count || !StartTiming(TextList.paths[text])) {
    ShowPassingNotice(NoLyricsNotice);
    return;
  }
  ShowTimingInView();
  ShowProgress();
}

void ToggleTiming(HWND mainWindow) {
  if (Timing.on) EndTiming(mainWindow);
  else StartTimingSong();
}

void StampTiming(HWND mainWindow) {
  if (!StampLine(HeardSongMs())) return;
  ShowTimingInView();
  ShowProgress();
  if (Timing.next == Timing.lineCount) EndTiming(mainWindow);
}

void TakeTimingBack(HWND) {
  if (!TakeStampBack()) return;
  ShowTimingInView();
  ShowProgress();
}
