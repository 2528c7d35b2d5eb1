#include "player/session_win.h"

#include "library/library.h"
#include "player/keep_tempo_win.h"
#include "player/session_rules.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

PlaybackSessionRecord PlaybackSession;

static HRESULT AskWithoutWaiting(IMediaControl *control, OAFilterState *state) {
  return control->GetState(0, state);
}

HRESULT (*AskGraphState)(IMediaControl *control, OAFilterState *state) = AskWithoutWaiting;
DWORD GraphStartLimit = 5000;

// The start of the current graph: when it was asked to run (0: it was not, or it has
// been stopped since) and whether it has been seen running since.
static DWORD runAskedAt;
static bool seenRunning;

// Releases an interface and clears the pointer, so a released one is never called.
template <typename Interface>
static void ReleaseInterface(Interface **pointer) {
  if (*pointer) {
    (*pointer)->Release();
    *pointer = nullptr;
  }
}

HRESULT CreateSession(HWND notifyWindow) {
  PlaybackSessionRecord &s = PlaybackSession;
  HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IGraphBuilder, reinterpret_cast<void **>(&s.graph));
  if (FAILED(result)) {
    s.graph = nullptr;
    ShowMessageBox(nullptr, CannotCreateGraphMessage, CreateCaption, MB_OK);
    return result;
  }
  result = s.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(&s.control));
  if (FAILED(result)) {
    s.control = nullptr;
    ShowMessageBox(nullptr, NoMediaControlMessage, CreateCaption, MB_OK);
    return result;
  }
  result = s.graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void **>(&s.events));
  if (FAILED(result)) {
    s.events = nullptr;
    ShowMessageBox(nullptr, NoMediaEventMessage, CreateCaption, MB_OK);
    return result;
  }
  s.events->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), WM_GRAPH_EVENT, 0);
  // Optional interfaces: one that cannot be had stays null and its calls are skipped.
  if (FAILED(s.graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void **>(&s.audio))))
    s.audio = nullptr;
  if (FAILED(s.graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(&s.seeking))))
    s.seeking = nullptr;
  if (FAILED(s.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void **>(&s.video))))
    s.video = nullptr;
  return result;
}

// The graph is neither stopped nor detached here: a reset stops it first, and at
// shutdown the windows are already gone.
void ReleaseSession() {
  PlaybackSessionRecord &s = PlaybackSession;
  DetachVideo();
  ForgetKeepTempoStage();
  ReleaseInterface(&s.video);
  ReleaseInterface(&s.seeking);
  ReleaseInterface(&s.audio);
  ReleaseInterface(&s.events);
  ReleaseInterface(&s.control);
  ReleaseInterface(&s.graph);
}

HRESULT RunGraph() {
  if (!PlaybackSession.control) return S_OK;
  HRESULT result = PlaybackSession.control->Run();
  runAskedAt = GetTickCount() | 1;  // never 0, which means not asked
  seenRunning = false;
  return result;
}

void StopGraph() {
  if (PlaybackSession.control) PlaybackSession.control->Stop();
  runAskedAt = 0;
  seenRunning = false;
}

// Once seen running the graph is not asked again until its next Run, so a tick costs
// no more than before.
bool GraphStarting() {
  if (!runAskedAt || seenRunning || !PlaybackSession.control) return false;
  OAFilterState state = State_Stopped;
  HRESULT result = AskGraphState(PlaybackSession.control, &state);
  seenRunning = SUCCEEDED(result) && result != VFW_S_STATE_INTERMEDIATE && state == State_Running;
  return !seenRunning;
}

bool GraphStartOverdue() {
  return runAskedAt && !seenRunning && GetTickCount() - runAskedAt > GraphStartLimit;
}

void ResetSession(HWND mainWindow) {
  StopGraph();
  ReleaseSession();
  CreateSession(mainWindow);
  EnableWindow(NextButton, FALSE);
  EnableWindow(PlayButton, TRUE);
}

bool OpenAndRun(const char *path) {
  WCHAR widePath[MAX_PATH];
  widePath[0] = L'\0';
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
  widePath[MAX_PATH - 1] = L'\0';  // a conversion that overflows leaves no terminator
  if (IsRefusedOggPath(path, DecoderFlags.ogg)) {
    ShowMessageBox(nullptr, OggRefusedMessage, nullptr, MB_OK);
    return false;
  }
  PlaybackSessionRecord &s = PlaybackSession;
  HRESULT result = s.graph ? s.graph->RenderFile(widePath, nullptr) : S_OK;
  if (FAILED(result)) {
    ShowGraphError(result, OpenCaption);
    ResetSession(MainWindow);
    return false;
  }
  if (KeepTempo) InsertKeepTempoStage(s.graph, path);  // without it, as if the option were off
  if (s.video) AttachVideo(s.video);
  result = RunGraph();
  if (FAILED(result)) {  // S_FALSE means the graph is still on its way to running
    ShowGraphError(result, RunCaption);
    ResetSession(MainWindow);
    return false;
  }
  return true;
}

// A code outside the table is shown too (a song deleted after the scan fails with
// one): a failure without a word would leave the music stopped and the old title up.
void ShowGraphError(HRESULT result, const char *caption) {
  char message[128];
  FormatGraphError(result, message, sizeof message);
  ShowMessageBox(nullptr, message, caption, MB_OK);
}
