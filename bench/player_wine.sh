#!/usr/bin/env bash
# The player's figures under Wine, with a library at the lists' capacities (5000 songs,
# 2000 texts, 40% of the songs with a matching text; bench/player_library.sh):
#   - Play to sound: from posting Play to the first loud sample in the captured sound
#     (the random pick, the text lookup over 2000 texts, the text load, rendering and
#     running the graph, the sound device's own latency);
#   - CPU of bramloe.exe while a song plays, with its 1 ms position timer (which the
#     platform raises to 10 ms), against the same process idle before Play.
#
#   BRAMLOE_BUILD=build bash bench/player_wine.sh [RUNS]
#
# The settings file it writes is its run's own (the harness gives each run a prefix).
set -u
runs=${1:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/harness.sh"
source "$here/player_library.sh"
dir=$BRAMLOE_BUILD/win
cmake --build "$dir" -j2 --target bramloe bramloe_drive bramloe_window_driver >/dev/null || exit 1
harness_up || exit 1
trap harness_down EXIT
exe=$dir/bramloe.exe
drive=$dir/bramloe_drive.exe
player_bench_up
hz=$(getconf CLK_TCK)

sounds=() idle=() playing=()
for _ in $(seq "$runs"); do
  wine "$exe" </dev/null >/dev/null 2>&1 &
  launcher=$!
  wine "$drive" wait </dev/null >/dev/null 2>&1
  pid=$(exe_pid "$launcher" bramloe.exe | head -1); pid=${pid:-$launcher}
  sleep 1
  a=$(ticks "$pid"); sleep 5; b=$(ticks "$pid")
  idle+=("$(echo "scale=2; ($b - $a) * 100 / $hz / 5" | bc)")
  sounds+=("$(wine "$drive" playtosound "$capture" </dev/null 2>/dev/null | tr -d '\r')")
  sleep 1
  a=$(ticks "$pid"); sleep 10; b=$(ticks "$pid")
  playing+=("$(echo "scale=2; ($b - $a) * 100 / $hz / 10" | bc)")
  wine "$drive" close </dev/null >/dev/null 2>&1
  wait "$launcher"
done
python3 - "${sounds[*]}" "${idle[*]}" "${playing[*]}" <<'PY'
import statistics, sys
s, i, p = ([float(x) for x in a.split()] for a in sys.argv[1:4])
print('play to sound   %.0f ms median (min %.0f, max %.0f), %d runs' % (statistics.median(s), min(s), max(s), len(s)))
print('CPU idle        %.2f %% of a core (median)' % statistics.median(i))
print('CPU playing     %.2f %% of a core (median; the song, its graph and the 1 ms timer)' % statistics.median(p))
PY
