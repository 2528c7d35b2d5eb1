// The harness's sound capture as the in-process tests read it, and a procedure put in
// front of the main window's that notes the end of the song instead of starting the
// next one.
#pragma once
#include <windows.h>

#include <dshow.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "player/session_win.h"
#include "tools/graph_events_win.h"
#include "wine/main_window_fixture_win.h"

namespace capturetest {

// The Windows path of the harness's sound capture, or empty without one.
inline std::string CapturePath() {
  const char *unixPath = getenv("BRAMLOE_CAPTURE");
  return unixPath ? WindowsPathOf(unixPath) : "";
}

// The capture from offset on, from the start of the frame (16-bit stereo) that offset
// falls in: the pacer drains the device in pieces of any length, so a size taken at some
// moment may lie inside a frame, and samples read from there would be noise.
inline std::string ReadFrom(const std::string &path, long offset) {
  std::string bytes;
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  std::fseek(file, offset & ~3L, SEEK_SET);
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

inline long FileSize(const std::string &path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<long>(data.nFileSizeLow);
}

inline bool &SongEnded() {
  static bool ended;
  return ended;
}

// Takes the graph's events as the main window does and notes the end of the file,
// instead of starting the next song.
inline LRESULT CALLBACK NoteEndOfSong(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeGraphEvents(message, &SongEnded())) return 0;
  return CallWindowProcA(mainwindowtest::MainOriginal(), hwnd, message, wParam, lParam);
}

inline bool WaitForEndOfSong(DWORD milliseconds) {
  return mainwindowtest::PumpUntil(milliseconds, [] { return SongEnded(); });
}

}  // namespace capturetest
