#!/usr/bin/env bash
# The player against the least programs that do the same, side by side under Wine, in
# alternating rounds (the median of each side):
#   cpu ratio      CPU while a 40 s song plays, for 10 s: the program, the wineserver and
#                  the X server, bramloe.exe against bare_play (RenderFile, Run,
#                  WaitForCompletion) on the same file;
#   startup ratio  process start to the first paint of the main window, with a library
#                  of 5000 songs and 2000 texts, against blank_window;
#   play ratio     Play to the first captured sound (the random pick, the text lookup
#                  over 2000 texts, the text load, rendering and running the graph, the
#                  sound device's own latency), against bare_play's Run to sound;
#   cpu floor      the same CPU figure of ticking_play (bare_play with a window whose
#                  1 ms position timer asks the position on every tick, as the player's
#                  timer is specified to) against bare_play: the least any player with
#                  that timer costs here, under the cpu ratio.
#
# and beside them the player's own figures: Play to sound (median, min, max) and the CPU
# of bramloe.exe alone, idle before Play and while the song plays.
#
#   BRAMLOE_BUILD=build [BRAMLOE_EXE=other/bramloe.exe] bash bench/ratios_wine.sh [ROUNDS]
#
# Prints the ratio lines last. Keeps an existing BRAMLOE.INI aside and puts it back.
set -u
rounds=${1:-5}  # the machine varies by a third from run to run: five medians hold better
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"  # and the harness
dir=$BRAMLOE_WIN
exe=${BRAMLOE_EXE:-$dir/bramloe.exe}  # another build of the player, to compare
player_bench_up bare_play_winbench blank_window_winbench first_paint_winbench ticking_play_winbench
tone=$(winpath "$lib/tone.wav")
now() { date +%s.%N; }

# Seconds from launching the exe to the first paint of its window of class, into
# $painted; leaves the exe running, its launcher in $launched.
launch_to_paint() {  # exe, class
  local out=$BRAMLOE_HARNESS_DIR/paint.out t0
  wine "$dir/first_paint_winbench.exe" "$2" >"$out" 2>/dev/null </dev/null &
  local watcher=$!
  sleep 0.5  # the watcher is polling before the program starts
  t0=$(now)
  wine "$1" </dev/null >/dev/null 2>&1 &
  launched=$!
  wait "$watcher"
  painted=$(echo "$(tr -d '\r' <"$out") - $t0" | bc)
}

# Percent of a core used by the given process alone over a few seconds.
own_cpu() {  # pid, seconds
  local a b
  a=$(ticks "$1"); sleep "$2"; b=$(ticks "$1")
  echo "scale=2; ($b - $a) * 100 / $(getconf CLK_TCK) / $2" | bc
}

player_round() {
  local pid
  launch_to_paint "$exe" BramloeWClass
  startup_player+=("$painted")
  player_pid=$launched
  drive ready 30000 >/dev/null || { echo "bramloe.exe did not start"; exit 1; }
  pid=$(exe_pid "$launched" bramloe.exe | head -1); pid=${pid:-$launched}
  sleep 1
  idle_own+=("$(own_cpu "$pid" 5)")
  play_player+=("$(drive playtosound "$capture")")
  sleep 1
  playing_own+=("$(own_cpu "$pid" 5)")
  cpu_player+=("$(cpu_of "$pid")")
  player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
}

baseline_round() {
  local pid out=$BRAMLOE_HARNESS_DIR/bare.out
  launch_to_paint "$dir/blank_window_winbench.exe" BlankBenchWindow
  startup_blank+=("$painted")
  wine "$dir/first_paint_winbench.exe" BlankBenchWindow close </dev/null >/dev/null 2>&1
  wait "$launched"
  : >"$out"
  wine "$dir/bare_play_winbench.exe" "$tone" 14000 "$capture" >"$out" 2>/dev/null </dev/null &
  local launcher=$!
  # Its first line is Run to sound, its second the time RenderFile took.
  wait_until 30 "bare_play's two lines" lines_in "$out" 2 || exit 1
  pid=$(exe_pid "$launcher" bare_play_winbench.exe | head -1); pid=${pid:-$launcher}
  play_bare+=("$(tr -d '\r' <"$out" | sed -n 1p)")
  render_bare+=("$(tr -d '\r' <"$out" | sed -n 2p)")
  sleep 1
  cpu_bare+=("$(cpu_of "$pid")")
  wait "$launcher"
}

lines_in() { [ "$(wc -l <"$1")" -ge "$2" ]; }

floor_round() {
  local pid launcher
  wine "$dir/ticking_play_winbench.exe" "$tone" 14000 >/dev/null 2>&1 </dev/null &
  launcher=$!
  sleep 3  # started, rendered and playing, as the others are when measured
  pid=$(exe_pid "$launcher" ticking_play_winbench.exe | head -1)
  cpu_floor+=("$(cpu_of "${pid:-$launcher}")")
  wait "$launcher"
}

startup_player=() startup_blank=() play_player=() play_bare=() render_bare=() cpu_player=() cpu_bare=()
cpu_floor=() idle_own=() playing_own=()
wine "$dir/first_paint_winbench.exe" NoSuchWindowClass 1 </dev/null >/dev/null 2>&1 &  # warm the wineserver
sleep 1; kill $! 2>/dev/null; wait $! 2>/dev/null
alternate_rounds "$rounds" player_round baseline_round floor_round
sp=$(median "${startup_player[@]}") sb=$(median "${startup_blank[@]}")
pp=$(median "${play_player[@]}") pb=$(median "${play_bare[@]}") rb=$(median "${render_bare[@]}")
cp=$(median "${cpu_player[@]}") cb=$(median "${cpu_bare[@]}") cf=$(median "${cpu_floor[@]}")
sorted=$(printf '%s\n' "${play_player[@]}" | sort -g)
printf 'play to sound   %.0f ms median (min %.0f, max %.0f), %d runs\n' "$pp" "$(head -1 <<<"$sorted")" \
  "$(tail -1 <<<"$sorted")" "${#play_player[@]}"
printf 'CPU idle        %.2f %% of a core (bramloe.exe alone, median)\n' "$(median "${idle_own[@]}")"
printf 'CPU playing     %.2f %% of a core (bramloe.exe alone, median; the song, its graph and the 1 ms timer)\n' \
  "$(median "${playing_own[@]}")"
printf 'startup   bramloe %.3f s, blank window %.3f s (medians of %d)\n' "$sp" "$sb" "${#startup_player[@]}"
printf 'play      bramloe %.0f ms, bare program %.0f ms (its RenderFile, before Run: %.0f ms)\n' "$pp" "$pb" "$rb"
printf 'cpu       bramloe %.2f %%, bare program %.2f %%, window with the 1 ms timer %.2f %% of a core (with wineserver and X)\n' \
  "$cp" "$cb" "$cf"
echo "cpu ratio: $(ratio "$cp" "$cb")"
echo "cpu floor: $(ratio "$cf" "$cb")"
echo "startup ratio: $(ratio "$sp" "$sb")"
echo "play ratio: $(ratio "$pp" "$pb")"
