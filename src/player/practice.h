// Practising a song: the tempo that keeps the pitch, the loop set by three presses of
// one key, the clock that gives the song's own time while the tempo differs from 100,
// and the notices the commands show. Portable.
#pragma once
#include <cstdint>

enum {
  TEMPO_DEFAULT = 100,  // percent; the song as it is
  TEMPO_LOWEST = 50,
  TEMPO_HIGHEST = 200,
  TEMPO_STEP = 5,
  LOOP_SHORTEST_MS = 100,  // a shorter loop would jump back on every tick
};

// The tempo shifted by steps of TEMPO_STEP, held within TEMPO_LOWEST..TEMPO_HIGHEST.
int StepTempo(int percent, int steps);
// A stored percentage as the player takes it: within the range, else the default.
int HeldTempo(int percent);

extern const char TempoNoticeFormat[];  // "テンポ %d%%"
extern const char LoopStartNotice[];
extern const char LoopOnNotice[];
extern const char LoopOffNotice[];
// The notice for a tempo, into out (room for 16 bytes).
void FormatTempoNotice(int percent, char *out, int size);

// The voice setting, stepped by one key through its three states as VocalMode numbers
// them: as recorded, the voice taken out, the voice alone. A stored number outside them
// is as recorded.
int StepVocal(int mode);
int HeldVocal(int mode);
// The notice of a state, and the one for a song of one channel, which plays as it is.
const char *VocalNotice(int mode);
extern const char VocalMonoNotice[];

enum LoopStage { LOOP_NONE, LOOP_STARTED, LOOP_ON };

struct LoopRecord {
  int stage;
  long startMs;  // set from LOOP_STARTED on
  long endMs;    // set while LOOP_ON; always above startMs by LOOP_SHORTEST_MS or more
};

// One press of the loop key at the song's position ms: the start, then the end (the two
// taken in order, whichever came first), then off. A second press too close to the
// start takes the start anew. Gives the notice the press shows.
const char *PressLoopKey(LoopRecord *loop, long ms);
// Loops from startMs to endMs at once; false, with the loop as it was, when the range
// is shorter than LOOP_SHORTEST_MS.
bool SetLoopRange(LoopRecord *loop, long startMs, long endMs);
// Where the song jumps back to when it has reached ms: the loop's start once ms is at
// or past its end while looping, else -1.
long LoopJumpTarget(const LoopRecord &loop, long ms);

// The song's own time while the graph plays its samples at tempo percent: from the
// moment the graph stood at graphAt and the song at songAt, the song moves tempo / 100
// as fast as the graph's clock. Media time, 100 ns units.
struct SongClock {
  int64_t songAt;
  int64_t graphAt;
  int tempo;
};

int64_t SongTimeOf(const SongClock &clock, int64_t graphTime);
// A new tempo from the graph time now on: the song's time goes on from where it stands.
void ChangeClockTempo(SongClock *clock, int64_t graphTime, int tempo);
// After a seek (or a start) the graph and the song stand at the same time.
void SeekClock(SongClock *clock, int64_t songTime);

// Where the listener is: the song's time at the graph's time the output delay ago, but
// never before from, where the song last started or jumped to (nothing before it is
// heard after the jump).
int64_t HeardTimeOf(const SongClock &clock, int64_t graphTime, int delayMs, int64_t from);

// The output delay moved by steps of DELAY_STEP_MS, held within its range.
int StepDelay(int ms, int steps);
extern const char DelayNoticeFormat[];  // "音の遅れ %dms"
void FormatDelayNotice(int ms, char *out, int size);

// What is practised on the song that plays.
struct PracticeRecord {
  int tempo;        // percent of the song's own
  LoopRecord loop;
  SongClock clock;  // the song's time from the graph's
  int64_t heardFrom;  // the song's time it last started or jumped to
  int vocal;        // the voice setting, a VocalMode
};

extern PracticeRecord Practice;

// Whether the song's graph needs the keep-tempo stage: the tempo kept, a tempo of its
// own, the voice setting other than as recorded, or a loop (set or being set), which the
// stage plays from what it has heard.
bool PracticeStageWanted();

// The x of a song time over a progress frame of span pixels for a song of duration
// seconds; -1 when it has none.
int LoopMarkX(int span, long ms, double duration);
