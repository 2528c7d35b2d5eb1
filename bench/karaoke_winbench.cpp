// The fill of a word-timed text as the player draws it: the whole program in this
// process, started as bramloe.exe starts (its settings name a song and a text whose
// words follow one another without a gap), Play pressed, and after SECONDS of playing
// the longest time between two new fill positions drawn, from the view's record of
// them, as "fill steps: N ms".
//   karaoke_winbench SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/startup_win.h"
#include "resources/ids.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

static DWORD playing;  // milliseconds to play

// Presses Play once the window is up, and closes it after the song has played.
static DWORD WINAPI PressPlayThenClose(void *) {
  while (!MainWindow) Sleep(20);
  Sleep(1000);
  PostMessageA(MainWindow, WM_COMMAND, ID_PLAY, 0);
  Sleep(playing + 500);
  PostMessageA(MainWindow, WM_CLOSE, 0, 0);
  return 0;
}

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  playing = static_cast<DWORD>(std::atof(argv[1]) * 1000);
  CloseHandle(CreateThread(nullptr, 0, PressPlayThenClose, nullptr, 0, nullptr));
  RunProcess(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
  const int count = FillTrace.count < FILL_TRACE ? FillTrace.count : FILL_TRACE;
  if (count < 2) {
    std::printf("fill steps: not measured (%d fill positions drawn)\n", count);
    return 1;
  }
  // The ring's oldest first; the first half second after Play is left to the start.
  const int first = FillTrace.count - count;
  long long longest = 0, start = FillTrace.at[first % FILL_TRACE] + 500000;
  for (int i = first + 1; i < FillTrace.count; i++) {
    const long long at = FillTrace.at[i % FILL_TRACE], before = FillTrace.at[(i - 1) % FILL_TRACE];
    if (before >= start && at - before > longest) longest = at - before;
  }
  std::printf("fill     %d positions drawn over %.1f s\n", count,
              (FillTrace.at[(FillTrace.count - 1) % FILL_TRACE] - FillTrace.at[first % FILL_TRACE]) * 1e-6);
  std::printf("fill steps: %lld ms\n", (longest + 500) / 1000);
  return 0;
}
