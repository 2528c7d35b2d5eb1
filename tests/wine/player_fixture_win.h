// The player's tests on the one main window: songs written as short WAV tones, the
// rates handed over recorded, the settings file in the test's own profile folder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

// Before dshow.h, whose strsafe.h retires wsprintfA.
#include "wine/library_scratch.h"
#include "wine/main_window_fixture_win.h"
#include "wine/media_win.h"

#include <dshow.h>

#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "matching/matching.h"
#include "player/pitch_win.h"
#include "player/player.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "shell/layout.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "textview/textbuffer.h"

namespace playertest {

using namespace mainwindowtest;

inline std::vector<double> &Rates() {
  static std::vector<double> rates;
  return rates;
}

// The recorded rates, each within 4 units in the last place: the power is formed in
// extended precision from the double 1/1200, so -2400 cents gives 0.25 less one unit.
inline void ExpectRates(const std::vector<double> &expected) {
  ASSERT_EQ(expected.size(), Rates().size());
  for (size_t i = 0; i < expected.size(); i++) EXPECT_DOUBLE_EQ(expected[i], Rates()[i]) << i;
}

// The graph's state at each handing-over of a rate.
inline std::vector<OAFilterState> &RateStates() {
  static std::vector<OAFilterState> states;
  return states;
}

// Notes the rate and hands it on, so the graph is asked exactly as without the test.
inline HRESULT RecordRate(IMediaSeeking *seeking, double rate) {
  Rates().push_back(rate);
  OAFilterState state = -1;
  if (PlaybackSession.control) PlaybackSession.control->GetState(0, &state);
  RateStates().push_back(state);
  return seeking->SetRate(rate);
}

inline std::string CentsText() {
  char text[1024];
  GetWindowTextA(CentsEdit, text, sizeof text);
  return text;
}

inline LRESULT Command(int id) { return SendMessageA(MainWindow, WM_COMMAND, id, 0); }

class PlayerWindow : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    Rates().clear();
    RateStates().clear();
    SetPlaybackRate = RecordRate;
    iniPath = settingsPath;
    Settings = {"", "", "notepad", 0, 0};
    InvalidateTextKeys();
    SpinDirection = 0;
    DecoderFlags = {1, 1};
    SetFocus(PlayButton);
    Pump();
  }

  void TearDown() override {
    MainWindowTest::TearDown();
    InvalidateTextKeys();
  }

  // Writes a tone as a song file and appends it to the MusicList, in list order.
  std::string AddSong(const std::string &name, int hz = 440, double seconds = 3) {
    std::string path = folder + "\\" + name;
    MakeFile(path, media::Tone(hz, seconds));
    lstrcpynA(MusicList.paths[MusicList.count++], path.c_str(), PATH_BYTES);
    return path;
  }

  std::string AddText(const std::string &name, const std::string &content) {
    std::string path = folder + "\\" + name;
    MakeFile(path, content);
    lstrcpynA(TextList.paths[TextList.count++], path.c_str(), PATH_BYTES);
    InvalidateTextKeys();
    return path;
  }

  OAFilterState GraphState() {
    OAFilterState state = State_Paused;
    if (PlaybackSession.control) PlaybackSession.control->GetState(2000, &state);
    return state;
  }

  // Song is playing: the state, the caption, the focus, Next and a running graph agree.
  void ExpectPlaying(int song) {
    EXPECT_EQ(Playing, Controller.state);
    EXPECT_EQ(song, PlayCursor.current);
    EXPECT_EQ("&Pause", WindowText(PlayButton));
    EXPECT_EQ(NextButton, GetFocus());
    EXPECT_TRUE(IsWindowEnabled(NextButton));
    EXPECT_EQ(State_Running, GraphState());
  }

  std::string StoredValue(const std::string &key) {
    char value[600];
    GetPrivateProfileStringA("BRAMLOE", key.c_str(), "<absent>", value, sizeof value,
                             iniPath.c_str());
    return value;
  }

  std::string iniPath;
};

}  // namespace playertest
