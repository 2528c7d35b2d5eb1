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

// Input kept for a loop to play again: the longest loop played without a seek.
static const int RingSeconds = 30;
// How far a loop's output may run ahead of real time before the stage lets it go.
static const int64_t HoldAheadMs = 1000;
// The voice setting, likewise.
static volatile LONG StageVocal = VOCAL_AS_RECORDED;

void SetKeepTempoVocal(int mode) { InterlockedExchange(&StageVocal, mode); }

// What the window's thread and the playing stage tell each other, under one lock: the
// seeks (each one numbered, with the song's time it went to), the loop, and the record
// of the song's times the stage put out last.
static SRWLOCK Shared = SRWLOCK_INIT;
static int SeekCount = 0;
static LONGLONG SeekSongTime = 0;
static long LoopStartMs = 0, LoopEndMs = 0;  // no loop: end not above start
static StageTimes Published = StageTimes();

void SetKeepTempoSeek(LONGLONG songTime) {
  AcquireSRWLockExclusive(&Shared);
  SeekCount++;
  SeekSongTime = songTime;
  ReleaseSRWLockExclusive(&Shared);
}

LONGLONG KeepTempoSeekTime() {
  AcquireSRWLockShared(&Shared);
  const LONGLONG time = SeekSongTime;
  ReleaseSRWLockShared(&Shared);
  return time;
}

void SetKeepTempoLoop(long startMs, long endMs) {
  AcquireSRWLockExclusive(&Shared);
  LoopStartMs = startMs;
  LoopEndMs = endMs;
  ReleaseSRWLockExclusive(&Shared);
}

bool ReadKeepTempoTimes(StageTimes *times) {
  AcquireSRWLockShared(&Shared);
  *times = Published;
  const bool current = Published.generation != 0 && Published.generation == SeekCount;
  ReleaseSRWLockShared(&Shared);
  return current;
}

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
  // The input since the last flush, the latest of it kept in a ring (for a loop to play
  // again), and how far it went on into the stretcher. While a loop plays from the ring
  // the input is held: the graph's thread stays in the output calls.
  BYTE *ring;
  int64_t ringFrames;
  int64_t received;  // input frames taken in
  int64_t fedTo;     // the next input frame into the stretcher
  double fedOut;     // the output frames what went in gives, at its tempo
  bool ended;        // the input ended, and no more came since
  StageTimes times;  // the song's times of the output; generation 0 until the first input
  DWORD holdTick;    // when the graph's thread last brought input, and the frames put
  int64_t holdFrames;  // out since: a hold that runs ahead of real time is let go
  // The bytes of a frame that a buffer ended inside of: a source may cut its buffers
  // anywhere (after a seek, for one), and the next buffer goes on with that frame.
  BYTE partial[8];
  int partialBytes;
};

// A loop's seam: its end faded into its start over 10 ms, without a click.
static int SeamFrames(const StageObject *stage) { return stage->format.rate / 100; }

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
  stage->fedOut += frames * 100.0 / stage->tempo;
}

static void Publish(const StageTimes &times) {
  AcquireSRWLockExclusive(&Shared);
  Published = times;
  ReleaseSRWLockExclusive(&Shared);
}

// The output frame the next input frame will come out as: the stretcher, started with
// its first input, keeps the two in step at the tempo.
static int64_t NextOutputFrame(const StageObject *stage) { return std::llround(stage->fedOut); }

static void TakeCents(StageObject *stage) {
  int cents = static_cast<int>(InterlockedCompareExchange(&StageCents, 0, 0));
  int tempo = static_cast<int>(InterlockedCompareExchange(&StageTempo, 0, 0));
  if (tempo != stage->tempo) {
    stage->stretcher->setTempo(StageTempoFactor(tempo));
    stage->tempo = tempo;
    if (stage->times.generation != 0) {
      MarkStageTimes(&stage->times, NextOutputFrame(stage), stage->fedTo, tempo);
      Publish(stage->times);
    }
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
  stage->received = stage->fedTo = 0;
  stage->fedOut = 0;
  stage->ended = false;
  // The record stays as it was until the next input: a stopped song's time still reads.
  stage->times.generation = 0;
  stage->fed = false;
  stage->timed = false;
  stage->framesOut = 0;
  stage->partialBytes = 0;
}

static void DestroyStage(StageObject *stage) {
  delete stage->stretcher;
  delete stage->vocal;
  delete[] stage->scratch;
  delete[] stage->ring;
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
  const int64_t ringFrames = static_cast<int64_t>(format.rate) * RingSeconds;
  BYTE *ring = new (std::nothrow) BYTE[static_cast<size_t>(ringFrames * format.frameBytes)];
  if (!ring) {
    delete stretcher;
    return E_OUTOFMEMORY;
  }
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
    delete[] stage->ring;
    stage->ring = ring;
    stage->ringFrames = ringFrames;
    stage->cents = static_cast<int>(StageCents);
    stage->tempo = static_cast<int>(StageTempo);
    ForgetSamples(stage);
    stretcher = nullptr;
    vocal = nullptr;
    ring = nullptr;
  }
  LeaveCriticalSection(&stage->lock);
  delete stretcher;
  delete vocal;
  delete[] ring;
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

// The ring's frames from input frame `from` on, as floats into the scratch room.
static void ReadRing(StageObject *stage, int64_t from, int frames, float *out) {
  const StageFormat &format = stage->format;
  while (frames > 0) {
    const int64_t at = from % stage->ringFrames;
    const int run = static_cast<int>(std::min<int64_t>(frames, stage->ringFrames - at));
    StageSamplesToFloat(format, stage->ring + at * format.frameBytes, run, out);
    out += run * format.channels;
    from += run;
    frames -= run;
  }
}

static void AppendToRing(StageObject *stage, const BYTE *bytes, int frames) {
  const int frameBytes = stage->format.frameBytes;
  while (frames > 0) {
    const int64_t at = stage->received % stage->ringFrames;
    const int run = static_cast<int>(std::min<int64_t>(frames, stage->ringFrames - at));
    std::memcpy(stage->ring + at * frameBytes, bytes, static_cast<size_t>(run) * frameBytes);
    bytes += run * frameBytes;
    stage->received += run;
    frames -= run;
  }
  const int64_t oldest = std::max<int64_t>(0, stage->received - stage->ringFrames);
  stage->times.heldFrom = stage->times.songStart + StageFrameTime(0, oldest, stage->format.rate);
}

// The record starts with the first input after a flush, following the seek the window
// asked for last: its frames carry the song's time from there.
static void StartTimes(StageObject *stage, REFERENCE_TIME time) {
  AcquireSRWLockShared(&Shared);
  const int generation = SeekCount;
  const LONGLONG songTime = SeekSongTime;
  ReleaseSRWLockShared(&Shared);
  StartStageTimes(&stage->times, generation, songTime + time, time, stage->format.rate,
                  stage->tempo, stage->ringFrames);
}

// The loop as the stage plays it, in input frames: from `start`, the seam due at `seam`.
struct LoopPlan {
  bool served;
  int64_t start, seam;
};

static LoopPlan PlanLoop(const StageObject *stage) {
  AcquireSRWLockShared(&Shared);
  const long startMs = LoopStartMs, endMs = LoopEndMs;
  ReleaseSRWLockShared(&Shared);
  LoopPlan plan = {false, 0, 0};
  if (stage->times.generation == 0 || !StageServesLoop(stage->times, startMs, endMs)) return plan;
  const int64_t oldest = std::max<int64_t>(0, stage->received - stage->ringFrames);
  int64_t end = StageInputFrame(stage->times, static_cast<int64_t>(endMs) * 10000);
  if (stage->ended) end = std::min(end, stage->received);
  plan.start = std::max(oldest, StageInputFrame(stage->times, static_cast<int64_t>(startMs) * 10000));
  plan.seam = std::max(stage->fedTo, end - SeamFrames(stage));
  plan.served = plan.seam > plan.start + SeamFrames(stage);
  return plan;
}

// The loop's end faded into its start: the ring's frames from the seam on, with silence
// past the input's end, over the frames from the start on. The output carries the start
// from here.
static void PlaySeam(StageObject *stage, const LoopPlan &plan) {
  const int frames = SeamFrames(stage), channels = stage->format.channels;
  if (!MakeRoom(stage, 3 * frames * channels)) return;
  float *ending = stage->scratch + frames * channels, *starting = ending + frames * channels;
  const int ready = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(frames, stage->received - plan.seam)));
  ReadRing(stage, plan.seam, ready, ending);
  std::fill(ending + ready * channels, ending + frames * channels, 0.0f);
  ReadRing(stage, plan.start, frames, starting);
  CrossfadeSeam(ending, starting, frames, channels, stage->scratch);
  MarkStageTimes(&stage->times, NextOutputFrame(stage), plan.start, stage->tempo);
  Publish(stage->times);
  FeedStretcher(stage, stage->scratch, frames);
  stage->fedTo = plan.start + frames;
}

// What the voice setting holds back goes in, pushed out by its latency of silence, and
// the stretcher gives out all it holds: the last note is heard whole. Input after it
// starts the extraction afresh, its latency dropped again.
static void PushOutTheTail(StageObject *stage) {
  if (!stage->fed) return;
  const int held = VocalLatency(stage->format.channels);
  const double fedOut = stage->fedOut;  // the silence is none of the song's
  if (stage->vocal && MakeRoom(stage, held * stage->format.channels)) {
    std::fill(stage->scratch, stage->scratch + held * stage->format.channels, 0.0f);
    FeedStretcher(stage, stage->scratch, held);
    VocalStageClear(stage->vocal);
    stage->owed = held;
  }
  stage->fedOut = fedOut;
  stage->stretcher->flush();
  stage->fed = false;
}

// Input from the ring into the stretcher: all that came in, or while a loop plays, until
// the stretcher has a few output buffers ready. False when the stretcher can be given
// nothing more without new input.
static bool Feed(StageObject *stage) {
  const unsigned enough = static_cast<unsigned>(stage->format.rate / 10);
  for (;;) {
    const LoopPlan plan = PlanLoop(stage);
    if (plan.served && stage->stretcher->numSamples() >= enough) return true;
    if (plan.served && stage->fedTo >= plan.seam) {
      if (plan.seam + SeamFrames(stage) > stage->received && !stage->ended) return false;
      PlaySeam(stage, plan);
      continue;
    }
    const int64_t limit = plan.served ? plan.seam : stage->received;
    const int frames = static_cast<int>(std::min<int64_t>(limit - stage->fedTo, 4096));
    if (frames <= 0) {
      if (stage->ended) PushOutTheTail(stage);
      return false;
    }
    if (!MakeRoom(stage, frames * stage->format.channels)) return false;
    ReadRing(stage, stage->fedTo, frames, stage->scratch);
    FeedStretcher(stage, stage->scratch, frames);
    stage->fedTo += frames;
  }
}

// The end of the input (of the song, or before a gap): what the stretcher holds is
// pushed out, so the last note is heard whole, unless a loop still plays it again.
static HRESULT STDMETHODCALLTYPE Discontinuity(IMediaObject *object, DWORD index) {
  StageObject *stage = StageOf(object);
  if (index != 0) return DMO_E_INVALIDSTREAMINDEX;
  EnterCriticalSection(&stage->lock);
  if (stage->stretcher && stage->ring && stage->received > 0) {
    stage->ended = true;
    stage->holdTick = GetTickCount();
    stage->holdFrames = 0;
    Feed(stage);
  }
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

// The samples go into the ring and on into the stretcher; the buffer is not kept.
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
  if (!stage->stretcher || !stage->outputSet || !stage->ring) {
    result = DMO_E_TYPE_NOT_SET;
  } else {
    const int frameBytes = stage->format.frameBytes;
    if (!stage->timed && (flags & DMO_INPUT_DATA_BUFFERF_TIME)) {
      stage->start = time;
      stage->framesOut = 0;
      stage->timed = true;
    }
    if (stage->times.generation == 0) StartTimes(stage, stage->timed ? stage->start : 0);
    stage->ended = false;
    stage->holdTick = GetTickCount();
    stage->holdFrames = 0;
    TakeCents(stage);
    if (stage->partialBytes > 0) {  // first the frame the last buffer began
      const int more = std::min(frameBytes - stage->partialBytes, static_cast<int>(length));
      std::memcpy(stage->partial + stage->partialBytes, bytes, static_cast<size_t>(more));
      stage->partialBytes += more;
      bytes += more;
      length -= static_cast<DWORD>(more);
      if (stage->partialBytes == frameBytes) {
        AppendToRing(stage, stage->partial, 1);
        stage->partialBytes = 0;
      }
    }
    const int frames = static_cast<int>(length) / frameBytes;
    AppendToRing(stage, bytes, frames);
    const int rest = static_cast<int>(length) - frames * frameBytes;
    if (rest > 0 && stage->partialBytes == 0) {
      std::memcpy(stage->partial, bytes + frames * frameBytes, static_cast<size_t>(rest));
      stage->partialBytes = rest;
    }
    Publish(stage->times);
    Feed(stage);
  }
  LeaveCriticalSection(&stage->lock);
  return result;
}

// As much as the buffer takes of what the stretcher has ready, with the times that
// follow on from the first sample put in; INCOMPLETE when more is ready, and while a
// loop plays, for as long as the renderer takes its buffers at the pace of their times.
// The renderer gives a buffer back at once while it flushes: a loop that runs ahead of
// real time by a second is let go, so that the graph's thread comes out to the flush.
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
  if (stage->stretcher && stage->ring) {
    const StageFormat &format = stage->format;
    bool more = Feed(stage);
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
      stage->holdFrames += frames;
      const DWORD elapsed = GetTickCount() - stage->holdTick;
      if (stage->holdFrames * 1000 / format.rate > static_cast<int64_t>(elapsed) + HoldAheadMs) more = false;
      if (stage->stretcher->numSamples() > 0 || more) out.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
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
