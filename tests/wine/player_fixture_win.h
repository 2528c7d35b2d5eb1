// The real main window with its controls and TextView, built the way start-up builds
// them, for the player's tests: songs written as short WAV tones, message boxes and
// handed-over rates recorded, the settings file in a scratch profile folder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

// Before dshow.h, whose strsafe.h retires wsprintfA.
#include "wine/library_scratch.h"
#include "wine/wav_fixture.h"

#include <dshow.h>

#include <cmath>
#include <string>
#include <vector>

#include "shell/layout.h"
#include "app/main_window_win.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "app/startup_win.h"
#include "library/library.h"
#include "matching/matching.h"
#include "player/pitch_win.h"
#include "player/player.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "textview/textbuffer.h"

namespace playertest {

struct RecordedBox {
  std::string text, caption;
  UINT type;
};

inline std::vector<RecordedBox> &Boxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

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

inline int RecordBox(HWND, const char *text, const char *caption, UINT type) {
  Boxes().push_back({text ? text : "", caption ? caption : "", type});
  return IDOK;
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

using wavtest::ToneWav;

inline std::string CentsText() {
  char text[1024];
  GetWindowTextA(CentsEdit, text, sizeof text);
  return text;
}

inline std::string WindowText(HWND window) {
  char text[1024];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

inline LRESULT Command(int id) { return SendMessageA(MainWindow, WM_COMMAND, id, 0); }

// Dispatches what is queued for at most the given time, or until done() holds.
template <typename Done>
inline bool PumpUntil(DWORD milliseconds, Done done) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(5);
  }
}

inline void Pump(DWORD milliseconds = 0) {
  PumpUntil(milliseconds, [] { return false; });
}

class PlayerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    // Other tests register classes of the same names with procedures of their own.
    UnregisterClassA(MAIN_WINDOW_CLASS, GetModuleHandleA(nullptr));
    UnregisterClassA(TEXT_VIEW_CLASS, GetModuleHandleA(nullptr));
    ASSERT_NE(0, RegisterWindowClasses(GetModuleHandleA(nullptr)));
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    Boxes().clear();
    Rates().clear();
    RateStates().clear();
    MessageBoxHook = RecordBox;
    SetPlaybackRate = RecordRate;
    char kept[MAX_PATH] = "";
    GetEnvironmentVariableA("USERPROFILE", kept, sizeof kept);
    keptProfile = kept;
    folder = MakeScratchFolder("player");
    SetEnvironmentVariableA("USERPROFILE", folder.c_str());
    iniPath = folder + "\\BRAMLOE.INI";
    Settings = {"", "", "notepad", 0, 0};
    MusicList.count = 0;
    TextList.count = 0;
    InvalidateTextKeys();
    PlayCursor = {-1, 0};
    PlayerState = {Stopped, 0, 0.0, 0};
    SpinDirection = 0;
    NoticeCountdown = 0;
    DecoderFlags = {1, 1};

    HINSTANCE instance = GetModuleHandleA(nullptr);
    AppInstance = instance;
    MeasureLayoutMetrics();
    MainWindow = CreateMainWindow(instance);
    ASSERT_NE(nullptr, MainWindow);
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    RECT client = {0, 0, 0, 0};
    GetClientRect(MainWindow, &client);
    ASSERT_NE(nullptr, CreateTextView(instance, client.right, client.bottom));
    ASSERT_NE(nullptr, CreateControls(instance, client.right, client.bottom));
    UpdateWindow(MainWindow);
    SetScrollRange(RateScrollBar, SB_CTL, 0, 0, TRUE);
    SetForegroundWindow(MainWindow);
    SetFocus(PlayButton);
    Pump();
  }

  void TearDown() override {
    if (PlaybackSession.control) PlaybackSession.control->Stop();
    DestroyWindow(MainWindow);
    MainWindow = TextViewWindow = nullptr;
    PlayButton = StopButton = CentsEdit = RateScrollBar = nullptr;
    OctaveDownButton = OctaveUpButton = MemButton = TopButton = NextButton = nullptr;
    Pump();
    ReleaseSession();
    MessageBoxHook = nullptr;
    SetEnvironmentVariableA("USERPROFILE", keptProfile.c_str());
    RemoveTree(folder);
    MusicList.count = 0;
    TextList.count = 0;
    InvalidateTextKeys();
    PlayCursor = {-1, 0};
    PlayerState = {Stopped, 0, 0.0, 0};
    CoUninitialize();
  }

  // Writes a tone as a song file and appends it to the MusicList, in list order.
  std::string AddSong(const std::string &name, double frequency = 440, double seconds = 3) {
    std::string path = folder + "\\" + name;
    MakeFile(path, ToneWav(frequency, seconds));
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
    EXPECT_EQ(Playing, PlayerState.state);
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

  std::string folder, iniPath, keptProfile;
};

}  // namespace playertest
