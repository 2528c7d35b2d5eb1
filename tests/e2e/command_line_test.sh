#!/usr/bin/env bash
# Files on bramloe.exe's command line, as "Open with", a drop on its icon and "Send to"
# give them: they replace the scanned list in the order given and the first plays at
# once (a quoted path with spaces arrives whole, a path the code page cannot write
# plays by its short name, a file without any usable name is told of); a second start
# with files hands them to the running player and ends by itself without a window; a
# second start without files is a second player. The programs are started by Wine
# itself, so that names outside the code page reach them as given; the run has a
# harness of its own, since the player then writes the prefix's own settings file.
unset BRAMLOE_HARNESS_UP
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-command-line
mkdir -p "$work/scanned" "$work/two words" "$work/songs"
python3 - "$work" <<'PY'
import sys
from media import write_tone
work = sys.argv[1]
for path, hz in [('/scanned/無題.wav', 550), ('/two words/月の光.wav', 660),
                 ('/songs/さくら.wav', 440), ('/songs/third.wav', 880), ('/songs/café.wav', 330)]:
    write_tone(work + path, hz, 30)
PY
ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=\r\naimai=1\r\nskip=0\r\neditor=notepad\r\n' \
  "$(winpath "$work/scanned")" > "$ini"

unset BRAMLOE_PLAYER_PID
bramloe() { "$src/scripts/wine-run.sh" "$bin/bramloe.exe" "$@" </dev/null >/dev/null 2>&1; }
plain_windows() { xdotool search --name '^BRAMLOE$' 2>/dev/null | wc -l; }
pids=()
stop_all() { local p; for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; }
e2e_at_exit stop_all
# Waits for the caption to change from the one given, then checks that the song of
# that title plays.
plays_after() {  # caption before, title
  local caption
  caption=$(drive waitchange CAPTION "$1" 10000)
  case "$caption" in
    "BRAMLOE: "*":"$2"   TXT:"*) ;;  # the title may be a pattern
    *) fail "expected $2 to play, the caption reads '$caption'" ;;
  esac
  [ "$(drive text ID_PLAY)" = '&Pause' ] || fail "$2: Play/Pause does not read &Pause"
}
next_plays() {  # title
  local before
  before=$(drive title)
  drive command ID_NEXT
  plays_after "$before" "$1"
}

# A start with three files, one in a folder with a space, one that names no file and
# has a character the code page lacks: no short name exists for it.
bramloe "$(winpath "$work/two words/月の光.wav")" "$(winpath "$work/songs/さくら.wav")" \
  "$(winpath "$work/songs/missing-é.wav")" &
pids+=($!)
drive wait >/dev/null || fail "the main window did not appear"
box=""
for i in $(seq 50); do box=$(drive boxes); [ -n "$box" ] && break; sleep 0.1; done
[ "$box" = "box BRAMLOE: ファイル名に使えない文字があるか長すぎるため、開けないファイルがありました" ] ||
  fail "the file without a name was not told of: '$box'"
plays_after BRAMLOE 月の光
next_plays さくら
next_plays 月の光  # two songs in the list: the scanned one and the missing one are not in it
[ "$(plain_windows)" = 0 ] || fail "a window titled BRAMLOE alone before the second start"

# A second start with files: the running player takes them; the second ends by itself.
before=$(drive title)
started=$(date +%s%N)
timeout 20 "$src/scripts/wine-run.sh" "$bin/bramloe.exe" "$(winpath "$work/songs/third.wav")" \
  "$(winpath "$work/songs/café.wav")" </dev/null >/dev/null 2>&1
code=$?
took=$(( ($(date +%s%N) - started) / 1000000 ))
[ $code = 0 ] || fail "the second start with files ended with $code (124: still running after 20 s)"
echo "the second start ended after $took ms"
plays_after "$before" third
next_plays 'CAF~*'  # café.wav by its short name
next_plays third
[ "$(plain_windows)" = 0 ] || fail "the second start with files left a window"
[ -z "$(drive boxes)" ] || fail "a message box after the hand-over"

# A second start without files is a player of its own.
bramloe &
second=$!
pids+=($second)
for i in $(seq 100); do [ "$(plain_windows)" = 1 ] && break; sleep 0.1; done
[ "$(plain_windows)" = 1 ] || fail "a second start without files showed no window of its own"
kill -0 "$second" 2>/dev/null || fail "the second player without files ended"
[ "$(xdotool search --name '^BRAMLOE: .*:third   TXT:' 2>/dev/null | wc -l)" = 1 ] ||
  fail "the first player no longer plays third beside the second"

[ $status = 0 ] && echo "ok: files on the command line play in order, a second start hands them over, one without files is a second player"
exit $status
