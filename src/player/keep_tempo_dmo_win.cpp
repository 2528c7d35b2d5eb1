// The keep-tempo stage: a media object of one input and one output stream, each the
// same wave format, that shifts the pitch of the samples by the cents asked for and
// keeps their tempo. The COM objects are records with tables of procedures (the C
// form of the interfaces), so that they are written like the rest of the program.
#define CINTERFACE
#include "player/keep_tempo_dmo_win.h"

#include <dshow.h>
#include <mediaerr.h>
#include <mediaobj.h>
#include <mmreg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include <soundtouch/SoundTouch.h>

#include "player/keep_tempo.h"
#include "player/vocal.h"

// {7AE01B2F-14D1-46F7-A223-0092E1B94579}
const CLSID CLSID_KeepTempoStage = {
    0x7ae01b2f, 0x14d1, 0x46f7, {0xa2, 0x23, 0x00, 0x92, 0xe1, 0xb9, 0x45, 0x79}};

// The cents the stages play at, set on the window's thread, taken on the streaming one.
static volatile LONG StageCents = 0;

void SetKeepTempoCents(int cents) { InterlockedExchange(&StageCents, cents); }

// The tempo in percent, likewise.
static volatile LONG StageTempo = 100;

void SetKeepTempoTempo(int percent) { InterlockedExchange(&StageTempo, percent); }

// The voice setting, likewise.
static volatile LONG StageVocal = VOCAL_AS_RECORDED;

void SetKeepTempoVocal(int mode) { InterlockedExchange(&StageVocal, mode); }

// One stage. The wrapper filter aggregates it: `inner` is the stage's own IUnknown,
// and the IMediaObject's IUnknown methods go to `outer`. The wrapper calls it from the
// window's thread (types, Flush) and from the graph's streaming thread (the samples),
// hence the lock around everything that touches the time-stretcher.
struct StageObject {
  IMediaObject mediaObject;
  IUnknown inner;
  IUnknown *outer;
  LONG refs;
  CRITICAL_SECTION lock;
  DMO_MEDIA_TYPE type;  // the input's type, and so the output's; pbFormat null: none
  bool outputSet;
  StageFormat format;
  soundtouch::SoundTouch *stretcher;
  int cents;       // what the stretcher was last given
  int tempo;       // percent, likewise
  bool fed;        // samples went in since the last flush or drain
  bool timed;      // start holds the time of the first frame put out from here
  REFERENCE_TIME start;
  LONGLONG framesOut;
  float *scratch;  // floats on their way in or out
  int scratchFloats;
  VocalStage *vocal;  // stereo only: every stereo sample goes through it
  int owed;           // frames of its latency still to drop after the last flush
  // The bytes of a frame that a buffer ended inside of: a source may cut its buffers
  // anywhere (after a seek, for one), and the next buffer goes on with that frame.
  BYTE partial[8];
  int partialBytes;
};

static StageObject *StageOf(IMediaObject *object) {
  return reinterpret_cast<StageObject *>(reinterpret_cast<char *>(object) -
                                         offsetof(StageObject, mediaObject));
}
static StageObject *StageOfInner(IUnknown *inner) {
  return reinterpret_cast<StageObject *>(reinterpret_cast<char *>(inner) -
                                         offsetof(StageObject, inner));
}

static void FreeType(DMO_MEDIA_TYPE *type) {
  if (type->pbFormat) CoTaskMemFree(type->pbFormat);
  type->pbFormat = nullptr;
  type->cbFormat = 0;
}

// A copy whose format block the receiver frees with CoTaskMemFree, as with every
// media object's types.
static HRESULT CopyType(DMO_MEDIA_TYPE *to, const DMO_MEDIA_TYPE *from) {
  *to = *from;
  to->pUnk = nullptr;
  to->pbFormat = static_cast<BYTE *>(CoTaskMemAlloc(from->cbFormat));
  if (!to->pbFormat) return E_OUTOFMEMORY;
  std::memcpy(to->pbFormat, from->pbFormat, from->cbFormat);
  return S_OK;
}

// The stage's format for a type, refused unless it is audio in a wave format.
static StageFormat FormatOfType(const DMO_MEDIA_TYPE *type) {
  const StageFormat refused = {STAGE_REFUSED, 0, 0, 0};
  if (!type || !IsEqualGUID(type->majortype, MEDIATYPE_Audio) ||
      !IsEqualGUID(type->formattype, FORMAT_WaveFormatEx) || !type->pbFormat ||
      type->cbFormat < sizeof(WAVEFORMATEX))
    return refused;
  const WAVEFORMATEX *wave = reinterpret_cast<const WAVEFORMATEX *>(type->pbFormat);
  int tag = wave->wFormatTag;
  if (tag == WAVE_FORMAT_EXTENSIBLE) {
    if (type->cbFormat < sizeof(WAVEFORMATEXTENSIBLE)) return refused;
    // A subformat's first field is the tag of the plain format it extends.
    tag = static_cast<int>(
        reinterpret_cast<const WAVEFORMATEXTENSIBLE *>(wave)->SubFormat.Data1);
  }
  return StageFormatOf(tag, wave->nChannels, static_cast<int>(wave->nSamplesPerSec),
                       wave->wBitsPerSample, wave->nBlockAlign);
}

static bool SameFormat(const DMO_MEDIA_TYPE *a, const DMO_MEDIA_TYPE *b) {
  return a->cbFormat == b->cbFormat && IsEqualGUID(a->subtype, b->subtype) &&
         std::memcmp(a->pbFormat, b->pbFormat, a->cbFormat) == 0;
}

static bool MakeRoom(StageObject *stage, int floats) {
  if (floats <= stage->scratchFloats) return true;
  float *bigger = new (std::nothrow) float[floats];
  if (!bigger) return false;
  delete[] stage->scratch;
  stage->scratch = bigger;
  stage->scratchFloats = floats;
  return true;
}

// The samples through the voice setting, then into the stretcher. Stereo always goes
// through the extraction, as recorded too, so that its latency stays the same whatever
// the setting: the silence it puts out first is dropped, and the frame stamped t still
// carries the song's time t.
static void FeedStretcher(StageObject *stage, float *samples, int frames) {
  const int mode = static_cast<int>(InterlockedCompareExchange(&StageVocal, 0, 0));
  if (stage->vocal) VocalStageProcess(stage->vocal, samples, frames, stage->format.channels, mode);
  const int dropped = DropLatency(&stage->owed, frames);
  if (frames > dropped)
    stage->stretcher->putSamples(samples + dropped * stage->format.channels,
                                 static_cast<unsigned>(frames - dropped));
  stage->fed = true;
}

static void TakeCents(StageObject *stage) {
  int cents = static_cast<int>(InterlockedCompareExchange(&StageCents, 0, 0));
  int tempo = static_cast<int>(InterlockedCompareExchange(&StageTempo, 0, 0));
  if (tempo != stage->tempo) {
    stage->stretcher->setTempo(StageTempoFactor(tempo));
    stage->tempo = tempo;
  }
  if (cents == stage->cents) return;
  stage->stretcher->setPitchSemiTones(StageSemitones(cents));
  stage->cents = cents;
}

// The samples held are dropped: after a seek or a stop nothing from before is heard.
static void ForgetSamples(StageObject *stage) {
  if (stage->stretcher) stage->stretcher->clear();
  if (stage->vocal) VocalStageClear(stage->vocal);
  stage->owed = stage->vocal ? VocalLatency(stage->format.channels) : 0;
  stage->fed = false;
  stage->timed = false;
  stage->framesOut = 0;
  stage->partialBytes = 0;
}

static void DestroyStage(StageObject *stage) {
  delete stage->stretcher;
  delete stage->vocal;
  delete[] stage->scratch;
  FreeType(&stage->type);
  DeleteCriticalSection(&stage->lock);
  delete stage;
}

// The stage's own IUnknown.

static HRESULT STDMETHODCALLTYPE InnerQueryInterface(IUnknown *inner, REFIID iid, void **out) {
  StageObject *stage = StageOfInner(inner);
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *out = &stage->inner;
  } else if (IsEqualIID(iid, IID_IMediaObject)) {
    *out = &stage->mediaObject;
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown *>(*out)->lpVtbl->AddRef(static_cast<IUnknown *>(*out));
  return S_OK;
}

static ULONG STDMETHODCALLTYPE InnerAddRef(IUnknown *inner) {
  return static_cast<ULONG>(InterlockedIncrement(&StageOfInner(inner)->refs));
}

static ULONG STDMETHODCALLTYPE InnerRelease(IUnknown *inner) {
  StageObject *stage = StageOfInner(inner);
  LONG left = InterlockedDecrement(&stage->refs);
  if (left == 0) DestroyStage(stage);
  return static_cast<ULONG>(left);
}

static const IUnknownVtbl InnerTable = {InnerQueryInterface, InnerAddRef, InnerRelease};

// IMediaObject: its IUnknown is the outer object's.

static HRESULT STDMETHODCALLTYPE StageQueryInterface(IMediaObject *object, REFIID iid, void **out) {
  IUnknown *outer = StageOf(object)->outer;
  return outer->lpVtbl->QueryInterface(outer, iid, out);
}

static ULONG STDMETHODCALLTYPE StageAddRef(IMediaObject *object) {
  IUnknown *outer = StageOf(object)->outer;
  return outer->lpVtbl->AddRef(outer);
}

static ULONG STDMETHODCALLTYPE StageRelease(IMediaObject *object) {
  IUnknown *outer = StageOf(object)->outer;
  return outer->lpVtbl->Release(outer);
}

static HRESULT STDMETHODCALLTYPE GetStreamCount(IMediaObject *, DWORD *inputs, DWORD *outputs) {
  if (!inputs || !outputs) return E_POINTER;
  *inputs = *outputs = 1;
  return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetStreamInfo(IMediaObject *, DWORD index, DWORD *flags) {
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (!flags) return E_POINTER;
  *flags = 0;
  return S_OK;
}

// Any wave format of StageFormatOf goes in; nothing is proposed.
static HRESULT STDMETHODCALLTYPE GetInputType(IMediaObject *, DWORD index, DWORD, DMO_MEDIA_TYPE *) {
  return index != 0 ? DMO_E_INVALIDSTREAMINDEX : DMO_E_NO_MORE_ITEMS;
}

// What comes out is in the format that goes in.
static HRESULT STDMETHODCALLTYPE GetOutputType(IMediaObject *object, DWORD index, DWORD typeIndex,
                                               DMO_MEDIA_TYPE *type) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  EnterCriticalSection(&stage->lock);
  HRESULT result = !stage->type.pbFormat ? DMO_E_TYPE_NOT_SET
                   : typeIndex > 0       ? DMO_E_NO_MORE_ITEMS
                   : type                ? CopyType(type, &stage->type)
                                         : S_OK;
  LeaveCriticalSection(&stage->lock);
  return result;
}

static HRESULT STDMETHODCALLTYPE SetInputType(IMediaObject *object, DWORD index,
                                              const DMO_MEDIA_TYPE *type, DWORD flags) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (flags & DMO_SET_TYPEF_CLEAR) {
    EnterCriticalSection(&stage->lock);
    FreeType(&stage->type);
    stage->outputSet = false;
    LeaveCriticalSection(&stage->lock);
    return S_OK;
  }
  StageFormat format = FormatOfType(type);
  if (format.kind == STAGE_REFUSED) return DMO_E_TYPE_NOT_ACCEPTED;
  if (flags & DMO_SET_TYPEF_TEST_ONLY) return S_OK;
  soundtouch::SoundTouch *stretcher = new (std::nothrow) soundtouch::SoundTouch;
  if (!stretcher) return E_OUTOFMEMORY;
  stretcher->setSampleRate(static_cast<unsigned>(format.rate));
  stretcher->setChannels(static_cast<unsigned>(format.channels));
  stretcher->setPitchSemiTones(StageSemitones(static_cast<int>(StageCents)));
  stretcher->setTempo(StageTempoFactor(static_cast<int>(StageTempo)));
  VocalStage *vocal = nullptr;
  if (format.channels == 2) {  // without it the song plays as recorded
    vocal = new (std::nothrow) VocalStage();
    if (vocal && !VocalStageInit(vocal, format.rate)) {
      delete vocal;
      vocal = nullptr;
    }
  }
  EnterCriticalSection(&stage->lock);
  DMO_MEDIA_TYPE copy;
  HRESULT result = CopyType(&copy, type);
  if (SUCCEEDED(result)) {
    FreeType(&stage->type);
    stage->type = copy;
    stage->outputSet = false;
    stage->format = format;
    delete stage->stretcher;
    stage->stretcher = stretcher;
    delete stage->vocal;
    stage->vocal = vocal;
    stage->cents = static_cast<int>(StageCents);
    stage->tempo = static_cast<int>(StageTempo);
    ForgetSamples(stage);
    stretcher = nullptr;
    vocal = nullptr;
  }
  LeaveCriticalSection(&stage->lock);
  delete stretcher;
  delete vocal;
  return result;
}

static HRESULT STDMETHODCALLTYPE SetOutputType(IMediaObject *object, DWORD index,
                                               const DMO_MEDIA_TYPE *type, DWORD flags) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  EnterCriticalSection(&stage->lock);
  HRESULT result = S_OK;
  if (flags & DMO_SET_TYPEF_CLEAR) {
    stage->outputSet = false;
  } else if (!stage->type.pbFormat) {
    result = DMO_E_TYPE_NOT_SET;
  } else if (FormatOfType(type).kind == STAGE_REFUSED || !SameFormat(type, &stage->type)) {
    result = DMO_E_TYPE_NOT_ACCEPTED;
  } else if (!(flags & DMO_SET_TYPEF_TEST_ONLY)) {
    stage->outputSet = true;
  }
  LeaveCriticalSection(&stage->lock);
  return result;
}

static HRESULT CurrentType(StageObject *stage, bool set, DMO_MEDIA_TYPE *type) {
  EnterCriticalSection(&stage->lock);
  HRESULT result = !set || !stage->type.pbFormat ? DMO_E_TYPE_NOT_SET
                   : type                        ? CopyType(type, &stage->type)
                                                 : E_POINTER;
  LeaveCriticalSection(&stage->lock);
  return result;
}

static HRESULT STDMETHODCALLTYPE GetInputCurrentType(IMediaObject *object, DWORD index,
                                                     DMO_MEDIA_TYPE *type) {
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  return CurrentType(StageOf(object), true, type);
}

static HRESULT STDMETHODCALLTYPE GetOutputCurrentType(IMediaObject *object, DWORD index,
                                                      DMO_MEDIA_TYPE *type) {
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  return CurrentType(StageOf(object), StageOf(object)->outputSet, type);
}

static HRESULT STDMETHODCALLTYPE GetInputSizeInfo(IMediaObject *object, DWORD index, DWORD *size,
                                                  DWORD *lookahead, DWORD *alignment) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (!size || !lookahead || !alignment) return E_POINTER;
  if (!stage->type.pbFormat) return DMO_E_TYPE_NOT_SET;
  *size = static_cast<DWORD>(stage->format.frameBytes);
  *lookahead = 0;
  *alignment = 1;
  return S_OK;
}

// Buffers of a twentieth of a second: a pitch change is heard soon, and a song's
// samples take few calls.
static HRESULT STDMETHODCALLTYPE GetOutputSizeInfo(IMediaObject *object, DWORD index, DWORD *size,
                                                   DWORD *alignment) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (!size || !alignment) return E_POINTER;
  if (!stage->type.pbFormat) return DMO_E_TYPE_NOT_SET;
  *size = static_cast<DWORD>(stage->format.frameBytes * (stage->format.rate / 20));
  *alignment = 1;
  return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetInputMaxLatency(IMediaObject *, DWORD, REFERENCE_TIME *) {
  return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE SetInputMaxLatency(IMediaObject *, DWORD, REFERENCE_TIME) {
  return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE Flush(IMediaObject *object) {
  StageObject *stage = StageOf(object);
  EnterCriticalSection(&stage->lock);
  ForgetSamples(stage);
  LeaveCriticalSection(&stage->lock);
  return S_OK;
}

// The end of the input (of the song, or before a gap): what the stretcher holds is
// pushed out, so the last note is heard whole; the next samples start a new run of
// times.
static HRESULT STDMETHODCALLTYPE Discontinuity(IMediaObject *object, DWORD index) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  EnterCriticalSection(&stage->lock);
  if (stage->stretcher && stage->fed) {
    // What the voice setting holds back goes in first, pushed out by its latency of silence.
    const int held = VocalLatency(stage->format.channels);
    if (stage->vocal && MakeRoom(stage, held * stage->format.channels)) {
      std::fill(stage->scratch, stage->scratch + held * stage->format.channels, 0.0f);
      FeedStretcher(stage, stage->scratch, held);
    }
    stage->stretcher->flush();
  }
  stage->fed = false;
  LeaveCriticalSection(&stage->lock);
  return S_OK;
}

static HRESULT STDMETHODCALLTYPE StreamingResources(IMediaObject *) { return S_OK; }

static HRESULT STDMETHODCALLTYPE GetInputStatus(IMediaObject *, DWORD index, DWORD *flags) {
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (!flags) return E_POINTER;
  *flags = DMO_INPUT_STATUSF_ACCEPT_DATA;
  return S_OK;
}

// The samples go into the stretcher at once; the buffer is not kept.
static HRESULT STDMETHODCALLTYPE ProcessInput(IMediaObject *object, DWORD index, IMediaBuffer *buffer,
                                              DWORD flags, REFERENCE_TIME time, REFERENCE_TIME) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  if (!buffer) return E_POINTER;
  BYTE *bytes = nullptr;
  DWORD length = 0;
  if (FAILED(buffer->lpVtbl->GetBufferAndLength(buffer, &bytes, &length))) return E_FAIL;
  EnterCriticalSection(&stage->lock);
  HRESULT result = S_OK;
  if (!stage->stretcher || !stage->outputSet) {
    result = DMO_E_TYPE_NOT_SET;
  } else {
    const int frameBytes = stage->format.frameBytes;
    if (!stage->timed && (flags & DMO_INPUT_DATA_BUFFERF_TIME)) {
      stage->start = time;
      stage->framesOut = 0;
      stage->timed = true;
    }
    TakeCents(stage);
    if (stage->partialBytes > 0) {  // first the frame the last buffer began
      const int more = std::min(frameBytes - stage->partialBytes, static_cast<int>(length));
      std::memcpy(stage->partial + stage->partialBytes, bytes, static_cast<size_t>(more));
      stage->partialBytes += more;
      bytes += more;
      length -= static_cast<DWORD>(more);
      if (stage->partialBytes == frameBytes && MakeRoom(stage, stage->format.channels)) {
        StageSamplesToFloat(stage->format, stage->partial, 1, stage->scratch);
        FeedStretcher(stage, stage->scratch, 1);
        stage->partialBytes = 0;
      }
    }
    const int frames = static_cast<int>(length) / frameBytes;
    if (frames > 0 && MakeRoom(stage, frames * stage->format.channels)) {
      StageSamplesToFloat(stage->format, bytes, frames, stage->scratch);
      FeedStretcher(stage, stage->scratch, frames);
    }
    const int rest = static_cast<int>(length) - frames * frameBytes;
    if (rest > 0 && stage->partialBytes == 0) {
      std::memcpy(stage->partial, bytes + frames * frameBytes, static_cast<size_t>(rest));
      stage->partialBytes = rest;
    }
  }
  LeaveCriticalSection(&stage->lock);
  return result;
}

// As much as the buffer takes of what the stretcher has ready, with the times that
// follow on from the first sample put in; INCOMPLETE when more is ready.
static HRESULT STDMETHODCALLTYPE ProcessOutput(IMediaObject *object, DWORD, DWORD count,
                                               DMO_OUTPUT_DATA_BUFFER *buffers, DWORD *status) {
  StageObject *stage = StageOf(object);
  if (status) *status = 0;
  if (count != 1 || !buffers) return E_INVALIDARG;
  buffers[0].dwStatus = 0;
  IMediaBuffer *buffer = buffers[0].pBuffer;
  if (!buffer) return S_FALSE;
  BYTE *bytes = nullptr;
  DWORD length = 0, room = 0;
  if (FAILED(buffer->lpVtbl->GetBufferAndLength(buffer, &bytes, &length)) ||
      FAILED(buffer->lpVtbl->GetMaxLength(buffer, &room)) || room < length)
    return E_FAIL;
  EnterCriticalSection(&stage->lock);
  HRESULT result = S_FALSE;
  if (stage->stretcher) {
    const StageFormat &format = stage->format;
    int frames = static_cast<int>((room - length) / static_cast<DWORD>(format.frameBytes));
    const int ready = static_cast<int>(stage->stretcher->numSamples());
    if (frames > ready) frames = ready;
    if (frames > 0 && MakeRoom(stage, frames * format.channels)) {
      frames = static_cast<int>(
          stage->stretcher->receiveSamples(stage->scratch, static_cast<unsigned>(frames)));
      StageFloatToSamples(format, stage->scratch, frames, bytes + length);
      buffer->lpVtbl->SetLength(buffer, length + static_cast<DWORD>(frames * format.frameBytes));
      DMO_OUTPUT_DATA_BUFFER &out = buffers[0];
      out.dwStatus = DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT;
      if (stage->timed) {
        out.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_TIME | DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH;
        out.rtTimestamp = StageFrameTime(stage->start, stage->framesOut, format.rate);
        out.rtTimelength =
            StageFrameTime(stage->start, stage->framesOut + frames, format.rate) - out.rtTimestamp;
      }
      stage->framesOut += frames;
      if (stage->stretcher->numSamples() > 0) out.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
      result = S_OK;
    }
  }
  LeaveCriticalSection(&stage->lock);
  return result;
}

static HRESULT STDMETHODCALLTYPE Lock(IMediaObject *object, LONG take) {
  StageObject *stage = StageOf(object);
  if (take)
    EnterCriticalSection(&stage->lock);
  else
    LeaveCriticalSection(&stage->lock);
  return S_OK;
}

static const IMediaObjectVtbl StageTable = {
    StageQueryInterface, StageAddRef,         StageRelease,       GetStreamCount,
    GetStreamInfo,       GetStreamInfo,       GetInputType,       GetOutputType,
    SetInputType,        SetOutputType,       GetInputCurrentType, GetOutputCurrentType,
    GetInputSizeInfo,    GetOutputSizeInfo,   GetInputMaxLatency, SetInputMaxLatency,
    Flush,               Discontinuity,       StreamingResources, StreamingResources,
    GetInputStatus,      ProcessInput,        ProcessOutput,      Lock,
};

// The class factory: one record for the life of the process.

static HRESULT STDMETHODCALLTYPE FactoryQueryInterface(IClassFactory *factory, REFIID iid, void **out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = factory;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE FactoryAddRef(IClassFactory *) { return 2; }
static ULONG STDMETHODCALLTYPE FactoryRelease(IClassFactory *) { return 1; }

// Aggregated, the stage gives its own IUnknown only, as COM asks.
static HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory *, IUnknown *outer, REFIID iid,
                                                void **out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  StageObject *stage = new (std::nothrow) StageObject();
  if (!stage) return E_OUTOFMEMORY;
  stage->mediaObject.lpVtbl = const_cast<IMediaObjectVtbl *>(&StageTable);
  stage->inner.lpVtbl = const_cast<IUnknownVtbl *>(&InnerTable);
  stage->outer = outer ? outer : &stage->inner;
  stage->refs = 1;
  InitializeCriticalSection(&stage->lock);
  HRESULT result = InnerQueryInterface(&stage->inner, iid, out);
  InnerRelease(&stage->inner);  // the caller's reference is the one left, if any
  return result;
}

static HRESULT STDMETHODCALLTYPE LockServer(IClassFactory *, BOOL) { return S_OK; }

static const IClassFactoryVtbl FactoryTable = {FactoryQueryInterface, FactoryAddRef,
                                               FactoryRelease, CreateInstance, LockServer};
static IClassFactory StageFactory = {const_cast<IClassFactoryVtbl *>(&FactoryTable)};

HRESULT RegisterKeepTempoClass(DWORD *cookie) {
  return CoRegisterClassObject(CLSID_KeepTempoStage, reinterpret_cast<IUnknown *>(&StageFactory),
                               CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, cookie);
}

void RevokeKeepTempoClass(DWORD cookie) { CoRevokeClassObject(cookie); }
