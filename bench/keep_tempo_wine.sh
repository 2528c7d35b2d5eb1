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
source "$here/common.sh"  # and the harness
player_bench_up

round() {  # keeptempo value; appends the CPU figure to the side's list
  local pid
  player_settings "$ini" "$lib" "keeptempo=$1"
  bench_player_start
  drive command ID_PLAY
  drive waittext ID_PLAY '&Pause' 10000 >/dev/null
  drive settext ID_CENTS 300
  drive command IDOK  # Enter: apply it
  sleep 1
  if [ "$1" = 1 ]; then cpu_on+=("$(cpu_of "$pid")"); else cpu_off+=("$(cpu_of "$pid")"); fi
  player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
}

cpu_on=() cpu_off=()
alternate_rounds "$rounds" "round 1" "round 0"
on=$(median "${cpu_on[@]}") off=$(median "${cpu_off[@]}")
printf 'cpu       keep tempo %.2f %%, without %.2f %% of a core (with wineserver and X; medians of %d)\n' \
  "$on" "$off" "${#cpu_on[@]}"
echo "keep tempo cpu: $(ratio "$on" "$off")"
