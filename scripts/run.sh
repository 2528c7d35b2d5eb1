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
cmake --build "$dir" -j"$(nproc)" --target bramloe >"$dir.build.log" 2>&1 ||
  { grep -E 'error|Error' "$dir.build.log" | head -40; exit 1; }
exe=$dir/bramloe.exe
echo "built $exe"

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
if [ "$headless" = 0 ] && ls /dev/snd/pcm* >/dev/null 2>&1; then
  harness_up real-sound
else
  harness_up
fi
trap harness_down EXIT

# A first start gets the demo library: a settings file naming the generated folders.
# An existing settings file is never touched.
demo=$BRAMLOE_BUILD/demo
[ -d "$demo/music" ] || python3 "$BRAMLOE_SOURCE/scripts/make-demo.py" "$demo"
ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI
if [ ! -f "$ini" ]; then
  printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\n' \
    "$(winpath "$demo/music")" "$(winpath "$demo/text")" > "$ini"
  echo "settings file created for the demo library: $ini"
fi

if [ "$headless" = 0 ]; then
  wine "$exe"
  exit $?
fi

wine "$exe" >/dev/null 2>&1 </dev/null &
player=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^BRAMLOE' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$player" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  wait "$player"
  echo "bramloe.exe ended with status $? before showing its window (no virtual-display screenshot)"
  exit 0
fi
# Press Play (the accelerator P) once the message loop takes keys: a song's start
# writes its title line into the caption.
for _ in $(seq 10); do
  xdotool windowfocus --sync "$window" key p 2>/dev/null || true
  sleep 1
  case "$(xdotool getwindowname "$window" 2>/dev/null)" in "BRAMLOE: "*) break ;; esac
done
# Songs play in random order; for the picture, move on from a song without a text.
for _ in $(seq 8); do
  case "$(xdotool getwindowname "$window" 2>/dev/null)" in *"TXT:無し") ;; *) break ;; esac
  xdotool windowfocus --sync "$window" key n 2>/dev/null || true
  sleep 1
done
sleep 2
shot=$BRAMLOE_BUILD/screenshot.png
import -window root "$shot"
# The virtual screen is black around the window: keep only the window.
/usr/bin/convert "$shot" -trim +repage "$shot" 2>/dev/null || true
echo "screenshot of the player: $shot"
# Alt+F4 takes the close box's road, so the program writes its settings as it ends.
# (Destroying the X window instead would leave the program running without a window.)
xdotool windowfocus --sync "$window" key alt+F4 2>/dev/null || true
for _ in $(seq 100); do
  kill -0 "$player" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$player" 2>/dev/null; then
  echo "bramloe.exe did not end after Alt+F4; stopping it"
  kill "$player" 2>/dev/null
fi
wait "$player" 2>/dev/null
echo "bramloe.exe ended with status $?"
