#include "player/session_win.h"

#include <cstring>

#include "library/library.h"
#include "player/keep_tempo_win.h"
#include "player/practice_win.h"
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

// The first file a process renders costs what no later one does: the decoders' modules
// are loaded and started and the audio devices are listed, over 100 ms under Wine, which
// would stand between the first Play and its sound. A song rendered beforehand, unseen
// and never run, by a thread that shares nothing with the window's, takes that cost
// while the user has yet to press Play. The thread starts once the window is up: made
// while the main thread was still setting up its windowing, it could deadlock with it
// inside Wine.
static char warmUpPath[PATH_BYTES];
static HANDLE warmUpThread;

static DWORD WINAPI WarmUp(void *) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 0;
  WCHAR widePath[MAX_PATH];
  IGraphBuilder *graph = nullptr;
  if (MultiByteToWideChar(CP_ACP, 0, warmUpPath, -1, widePath, MAX_PATH) &&
      SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                 reinterpret_cast<void **>(&graph)))) {
    graph->RenderFile(widePath, nullptr);  // what it fails on, Play will say
    graph->Release();
  }
  CoUninitialize();
  return 0;
}

void StartWarmUp() {
  if (warmUpThread) return;
  const int index = WarmUpSongIndex(MusicList.paths, MusicList.count, DecoderFlags.ogg);
  if (index < 0) return;
  std::memcpy(warmUpPath, MusicList.paths[index], PATH_BYTES);
  warmUpThread = CreateThread(nullptr, 0, WarmUp, nullptr, 0, nullptr);
}

// A file that holds its decoder up must not hold the exit up with it: after a while the
// thread is left to end with the process.
void EndWarmUp() {
  if (!warmUpThread) return;
  WaitForSingleObject(warmUpThread, 5000);
  CloseHandle(warmUpThread);
  warmUpThread = nullptr;
}

void ResetSession(HWND mainWindow) {
  StopGraph();
  ReleaseSession();
  CreateSession(mainWindow);
  EnableWindow(NextButton, FALSE);
  EnableWindow(PlayButton, TRUE);
}

// The default audio renderer, put into the empty graph before RenderFile: the graph
// tries its own filters first, so the decoder's output finds it there instead of in a
// search of every registered filter, which Wine makes list the audio devices again
// (about a fifth of a warm RenderFile). It is the renderer that search would pick.
static IBaseFilter *AddAudioRenderer(IGraphBuilder *graph) {
  IBaseFilter *renderer = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reinterpret_cast<void **>(&renderer))))
    return nullptr;
  if (FAILED(graph->AddFilter(renderer, L"Default DirectSound Device"))) {
    renderer->Release();
    return nullptr;
  }
  return renderer;
}

// The filter's first pin of the direction, with a reference, or null.
IPin *PinOf(IBaseFilter *filter, PIN_DIRECTION direction) {
  IEnumPins *pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return nullptr;
  IPin *found = nullptr, *pin = nullptr;
  while (!found && pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION its;
    if (SUCCEEDED(pin->QueryDirection(&its)) && its == direction)
      found = pin;
    else
      pin->Release();
  }
  pins->Release();
  return found;
}

// A song with no sound leaves the renderer unconnected; it goes, so that the graph is
// the one RenderFile alone would have built: one that answers for a volume it has not.
static void DropUnusedRenderer(IGraphBuilder *graph, IBaseFilter *renderer) {
  IPin *input = PinOf(renderer, PINDIR_INPUT), *peer = nullptr;
  const bool connected = input && SUCCEEDED(input->ConnectedTo(&peer));
  if (peer) peer->Release();
  if (input) input->Release();
  if (!connected) graph->RemoveFilter(renderer);
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
  IBaseFilter *renderer = s.graph ? AddAudioRenderer(s.graph) : nullptr;
  HRESULT result = s.graph ? s.graph->RenderFile(widePath, nullptr) : S_OK;
  if (renderer) {
    if (SUCCEEDED(result)) DropUnusedRenderer(s.graph, renderer);
    renderer->Release();
  }
  if (FAILED(result)) {
    ShowGraphError(result, OpenCaption);
    ResetSession(MainWindow);
    return false;
  }
  // Without it, as if the option were off and the tempo 100.
  if (PracticeStageWanted()) InsertKeepTempoStage(s.graph, path);
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
