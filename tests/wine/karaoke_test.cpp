// Word-timed lyrics against what is heard: how far the graph's position runs ahead of
// the captured sound under this harness, and that with that output delay set a word's
// fill starts with its sound.
#include "wine/keep_tempo_player_win.h"

#include <cmath>
#include <cstdio>

#include "player/practice_win.h"
#include "textview/textview_win.h"

using namespace playertest;

namespace {

// Two words, each sung from the start of its tone: the first at 1 s, the second at 3 s.
const char Song[] = "0:1 440:0.5 0:1.5 660:1";
const char Words[] = "[00:00.00]<00:01.00>ら<00:01.50>\n[00:02.50]<00:03.00>り<00:04.00>\n";
const double WordStarts[] = {1.0, 3.0};
const double BytesPerSecond = 176400;  // 16-bit stereo at 44.1 kHz, as the pacer drains

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

class KaraokeSound : public KeepTempoPlayer {
 protected:
  // Plays the song beside the words to its end, noting at every step of the loop the
  // moment, the capture's size and the graph's position. Gives, in seconds of the
  // performance counter: when each word's sound reached the listener, when the graph
  // stood at each word's time, and when each word's fill began.
  struct Moments {
    double heard[2], graph[2], filled[2];
  };
  Moments PlayWords() {
    AddText("song" + std::to_string(songsMade) + ".lrc", Words);
    const int traced = FillTrace.count;
    const long before = Play(media::Tones(Song), "0");
    std::vector<double> soundOffset, graphOffset;  // moment less capture or position
    PumpUntil(20000, [&] {
      const double now = MicrosecondsNow() * 1e-6;
      soundOffset.push_back(now - (FileSize(capture) - before) / BytesPerSecond);
      if (!GraphStarting() && Controller.state == Playing) graphOffset.push_back(now - Position() * 1e-7);
      return SongEnded();
    });
    const std::vector<short> heard = HeardToTheEnd(before);
    StopSong(MainWindow);  // the end was only noted: Play starts the next from Stopped
    Moments m = {};
    // The pacer drains in pieces, so a size is late by up to a piece: the median.
    const double sound = Median(soundOffset), graph = Median(graphOffset);
    size_t from = 0;
    for (int w = 0; w < 2; w++) {
      const tone::Span span = tone::LoudSpan(std::vector<short>(heard.begin() + from, heard.end()));
      m.heard[w] = sound + (from + span.first) * 4 / BytesPerSecond;
      from += span.first + 44100;  // past this word's tone
      m.graph[w] = graph + WordStarts[w];
    }
    // Each word's fill begins where the trace goes from none of it to some.
    int word = 0;
    for (int i = traced + 1; i < FillTrace.count && word < 2; i++)
      if (FillTrace.cells[(i - 1) % FILL_TRACE] == 0 && FillTrace.cells[i % FILL_TRACE] > 0)
        m.filled[word++] = FillTrace.at[i % FILL_TRACE] * 1e-6;
    EXPECT_EQ(2, word) << "fills traced";
    return m;
  }
  static long long MicrosecondsNow() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<long long>(counter.QuadPart * 1e6 / frequency.QuadPart);
  }
};

}  // namespace

// Measured first without a delay: the graph ahead of the sound. Set as the delay, the
// fill of each word starts within 50 ms of its sound. A loaded machine loses sound in
// the capture: when this fails, look first at what else was running.
TEST_F(KaraokeSound, WithTheHarnesssDelayTheFillStartsWithTheSound) {
  const Moments plain = PlayWords();
  const double ahead = (plain.heard[0] - plain.graph[0] + plain.heard[1] - plain.graph[1]) / 2;
  std::printf("the graph runs %.0f ms ahead of the sound; without a delay the fill starts %.0f and %.0f ms early\n",
              ahead * 1000, (plain.heard[0] - plain.filled[0]) * 1000, (plain.heard[1] - plain.filled[1]) * 1000);
  ASSERT_GT(ahead, 0.0);
  OutputDelay = StepDelay(0, static_cast<int>(std::lround(ahead * 1000 / DELAY_STEP_MS)));
  const Moments delayed = PlayWords();
  for (int w = 0; w < 2; w++) {
    std::printf("delay %d ms: word %d filled %+.0f ms from its sound\n", OutputDelay, w,
                (delayed.filled[w] - delayed.heard[w]) * 1000);
    EXPECT_NEAR(delayed.heard[w], delayed.filled[w], 0.05) << "word " << w;
  }
}
