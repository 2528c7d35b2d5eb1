# Sourced: the Wine harness. harness_up brings up what Wine needs for one run, all of
# it the run's own, so that runs at the same time (the run command beside the test
# command, two checkouts) never meet: a clone of the build's ready Wine prefix (and so
# a Wine server of its own), a virtual display, and a paced sound device.
# harness_down ends exactly what harness_up started; so does a watchdog when the
# script that called harness_up dies without it.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# Creates the ready prefix once; parallel callers wait on the lock instead of racing.
harness_prefix() {
  mkdir -p "$BRAMLOE_BUILD/harness"
  (
    flock 9
    export WINEPREFIX=$BRAMLOE_READY_PREFIX
    if [ ! -f "$WINEPREFIX/.bramloe-ready" ]; then
      echo "harness: creating the Wine prefix in $WINEPREFIX" >&2
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 </dev/null
      # Unmanaged windows: without a window manager, hiding a managed window waits.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
      wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1 </dev/null
      wineserver -w </dev/null >/dev/null 2>&1
      touch "$WINEPREFIX/.bramloe-ready"
    fi
  ) 9>"$BRAMLOE_BUILD/harness/prefix.lock"
}

# The run's prefix: the ready one hard-linked (a fraction of a second), with the files
# a run may rewrite in place copied instead, so the ready prefix never changes. Wine
# keeps one server per prefix folder, so the clone gets a server of its own. The
# "wineserver" file names the ready prefix's server folder and is left out.
harness_clone_prefix() {  # folder
  local from=$BRAMLOE_READY_PREFIX to=$1
  cp -al "$from" "$to" || return 1
  rm -f "$to/wineserver"
  rm -rf "$to/drive_c/users"
  cp -a "$from/drive_c/users" "$to/drive_c/users"
  local f
  while IFS= read -r -d '' f; do
    cp -p --remove-destination "$from/${f#"$to"/}" "$f"
  done < <(find "$to" -type f ! \( -name '*.dll' -o -name '*.exe' -o -name '*.drv' -o -name '*.sys' \
    -o -name '*.nls' -o -name '*.ocx' -o -name '*.acm' -o -name '*.cpl' -o -name '*.tlb' \
    -o -name '*.ds' -o -name '*.com' -o -name '*.manifest' -o -name '*.msstyles' -o -name '*.icm' \) -print0)
}

# Starts Xvfb on a display it picks itself (no two runs can pick the same) and exports
# DISPLAY once the display takes connections.
harness_start_display() {
  local number=$BRAMLOE_HARNESS_DIR/display.number
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$number" >/dev/null 2>&1 </dev/null &
  echo $! > "$BRAMLOE_HARNESS_DIR/xvfb.pid"
  local i
  for i in $(seq 200); do
    grep -q '^[0-9][0-9]*$' "$number" 2>/dev/null && break
    kill -0 "$(cat "$BRAMLOE_HARNESS_DIR/xvfb.pid")" 2>/dev/null || break
    sleep 0.05
  done
  grep -q '^[0-9][0-9]*$' "$number" 2>/dev/null ||
    { echo "harness: the virtual display did not come up within 10 s" >&2; return 1; }
  export DISPLAY=":$(cat "$number")"
}

# Sound into a file: HOME points at a folder whose .asoundrc sends ALSA's default
# device into a FIFO, which the pacer drains at the real rate into capture.raw.
harness_start_sound() {
  local home=$BRAMLOE_HARNESS_DIR/home
  mkdir -p "$home"
  local fifo=$home/cap.fifo
  mkfifo "$fifo"
  cat > "$home/.asoundrc" <<ASOUND
pcm.!default { type plug  slave { pcm "cap"; format S16_LE; rate 44100; channels 2 } }
pcm.cap { type file  slave.pcm "null"  file "$fifo"  format "raw" }
ASOUND
  export BRAMLOE_CAPTURE=$home/capture.raw
  # The pacer creates the capture file once it holds the FIFO open: Wine's open() of the
  # device would wait forever for a reader.
  python3 "$BRAMLOE_SOURCE/scripts/sound-pacer.py" "$fifo" "$BRAMLOE_CAPTURE" $$ </dev/null >/dev/null 2>&1 &
  echo $! > "$BRAMLOE_HARNESS_DIR/pacer.pid"
  local i
  for i in $(seq 200); do
    [ -e "$BRAMLOE_CAPTURE" ] && break
    kill -0 "$(cat "$BRAMLOE_HARNESS_DIR/pacer.pid")" 2>/dev/null || break
    sleep 0.05
  done
  [ -e "$BRAMLOE_CAPTURE" ] || { echo "harness: the sound pacer did not start within 10 s" >&2; return 1; }
  export HOME=$home
  # GStreamer's registry is the same for every run of the build: kept beside them.
  export XDG_CACHE_HOME=$BRAMLOE_BUILD/harness/cache
}

# Ends what one run started: its Wine server (and so every Windows process of the run),
# its pacer and its display, then removes its folder. Nothing is left to do when the
# folder is gone.
harness_stop_run() {  # run folder
  local run=$1 f
  [ -d "$run" ] || return 0
  WINEPREFIX=$run/prefix timeout 30 wineserver -k >/dev/null 2>&1 </dev/null
  WINEPREFIX=$run/prefix timeout 30 wineserver -w >/dev/null 2>&1 </dev/null
  for f in "$run/pacer.pid" "$run/xvfb.pid"; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
  done
  rm -rf "$run"
}

# harness_up [OPTION...]: a run of the harness for the calling script.
#   user-display  keep the display of DISPLAY where it is set (else a virtual one)
#   real-sound    the machine's own sound device instead of the capture
#   user-profile  the run's profile folder is the ready prefix's own, so what a user's
#                 program writes there (the settings file) is kept; without it the run
#                 works on a copy that goes with the run
harness_up() {
  local user_display= real_sound= user_profile= a
  for a in "$@"; do
    case $a in
      user-display) user_display=1 ;; real-sound) real_sound=1 ;; user-profile) user_profile=1 ;;
      *) echo "harness: unknown option $a" >&2; return 1 ;;
    esac
  done
  harness_prefix || return 1
  BRAMLOE_HARNESS_DIR=$(mktemp -d "$BRAMLOE_BUILD/harness/run.XXXXXX") || return 1
  export BRAMLOE_HARNESS_DIR
  harness_clone_prefix "$BRAMLOE_HARNESS_DIR/prefix" ||
    { echo "harness: could not clone the Wine prefix" >&2; return 1; }
  export WINEPREFIX=$BRAMLOE_HARNESS_DIR/prefix
  if [ -n "$user_profile" ]; then
    local me
    me=$(id -un)
    rm -rf "$WINEPREFIX/drive_c/users/$me"
    ln -s "$BRAMLOE_READY_PREFIX/drive_c/users/$me" "$WINEPREFIX/drive_c/users/$me"
  fi
  # Should the calling script die without harness_down (killed, or a test timed out),
  # the run ends with it. The watchdog leaves the script's process tree and session, so
  # what kills the script does not kill it.
  setsid -f bash -c 'tail --pid="$1" -f /dev/null; source "$2"; harness_stop_run "$3"' \
    watchdog $$ "$BRAMLOE_SOURCE/scripts/harness.sh" "$BRAMLOE_HARNESS_DIR" </dev/null >/dev/null 2>&1
  if [ -z "$user_display" ] || [ -z "${DISPLAY:-}" ]; then harness_start_display || return 1; fi
  if [ -z "$real_sound" ]; then harness_start_sound || return 1; fi
  export BRAMLOE_HARNESS_UP=1
  # A persistent wineserver keeps each test's Wine start short.
  wineserver -p60 >/dev/null 2>&1 </dev/null || true
}

harness_down() {
  [ -n "${BRAMLOE_HARNESS_DIR:-}" ] || return 0
  harness_stop_run "$BRAMLOE_HARNESS_DIR"
  unset BRAMLOE_HARNESS_UP BRAMLOE_HARNESS_DIR
}
