#include "player/pitch_win.h"

#include <cstdio>

#include "library/library.h"
#include "player/keep_tempo_dmo_win.h"
#include "player/pitch.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/notice_win.h"
#include "shell/path_bytes.h"
#include "shell/shell_win.h"

static HRESULT HandRateToGraph(IMediaSeeking *seeking, double rate) {
  return seeking->SetRate(rate);
}

HRESULT (*SetPlaybackRate)(IMediaSeeking *seeking, double rate) = HandRateToGraph;

int SpinDirection = 0;

const char StoredNotice[] = "記憶しました";

// A refused rate is ignored: the cents box keeps the new value all the same, as it does
// for cents whose rate is no number the graph could take. With the keep-tempo stage in
// the graph the stage moves the pitch and the rate stays 1.
void ApplyPitch(int cents) {
  // A stage in the graph for the tempo alone leaves the cents to the rate.
  SetKeepTempoCents(KeepTempo ? cents : 0);
  PlaybackSessionRecord &s = PlaybackSession;
  if (!s.seeking) return;
  double rate = s.stage && KeepTempo ? 1.0 : PlayableRate(PitchRate(cents));
  if (FAILED(SetPlaybackRate(s.seeking, rate))) return;
  s.rateAsked = rate;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  s.rateAskedAt = now.QuadPart;
}

// The cents box is the only store of the pitch: read, shift, write back as "%d".
static void ShiftPitch(char *text, int textSize, int change) {
  GetWindowTextA(CentsEdit, text, textSize);
  int value = ShiftCents(ParseDecimal(text), change);
  std::snprintf(text, textSize, "%d", value);
  SetWindowTextA(CentsEdit, text);
  ApplyPitch(value);
}

void AdjustPitch(HWND, int change) { ShiftPitch(WorkBuffer, sizeof WorkBuffer, change); }

// A held arrow repeats its line notification; the step is taken once, at the end,
// an octave when Ctrl is down at that moment.
void SpinPitch(HWND, HWND scrollBar, int code) {
  if (!scrollBar) return;
  switch (code) {
    case SB_LINEUP: SpinDirection = 1; return;
    case SB_LINEDOWN: SpinDirection = -1; return;
    case SB_ENDSCROLL: break;
    default: SpinDirection = 0; return;
  }
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  char text[PATH_BYTES];
  ShiftPitch(text, sizeof text, SpinDirection * (ctrl ? 1200 : 100));
  SpinDirection = 0;
}

// The value is stored as the box shows it, parsed or not; the key is the song's path
// with '=' made '|', since the profile functions split a line at its first '='. The
// tempo and the loop are stored beside the cents.
void StorePitch(HWND) {
  if (PlayCursor.current < 0) return;
  ShowPassingNotice(StoredNotice);
  GetWindowTextA(CentsEdit, WorkBuffer, sizeof WorkBuffer);
  WritePitchEntry(MusicList.paths[PlayCursor.current], WorkBuffer);
  StorePractice(MusicList.paths[PlayCursor.current]);
}

void ReapplyPitch(HWND mainWindow) { AdjustPitch(mainWindow, 0); }
void RaiseOctave(HWND mainWindow) { AdjustPitch(mainWindow, 1200); }
void LowerOctave(HWND mainWindow) { AdjustPitch(mainWindow, -1200); }
void RaisePitch25(HWND mainWindow) { AdjustPitch(mainWindow, 25); }
void LowerPitch25(HWND mainWindow) { AdjustPitch(mainWindow, -25); }
void RaisePitch5(HWND mainWindow) { AdjustPitch(mainWindow, 5); }
void LowerPitch5(HWND mainWindow) { AdjustPitch(mainWindow, -5); }
