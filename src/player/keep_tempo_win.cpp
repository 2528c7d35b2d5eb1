#include "player/keep_tempo_win.h"

#include <dmodshow.h>
#include <dmoreg.h>

#include <initializer_list>
#include <utility>

#include "player/keep_tempo_dmo_win.h"
#include "player/pitch_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/path_bytes.h"
#include "shell/player_state.h"
#include "shell/shell_win.h"

// The stage's name in the graph, by which it is found again.
static const WCHAR StageName[] = L"keep tempo";
static bool stageInGraph;

static void FreeMediaType(AM_MEDIA_TYPE *type) {
  if (type->pbFormat) CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  *type = AM_MEDIA_TYPE();
}

// The input of the graph's audio renderer: a filter without outputs whose input is
// connected to audio. Null for a song without sound, or an empty graph.
static IPin *AudioRendererInput(IGraphBuilder *graph) {
  IEnumFilters *filters = nullptr;
  if (FAILED(graph->EnumFilters(&filters))) return nullptr;
  IPin *found = nullptr;
  IBaseFilter *filter = nullptr;
  while (!found && filters->Next(1, &filter, nullptr) == S_OK) {
    IPin *output = PinOf(filter, PINDIR_OUTPUT);
    IPin *input = output ? nullptr : PinOf(filter, PINDIR_INPUT);
    if (output) output->Release();
    AM_MEDIA_TYPE type = AM_MEDIA_TYPE();
    if (input && SUCCEEDED(input->ConnectionMediaType(&type))) {
      if (IsEqualGUID(type.majortype, MEDIATYPE_Audio)) std::swap(found, input);
      FreeMediaType(&type);
    }
    if (input) input->Release();
    filter->Release();
  }
  filters->Release();
  return found;
}

// The system's DMO wrapper filter hosting a new stage. Only the wrapper creates the
// stage, inside Init, so the class is known to COM just for that call.
static IBaseFilter *MakeStageFilter() {
  IBaseFilter *filter = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IBaseFilter, reinterpret_cast<void **>(&filter))))
    return nullptr;
  IDMOWrapperFilter *wrapper = nullptr;
  HRESULT result = filter->QueryInterface(IID_IDMOWrapperFilter, reinterpret_cast<void **>(&wrapper));
  DWORD cookie = 0;
  if (SUCCEEDED(result)) result = RegisterKeepTempoClass(&cookie);
  if (SUCCEEDED(result)) {
    result = wrapper->Init(CLSID_KeepTempoStage, DMOCATEGORY_AUDIO_EFFECT);
    RevokeKeepTempoClass(cookie);
  }
  if (wrapper) wrapper->Release();
  if (FAILED(result)) {
    filter->Release();
    return nullptr;
  }
  return filter;
}

// decoder -> stage -> renderer, in the format the two had agreed on; on any failure
// the direct connection is made again, so the song never loses its sound to the stage.
static bool ConnectThroughStage(IGraphBuilder *graph, IPin *rendererIn) {
  IPin *decoderOut = nullptr;
  AM_MEDIA_TYPE type = AM_MEDIA_TYPE();
  bool done = false;
  if (SUCCEEDED(rendererIn->ConnectedTo(&decoderOut)) &&
      SUCCEEDED(rendererIn->ConnectionMediaType(&type))) {
    IBaseFilter *stage = MakeStageFilter();
    if (stage && SUCCEEDED(graph->AddFilter(stage, StageName))) {
      IPin *in = PinOf(stage, PINDIR_INPUT), *out = PinOf(stage, PINDIR_OUTPUT);
      graph->Disconnect(decoderOut);
      graph->Disconnect(rendererIn);
      done = in && out && SUCCEEDED(graph->ConnectDirect(decoderOut, in, &type)) &&
             SUCCEEDED(graph->ConnectDirect(out, rendererIn, &type));
      if (in) in->Release();
      if (out) out->Release();
      if (!done) {
        graph->RemoveFilter(stage);  // disconnects its pins
        graph->Disconnect(decoderOut);
        graph->Disconnect(rendererIn);
        graph->ConnectDirect(decoderOut, rendererIn, &type);
      }
    }
    if (stage) stage->Release();
  }
  if (decoderOut) decoderOut->Release();
  FreeMediaType(&type);
  return done;
}

static bool InsertStage(IGraphBuilder *graph) {
  IPin *rendererIn = AudioRendererInput(graph);
  if (!rendererIn) return false;
  stageInGraph = ConnectThroughStage(graph, rendererIn);
  rendererIn->Release();
  return stageInGraph;
}

// The cents are set before the samples flow: the graph starts before PlayNext
// restores the song's pitch, and its first samples would keep the last song's.
bool InsertKeepTempoStage(IGraphBuilder *graph, const char *songPath) {
  if (!graph) return false;
  char text[PATH_BYTES];
  ReadPitchEntry(songPath, text, sizeof text);
  SetKeepTempoCents(KeepTempo ? ParseDecimal(text) : 0);  // off, the rate carries the cents
  return InsertStage(graph);
}

// decoder -> renderer again, in the format they had through the stage.
static void RemoveStage(IGraphBuilder *graph) {
  IBaseFilter *stage = nullptr;
  if (FAILED(graph->FindFilterByName(StageName, &stage))) {
    stageInGraph = false;
    return;
  }
  IPin *in = PinOf(stage, PINDIR_INPUT), *out = PinOf(stage, PINDIR_OUTPUT);
  IPin *decoderOut = nullptr, *rendererIn = nullptr;
  AM_MEDIA_TYPE type = AM_MEDIA_TYPE();
  if (in && out && SUCCEEDED(in->ConnectedTo(&decoderOut)) &&
      SUCCEEDED(out->ConnectedTo(&rendererIn)) && SUCCEEDED(in->ConnectionMediaType(&type)) &&
      SUCCEEDED(graph->RemoveFilter(stage))) {
    stageInGraph = false;
    graph->ConnectDirect(decoderOut, rendererIn, &type);
  }
  for (IPin *pin : {in, out, decoderOut, rendererIn})
    if (pin) pin->Release();
  FreeMediaType(&type);
  stage->Release();
}

bool KeepTempoStageActive() { return stageInGraph; }

void ForgetKeepTempoStage() { stageInGraph = false; }

// A graph is changed only while stopped: a playing song is stopped, changed, put back
// where it stood and run again, which costs a moment's gap rather than the song.
void SwitchKeepTempo(HWND mainWindow) {
  char text[PATH_BYTES];
  GetWindowTextA(CentsEdit, text, sizeof text);
  const int cents = ParseDecimal(text);
  IGraphBuilder *graph = PlaybackSession.graph;
  const bool wanted = PracticeStageWanted();
  IPin *rendererIn = graph && wanted != stageInGraph ? AudioRendererInput(graph) : nullptr;
  if (rendererIn) {
    rendererIn->Release();
    const LONGLONG position = SongTimeNow();  // the song's own time, whatever the tempo
    const bool running = PlayerState.state == Playing;
    if (running) StopGraph();
    SetKeepTempoCents(KeepTempo ? cents : 0);
    if (wanted)
      InsertStage(graph);
    else
      RemoveStage(graph);
    SeekSongTo(mainWindow, position);
    if (running) RunGraph();
  }
  ApplyPitch(cents);
}
