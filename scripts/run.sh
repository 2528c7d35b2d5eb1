#!/usr/bin/env bash
# The run command: installs what is missing, builds bramloe.exe and starts it under
# Wine. With a display it runs until you close it, with the machine's own sound where
# there is a sound card. Without a display it runs on a virtual one, leaves a
# screenshot in the build folder, prints its path and ends the program.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/deps.sh" || exit 1
source "$here/harness.sh"

dir=$BRAMLOE_BUILD/win
cmake -S "$BRAMLOE_SOURCE" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$BRAMLOE_SOURCE/cmake/mingw-w64.cmake" \
  >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
targets=(bramloe)
# Without a display the player is driven from outside: the drivers are built too.
[ "$headless" = 1 ] && targets+=(bramloe_drive bramloe_window_driver)
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}" >"$dir.build.log" 2>&1 ||
  { grep -E 'error|Error' "$dir.build.log" | head -40; exit 1; }
exe=$dir/bramloe.exe
echo "built $exe"

# The settings the player writes are the user's: kept in the ready prefix's profile.
if [ "$headless" = 0 ] && ls /dev/snd/pcm* >/dev/null 2>&1; then
  harness_up user-display user-profile real-sound || exit 1
else
  harness_up user-display user-profile || exit 1
fi
trap harness_down EXIT

# A first start gets the demo library: a settings file naming the generated folders.
# An existing settings file is never touched.
demo=$BRAMLOE_BUILD/demo
[ -d "$demo/music" ] || python3 "$BRAMLOE_SOURCE/scripts/make-demo.py" "$demo"
ini=$BRAMLOE_READY_PREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
if [ ! -f "$ini" ]; then
  printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\n' \
    "$(winpath "$demo/music")" "$(winpath "$demo/text")" > "$ini"
  echo "settings file created for the demo library: $ini"
fi

if [ "$headless" = 0 ]; then
  wine "$exe"
  exit $?
fi

run() { "$BRAMLOE_SOURCE/scripts/wine-run.sh" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
caption() { xdotool getwindowname "$window" 2>/dev/null; }
# Waits up to 10 s for the caption to begin with a song's title line (playing), or to
# differ from the given one (another song).
caption_wait() {  # playing | other CAPTION
  local i now
  for i in $(seq 100); do
    now=$(caption)
    if [ "$1" = playing ]; then [ "${now#BRAMLOE: }" != "$now" ] && return 0
    else [ "$now" != "$2" ] && return 0; fi
    sleep 0.1
  done
  return 1
}
stop_player() {
  kill "$player" 2>/dev/null
  wait "$player" 2>/dev/null
}

wine "$exe" >/dev/null 2>&1 </dev/null &
player=$!
# The window shows once start-up has run; keys are taken once the message loop answers.
if ! run "$dir/bramloe_window_driver.exe" ready 30000 >/dev/null; then
  if kill -0 "$player" 2>/dev/null; then
    echo "bramloe.exe showed no window within 30 s; stopping it"
    stop_player
  else
    wait "$player"
    echo "bramloe.exe ended with status $? before showing its window"
  fi
  exit 1
fi
window=$(xdotool search --name '^BRAMLOE' 2>/dev/null | head -1)
[ -n "$window" ] || { echo "no X window named BRAMLOE on the virtual display"; stop_player; exit 1; }
# Press Play (the accelerator P): a song's start writes its title line into the caption.
xdotool windowfocus --sync "$window" key p 2>/dev/null
caption_wait playing || echo "P started no song within 10 s; the screenshot shows the window as it is"
# Songs play in random order; for the picture, move on from a song without a text.
for _ in $(seq 8); do
  now=$(caption)
  case "$now" in *"TXT:無し") ;; *) break ;; esac
  xdotool windowfocus --sync "$window" key n 2>/dev/null
  caption_wait other "$now" || break
done
# A second of the song, so that the bar shows it playing.
run "$dir/bramloe_drive.exe" barwait ge 100 5000 >/dev/null
shot=$BRAMLOE_BUILD/screenshot.png
# The virtual screen is black around the window: keep only the window. ImageMagick's
# own import does both, so no other of its tools is needed from PATH.
import -window root -trim +repage "$shot"
echo "screenshot of the player: $shot"
# Then the timed text: on to 紅葉 and, well into it, a picture of the line being sung.
for _ in $(seq 20); do
  case "$(xdotool getwindowname "$window" 2>/dev/null)" in *"紅葉"*) break ;; esac
  xdotool windowfocus --sync "$window" key n 2>/dev/null || true
  sleep 1
done
case "$(xdotool getwindowname "$window" 2>/dev/null)" in
  *"紅葉"*)
    sleep 10
    timed=$BRAMLOE_BUILD/screenshot-timed.png
    import -window root "$timed"
    /usr/bin/convert "$timed" -trim +repage "$timed" 2>/dev/null || true
    echo "screenshot of a timed text followed: $timed" ;;
esac
# Alt+F4 takes the close box's road, so the program writes its settings as it ends.
# (Destroying the X window instead would leave the program running without a window.)
xdotool windowfocus --sync "$window" key alt+F4 2>/dev/null
for _ in $(seq 100); do
  kill -0 "$player" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$player" 2>/dev/null; then
  echo "bramloe.exe did not end within 10 s of Alt+F4; stopping it"
  stop_player
  exit 1
fi
wait "$player"
echo "bramloe.exe ended with status $?"
