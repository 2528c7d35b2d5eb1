#!/usr/bin/env bash
# One whole session the way a user has it, on the real bramloe.exe under Wine:
# start on a first library; in the settings dialog change both folders and press OK;
# Play and see the title line and the text; shift the pitch with the keys; Mem; Next;
# seek by a click on the progress bar; Top; a click near the end lets the song end and
# the next one follows; drop three files through X's drag and drop and hear them play
# in the dropped order; Exit; start again and find the folders kept and the stored pitch
# restored for its song. Keys and clicks are real X input (xdotool); the settings dialog
# and Exit are reached by posted commands. The player's settings file is the test's own.
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-accept
step() { echo "-- $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

player_pid=
finish() {
  # A player left running by a failed step is closed by its window, else ended.
  if [ -n "$player_pid" ] && kill -0 "$player_pid" 2>/dev/null; then
    drive close >/dev/null
    e2e_stop_player
  fi
}
e2e_at_exit finish

# The first library (one song), the library chosen in the dialog (three songs of
# $song_s s with their texts in a Japanese-named folder) and three short songs to drop,
# each with its own tone. The chosen songs are long enough that none ends by itself
# while the keys of one song's steps are pressed and their effects read, however slowly
# a loaded machine starts each driver; the bar grows $grow‰ a second.
song_s=30 grow=$((1000 / 30))
first=$work/first chosen=$work/chosen dropped=$work/dropped
python3 - "$work" "$song_s" <<'PY'
import os, sys
from media import write_tone
work, song_s = sys.argv[1], int(sys.argv[2])
def wav(path, hz, seconds):
    write_tone(path, hz, seconds, amplitude=9000)
def text(path, words):
    with open(path, 'wb') as f:
        f.write(words.encode('cp932'))
for d in ('first/music', 'first/text', 'chosen/music', 'chosen/歌詞', 'dropped'):
    os.makedirs(os.path.join(work, d))
wav(work + '/first/music/序曲.wav', 330, 1)
text(work + '/first/text/序曲.txt', '序曲\n')
for name, hz, words in [('春の歌', 440, '春の歌\nさくら さくら\n'),
                        ('夏の歌', 550, '夏の歌\n海\n山\n'),
                        ('秋の歌', 660, '秋の歌\n紅葉\n月\n風\n')]:
    wav(work + '/chosen/music/' + name + '.wav', hz, song_s)
    text(work + '/chosen/歌詞/' + name + '.txt', words)
for name, hz in [('第一', 770), ('第二', 880), ('第三', 990)]:
    wav(work + '/dropped/' + name + '.wav', hz, 1.5)
    text(work + '/chosen/歌詞/' + name + '.txt', name + '\n')
PY
write_settings "$ini" "$first/music" "$first/text" aimai=1 skip=0 editor=notepad
music_folder=$(winpath "$chosen/music")
text_folder=$(winpath "$chosen/歌詞")

xid() { xdotool search --onlyvisible --name '^BRAMLOE' 2>/dev/null | head -1; }
key() { local w; w=$(xid); xdotool windowfocus --sync "$w" key "$@"; }
# drive_armed FILE ARGUMENTS...: the driver in the background, its output in FILE;
# returns once it has found the window, so that what it watches for cannot pass before
# it looks. armed_pid is the one to wait for.
drive_armed() {
  local out=$1; shift
  rm -f "$work/armed"
  BRAMLOE_DRIVER_STARTED=$(winpath "$work/armed") drive "$@" >"$out" &
  armed_pid=$!
  wait_until 20 "the armed driver" armed || fail "the driver did not look in time"
}
armed() { [ -e "$work/armed" ] || ! kill -0 "$armed_pid" 2>/dev/null; }
click_at() {  # permille across the progress bar
  local x y
  read -r x y <<<"$(drive clickpoint "$1")"
  xdotool mousemove --sync "$x" "$y" click 1
}
ini_text() { iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r'; }
song_of() {  # the song a title line names, when it names its own text
  case "$1" in
    "BRAMLOE: wav:"*"   TXT:"*) local song=${1#BRAMLOE: wav:}; song=${song%%   TXT:*}
      [ "$1" = "BRAMLOE: wav:$song   TXT:$song" ] && echo "$song" ;;
  esac
}
tone_of() {
  case "$1" in 春の歌) echo 440 ;; 夏の歌) echo 550 ;; 秋の歌) echo 660 ;;
    第一) echo 770 ;; 第二) echo 880 ;; 第三) echo 990 ;; *) echo "?" ;; esac
}
rate_of() { python3 -c "print('%f' % 2 ** ($1 / 1200))"; }
asked_rate() { grep "SetRate" "$1" | grep -qF ">(${2})"; }
logged_rate() { wait_until 5 "rate $2 asked of the graph" asked_rate "$@"; }  # log, rate
inked() { ink=$(drive ink); [ "${ink%% *}" -gt "$1" ]; }
ink_above() {  # dark pixels: waits up to 5 s for the text view to show more than that
  local ink
  wait_until 5 "the text view's ink above $1" inked "$1"
  local met=$?
  echo "$ink"
  return $met
}
start_player() {  # log file
  WINEDEBUG=fixme+quartz e2e_start_player "$1" || exit 1
  # Keys go to the X window, so wait until the program takes messages and the window
  # is on the display.
  drive ready 20000 >/dev/null || { fail "the main window did not appear"; exit 1; }
  wait_until 10 "an X window named BRAMLOE" x_window_shown || { fail "no X window named BRAMLOE"; exit 1; }
}
x_window_shown() { [ -n "$(xid)" ]; }
end_player() {  # how: posts it and waits up to 15 s for the process to end with 0
  drive command "$1" >/dev/null
  if ! wait_until 15 "the end of bramloe.exe after $1" player_ended; then
    fail "bramloe.exe still runs 15 s after $1"
    e2e_stop_player
    return
  fi
  wait "$player_pid"
  local code=$?
  player_pid=
  [ $code = 0 ] || fail "exit status $code"
}

started=$(now_ms)

step "start on the first library"
log1=$work/run1.log
start_player "$log1"
[ "$(drive title)" = BRAMLOE ] || fail "title at start: $(drive title)"
blank=$(drive ink)
echo "  empty text view: $blank"

step "settings dialog: new folders, OK"
dialog=$(drive settings "$music_folder" "$text_folder")
echo "$dialog" | sed 's/^/  /'
[ "$dialog" = "music $(winpath "$first/music")
text $(winpath "$first/text")
closed" ] || fail "the dialog did not show the first folders or did not close on OK"

step "Play"
key p
[ "$(drive waittext ID_PLAY '&Pause' 10000)" = "&Pause" ] || fail "P did not start playing"
caption=$(drive title)
echo "  $caption"
song=$(song_of "$caption")
[ -n "$song" ] && [ "$(tone_of "$song")" != "?" ] ||
  fail "the title line does not name a song of the chosen folder with its text: $caption"
x_title=$(xdotool getwindowname "$(xid)")
[ "$x_title" = "$caption" ] || fail "the X title line reads '$x_title', not '$caption'"
ink=$(ink_above $((${blank%% *} + 1000))) || fail "no text drawn in the text view ($ink)"
echo "  text view: $ink"

step "pitch: D (倍) then Ctrl+Left"
[ "$(drive text ID_CENTS)" = 0 ] || fail "cents at the first song: $(drive text ID_CENTS)"
key d
[ "$(drive waittext ID_CENTS 1200 5000)" = 1200 ] || fail "D does not show 1200"
logged_rate "$log1" "$(rate_of 1200)" || fail "no SetRate($(rate_of 1200)) after D"
key ctrl+Left
[ "$(drive waittext ID_CENTS 1175 5000)" = 1175 ] || fail "Ctrl+Left does not show 1175"
logged_rate "$log1" "$(rate_of 1175)" || fail "no SetRate($(rate_of 1175)) after Ctrl+Left"

step "Mem for $song"
stored=$song
entry="$music_folder\\$stored.wav=1175"
key m
entry_written() { ini_text | grep -qxF "$entry"; }
wait_until 5 "the entry '$entry'" entry_written || fail "M wrote no entry '$entry'"

step "Next"
[ "$(drive barwait ge 100 10000 | cut -d' ' -f1)" != -1 ] || fail "the bar does not grow"
drive_armed "$work/next.bar" barwait lt 50 5000
key n
wait "$armed_pid"
[ "$(cut -d' ' -f1 <"$work/next.bar")" != -1 ] || fail "N did not start a song afresh"
caption=$(drive title)
song=$(song_of "$caption")
echo "  $caption"
[ -n "$song" ] || fail "after Next the title line does not name its text: $caption"
if [ "$song" = "$stored" ]; then want=1175; else want=0; fi
[ "$(drive waittext ID_CENTS $want 3000)" = $want ] ||
  fail "cents after Next: $(drive text ID_CENTS), expected $want for $song"
if [ "$song" != "$stored" ]; then
  ink2=$(drive ink)
  [ "${ink2#* }" != "${ink#* }" ] || fail "the text view did not change with the song ($ink2)"
fi

step "seek by a click on the bar"
read -r _ p0 <<<"$(drive barwait ge 0 0)"
if [ "$p0" -gt 300 ]; then  # the seek needs room after the click: a fresh song
  drive_armed /dev/null barwait lt 50 5000
  key n
  wait "$armed_pid"
  read -r _ p0 <<<"$(drive barwait ge 0 0)"
fi
target=$((p0 + 400))
before=$(now_ms)
click_at $target
read -r waited p1 <<<"$(drive barwait ge $((target - 50)) 3000)"
after=$(now_ms)
echo "  bar ${p0}‰ before the click at ${target}‰, ${p1}‰ after, within $((after - before)) ms"
# The bar grows by itself: the click must account for more.
[ "$waited" != -1 ] && [ $((p1 - p0 - (after - before) * grow / 1000)) -gt 150 ] ||
  fail "the click did not move the position (${p0}‰ to ${p1}‰ in $((after - before)) ms)"
caption=$(drive title)

step "Top"
# Without Top the song would end at most (1000 - p1) × $song_s ms after the reading
# above: the bar is followed, from before the key, past that time, and must fall back
# at once and then only grow. The driver reads the bar a pixel at a time, each pixel a
# round trip to the display: a reading that the repaint overtakes is black up to where
# the repaint met it, a place between the old one and the new. So the fall is taken
# from the first reading the song, started afresh by the key, can have reached (the
# key came after the trace began), and not from one made while the bar was repainted.
drive_armed "$work/top.trace" bartrace $(((1000 - p1) * song_s + 500))
key t
wait "$armed_pid"
trace=$(cat "$work/top.trace")
echo "  bar after Top:" $(echo "$trace" | awk 'NR % 10 == 1 { print $2 "‰" }')
echo "$trace" | awk -v grow="$grow" '
  !low && $1 > 1000 { bad = "it did not fall back at once"; exit }
  !low { if ($2 <= $1 * grow / 1000 + 30) { low = 1; last = lowest = $2 } next }
  $2 < last - 50 { bad = "it fell back again: a song started afresh"; exit }
  { last = $2 }
  END {
    if (!bad && !low) bad = "it did not fall back"
    if (!bad && last < lowest + 50) bad = "it did not grow again"
    if (bad) { print bad; exit 1 }
  }' >"$work/top.verdict" || fail "Top: the bar after Top: $(cat "$work/top.verdict")"
[ "$(drive title)" = "$caption" ] || fail "Top changed the song: $(drive title)"

step "a click near the end: the song ends and the next one follows by itself"
# From the start again, so that only the click can bring the end within reach.
key t
[ "$(drive barwait lt 100 3000 | cut -d' ' -f1)" != -1 ] || fail "Top did not bring the bar back"
# The bar is followed from before the click: near the end at once, then a new song.
drive_armed "$work/end.trace" bartrace $((song_s * 50 + 5000))
click_at 950
wait "$armed_pid"
awk '
  !near { if ($2 >= 900) near = 1; next }
  $2 < 100 { print $1; found = 1; exit }
  END { if (!near) print "no-seek"; else if (!found) print "no-next" }' "$work/end.trace" >"$work/end.verdict"
case $(cat "$work/end.verdict") in
  no-seek) fail "the click at 95% did not seek" ;;
  no-next) fail "no song followed the end of the song" ;;
  *) echo "  next song at $(cat "$work/end.verdict") ms of the trace" ;;
esac
[ "$(drive text ID_PLAY)" = "&Pause" ] || fail "not playing after the end of a song"
caption=$(drive title)
echo "  $caption"
[ -n "$(song_of "$caption")" ] || fail "the following song's title line: $caption"

step "drop three files onto the window (X drag and drop)"
read -r vx vy <<<"$(xdotool getwindowgeometry --shell "$(xid)" | sed -n 's/^WIDTH=//p; s/^HEIGHT=//p' | tr '\n' ' ')"
drop_order=(第二 第三 第一)
answer=$(python3 "$src/tests/e2e/xdnd_drop.py" "$(xid)" $((vx / 2)) $((vy / 2)) \
  "$dropped/${drop_order[0]}.wav" "$dropped/${drop_order[1]}.wav" "$dropped/${drop_order[2]}.wav")
echo "$answer" | sed 's/^/  /'
[ "$answer" = "accepted
finished" ] || fail "the window did not take the drop"
[ "$(drive title)" = "$caption" ] || fail "the drop changed the song playing"
capture_from=$(stat -c %s "$BRAMLOE_CAPTURE")
key n
captions=$(drive watch 30000 3)  # the three dropped songs, however slow their starts
echo "$captions" | sed 's/^/  caption /'
titles=""
while read -r ms line; do
  [ -z "$line" ] && continue
  s=$(song_of "$line")
  [ -n "$s" ] || { fail "title line without its text: $line"; continue; }
  titles="$titles $s"
done <<<"$captions"
titles=${titles# }
first_three=$(echo "$titles" | cut -d' ' -f1-3)
[ "$first_three" = "${drop_order[*]}" ] ||
  fail "the dropped songs came as '$titles', not in the dropped order '${drop_order[*]}'"
want_tones="$(tone_of "${drop_order[0]}") $(tone_of "${drop_order[1]}") $(tone_of "${drop_order[2]}")"
# The sound device lags the title line: up to 5 s for the third dropped tone to arrive.
for _ in $(seq 10); do
  heard=$(python3 "$src/tests/e2e/heard_tones.py" "$BRAMLOE_CAPTURE" "$capture_from" 440 550 660 770 880 990)
  heard_dropped=$(echo "$heard" | tr ' ' '\n' | grep -E '^(770|880|990)$' | head -3 | tr '\n' ' ')
  [ "$(wc -w <<<"$heard_dropped")" -ge 3 ] && break
  sleep 0.5
done
echo "  heard: $heard"
[ "${heard_dropped% }" = "$want_tones" ] ||
  fail "the captured tones '$heard' do not follow the dropped order ($want_tones)"

step "Exit"
[ -z "$(drive boxes)" ] || fail "unexpected message boxes"
end_player ID_EXIT
ini_text | sed 's/^/  ini: /'
ini_text | grep -qxF "musicpath=$music_folder" || fail "musicpath is not the folder chosen in the dialog"
ini_text | grep -qxF "textpath=$text_folder" || fail "textpath is not the folder chosen in the dialog"
ini_text | grep -qxF "$entry" || fail "the pitch entry for $stored is gone"

step "start again: the stored pitch comes back with $stored"
log2=$work/run2.log
start_player "$log2"
key p
[ "$(drive waittext ID_PLAY '&Pause' 10000)" = "&Pause" ] || fail "P did not start playing after the restart"
found=""
for i in $(seq 30); do
  caption=$(drive title)
  song=$(song_of "$caption")
  [ "$(tone_of "$song")" = "?" ] && { fail "after the restart a song outside the kept folders: $caption"; break; }
  if [ "$song" = "$stored" ]; then
    found=1
    [ "$(drive waittext ID_CENTS 1175 3000)" = 1175 ] || fail "the stored pitch is not restored: $(drive text ID_CENTS)"
    logged_rate "$log2" "$(rate_of 1175)" || fail "the restored pitch did not set rate $(rate_of 1175)"
    break
  fi
  [ "$(drive waittext ID_CENTS 0 3000)" = 0 ] || fail "$song starts at $(drive text ID_CENTS) cents, stored nothing"
  drive command ID_NEXT
  drive barwait lt 50 5000 >/dev/null
done
[ -n "$found" ] || fail "$stored did not come up in 30 songs"
echo "  $caption at $(drive text ID_CENTS) cents"
[ -z "$(drive boxes)" ] || fail "unexpected message boxes"
end_player ID_EXIT

echo "session took $(($(now_ms) - started)) ms"
[ $status = 0 ] && echo "acceptance: one whole session ok"
exit $status
