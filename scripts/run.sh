#!/usr/bin/env bash
# The run command: installs what is missing, builds bramloe.exe and starts it under
# Wine. With a display it runs until you close it, with the machine's own sound where
# there is a sound card. Without a display it runs on a virtual one, leaves two
# screenshots in the build folder (the player with a song's text, and a timed text
# followed), prints their paths and ends the program; any step that does not happen
# in time is named and makes the status 1.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/deps.sh" || exit 1
source "$here/harness.sh"

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
targets=bramloe
# Without a display the player is driven from outside: the driver is built too.
[ "$headless" = 1 ] && targets="bramloe bramloe_drive"
build_tree win "$targets" "$BRAMLOE_TOOLCHAIN" || exit 1
exe=$BRAMLOE_WIN/bramloe.exe
echo "built $exe"

# The settings the player writes are the user's: kept in the ready prefix's profile.
if [ "$headless" = 0 ] && ls /dev/snd/pcm* >/dev/null 2>&1; then
  harness_up user-display user-profile real-sound || exit 1
else
  harness_up user-display user-profile || exit 1
fi
trap 'player_stop; harness_down' EXIT

# A first start gets the demo library: a settings file naming the generated folders.
# An existing settings file is never touched.
demo=$BRAMLOE_BUILD/demo
[ -d "$demo/music" ] || python3 "$BRAMLOE_SOURCE/scripts/make-demo.py" "$demo" || exit 1
ini=$BRAMLOE_READY_PREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
if [ ! -f "$ini" ]; then
  write_settings "$ini" "$demo/music" "$demo/text"
  echo "settings file created for the demo library: $ini"
fi

if [ "$headless" = 0 ]; then
  wine "$exe"
  exit $?
fi

status=0
failed() { echo "$*"; status=1; }
caption() { xdotool getwindowname "$window" 2>/dev/null; }
playing() { case "$(caption)" in "BRAMLOE: "*) return 0 ;; esac; return 1; }
not_caption() { [ "$(caption)" != "$1" ]; }
names() { case "$(caption)" in *"$1"*) return 0 ;; esac; return 1; }
press() { xdotool windowfocus --sync "$window" key "$1" 2>/dev/null; }
shoot() {  # file: the virtual screen is black around the window, so only the window is kept
  import -window root -trim +repage "$1" && echo "$2: $1"
}

player_start || exit 1
window=$(xdotool search --name '^BRAMLOE' 2>/dev/null | head -1)
[ -n "$window" ] || { echo "no X window named BRAMLOE on the virtual display"; exit 1; }
# Play (the accelerator P): a song's start writes its title line into the caption.
press p
wait_until 10 "a song started by P" playing || status=1
# Songs play in random order, and one of the demo's has no text: for the picture, on
# to one with a text.
for _ in 1 2 3 4 5 6 7 8; do
  names "TXT:無し" || break
  now=$(caption)
  press n
  wait_until 10 "the song after $now" not_caption "$now" || { status=1; break; }
done
names "TXT:無し" && failed "eight presses of Next found no song with a text"
# A tenth of the song, so that the bar shows it playing.
[ "$(drive barwait ge 100 10000 | cut -d' ' -f1)" != -1 ] || failed "the progress bar did not grow within 10 s"
shoot "$BRAMLOE_BUILD/screenshot.png" "screenshot of the player" || status=1

# Then the timed text: 紅葉 dropped onto the window is the only song of the list, so
# Next plays it; well into its first verse, a picture of the line being sung.
read -r width height <<<"$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p; s/^HEIGHT=//p' | tr '\n' ' ')"
dropped=$(python3 "$BRAMLOE_SOURCE/tests/e2e/xdnd_drop.py" "$window" $((width / 2)) $((height / 2)) "$demo/music/紅葉.wav")
[ "$dropped" = "accepted
finished" ] || failed "the window did not take the drop of 紅葉.wav: $dropped"
press n
if wait_until 10 "紅葉 playing after Next" names "紅葉"; then
  [ "$(drive barwait ge 300 20000 | cut -d' ' -f1)" != -1 ] || failed "紅葉 did not play on within 20 s"
  shoot "$BRAMLOE_BUILD/screenshot-timed.png" "screenshot of a timed text followed" || status=1
else
  status=1
fi

# The close box's road, so the program writes its settings as it ends.
player_close
code=$?
echo "bramloe.exe ended with status $code"
[ "$code" = 0 ] || status=1
exit $status
