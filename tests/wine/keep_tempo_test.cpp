// Keep tempo under Wine: the stage by itself (formats, flush, the end of the input),
// and in the player's graph with the sound captured: the tones heard at their cents in
// their own length, the last note whole, nothing from before a seek, the option
// switched while a song plays, and the menu item that shows it.
#include "wine/player_fixture_win.h"
#include "wine/sound_capture_win.h"
#include "wine/keep_tempo_player_win.h"

#include <mediaerr.h>
#include <mediaobj.h>
#include <mmreg.h>

#include "app/commands_win.h"
#include "player/keep_tempo.h"
#include "player/keep_tempo_dmo_win.h"
#include "player/keep_tempo_win.h"
#include "player/player_win.h"
#include "player/position_win.h"
#include "player/vocal.h"
#include "settings/settings_win.h"
#include "tone_measure.h"

using namespace capturetest;
using namespace playertest;

namespace {

const double Pi = 3.14159265358979323846;

// A media buffer over bytes of the test's own.
struct TestBuffer : IMediaBuffer {
  std::vector<BYTE> bytes;
  DWORD length = 0;
  explicit TestBuffer(size_t room) : bytes(room) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
    *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMediaBuffer) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE SetLength(DWORD value) override {
    if (value > bytes.size()) return E_INVALIDARG;
    length = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD *room) override {
    *room = static_cast<DWORD>(bytes.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE **start, DWORD *value) override {
    if (start) *start = bytes.data();
    if (value) *value = length;
    return S_OK;
  }
};

// A wave format's media type; the format block lives in wave.
DMO_MEDIA_TYPE WaveType(WAVEFORMATEX *wave, int tag, int channels, int rate, int bits) {
  *wave = WAVEFORMATEX();
  wave->wFormatTag = static_cast<WORD>(tag);
  wave->nChannels = static_cast<WORD>(channels);
  wave->nSamplesPerSec = static_cast<DWORD>(rate);
  wave->wBitsPerSample = static_cast<WORD>(bits);
  wave->nBlockAlign = static_cast<WORD>(channels * bits / 8);
  wave->nAvgBytesPerSec = wave->nSamplesPerSec * wave->nBlockAlign;
  DMO_MEDIA_TYPE type = DMO_MEDIA_TYPE();
  type.majortype = MEDIATYPE_Audio;
  type.subtype = tag == WAVE_FORMAT_IEEE_FLOAT ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM;
  type.formattype = FORMAT_WaveFormatEx;
  type.cbFormat = sizeof(WAVEFORMATEX);
  type.pbFormat = reinterpret_cast<BYTE *>(wave);
  return type;
}

// A sine of hz in the format, every channel alike.
std::vector<unsigned char> Tone(const StageFormat &format, double hz, double seconds) {
  const int frames = static_cast<int>(format.rate * seconds);
  std::vector<float> samples(static_cast<size_t>(frames) * format.channels);
  for (int i = 0; i < frames; i++)
    for (int c = 0; c < format.channels; c++)
      samples[static_cast<size_t>(i) * format.channels + c] =
          0.4f * static_cast<float>(std::sin(2 * Pi * hz * i / format.rate));
  std::vector<unsigned char> bytes(static_cast<size_t>(frames) * format.frameBytes);
  StageFloatToSamples(format, samples.data(), frames, bytes.data());
  return bytes;
}

// The first channel as 16-bit samples, for the tone measure.
std::vector<short> FirstChannel(const StageFormat &format, const std::vector<unsigned char> &bytes) {
  const int frames = static_cast<int>(bytes.size()) / format.frameBytes;
  std::vector<float> samples(static_cast<size_t>(frames) * format.channels);
  StageSamplesToFloat(format, bytes.data(), frames, samples.data());
  std::vector<short> first(static_cast<size_t>(frames));
  for (int i = 0; i < frames; i++)
    first[i] = static_cast<short>(std::lround(samples[static_cast<size_t>(i) * format.channels] * 32767));
  return first;
}

class KeepTempoStage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    DWORD cookie = 0;
    ASSERT_TRUE(SUCCEEDED(RegisterKeepTempoClass(&cookie)));
    HRESULT made = CoCreateInstance(CLSID_KeepTempoStage, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IMediaObject, reinterpret_cast<void **>(&stage));
    RevokeKeepTempoClass(cookie);
    ASSERT_TRUE(SUCCEEDED(made));
  }
  void TearDown() override {
    if (stage) stage->Release();
    SetKeepTempoCents(0);
    SetKeepTempoVocal(VOCAL_AS_RECORDED);
    CoUninitialize();
  }

  // Both streams in the format; false when the stage refuses it.
  bool Use(int tag, int channels, int rate, int bits) {
    DMO_MEDIA_TYPE type = WaveType(&wave, tag, channels, rate, bits);
    format = StageFormatOf(tag, channels, rate, bits, channels * bits / 8);
    return SUCCEEDED(stage->SetInputType(0, &type, 0)) && SUCCEEDED(stage->SetOutputType(0, &type, 0));
  }

  void Feed(const std::vector<unsigned char> &bytes, REFERENCE_TIME time) {
    TestBuffer in(bytes.size());
    std::copy(bytes.begin(), bytes.end(), in.bytes.begin());
    in.length = static_cast<DWORD>(bytes.size());
    ASSERT_EQ(S_OK, stage->ProcessInput(0, &in, DMO_INPUT_DATA_BUFFERF_TIME, time, 0));
  }

  // Everything the stage has ready, buffer by buffer as the wrapper asks for it; the
  // time stamped on the first buffer into firstTime.
  std::vector<unsigned char> Drain(REFERENCE_TIME *firstTime = nullptr) {
    DWORD size = 0, alignment = 0;
    EXPECT_EQ(S_OK, stage->GetOutputSizeInfo(0, &size, &alignment));
    std::vector<unsigned char> out;
    for (int calls = 0; calls < 100000; calls++) {
      TestBuffer buffer(size);
      DMO_OUTPUT_DATA_BUFFER data = {&buffer, 0, 0, 0};
      DWORD status = 0;
      if (stage->ProcessOutput(0, 1, &data, &status) != S_OK) break;
      if (out.empty() && firstTime) *firstTime = data.rtTimestamp;
      out.insert(out.end(), buffer.bytes.begin(), buffer.bytes.begin() + buffer.length);
      if (!(data.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE)) break;
    }
    return out;
  }

  // What is ready, then the end of the input and all it pushes out.
  std::vector<unsigned char> DrainToTheEnd(REFERENCE_TIME *firstTime = nullptr) {
    std::vector<unsigned char> out = Drain(firstTime);
    EXPECT_EQ(S_OK, stage->Discontinuity(0));
    std::vector<unsigned char> tail = Drain();
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
  }

  IMediaObject *stage = nullptr;
  WAVEFORMATEX wave;
  StageFormat format;
};

// An octave up at the same length in every format taken; what is refused is said so.
TEST_F(KeepTempoStage, EveryFormatTakenComesOutAnOctaveUpAtItsLength) {
  const struct {
    int tag, channels, rate, bits;
  } taken[] = {{WAVE_FORMAT_PCM, 2, 44100, 16}, {WAVE_FORMAT_PCM, 1, 8000, 8},
               {WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32}, {WAVE_FORMAT_PCM, 1, 22050, 16}};
  SetKeepTempoCents(1200);
  for (const auto &t : taken) {
    SCOPED_TRACE(t.rate);
    ASSERT_TRUE(Use(t.tag, t.channels, t.rate, t.bits));
    std::vector<unsigned char> in = Tone(format, 440, 1.0);
    Feed(in, 0);
    std::vector<unsigned char> out = DrainToTheEnd();
    EXPECT_NEAR(static_cast<double>(in.size()), static_cast<double>(out.size()), in.size() * 0.01);
    std::vector<short> heard = FirstChannel(format, out);
    EXPECT_TRUE(tone::Near(tone::Frequency(heard, heard.size() / 4, heard.size() * 3 / 4, t.rate), 880, 0.01));
  }
  const struct {
    int tag, channels, rate, bits;
  } refused[] = {{WAVE_FORMAT_PCM, 2, 44100, 24}, {WAVE_FORMAT_PCM, 6, 48000, 16},
                 {WAVE_FORMAT_PCM, 2, 96000, 16}, {WAVE_FORMAT_IEEE_FLOAT, 2, 44100, 64}};
  for (const auto &r : refused) {
    DMO_MEDIA_TYPE type = WaveType(&wave, r.tag, r.channels, r.rate, r.bits);
    EXPECT_EQ(DMO_E_TYPE_NOT_ACCEPTED, stage->SetInputType(0, &type, DMO_SET_TYPEF_TEST_ONLY)) << r.rate;
  }
  // What comes out is what goes in: another rate out is refused.
  ASSERT_TRUE(Use(WAVE_FORMAT_PCM, 2, 44100, 16));
  WAVEFORMATEX other;
  DMO_MEDIA_TYPE otherType = WaveType(&other, WAVE_FORMAT_PCM, 2, 48000, 16);
  EXPECT_EQ(DMO_E_TYPE_NOT_ACCEPTED, stage->SetOutputType(0, &otherType, 0));
}

// After a flush (a seek, a stop) nothing held from before comes out, and the times
// start again from the first new sample.
TEST_F(KeepTempoStage, FlushDropsWhatItHolds) {
  SetKeepTempoCents(1200);
  ASSERT_TRUE(Use(WAVE_FORMAT_PCM, 2, 44100, 16));
  Feed(Tone(format, 440, 0.5), 0);
  Drain();
  ASSERT_EQ(S_OK, stage->Flush());
  TestBuffer buffer(65536);
  DMO_OUTPUT_DATA_BUFFER data = {&buffer, 0, 0, 0};
  DWORD status = 0;
  EXPECT_EQ(S_FALSE, stage->ProcessOutput(0, 1, &data, &status));
  EXPECT_EQ(0u, buffer.length);

  const REFERENCE_TIME jumpedTo = 40000000;
  Feed(Tone(format, 660, 0.5), jumpedTo);
  REFERENCE_TIME first = -1;
  std::vector<unsigned char> out = DrainToTheEnd(&first);
  EXPECT_EQ(jumpedTo, first);
  std::vector<short> heard = FirstChannel(format, out);
  std::vector<double> windows = tone::WindowFrequencies(heard, 0, heard.size(), 441, 44100);
  ASSERT_FALSE(windows.empty());
  for (size_t i = 0; i < windows.size(); i++)
    EXPECT_FALSE(tone::Near(windows[i], 880, 0.02)) << "the old tone in window " << i;
  EXPECT_TRUE(tone::Near(tone::Frequency(heard, heard.size() / 4, heard.size() * 3 / 4, 44100), 1320, 0.01));
}

// A source may end its buffers inside a frame (Wine's wave parser does after a seek):
// the samples stay in step, and no byte is lost.
TEST_F(KeepTempoStage, BuffersCutInsideAFrameKeepTheSamplesInStep) {
  SetKeepTempoCents(1200);
  ASSERT_TRUE(Use(WAVE_FORMAT_PCM, 2, 44100, 16));
  std::vector<unsigned char> in = Tone(format, 440, 1.0);
  for (size_t at = 0; at < in.size(); at += 1001)
    Feed(std::vector<unsigned char>(in.begin() + at, in.begin() + std::min(in.size(), at + 1001)), 0);
  std::vector<unsigned char> out = DrainToTheEnd();
  EXPECT_NEAR(static_cast<double>(in.size()), static_cast<double>(out.size()), in.size() * 0.01);
  std::vector<short> heard = FirstChannel(format, out);
  std::vector<double> windows = tone::WindowFrequencies(heard, 4410, heard.size() - 4410, 441, 44100);
  for (size_t i = 0; i < windows.size(); i++) EXPECT_TRUE(tone::Near(windows[i], 880, 0.02)) << i;
}

// The voice setting before the stretcher: a tone in both channels is taken out with the
// voice reduced, one in the left channel alone with the voice kept alone; the song
// comes out whole and no longer: the extraction's latency is dropped, not heard.
TEST_F(KeepTempoStage, TheVoiceSettingTakesOutTheCentreOrTheSides) {
  const struct {
    int mode;
    bool bothChannels;
  } cases[] = {{VOCAL_REDUCED, true}, {VOCAL_ONLY, false}};
  ASSERT_TRUE(Use(WAVE_FORMAT_PCM, 2, 44100, 16));
  for (const auto &c : cases) {
    SetKeepTempoVocal(c.mode);
    ASSERT_EQ(S_OK, stage->Flush());
    std::vector<unsigned char> in = Tone(format, 440, 1.0);
    if (!c.bothChannels)
      for (size_t i = 2; i + 1 < in.size(); i += 4) in[i] = in[i + 1] = 0;
    Feed(in, 0);
    std::vector<unsigned char> out = DrainToTheEnd();
    EXPECT_NEAR(static_cast<double>(in.size()), static_cast<double>(out.size()), in.size() * 0.01);
    const std::vector<short> sent = FirstChannel(format, in), heard = FirstChannel(format, out);
    int sentPeak = 0, heardPeak = 0;
    for (size_t i = sent.size() / 4; i < sent.size() * 3 / 4; i++) {
      sentPeak = std::max(sentPeak, std::abs(static_cast<int>(sent[i])));
      if (i < heard.size()) heardPeak = std::max(heardPeak, std::abs(static_cast<int>(heard[i])));
    }
    EXPECT_LT(heardPeak * 10, sentPeak) << c.mode;
  }
}

TEST_F(KeepTempoPlayer, TonesAreHeardAtTheirCentsInTheirOwnLength) {
  const struct {
    const char *cents;
    double hz;
  } cases[] = {{"1200", 880.0}, {"100", 466.16}, {"-500", 329.63}};
  KeepTempo = 1;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.cents);
    long before = Play(media::Tone(440, 3), c.cents);
    ASSERT_EQ(Playing, Controller.state);
    EXPECT_NE(nullptr, StageInGraph());
    ExpectRates({1.0});  // the pitch moves, the rate does not
    EXPECT_NEAR(3.0, PlaybackSession.duration, 0.01);
    std::vector<short> heard = HeardToTheEnd(before);
    tone::Span span = tone::LoudSpan(heard);
    const double seconds = span.Length() / 44100.0;
    const double hz = tone::Frequency(heard, span.first + 22050, span.last - 22050, 44100);
    std::printf("keep tempo %s cents: %.2f Hz for %.3f s\n", c.cents, hz, seconds);
    EXPECT_TRUE(tone::Near(hz, c.hz, 0.01)) << hz;
    EXPECT_NEAR(3.0, seconds, 3.0 * 0.02);
    StopSong(MainWindow);
  }
}

// Off, the graph and the rate are as without the option; Wine takes the rate and
// plays the tone as it is.
TEST_F(KeepTempoPlayer, OffTheRateIsAskedAsBefore) {
  long before = Play(media::Tone(440, 2), "1200");
  EXPECT_EQ(nullptr, StageInGraph());
  ExpectRates({2.0});
  std::vector<short> heard = HeardToTheEnd(before);
  tone::Span span = tone::LoudSpan(heard);
  EXPECT_TRUE(tone::Near(tone::Frequency(heard, span.first, span.last, 44100), 440, 0.01));
}

// The end of the stream pushes out what the stage holds: the last 200 ms, at a tone
// of their own, are heard. Without the push about 70 ms of them are lost; a loaded
// machine may lose some sound anywhere in the capture, hence the margin. The stage's
// own tests count the samples exactly.
TEST_F(KeepTempoPlayer, TheLastNoteIsHeardWhole) {
  KeepTempo = 1;
  long before = Play(media::Tones("440:2.8 550:0.2"), "1200");
  std::vector<short> heard = HeardToTheEnd(before);
  tone::Span span = tone::LoudSpan(heard);
  std::vector<double> windows = tone::WindowFrequencies(heard, span.first, span.last + 1, 441, 44100);
  std::printf("last note: %.2f s at 1100 Hz, %.2f s at 880 Hz\n", SecondsNear(windows, 1100),
              SecondsNear(windows, 880));
  EXPECT_GE(SecondsNear(windows, 1100), 0.16);
  EXPECT_NEAR(3.0, span.Length() / 44100.0, 0.06);
}

// After a jump nothing from before it is heard: the old tone stops at the jump and the
// new one plays on from there to the end.
TEST_F(KeepTempoPlayer, ASeekLeavesNothingFromBeforeTheJump) {
  KeepTempo = 1;
  Play(media::Tones("440:3 660:3"), "1200");
  ASSERT_TRUE(WaitForPosition(1.0));
  long atJump = FileSize(capture);
  const RECT &bar = ProgressRect;
  const int x = bar.left + (bar.right - bar.left) * 4 / 6;  // 4 s of 6
  SeekByClick(MainWindow, MAKELPARAM(x, bar.top + 1));
  std::vector<short> heard = HeardToTheEnd(atJump);
  std::vector<double> windows = tone::WindowFrequencies(heard, 0, heard.size(), 441, 44100);
  int lastOld = -1, firstNew = -1;
  for (int i = 0; i < static_cast<int>(windows.size()); i++) {
    if (tone::Near(windows[i], 880, 0.02)) lastOld = i;
    if (tone::Near(windows[i], 1320, 0.02) && firstNew < 0) firstNew = i;
  }
  std::printf("after the jump: the old tone until %.2f s, the new one from %.2f s for %.2f s\n",
              (lastOld + 1) * 0.01, firstNew * 0.01, SecondsNear(windows, 1320));
  ASSERT_GE(firstNew, 0) << "the new tone is not heard";
  EXPECT_LT(lastOld, firstNew);
  EXPECT_LE((lastOld + 1) * 0.01, 0.3);
  // From 4 s to the end of 6 s, less what the jump itself cost.
  EXPECT_NEAR(2.0, SecondsNear(windows, 1320), 0.1);
}

// K while a song plays: the stage goes in where the song stands, and out again; the
// song goes on, and the rate follows.
TEST_F(KeepTempoPlayer, SwitchedWhilePlayingTheSongGoesOn) {
  long before = Play(media::Tone(440, 4), "1200");
  HMENU menu = GetMenu(MainWindow);
  EXPECT_FALSE(GetMenuState(menu, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  ASSERT_TRUE(WaitForPosition(1.3));
  Command(ID_KEEP_TEMPO);
  EXPECT_EQ(1, KeepTempo);
  EXPECT_TRUE(GetMenuState(menu, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_NE(nullptr, StageInGraph());
  EXPECT_EQ(Playing, Controller.state);
  ASSERT_TRUE(WaitForPosition(2.6));
  Command(ID_KEEP_TEMPO);
  EXPECT_EQ(0, KeepTempo);
  EXPECT_FALSE(GetMenuState(menu, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(nullptr, StageInGraph());
  ExpectRates({2.0, 1.0, 2.0});
  std::vector<short> heard = HeardToTheEnd(before);
  tone::Span span = tone::LoudSpan(heard);
  std::vector<double> windows = tone::WindowFrequencies(heard, span.first, span.last + 1, 441, 44100);
  const double low = SecondsNear(windows, 440), high = SecondsNear(windows, 880);
  std::printf("switched: %.2f s at 440 Hz, %.2f s at 880 Hz\n", low, high);
  EXPECT_NEAR(1.3, high, 0.25);
  // Not started again: the song's four seconds, once, less what each switch loses of
  // the sound on its way to the device (under Wine a fifth of a second or more).
  EXPECT_GT(low + high, 3.0);
  EXPECT_LT(low + high, 4.2);
}

// The item ends the 編集 menu; the setting is read at start and shown there.
TEST_F(PlayerWindow, KeepTempoItemEndsTheEditMenuAndShowsTheSetting) {
  HMENU edit = GetSubMenu(GetMenu(MainWindow), 1);
  const int count = GetMenuItemCount(edit);
  ASSERT_GT(count, 0);
  EXPECT_EQ(ID_KEEP_TEMPO, static_cast<int>(GetMenuItemID(edit, count - 1)));
  char text[64] = "";
  GetMenuStringA(edit, count - 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("テンポを保つ(&K)", text);
  EXPECT_FALSE(GetMenuState(edit, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  KeepTempo = 1;
  ShowKeepTempoCheck(MainWindow);
  EXPECT_TRUE(GetMenuState(edit, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  // Stopped, a switch changes only the setting and its check.
  Command(ID_KEEP_TEMPO);
  EXPECT_EQ(0, KeepTempo);
  EXPECT_FALSE(GetMenuState(edit, ID_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(Stopped, Controller.state);
}

}  // namespace
