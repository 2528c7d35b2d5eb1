#!/usr/bin/env bash
# The player's figures under Wine, with a library at the lists' capacities (5000 songs,
# 2000 texts, 40% of the songs with a matching text):
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
dir=$BRAMLOE_BUILD/win
cmake --build "$dir" -j2 --target bramloe bramloe_drive bramloe_window_driver >/dev/null || exit 1
harness_up || exit 1
trap harness_down EXIT
exe=$dir/bramloe.exe
drive=$dir/bramloe_drive.exe
ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
lib=$BRAMLOE_BUILD/bench-player

# One 20 s tone, hard-linked under every song name.
python3 - "$lib" <<'PY'
import os, sys
from wav import write_tone
lib = sys.argv[1]
music, text = os.path.join(lib, 'music'), os.path.join(lib, 'text')
if not os.path.isdir(music):
    os.makedirs(text)
    tone = os.path.join(lib, 'tone.wav')
    write_tone(tone, 440, 20)
    for i in range(5000):
        folder = os.path.join(music, 'album%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        os.link(tone, os.path.join(folder, '曲%04d.wav' % i))
    for i in range(2000):
        folder = os.path.join(text, 'set%02d' % (i // 100))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, '曲%04d.txt' % i), 'wb') as f:
            f.write(('歌詞 %d\n' % i).encode('cp932') * 40)
PY
printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\naimai=1\r\nskip=0\r\n' \
  "$(winpath "$lib/music")" "$(winpath "$lib/text")" >"$ini"
capture=$(winpath "$BRAMLOE_CAPTURE")
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }  # utime + stime, clock ticks
hz=$(getconf CLK_TCK)

# The Unix process of bramloe.exe among the descendants of the given one.
player_pid() {
  local pid
  for pid in $(pgrep -P "$1"); do
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q 'bramloe\.exe'; then
      echo "$pid"; return
    fi
    player_pid "$pid" && return
  done
  return 1
}

sounds=() idle=() playing=()
for _ in $(seq "$runs"); do
  wine "$exe" </dev/null >/dev/null 2>&1 &
  launcher=$!
  # Idle is measured once start-up is over: the message loop answers.
  wine "$dir/bramloe_window_driver.exe" ready 60000 </dev/null >/dev/null 2>&1 ||
    { echo "bramloe.exe did not answer within 60 s"; exit 1; }
  pid=$(player_pid "$launcher" || echo "$launcher")
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
