# Sourced: the Wine harness. harness_up brings up what Wine needs on this machine
# (its prefix, a virtual display where none is set, a paced sound device) and
# harness_down ends exactly what harness_up started.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# Creates the prefix once; parallel callers wait on the lock instead of racing.
harness_prefix() {
  mkdir -p "$BRAMLOE_HARNESS_DIR"
  (
    flock 9
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
  ) 9>"$BRAMLOE_HARNESS_DIR/prefix.lock"
}

# Starts Xvfb on the first free display and exports DISPLAY.
harness_start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  echo $! > "$BRAMLOE_HARNESS_DIR/xvfb.pid"
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  export DISPLAY=":$n"
  echo "$DISPLAY" > "$BRAMLOE_HARNESS_DIR/display"
}

# Sound into a file: HOME points at a folder whose .asoundrc sends ALSA's default
# device into a FIFO, which the pacer drains at the real rate into capture.raw.
harness_start_sound() {
  local home=$BRAMLOE_HARNESS_DIR/home
  mkdir -p "$home"
  local fifo=$home/cap.fifo
  [ -p "$fifo" ] || { rm -f "$fifo"; mkfifo "$fifo"; }
  cat > "$home/.asoundrc" <<ASOUND
pcm.!default { type plug  slave { pcm "cap"; format S16_LE; rate 44100; channels 2 } }
pcm.cap { type file  slave.pcm "null"  file "$fifo"  format "raw" }
ASOUND
  export BRAMLOE_CAPTURE=$home/capture.raw
  : > "$BRAMLOE_CAPTURE"
  python3 "$BRAMLOE_SOURCE/scripts/sound-pacer.py" "$fifo" "$BRAMLOE_CAPTURE" </dev/null >/dev/null 2>&1 &
  echo $! > "$BRAMLOE_HARNESS_DIR/pacer.pid"
  export HOME=$home
  # GStreamer's registry and Wine's caches land under HOME; keep them with the build.
  export XDG_CACHE_HOME=$home/.cache
}

# harness_up [real-sound]: real-sound keeps the machine's own sound device.
harness_up() {
  harness_prefix
  rm -f "$BRAMLOE_HARNESS_DIR/xvfb.pid" "$BRAMLOE_HARNESS_DIR/pacer.pid"
  if [ -z "${DISPLAY:-}" ]; then harness_start_display; fi
  if [ "${1:-}" != real-sound ]; then harness_start_sound; fi
  export BRAMLOE_HARNESS_UP=1
  # A persistent wineserver keeps each test's Wine start short.
  wineserver -p60 >/dev/null 2>&1 </dev/null || true
}

harness_kill_pidfile() {
  local f=$1
  if [ -f "$f" ]; then
    kill "$(cat "$f")" 2>/dev/null || true
    rm -f "$f"
  fi
}

harness_down() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
  harness_kill_pidfile "$BRAMLOE_HARNESS_DIR/pacer.pid"
  harness_kill_pidfile "$BRAMLOE_HARNESS_DIR/xvfb.pid"
  unset BRAMLOE_HARNESS_UP
}
