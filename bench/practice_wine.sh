#!/usr/bin/env bash
# What practising costs, and how the loop sounds:
#   practice cpu  CPU while a 40 s song plays at 85 % tempo (three presses of [), for
#                 10 s (the program, the wineserver and the X server), against the same
#                 library at 100 % with keep tempo off, side by side in alternating
#                 rounds (the median of each side);
#   loop gap      the silence heard between a loop's end and the first sound after the
#                 jump back, in the captured sound: a song of 440, 660 and 880 Hz, a
#                 second each, looped from 0.5 s to 1.5 s, so that each jump is the step
#                 from 660 Hz back to 440 Hz (the median over the jumps heard).
#
#   BRAMLOE_BUILD=build bash bench/practice_wine.sh [ROUNDS]
#
# Prints `practice cpu: X.XX` and `loop gap: N ms` last. Keeps an existing BRAMLOE.INI
# aside and puts it back.
set -u
rounds=${1:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/harness.sh"
source "$here/common.sh"
build_win bramloe bramloe_drive || exit 1
harness_up || exit 1
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
for r in $(seq "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then round 3; round 0; else round 0; round 3; fi
done

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

python3 - "${cpu_slow[*]}" "${cpu_plain[*]}" "$BRAMLOE_CAPTURE" "$from" <<'PY'
import array, statistics, sys
slow, plain = ([float(x) for x in a.split()] for a in sys.argv[1:3])
m = statistics.median
print('cpu       85 %% tempo %.2f %%, 100 %% without keep tempo %.2f %% of a core (with wineserver and X; medians of %d)'
      % (m(slow), m(plain), len(slow)))
print('practice cpu: %.2f' % (m(slow) / m(plain)))

raw = open(sys.argv[3], 'rb').read()[int(sys.argv[4]) & ~3:]
left = array.array('h', raw[:len(raw) // 4 * 4])[0::2]
RATE, WINDOW, LOUD = 44100, 441, 3000
def hz(a, b):
    ups = [i for i in range(a + 1, b) if left[i - 1] < 0 <= left[i]]
    return RATE * (len(ups) - 1) / (ups[-1] - ups[0]) if len(ups) > 2 else 0.0
def near(f, target): return abs(f - target) < target * 0.03
windows = []
for start in range(0, len(left) - WINDOW, WINDOW):
    loud = max(abs(x) for x in left[start:start + WINDOW]) > LOUD
    windows.append(hz(start, start + WINDOW) if loud else 0.0)
gaps, highs, i = [], [], 0
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
if gaps:
    print('loop      %d jumps heard; 660 Hz for %s ms before each (500 in the song)'
          % (len(gaps), ' '.join('%d' % h for h in highs)))
    print('loop gap: %.0f ms' % m(gaps))
else:
    print('loop gap: not measured (no jump back heard)')
PY
