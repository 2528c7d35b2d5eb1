#!/usr/bin/env bash
# What practising costs, and how the loop sounds:
#   practice cpu  CPU while a 40 s song plays at 85 % tempo (three presses of [), for
#                 10 s (the program, the wineserver and the X server), against the same
#                 library at 100 % with keep tempo off, side by side in alternating
#                 rounds (the median of each side);
#   vocal cpu     the same, for the voice setting's synthetic song (40 s) played with
#                 the voice taken out against the same song as recorded (no stage);
#   loop gap      the silence heard between a loop's end and the first sound after the
#                 jump back, in the captured sound: a song of 440, 660 and 880 Hz, a
#                 second each, looped from 0.5 s to 1.5 s, so that each jump is the step
#                 from 660 Hz back to 440 Hz (the median over the jumps heard); beside it
#                 the largest step between two samples around the jumps against the
#                 song's own largest (a click stands out there).
#
#   BRAMLOE_BUILD=build bash bench/practice_wine.sh [ROUNDS]
#
# Prints `practice cpu: X.XX`, `vocal cpu: X.XX` and `loop gap: N ms` last. Keeps an
# existing BRAMLOE.INI aside and puts it back.
set -u
rounds=${1:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"  # and the harness
player_bench_up

round() {  # tempo steps down; appends the CPU figure to the side's list
  local pid i
  player_settings "$ini" "$lib"
  bench_player_start
  drive command ID_PLAY
  drive waittext ID_PLAY '&Pause' 10000 >/dev/null
  for i in $(seq "$1"); do drive command ID_TEMPO_DOWN; done
  sleep 1  # the stage goes into the graph
  if [ "$1" -gt 0 ]; then cpu_slow+=("$(cpu_of "$pid")"); else cpu_plain+=("$(cpu_of "$pid")"); fi
  player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
}

cpu_slow=() cpu_plain=()
alternate_rounds "$rounds" "round 3" "round 0"

# The voice setting: one song, stored as Mem stores the voice taken out, or not at all.
voices=$BRAMLOE_BUILD/bench-vocal
mkdir -p "$voices/music" "$voices/text"
[ -f "$voices/music/vocal.wav" ] ||
  python3 "$here/../scripts/media.py" vocal "$voices/music/vocal.wav" 40 || exit 1
vocal_round() {  # voice setting; appends the CPU figure to the side's list
  local pid
  player_settings "$ini" "$voices"
  [ "$1" = 0 ] || printf '[BRAMLOE.vocal]\r\n%s=%s\r\n' "$(winpath "$voices/music")\\vocal.wav" "$1" >>"$ini"
  bench_player_start
  drive command ID_PLAY
  drive waittext ID_PLAY '&Pause' 10000 >/dev/null
  sleep 1
  if [ "$1" -gt 0 ]; then cpu_reduced+=("$(cpu_of "$pid")"); else cpu_recorded+=("$(cpu_of "$pid")"); fi
  player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
}
cpu_reduced=() cpu_recorded=()
alternate_rounds "$rounds" "vocal_round 1" "vocal_round 0"

# The loop: one song, its loop stored as Mem stores it, played for 6 s.
loops=$BRAMLOE_BUILD/bench-loop
mkdir -p "$loops/music" "$loops/text"
python3 - "$loops/music/loop.wav" <<'PY'
import sys
from media import write_tones
write_tones(sys.argv[1], [(440, 1), (660, 1), (880, 1)])
PY
player_settings "$ini" "$loops"
printf '[BRAMLOE.loop]\r\n%s=500-1500\r\n' "$(winpath "$loops/music")\\loop.wav" >>"$ini"
from=$(stat -c %s "$BRAMLOE_CAPTURE")
bench_player_start
drive command ID_PLAY
drive waittext ID_PLAY '&Pause' 10000 >/dev/null
sleep 6  # about five passes of the loop
player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }

slow=$(median "${cpu_slow[@]}") plain=$(median "${cpu_plain[@]}")
printf 'cpu       85 %% tempo %.2f %%, 100 %% without keep tempo %.2f %% of a core (with wineserver and X; medians of %d)\n' \
  "$slow" "$plain" "${#cpu_slow[@]}"
echo "practice cpu: $(ratio "$slow" "$plain")"
reduced=$(median "${cpu_reduced[@]}") recorded=$(median "${cpu_recorded[@]}")
printf 'cpu       voice taken out %.2f %%, as recorded %.2f %% of a core (medians of %d)\n' \
  "$reduced" "$recorded" "${#cpu_reduced[@]}"
echo "vocal cpu: $(ratio "$reduced" "$recorded")"

PYTHONPATH=$here/../tests/e2e:$PYTHONPATH python3 - "$BRAMLOE_CAPTURE" "$from" <<'PY'
import statistics, sys
from heard_tones import LOUD, RATE, left_channel, window_frequencies
left = left_channel(sys.argv[1], int(sys.argv[2]))
WINDOW = RATE // 100
windows = window_frequencies(left, WINDOW)
def near(f, target): return abs(f - target) < target * 0.03
gaps, highs, steps, i = [], [], [], 0
def largest_step(a, b): return max(abs(left[k] - left[k - 1]) for k in range(a + 1, b))
own = 0
while i < len(windows):
    if not near(windows[i], 660):
        i += 1
        continue
    first = i
    while i < len(windows) and not near(windows[i], 440):
        i += 1
    if i == len(windows):
        break
    last = max(k for k in range(first, i) if near(windows[k], 660))
    highs.append((last + 1 - first) * 10)
    # The longest quiet run between the last 660 Hz window and the first 440 Hz one.
    run = longest = 0
    for x in left[last * WINDOW:(i + 1) * WINDOW]:
        run = run + 1 if abs(x) <= LOUD else 0
        longest = max(longest, run)
    gaps.append(longest * 1000.0 / RATE)
    own = own or largest_step((first + 5) * WINDOW, (first + 25) * WINDOW)
    steps.append(largest_step(last * WINDOW, (i + 1) * WINDOW))
if gaps:
    print('loop      %d jumps heard; 660 Hz for %s ms before each (500 in the song)'
          % (len(gaps), ' '.join('%d' % h for h in highs)))
    print('loop      largest step between two samples at the jumps %d, in the song %d'
          % (max(steps), own))
    print('loop gap: %.0f ms' % statistics.median(gaps))
else:
    print('loop gap: not measured (no jump back heard)')
PY
