#!/usr/bin/env bash
# The lyrics window comes back after a restart where it was left and as it was locked:
# the real program is started, the window shown, moved as a drag would move it and
# locked, the program closed and started again. A place off every screen is brought
# back onto the nearest one.
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-lyrics-window
mkdir -p "$work/music" "$work/text"
write_settings "$ini" "$work/music" "$work/text"
e2e_at_exit e2e_stop_player

lyrics_reads() { [ "$(drive lyrics)" = "$1" ]; }
start() { e2e_start_player /dev/null && drive ready >/dev/null || fail "$1: the player did not start"; }
close() { [ "$(drive close)" = closed ] || fail "$1: the main window did not close"; e2e_stop_player; }

start first
[ "$(drive lyrics)" = hidden ] || fail "shown before it was asked for: $(drive lyrics)"
drive command ID_LYRICS_WINDOW
wait_until 5 "the window shown, unlocked" eval '[[ "$(drive lyrics)" == *" unlocked" ]]' ||
  fail "W did not show it unlocked: $(drive lyrics)"
drive lyricsmove 150 160 500 90
drive command ID_LYRICS_LOCK
wait_until 5 "the window moved and locked" lyrics_reads "150 160 500 90 locked" ||
  fail "not moved and locked: $(drive lyrics)"
close first
for entry in lyricswindow=150,160,500,90 lyricslock=1 lyricsshown=1; do
  grep -qxF "$entry"$'\r' "$ini" || fail "the settings file lacks $entry"
done

start again
wait_until 5 "the window back as it was" lyrics_reads "150 160 500 90 locked" ||
  fail "after the restart: $(drive lyrics)"
close again

# Off every screen: brought into the screen, its size kept.
sed -i 's/^lyricswindow=.*\r$/lyricswindow=5000,5000,500,90\r/' "$ini"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
start off-screen
wait_until 5 "the window shown" eval '[ "$(drive lyrics)" != hidden ]'
read -r x y w h _ < <(drive lyrics)
[ "$w $h" = "500 90" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$screen_width" ] &&
  [ $((y + h)) -le "$screen_height" ] ||
  fail "a place off the ${screen_width}x$screen_height screen stayed off it: $x $y $w $h"
close off-screen

[ $status = 0 ] && echo "lyrics window: ok"
exit $status
