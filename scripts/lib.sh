# Sourced (by scripts/env.sh): the one copy of the helpers the scripts, the benchmarks
# and the end-to-end tests share. Needs BRAMLOE_SOURCE and BRAMLOE_BUILD (env.sh).

# The Windows tree: the one ctest names, else the build root's.
BRAMLOE_WIN=${BRAMLOE_BUILD_DIR:-$BRAMLOE_BUILD/win}
BRAMLOE_TOOLCHAIN=-DCMAKE_TOOLCHAIN_FILE=$BRAMLOE_SOURCE/cmake/mingw-w64.cmake

# build_tree NAME TARGETS [CMAKE ARGUMENTS...]: configures BRAMLOE_BUILD/NAME and
# builds TARGETS (a list in one word; "all" for everything), with the logs beside the
# tree (NAME.configure.log, NAME.build.log). On failure prints what went wrong.
build_tree() {
  local dir=$BRAMLOE_BUILD/$1 targets=$2
  shift 2
  mkdir -p "$dir"
  cmake -S "$BRAMLOE_SOURCE" -B "$dir" "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  # shellcheck disable=SC2086
  cmake --build "$dir" -j"$(nproc)" --target $targets >"$dir.build.log" 2>&1 ||
    { grep -E 'error|Error' "$dir.build.log" | head -40; return 1; }
}

# build_win TARGETS...: the named targets of the Windows tree, configured as it is.
build_win() { build_tree "$(basename "$BRAMLOE_WIN")" "$*" "$BRAMLOE_TOOLCHAIN"; }

# wait_until SECONDS WHAT COMMAND [ARGUMENTS...]: runs COMMAND every tenth of a second
# until it succeeds. When SECONDS pass first, says what was not seen and fails.
wait_until() {
  local seconds=$1 what=$2 tries
  shift 2
  for tries in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  echo "timed out: $what not within $seconds s" >&2
  return 1
}

# A Windows program of the build under the project's Wine, its stdout read as UTF-8
# lines; the status is the program's.
drive() {
  "$BRAMLOE_SOURCE/scripts/wine-run.sh" "$BRAMLOE_WIN/bramloe_drive.exe" "$@" </dev/null 2>/dev/null |
    tr -d '\r' | iconv -f CP932 -t UTF-8
  return "${PIPESTATUS[0]}"
}

# write_settings FILE MUSIC_FOLDER TEXT_FOLDER [KEY=VALUE...]: a settings file naming
# the two (Unix) folders, then the given entries, in the program's code page and line
# ends.
write_settings() {
  local file=$1 entry
  {
    printf '[BRAMLOE]\r\nmusicpath=%s\r\ntextpath=%s\r\n' "$(winpath "$2")" "$(winpath "$3")"
    shift 3
    for entry in "$@"; do printf '%s\r\n' "$entry"; done
  } | iconv -f UTF-8 -t CP932 >"$file"
}

# player_start [LOG] [LAUNCHER...]: bramloe.exe ($BRAMLOE_EXE, else the build's) in the
# background, by LAUNCHER (default wine), its messages in LOG; returns once its message
# loop answers, or fails after 30 s. player_pid is the launcher's process.
player_start() {
  local log=${1:-/dev/null}
  shift $(($# > 0 ? 1 : 0))
  [ $# -gt 0 ] || set -- wine
  "$@" "${BRAMLOE_EXE:-$BRAMLOE_WIN/bramloe.exe}" </dev/null >/dev/null 2>"$log" &
  player_pid=$!
  drive ready 30000 >/dev/null && return 0
  if kill -0 "$player_pid" 2>/dev/null; then
    echo "bramloe.exe showed no window within 30 s" >&2
  else
    wait "$player_pid"
    echo "bramloe.exe ended with status $? before its window showed" >&2
  fi
  player_stop
  return 1
}

# player_close: closes the main window as its close box does (the program writes its
# settings as it ends) and waits up to 15 s for the program to end. Returns its exit
# status; one that does not end is said so, stopped, and counts as status 1.
player_close() {
  [ -n "${player_pid:-}" ] || return 0
  drive close >/dev/null
  if ! wait_until 15 "the end of bramloe.exe after its window closed" player_ended; then
    player_stop
    return 1
  fi
  local code
  wait "$player_pid"
  code=$?
  player_pid=
  return $code
}
player_ended() { ! kill -0 "$player_pid" 2>/dev/null; }

# player_stop: ends the player by its launcher, when it still runs.
player_stop() {
  [ -n "${player_pid:-}" ] || return 0
  kill "$player_pid" 2>/dev/null
  wait "$player_pid" 2>/dev/null
  player_pid=
}
