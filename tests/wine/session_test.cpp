// The playback session against the media framework under Wine: a generated tone
// played into the captured sound, the ogg guard, the messages of files the framework
// cannot render, the Create failure, the real message box, and a video over the view.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/message_box_win.h"
#include "player/session_rules.h"
#include "player/session_win.h"
#include "tone_measure.h"
#include "wine/main_window_fixture_win.h"
#include "wine/media_win.h"
#include "wine/sound_capture_win.h"

using namespace capturetest;
using namespace mainwindowtest;

namespace {

std::string SineWav(int hz, double seconds) { return media::Tone(hz, seconds, 12000); }
using media::OneNoteMidi;
using media::SmallAvi;

// The result RenderFile gives for a file in a graph of the test's own.
HRESULT RenderResultOf(const std::string &path) {
  IGraphBuilder *graph = nullptr;
  HRESULT created = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGraphBuilder, reinterpret_cast<void **>(&graph));
  if (FAILED(created)) return created;
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  HRESULT result = graph->RenderFile(wide, nullptr);
  graph->Release();
  return result;
}

class SessionTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    SongEnded() = false;
    DecoderFlags.ogg = 0;
    HookMainWindow(NoteEndOfSong);
    SizeTextView(320, 240);
    Pump();
    // The main window's creation made the session.
    ASSERT_NE(nullptr, PlaybackSession.graph);
    PlayerState.matchedText = -1;  // no text: a video fills the view
  }

  // Puts the buttons the other way round from what a reset leaves.
  void EnableNextDisablePlay() {
    EnableWindow(NextButton, TRUE);
    EnableWindow(PlayButton, FALSE);
  }
  void ExpectResetButtons() {
    EXPECT_FALSE(IsWindowEnabled(NextButton));
    EXPECT_TRUE(IsWindowEnabled(PlayButton));
  }
};

}  // namespace

TEST_F(SessionTest, PlaysAGeneratedToneIntoTheSoundDevice) {
  std::string capture = CapturePath();
  if (capture.empty()) GTEST_SKIP() << "no sound capture in this harness";
  std::string path = WriteTestFile("tone.wav", SineWav(440, 1.0));
  long before = FileSize(capture);

  ASSERT_TRUE(OpenAndRun(path.c_str()));
  EXPECT_TRUE(Boxes().empty());
  ASSERT_TRUE(WaitForEndOfSong(10000));
  Pump(700);  // the tail of the sound is still on its way to the device

  std::vector<short> left = tone::LeftChannel(ReadFrom(capture, before));
  tone::Span sound = tone::LoudSpan(left);
  ASSERT_LT(0u, sound.Length()) << "no sound captured";
  EXPECT_NEAR(1.0, sound.Length() / 44100.0, 0.05);
  EXPECT_NEAR(440.0, tone::Frequency(left, sound.first, sound.last + 1, 44100), 3.0);
}

TEST_F(SessionTest, OggGuardRefusesWithoutTouchingTheSession) {
  IGraphBuilder *graph = PlaybackSession.graph;
  EnableNextDisablePlay();
  EXPECT_FALSE(OpenAndRun("C:\\Music\\song.ogg"));
  EXPECT_FALSE(OpenAndRun("C:\\old.ogg.files\\song.wav"));
  ASSERT_EQ(2u, Boxes().size());
  for (const RecordedBox &box : Boxes()) {
    EXPECT_EQ(OggRefusedMessage, box.text);
    EXPECT_FALSE(box.hasCaption);  // the system's default caption
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
  }
  EXPECT_STREQ("oggを使用するためには対応ドライバが必要", Boxes()[0].text.c_str());
  EXPECT_EQ(graph, PlaybackSession.graph);
  EXPECT_TRUE(IsWindowEnabled(NextButton));
  EXPECT_FALSE(IsWindowEnabled(PlayButton));
}

// Another spelling goes to the framework: a WAV named .Ogg plays.
TEST_F(SessionTest, OtherOggSpellingsReachTheFramework) {
  std::string path = WriteTestFile("song.Ogg", SineWav(440, 0.3));
  EXPECT_TRUE(OpenAndRun(path.c_str()));
  EXPECT_TRUE(Boxes().empty());
  DecoderFlags.ogg = 1;
  ResetSession(MainWindow);
  std::string ogg = WriteTestFile("song.ogg", SineWav(440, 0.3));
  EXPECT_TRUE(OpenAndRun(ogg.c_str()));
  EXPECT_TRUE(Boxes().empty());
}

// Files the framework cannot render show the message of the code it returns, with
// caption "open", and leave a fresh graph with Next disabled and Play enabled.
TEST_F(SessionTest, UnrenderableFilesShowTheirCodesMessage) {
  const struct {
    const char *name;
    std::string bytes;
  } files[] = {
      {"dropped.txt", "さくら さくら\r\nやよいの空は\r\n"},
      {"tune.mid", OneNoteMidi()},
  };
  for (const auto &f : files) {
    std::string path = WriteTestFile(f.name, f.bytes);
    HRESULT expected = RenderResultOf(path);
    if (SUCCEEDED(expected)) {
      std::printf("%s renders here (0x%08lX); skipped\n", f.name, expected);
      continue;
    }
    std::printf("%s: RenderFile gives 0x%08lX\n", f.name, static_cast<unsigned long>(expected));
    Boxes().clear();
    EnableNextDisablePlay();
    EXPECT_FALSE(OpenAndRun(path.c_str())) << f.name;
    char message[128];
    FormatGraphError(expected, message, sizeof message);
    ASSERT_EQ(1u, Boxes().size()) << f.name;
    EXPECT_EQ(message, Boxes()[0].text);
    EXPECT_EQ("open", Boxes()[0].caption);
    EXPECT_EQ(nullptr, Boxes()[0].owner);
    ExpectResetButtons();
    EXPECT_NE(nullptr, PlaybackSession.graph);
    EXPECT_NE(nullptr, PlaybackSession.control);
  }
}

// A missing file fails with a code outside the table: it is reported with that code in
// hex under the same caption, and the session is reset.
TEST_F(SessionTest, UnlistedFailureIsReportedWithItsCode) {
  std::string path = folder + "\\no_such_song.wav";
  HRESULT expected = RenderResultOf(path);
  std::printf("missing file: RenderFile gives 0x%08lX\n", static_cast<unsigned long>(expected));
  ASSERT_TRUE(FAILED(expected));
  ASSERT_EQ(nullptr, GraphErrorMessage(expected)) << "this code is in the table";
  EnableNextDisablePlay();
  EXPECT_FALSE(OpenAndRun(path.c_str()));
  char text[64];
  std::snprintf(text, sizeof text, "エラー 0x%08lX", static_cast<unsigned long>(expected));
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ(text, Boxes()[0].text);
  EXPECT_EQ("open", Boxes()[0].caption);
  ExpectResetButtons();
  EXPECT_NE(nullptr, PlaybackSession.graph);
}

namespace {

// A stand-in for the filter graph manager, registered for its class in this process,
// that fails creation or hands out objects lacking chosen interfaces.
struct FakeObject : IUnknown {
  LONG references = 1;
  const IID *missing = nullptr;  // the interface this object refuses
  STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
    *out = nullptr;
    if (missing && IsEqualIID(iid, *missing)) return E_NOINTERFACE;
    // Every other interface is this object: only QueryInterface, AddRef and Release,
    // which all interfaces share, are called while creating and releasing a session.
    AddRef();
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
  STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references); }
};

struct FakeFactory : IClassFactory {
  HRESULT createResult = S_OK;
  FakeObject object;
  STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown *, REFIID iid, void **out) override {
    *out = nullptr;
    if (FAILED(createResult)) return createResult;
    return object.QueryInterface(iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

}  // namespace

// The three Create messages, each with its own dashes; what was obtained stays held,
// and after a failed creation every call is skipped, so opening "succeeds".
TEST_F(SessionTest, CreateFailuresShowTheirMessages) {
  ReleaseSession();
  FakeFactory factory;
  DWORD cookie = 0;
  ASSERT_TRUE(SUCCEEDED(CoRegisterClassObject(CLSID_FilterGraph, &factory, CLSCTX_INPROC_SERVER,
                                              REGCLS_MULTIPLEUSE, &cookie)));
  const PlaybackSessionRecord &s = PlaybackSession;

  factory.createResult = E_OUTOFMEMORY;
  EXPECT_EQ(E_OUTOFMEMORY, CreateSession(MainWindow));
  EXPECT_TRUE(!s.graph && !s.control && !s.events && !s.audio && !s.seeking && !s.video);
  std::string path = WriteTestFile("tone.wav", SineWav(440, 0.2));
  EXPECT_TRUE(OpenAndRun(path.c_str()));

  factory.createResult = S_OK;
  factory.object.missing = &IID_IMediaControl;
  EXPECT_EQ(E_NOINTERFACE, CreateSession(MainWindow));
  EXPECT_TRUE(s.graph && !s.control && !s.events && !s.video);
  ReleaseSession();

  factory.object.missing = &IID_IMediaEventEx;
  EXPECT_EQ(E_NOINTERFACE, CreateSession(MainWindow));
  EXPECT_TRUE(s.graph && s.control && !s.events && !s.video);
  ReleaseSession();
  EXPECT_EQ(1, factory.object.references);  // every reference taken was given back

  CoRevokeClassObject(cookie);
  const char *expected[] = {"ERROR - Could not create the Filter Graph Manager.",
                            "ERROR--Could not obtain the Media Control interface.",
                            "ERROR-Could not obtain the Media Event interface."};
  ASSERT_EQ(3u, Boxes().size());
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(expected[i], Boxes()[i].text);
    EXPECT_EQ("Create", Boxes()[i].caption);
    EXPECT_EQ(nullptr, Boxes()[i].owner);
  }
}

namespace {

struct SeenBox {
  char caption[64];
  char text[256];
  bool ownerless;
};

BOOL CALLBACK FindOwnBox(HWND window, LPARAM found) {
  char className[16];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !GetClassNameA(window, className, sizeof className) ||
      lstrcmpA(className, "#32770") != 0)
    return TRUE;
  *reinterpret_cast<HWND *>(found) = window;
  return FALSE;
}

// Finds the message box of this process (not another's on the same desktop), reads it
// and closes it.
DWORD WINAPI CloseMessageBox(void *param) {
  SeenBox *seen = static_cast<SeenBox *>(param);
  for (int i = 0; i < 500; i++) {
    HWND box = nullptr;
    EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&box));
    if (box) {
      Sleep(50);
      GetWindowTextA(box, seen->caption, sizeof seen->caption);
      GetDlgItemTextA(box, 0xFFFF, seen->text, sizeof seen->text);
      seen->ownerless = GetWindow(box, GW_OWNER) == nullptr;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}

}  // namespace

TEST_F(SessionTest, RealMessageBoxShowsTheTableText) {
  MessageBoxHook = nullptr;
  SeenBox seen = {};
  HANDLE closer = CreateThread(nullptr, 0, CloseMessageBox, &seen, 0, nullptr);
  ShowGraphError(static_cast<HRESULT>(0x80040218L), "open");
  WaitForSingleObject(closer, 10000);
  DWORD exitCode = 1;
  GetExitCodeThread(closer, &exitCode);
  CloseHandle(closer);
  ASSERT_EQ(0u, exitCode) << "no message box appeared";
  EXPECT_STREQ("open", seen.caption);
  EXPECT_STREQ("ｽﾄﾘｰﾑをﾚﾝﾀﾞﾘﾝｸﾞするﾌｨﾙﾀの組み合わせが見つからない。", seen.text);
  EXPECT_TRUE(seen.ownerless);
}

namespace {

// The video window's rectangle in the TextView's client coordinates.
void VideoRect(long *left, long *top, long *width, long *height) {
  RECT r = {-1, -1, -2, -2};
  HWND video = GetWindow(TextViewWindow, GW_CHILD);
  if (video) {
    GetWindowRect(video, &r);
    MapWindowPoints(nullptr, TextViewWindow, reinterpret_cast<POINT *>(&r), 2);
  }
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

}  // namespace

// A video file: its window is owned by the TextView and covers it; a resize keeps
// it covering while no text matched, and one pixel while a text is shown.
TEST_F(SessionTest, VideoCoversTheTextViewAndFollowsItsSize) {
  std::string path = WriteTestFile("clip.avi", SmallAvi());
  HRESULT render = RenderResultOf(path);
  if (FAILED(render)) GTEST_SKIP() << "the framework renders no AVI here: " << std::hex << render;
  ASSERT_TRUE(OpenAndRun(path.c_str()));
  EXPECT_TRUE(Boxes().empty());
  Pump(200);
  ASSERT_NE(nullptr, GetWindow(TextViewWindow, GW_CHILD)) << "no video window in the TextView";
  RECT client;
  GetClientRect(TextViewWindow, &client);
  long left, top, width, height;
  VideoRect(&left, &top, &width, &height);
  EXPECT_EQ(0, left);
  EXPECT_EQ(0, top);
  EXPECT_EQ(client.right, width);
  EXPECT_EQ(client.bottom, height);
  if (const char *hold = getenv("BRAMLOE_VIEW_HOLD")) Pump(1000 * atoi(hold));

  SizeTextView(280, 200);
  Pump();
  VideoRect(&left, &top, &width, &height);
  EXPECT_EQ(0, left);
  EXPECT_EQ(0, top);
  EXPECT_EQ(TextView.viewWidth, width);
  EXPECT_EQ(TextView.viewHeight, height);

  PlayerState.matchedText = 0;
  SizeTextView(300, 220);
  Pump();
  VideoRect(&left, &top, &width, &height);
  EXPECT_EQ(0, left);
  EXPECT_EQ(0, top);
  EXPECT_EQ(1, width);
  EXPECT_EQ(1, height);
}

// A file with no sound leaves the audio renderer the session offers the graph idle: it
// is taken out again, so that the graph is the one RenderFile alone builds, and the
// song still ends.
TEST_F(SessionTest, ASongWithoutSoundKeepsNoAudioRenderer) {
  std::string path = WriteTestFile("silent.avi", SmallAvi());
  HRESULT render = RenderResultOf(path);
  if (FAILED(render)) GTEST_SKIP() << "the framework renders no AVI here: " << std::hex << render;
  ASSERT_TRUE(OpenAndRun(path.c_str()));
  IBaseFilter *renderer = nullptr;
  EXPECT_TRUE(FAILED(PlaybackSession.graph->FindFilterByName(L"Default DirectSound Device", &renderer)));
  if (renderer) renderer->Release();
  EXPECT_TRUE(WaitForEndOfSong(10000)) << "a one-second clip did not end";

  ResetSession(MainWindow);
  std::string tone = WriteTestFile("tone.wav", SineWav(440, 0.3));
  ASSERT_TRUE(OpenAndRun(tone.c_str()));
  ASSERT_TRUE(SUCCEEDED(PlaybackSession.graph->FindFilterByName(L"Default DirectSound Device", &renderer)))
      << "a song with sound plays through the renderer the session offered";
  renderer->Release();
}
