#!/usr/bin/env bash
# What the lyrics window over the desktop costs: CPU while a 40 s song plays with a
# timed text whose marked line moves four times a second, for 10 s (the program, the
# wineserver and the X server), with the window shown (and locked) against hidden, side
# by side in alternating rounds (the median of each side).
#
#   BRAMLOE_BUILD=build bash bench/overlay_wine.sh [ROUNDS]
#
# Prints `overlay cpu: X.XX` last. Keeps an existing BRAMLOE.INI aside and puts it back.
set -u
rounds=${1:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"  # and the harness
player_bench_up

songs=$BRAMLOE_BUILD/bench-lyrics
if [ ! -d "$songs/text" ]; then
  mkdir -p "$songs/music" "$songs/text"
  python3 - "$songs" <<'PY'
import sys
from media import write_tone
write_tone(sys.argv[1] + '/music/歌.wav', 440, 40)
lines = ''.join('[%02d:%02d.%02d]歌詞の行 %d\n' % (i // 240, i // 4 % 60, i % 4 * 25, i) for i in range(160))
open(sys.argv[1] + '/text/歌.txt', 'wb').write(lines.encode('cp932'))
PY
fi

round() {  # lyricsshown value: 1 is side a
  player_settings "$ini" "$songs" "lyricsshown=$1" lyricslock=1 lyricswindow=100,100,640,100
  play_side_cpu "$([ "$1" = 1 ] && echo a || echo b)"
}

cpu_a=() cpu_b=()
alternate_rounds "$rounds" "round 1" "round 0"
print_cpu_sides "overlay cpu" "lyrics window shown" hidden
