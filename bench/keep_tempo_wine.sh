#!/usr/bin/env bash
# What keeping the tempo costs: CPU while a 40 s song plays at +300 cents, for 10 s (the
# program, the wineserver and the X server), with keeptempo=1 against keeptempo=0, side
# by side in alternating rounds (the median of each side).
#
#   BRAMLOE_BUILD=build bash bench/keep_tempo_wine.sh [ROUNDS]
#
# Prints `keep tempo cpu: X.XX` last. Keeps an existing BRAMLOE.INI aside and puts it back.
set -u
rounds=${1:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/harness.sh"
source "$here/player_library.sh"
source <(sed -n 's/^#define \(ID_[A-Z_]*\) \([0-9]*\).*/\1=\2/p' "$here/../src/resources/ids.h")
dir=$BRAMLOE_BUILD/win
cmake --build "$dir" -j2 --target bramloe bramloe_drive >/dev/null || exit 1
harness_up
player_bench_up

round() {  # keeptempo value; appends the CPU figure to the side's list
  local launched pid
  player_settings "$ini" "$lib"
  printf 'keeptempo=%s\r\n' "$1" >>"$ini"
  wine "$dir/bramloe.exe" </dev/null >/dev/null 2>&1 &
  launched=$!
  wine "$dir/bramloe_drive.exe" wait </dev/null >/dev/null 2>&1
  pid=$(exe_pid "$launched" bramloe.exe | head -1); pid=${pid:-$launched}
  wine "$dir/bramloe_drive.exe" command "$ID_PLAY" </dev/null >/dev/null 2>&1
  sleep 1
  wine "$dir/bramloe_drive.exe" settext "$ID_CENTS" 300 </dev/null >/dev/null 2>&1
  wine "$dir/bramloe_drive.exe" command 1 </dev/null >/dev/null 2>&1  # Enter: apply it
  sleep 1
  if [ "$1" = 1 ]; then cpu_on+=("$(cpu_of "$pid")"); else cpu_off+=("$(cpu_of "$pid")"); fi
  wine "$dir/bramloe_drive.exe" close </dev/null >/dev/null 2>&1
  wait "$launched"
}

cpu_on=() cpu_off=()
for r in $(seq "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then round 1; round 0; else round 0; round 1; fi
done
python3 - "${cpu_on[*]}" "${cpu_off[*]}" <<'PY'
import statistics, sys
on, off = ([float(x) for x in a.split()] for a in sys.argv[1:3])
m = statistics.median
print('cpu       keep tempo %.2f %%, without %.2f %% of a core (with wineserver and X; medians of %d)' % (m(on), m(off), len(on)))
print('keep tempo cpu: %.2f' % (m(on) / m(off)))
PY
