#include "player/keep_tempo_win.h"

#include <dmodshow.h>
#include <dmoreg.h>
#include <mmreg.h>

#include <initializer_list>

#include "player/graph_win.h"
#include "player/keep_tempo_dmo_win.h"

// The stage's name in the graph, by which it is found again.
static const WCHAR StageName[] = L"keep tempo";

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

// The cents are set before the samples flow: the graph starts before the song's pitch
// is applied, and its first samples would keep the last song's.
bool InsertKeepTempoStage(IGraphBuilder *graph, int cents) {
  if (!graph) return false;
  SetKeepTempoCents(cents);
  IPin *rendererIn = AudioRendererInput(graph);
  if (!rendererIn) return false;
  const bool inserted = ConnectThroughStage(graph, rendererIn);
  rendererIn->Release();
  return inserted;
}

// decoder -> renderer again, in the format they had through the stage.
bool RemoveKeepTempoStage(IGraphBuilder *graph) {
  IBaseFilter *stage = nullptr;
  if (!graph || FAILED(graph->FindFilterByName(StageName, &stage))) return true;
  IPin *in = PinOf(stage, PINDIR_INPUT), *out = PinOf(stage, PINDIR_OUTPUT);
  IPin *decoderOut = nullptr, *rendererIn = nullptr;
  AM_MEDIA_TYPE type = AM_MEDIA_TYPE();
  bool removed = false;
  if (in && out && SUCCEEDED(in->ConnectedTo(&decoderOut)) &&
      SUCCEEDED(out->ConnectedTo(&rendererIn)) && SUCCEEDED(in->ConnectionMediaType(&type)) &&
      SUCCEEDED(graph->RemoveFilter(stage))) {
    removed = true;
    graph->ConnectDirect(decoderOut, rendererIn, &type);
  }
  for (IPin *pin : {in, out, decoderOut, rendererIn})
    if (pin) pin->Release();
  FreeMediaType(&type);
  stage->Release();
  return removed;
}

bool GraphHasAudio(IGraphBuilder *graph) {
  IPin *rendererIn = graph ? AudioRendererInput(graph) : nullptr;
  if (!rendererIn) return false;
  rendererIn->Release();
  return true;
}

int GraphAudioChannels(IGraphBuilder *graph) {
  IPin *rendererIn = graph ? AudioRendererInput(graph) : nullptr;
  if (!rendererIn) return 0;
  AM_MEDIA_TYPE type = AM_MEDIA_TYPE();
  int channels = 0;
  if (SUCCEEDED(rendererIn->ConnectionMediaType(&type)) && IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) &&
      type.pbFormat && type.cbFormat >= sizeof(WAVEFORMATEX))
    channels = reinterpret_cast<const WAVEFORMATEX *>(type.pbFormat)->nChannels;
  FreeMediaType(&type);
  rendererIn->Release();
  return channels;
}
