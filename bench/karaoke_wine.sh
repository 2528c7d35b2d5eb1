#!/usr/bin/env bash
# What word-timed lyrics cost, and how smoothly their fill moves:
#   karaoke cpu  CPU while a 40 s song plays beside a text whose lines carry word tags,
#                for 10 s (the program, the wineserver and the X server), against the
#                same song beside the same text with line tags only, side by side in
#                alternating rounds (the median of each side);
#   fill steps   the longest time between two new fill positions drawn over 10 s of the
#                word-timed song (bench/karaoke_winbench.cpp, the program in process).
#
#   BRAMLOE_BUILD=build bash bench/karaoke_wine.sh [ROUNDS]
#
# Prints `karaoke cpu: X.XX` and `fill steps: N ms` last. Keeps an existing BRAMLOE.INI
# aside and puts it back.
set -u
rounds=${1:-3}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"  # and the harness
player_bench_up karaoke_winbench

# One song and its text twice: a line every 2 s of four words of half a second each,
# the last closed by a tag at the line's end; and the same lines with line tags only.
karaoke=$BRAMLOE_BUILD/bench-karaoke
python3 - "$karaoke" "$lib/tone.wav" <<'PY'
import os, sys
base, tone = sys.argv[1:3]
for kind in ('words', 'lines'):
    for sub in ('music', 'text'):
        os.makedirs(os.path.join(base, kind, sub), exist_ok=True)
    song = os.path.join(base, kind, 'music', '練習.wav')
    if not os.path.exists(song):
        os.link(tone, song)
    lines = []
    for i in range(20):
        t = 2 * i
        tag = lambda s: '%02d:%05.2f' % (s // 60, s % 60)
        if kind == 'words':
            words = ''.join('<%s>うた%d' % (tag(t + k / 2), k) for k in range(4))
            lines.append('[%s]%s<%s>' % (tag(t), words, tag(t + 2)))
        else:
            lines.append('[%s]%s' % (tag(t), ''.join('うた%d' % k for k in range(4))))
    with open(os.path.join(base, kind, 'text', '練習.txt'), 'wb') as f:
        f.write(('\r\n'.join(lines) + '\r\n').encode('cp932'))
PY

round() {  # words or lines; appends the CPU figure to the side's list (a: words)
  player_settings "$ini" "$karaoke/$1"
  if [ "$1" = words ]; then play_side_cpu a; else play_side_cpu b; fi
}

cpu_a=() cpu_b=()
for r in $(seq "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then round words; round lines; else round lines; round words; fi
done

player_settings "$ini" "$karaoke/words"
steps=$(wine "$BRAMLOE_WIN/karaoke_winbench.exe" 10 </dev/null 2>/dev/null | tr -d '\r')

python3 - "${cpu_a[*]}" "${cpu_b[*]}" <<'PY'
import statistics, sys
words, lines = ([float(x) for x in a.split()] for a in sys.argv[1:3])
m = statistics.median
print('cpu       word tags %.2f %%, line tags %.2f %% of a core (with wineserver and X; medians of %d)'
      % (m(words), m(lines), len(words)))
print('karaoke cpu: %.2f' % (m(words) / m(lines)))
PY
echo "${steps:-fill steps: not measured}"
