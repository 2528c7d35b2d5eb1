#include "player/graph_win.h"

#include <utility>

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

void FreeMediaType(AM_MEDIA_TYPE *type) {
  if (type->pbFormat) CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  *type = AM_MEDIA_TYPE();
}

IPin *AudioRendererInput(IGraphBuilder *graph) {
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

// Put into the empty graph before RenderFile: the graph tries its own filters first, so
// the decoder's output finds it there instead of in a search of every registered
// filter, which Wine makes list the audio devices again (about a fifth of a warm
// RenderFile). It is the renderer that search would pick.
IBaseFilter *AddAudioRenderer(IGraphBuilder *graph) {
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

// A song with no sound leaves the renderer unconnected; it goes, so that the graph is
// the one RenderFile alone would have built: one that answers for a volume it has not.
void DropUnusedRenderer(IGraphBuilder *graph, IBaseFilter *renderer) {
  IPin *input = PinOf(renderer, PINDIR_INPUT), *peer = nullptr;
  const bool connected = input && SUCCEEDED(input->ConnectedTo(&peer));
  if (peer) peer->Release();
  if (input) input->Release();
  if (!connected) graph->RemoveFilter(renderer);
}
