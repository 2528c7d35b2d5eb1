// The player with the sound captured, as the keep-tempo and the practice tests drive
// it: songs of tones played from Stopped at their stored cents, heard to their end.
#pragma once
#include "wine/player_fixture_win.h"
#include "wine/media_win.h"
#include "wine/sound_capture_win.h"

#include <algorithm>

#include "player/player_win.h"
#include "player/position_win.h"
#include "settings/settings_win.h"
#include "tone_measure.h"

namespace playertest {

using namespace capturetest;

inline IBaseFilter *StageInGraph() {
  IBaseFilter *filter = nullptr;
  if (!PlaybackSession.graph || FAILED(PlaybackSession.graph->FindFilterByName(L"keep tempo", &filter)))
    return nullptr;
  filter->Release();
  return filter;
}

class KeepTempoPlayer : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    if (HasFatalFailure()) return;
    capture = CapturePath();
    if (capture.empty()) GTEST_SKIP() << "no sound capture in this harness";
    SongEnded() = false;
    HookMainWindow(NoteEndOfSong);
  }

  // Plays the one song of the list from Stopped, at its stored cents; returns the
  // capture's size before it.
  long Play(const std::string &bytes, const char *storedCents) {
    std::string path = folder + "\\song" + std::to_string(songsMade++) + ".wav";
    MakeFile(path, bytes);
    MusicList.count = 0;
    lstrcpynA(MusicList.paths[MusicList.count++], path.c_str(), PATH_BYTES);
    PlayCursor = {-1, 0};
    WritePitchEntry(path.c_str(), storedCents);
    Rates().clear();
    SongEnded() = false;
    long before = FileSize(capture);
    PlayPause(MainWindow);
    return before;
  }

  // The sound from offset until the song's end and a moment after.
  std::vector<short> HeardToTheEnd(long offset) {
    EXPECT_TRUE(WaitForEndOfSong(20000));
    Pump(700);  // the tail is still on its way to the device
    return tone::LeftChannel(ReadFrom(capture, offset));
  }

  LONGLONG Position() {
    LONGLONG position = 0;
    if (PlaybackSession.seeking) PlaybackSession.seeking->GetCurrentPosition(&position);
    return position;
  }
  // As the player does, the position is asked for only once the graph is seen running.
  bool WaitForPosition(double seconds) {
    return PumpUntil(15000, [&] {
      return !GraphStarting() && Position() >= static_cast<LONGLONG>(seconds * 1e7);
    });
  }

  std::string capture;
  int songsMade = 0;
};

// Seconds of the windows of 10 ms heard near hz.
inline double SecondsNear(const std::vector<double> &windows, double hz) {
  return std::count_if(windows.begin(), windows.end(), [&](double w) { return tone::Near(w, hz, 0.02); }) * 0.01;
}

}  // namespace playertest
