# Sourced by the Wine benchmarks, with scripts/harness.sh: a library at the lists'
# capacities (5000 songs, one 40 s tone hard-linked under every name; 2000 texts, so
# that 40% of the songs have one), the settings file that names it, and the CPU time of
# the processes measured.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/harness.sh"

player_library() {  # folder
  python3 - "$1" <<'PY'
import os, sys
from media import write_tone
lib = sys.argv[1]
music, text = os.path.join(lib, 'music'), os.path.join(lib, 'text')
if not os.path.isdir(music):
    os.makedirs(text)
    write_tone(os.path.join(lib, 'tone.wav'), 440, 40)
    for i in range(5000):
        folder = os.path.join(music, 'album%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        os.link(os.path.join(lib, 'tone.wav'), os.path.join(folder, '曲%04d.wav' % i))
    for i in range(2000):
        folder = os.path.join(text, 'set%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, '曲%04d.txt' % i), 'wb') as f:
            f.write(('歌詞 %d\n' % i).encode('cp932') * 40)
PY
}

player_settings() {  # settings file, library folder, more entries...
  local file=$1 lib=$2
  shift 2
  write_settings "$file" "$lib/music" "$lib/text" aimai=1 skip=0 "$@"
}

ticks() {  # utime + stime of the given processes, in clock ticks
  local pid sum=0 t
  for pid in "$@"; do
    t=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null) || t=0
    sum=$((sum + ${t:-0}))
  done
  echo "$sum"
}

# The Unix process of an exe among the descendants of the given one.
exe_pid() {  # launcher, exe name
  local pid
  for pid in $(pgrep -P "$1"); do
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "$2"; then echo "$pid"; return 0; fi
    exe_pid "$pid" "$2" && return 0
  done
  return 1
}

# The player and the driver built (and the Windows targets named), the harness up, the
# library and a settings file naming it, with the settings file that was there kept
# aside until the script exits. Sets ini, lib and capture.
player_bench_up() {
  build_win bramloe bramloe_drive "$@" || exit 1
  harness_up || exit 1
  ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
  lib=$BRAMLOE_BUILD/bench-play40
  [ -f "$ini" ] && mv "$ini" "$lib.kept.ini" 2>/dev/null
  trap 'player_stop; [ -f "$lib.kept.ini" ] && mv "$lib.kept.ini" "$ini"; harness_down' EXIT
  player_library "$lib"
  player_settings "$ini" "$lib"
  capture=$(winpath "$BRAMLOE_CAPTURE")
}

# bench_player_start: player_start, and pid the Unix process of bramloe.exe itself.
bench_player_start() {
  player_start || exit 1
  pid=$(exe_pid "$player_pid" bramloe.exe | head -1)
  pid=${pid:-$player_pid}
}

# The wineserver of this prefix: the one whose environment names it.
server_pid() {
  local pid
  for pid in $(pgrep -x 'wineserver(64)?'); do  # Debian's is wineserver64
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"; return
    fi
  done
}

# Percent of a core used over 10 s by the program, the wineserver and the X server.
cpu_of() {  # program pid
  local a b pids hz
  hz=$(getconf CLK_TCK)
  pids="$1 $(server_pid) $(cat "$BRAMLOE_HARNESS_DIR/xvfb.pid" 2>/dev/null)"
  a=$(ticks $pids)
  sleep 10
  b=$(ticks $pids)
  echo "scale=3; ($b - $a) * 100 / $hz / 10" | bc
}

# Side by side in alternating rounds: each step (a command line) runs once a round, in
# the order given in odd rounds and backwards in even ones, so no side always goes first.
alternate_rounds() {  # rounds, step...
  local r i
  for r in $(seq "$1"); do
    if [ $((r % 2)) -eq 1 ]; then for ((i = 2; i <= $#; i++)); do ${!i}; done
    else for ((i = $#; i >= 2; i--)); do ${!i}; done; fi
  done
}

# The median of the numbers given (the mean of the middle two of an even count).
median() {
  printf '%s\n' "$@" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# a / b to two places, as the figures' ratio lines print it.
ratio() {  # a, b
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'
}

# One side's round while a song plays: the player started, Play pressed, and once it
# plays, its CPU appended to cpu_a (side a) or cpu_b; the player closed by its close box.
play_side_cpu() {  # a or b
  local pid
  bench_player_start
  drive command ID_PLAY
  drive waittext ID_PLAY '&Pause' 10000 >/dev/null
  sleep 1
  if [ "$1" = a ]; then cpu_a+=("$(cpu_of "$pid")"); else cpu_b+=("$(cpu_of "$pid")"); fi
  player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
}

# Both sides' medians on a line, then "KEY: a / b".
print_cpu_sides() {  # key, what side a is, what side b is
  local a b
  a=$(median "${cpu_a[@]}") b=$(median "${cpu_b[@]}")
  printf 'cpu       %s %.2f %%, %s %.2f %% of a core (with wineserver and X; medians of %d)\n' \
    "$2" "$a" "$3" "$b" "${#cpu_a[@]}"
  echo "$1: $(ratio "$a" "$b")"
}
