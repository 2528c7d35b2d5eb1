#!/usr/bin/env bash
# The main window on a screen of 144 dots per inch against one of 96: every control's
# rectangle is 1.5 times as large and as far from the edge it keeps to (within what
# the layout's whole pixels lose: a row is three half lines, each truncated), and the
# text view's font follows the view's width alone, so that the same text at the same
# width draws the very same pixels. The run has a harness of its own, since it changes
# the prefix's screen density.
unset BRAMLOE_HARNESS_UP
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-display-scaling
mkdir -p "$work/music" "$work/text"
python3 - "$work" <<'PY'
import sys
from media import write_tone
write_tone(sys.argv[1] + '/music/さくら.wav', 440, 30)
open(sys.argv[1] + '/text/さくら.txt', 'wb').write('さくら さくら 弥生の空は'.encode('cp932'))
PY
longest=$(printf 'さくら さくら 弥生の空は' | iconv -t CP932 | wc -c)
printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\naimai=1\r\nskip=0\r\neditor=notepad\r\n' \
  "$(winpath "$work/music")" "$(winpath "$work/text")" > "$ini"
e2e_at_exit e2e_stop_player
top_row=(ID_PLAY ID_STOP ID_CENTS ID_RATE ID_OCTAVE_DOWN ID_OCTAVE_UP ID_MEM)

# One run: the rectangles of the top row, the text view and the bottom row, the client
# size, and the ink of the text view once the song's text shows, into $work/$1.
measure() {  # name
  e2e_start_player /dev/null || exit 1
  drive wait >/dev/null || fail "$1: the main window did not appear"
  drive command ID_PLAY
  drive waittext ID_PLAY '&Pause' 10000 >/dev/null
  drive rects "${top_row[@]}" TEXT_VIEW ID_TOP ID_NEXT >"$work/$1.rects"
  sleep 0.5  # the text view repaints
  drive ink >"$work/$1.ink"
  [ "$(drive close)" = closed ] || fail "$1: the main window did not close"
  e2e_stop_player
}

measure 96
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 </dev/null
measure 144

# Compares each length with 1.5 times the one at 96 dpi; "name len96 len144" a line.
python3 - "$work/96.rects" "$work/144.rects" "${top_row[@]}" <<'PY' >"$work/compare" || fail "the rectangles do not scale:
$(cat "$work/compare")"
import sys
lo, hi = ([list(map(int, l.split())) for l in open(f)] for f in sys.argv[1:3])
names = sys.argv[3:] + ['text view', 'ID_TOP', 'ID_NEXT']
W96, H96 = lo[-1]; W144, H144 = hi[-1]
bad = 0
def check(what, a, b):
    global bad
    # A row is three truncated half lines (up to 1.5 px short), the text view's bottom
    # edge six (3 px); the constants of the layout do not scale.
    ok = abs(b - 1.5 * a) <= 3
    print(('' if ok else 'WRONG ') + '%s %d -> %d (1.5 x = %.1f)' % (what, a, b, 1.5 * a))
    bad += not ok
for name, (x, y, w, h), (x2, y2, w2, h2) in zip(names, lo, hi):
    if name == 'text view':
        check(name + ' top', y, y2)
        check(name + ' gap below', H96 - y - h, H144 - y2 - h2)
        continue
    if name in ('ID_TOP', 'ID_NEXT'):
        check(name + ' gap below', H96 - y, H144 - y2)
    else:
        check(name + ' y', y, y2)
    check(name + ' x' if name != 'ID_NEXT' else name + ' gap right', x if name != 'ID_NEXT' else W96 - x,
          x2 if name != 'ID_NEXT' else W144 - x2)
    check(name + ' width', w, w2)
    check(name + ' height', h, h2)
sys.exit(1 if bad else 0)
PY

cat "$work/compare"

# The font height the width rule gives each run's view; the same height must draw the
# same pixels, whatever the screen's density.
font() { echo $(( (19 * $(sed -n 8p "$work/$1.rects" | cut -d' ' -f3) - 1) / (10 * longest) )); }
read -r dark96 sum96 <"$work/96.ink"
read -r dark144 sum144 <"$work/144.ink"
[ "${dark96:-0}" -gt 0 ] || fail "no text drawn at 96 dpi"
if [ "$(font 96)" = "$(font 144)" ]; then
  [ "$dark96 $sum96" = "$dark144 $sum144" ] ||
    fail "the same font height ($(font 96)) drew other pixels at 144 dpi: $dark96 $sum96, then $dark144 $sum144"
else
  fail "the views differ in width too much to compare: $(sed -n 8p "$work/96.rects") and $(sed -n 8p "$work/144.rects")"
fi
[ $status = 0 ] && echo "ok: at 144 dpi every control is 1.5 times its size at 96, and the text keeps its width rule"
exit $status
