#!/usr/bin/env bash
# Start-up time of bramloe.exe under Wine, from launching the exe to (1) its X window
# appearing (polled with xdotool) and (2) its message loop answering a sent message
# (start-up complete, folders scanned), with an empty library and with a generated
# library of 5000 music files and 2000 texts (the lists' capacities).
#
#   BRAMLOE_BUILD=build bash bench/startup_window.sh [RUNS]
#
# Needs the win tree built (scripts/test.sh or scripts/run.sh). The settings file it
# writes is its run's own (the harness gives each run a prefix).
set -u
runs=${1:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/harness.sh"
dir=$BRAMLOE_BUILD/win
cmake --build "$dir" -j2 --target bramloe bramloe_window_driver >/dev/null || exit 1
harness_up || exit 1
trap harness_down EXIT
exe=$dir/bramloe.exe
driver=$dir/bramloe_window_driver.exe
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
  printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\n' "$(winpath "$root/music")" \
    "$(winpath "$root/text")" >"$ini"
  wine "$driver" gone 1 </dev/null >/dev/null 2>&1  # warm the wineserver
  for _ in $(seq "$runs"); do
    # The waiter must be polling before the player starts: it says so by a file.
    rm -f "$lib/waiter.started"
    BRAMLOE_DRIVER_STARTED=$(winpath "$lib/waiter.started") wine "$driver" ready 60000 </dev/null >/dev/null 2>&1 &
    local waiter=$! i
    for i in $(seq 200); do [ -e "$lib/waiter.started" ] && break; sleep 0.05; done
    [ -e "$lib/waiter.started" ] || { echo "the window driver did not start within 10 s"; exit 1; }
    local t0 t1 t2 window=""
    t0=$(now)
    wine "$exe" </dev/null >/dev/null 2>&1 &
    local player=$!
    while [ -z "$window" ]; do
      window=$(xdotool search --name '^BRAMLOE' 2>/dev/null | head -1)
      [ -z "$window" ] && sleep 0.005
      kill -0 "$player" 2>/dev/null || { echo "bramloe.exe ended before showing its window"; exit 1; }
    done
    t1=$(now)
    wait "$waiter"
    t2=$(now)
    windows+=("$(echo "$t1 - $t0" | bc)")
    readies+=("$(echo "$t2 - $t0" | bc)")
    wine "$driver" close </dev/null >/dev/null 2>&1
    wait "$player"
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
