#!/usr/bin/env bash
# Start-up time of bramloe.exe under Wine, from launching the exe to (1) its X window
# appearing (polled with xdotool) and (2) its message loop answering a sent message
# (start-up complete, folders scanned), with an empty library and with a generated
# library of 5000 music files and 2000 texts (the lists' capacities).
#
#   BRAMLOE_BUILD=build bash bench/startup_window.sh [RUNS]
#
# The settings file it writes is its run's own (the harness gives each run a prefix).
set -u
runs=${1:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/harness.sh"
build_win bramloe bramloe_drive || exit 1
harness_up || exit 1
trap 'player_stop; harness_down' EXIT
exe=$BRAMLOE_WIN/bramloe.exe
driver=$BRAMLOE_WIN/bramloe_drive.exe
ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
lib=$BRAMLOE_BUILD/bench-library

python3 - "$lib" <<'PY'
import os, sys
lib = sys.argv[1]
for d in ('empty/music', 'empty/text'):
    os.makedirs(os.path.join(lib, d), exist_ok=True)
music, text = os.path.join(lib, 'full/music'), os.path.join(lib, 'full/text')
if not os.path.isdir(music):
    for i in range(5000):  # 50 folders of 100 songs
        folder = os.path.join(music, 'album%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, '曲%04d.wav' % i), 'wb').close()
    for i in range(2000):
        folder = os.path.join(text, 'set%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, '曲%04d.txt' % i), 'wb').close()
PY
now() { date +%s.%N; }

measure() {  # name, library folder
  local name=$1 root=$2 windows=() readies=()
  write_settings "$ini" "$root/music" "$root/text"
  drive gone 1 >/dev/null  # warm the wineserver
  for _ in $(seq "$runs"); do
    # The waiter must be polling before the player starts: it says so by a file.
    rm -f "$lib/waiter.started"
    BRAMLOE_DRIVER_STARTED=$(winpath "$lib/waiter.started") wine "$driver" ready 60000 </dev/null >/dev/null 2>&1 &
    local waiter=$!
    wait_until 10 "the driver's start" test -e "$lib/waiter.started" || exit 1
    local t0 t1 t2 window=""
    t0=$(now)
    wine "$exe" </dev/null >/dev/null 2>&1 &
    player_pid=$!
    while [ -z "$window" ]; do
      window=$(xdotool search --name '^BRAMLOE' 2>/dev/null | head -1)
      [ -z "$window" ] && sleep 0.005
      kill -0 "$player_pid" 2>/dev/null || { echo "bramloe.exe ended before showing its window"; exit 1; }
    done
    t1=$(now)
    wait "$waiter" || { echo "bramloe.exe did not answer within 60 s"; exit 1; }
    t2=$(now)
    windows+=("$(echo "$t1 - $t0" | bc)")
    readies+=("$(echo "$t2 - $t0" | bc)")
    player_close || { echo "bramloe.exe did not end by its close box"; exit 1; }
  done
  python3 - "$name" "${windows[*]}" "${readies[*]}" <<'PY'
import statistics, sys
name, w, r = sys.argv[1], [float(x) for x in sys.argv[2].split()], [float(x) for x in sys.argv[3].split()]
print('%-22s window %.3f s (min %.3f)   ready %.3f s (min %.3f)   median of %d runs'
      % (name, statistics.median(w), min(w), statistics.median(r), min(r), len(r)))
PY
}

measure "empty library" "$lib/empty"
measure "5000 + 2000 files" "$lib/full"
