#!/usr/bin/env bash
# The real bramloe.exe under Wine: it starts, shows its main window titled "BRAMLOE"
# with the focus on Play, ends with status 0 when its window is closed (by the close
# box's road and by the menu's Exit), and then writes BRAMLOE.INI in the profile
# folder (the test's own).
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-shell
e2e_at_exit e2e_stop_player

# One life of the program, ended by the given way ("close" or "command ID_EXIT").
one_run() {
  local how=$1
  rm -f "$ini"
  e2e_start_player /dev/null || return
  local title
  title=$(drive wait 30000)
  [ "$title" = BRAMLOE ] || fail "$how: title '$title', expected BRAMLOE"
  [ "$(xdotool search --name '^BRAMLOE$' 2>/dev/null | wc -l)" = 1 ] ||
    fail "$how: no X window named BRAMLOE"
  [ "$(drive focus)" = ID_PLAY ] || fail "$how: the focus is not on Play"
  [ -f "$ini" ] && fail "$how: the settings were written before the end"
  drive $how >/dev/null || fail "$how: could not reach the window"
  if ! wait_until 15 "the end of bramloe.exe after $how" player_ended; then
    fail "$how: bramloe.exe still runs 15 s after"
    e2e_stop_player
    return
  fi
  wait "$player_pid"
  local code=$?
  player_pid=
  [ $code = 0 ] || fail "$how: exit status $code"
  drive gone 5000 >/dev/null || fail "$how: the window is still there"
  if [ -f "$ini" ]; then
    tr -d '\r' <"$ini" | grep -qx '\[BRAMLOE\]' || fail "$how: no [BRAMLOE] section in $(cat "$ini")"
    tr -d '\r' <"$ini" | grep -qx 'aimai=1' || fail "$how: aimai not written"
  else
    fail "$how: BRAMLOE.INI not written at $ini"
  fi
}

one_run close
one_run "command ID_EXIT"
[ $status = 0 ] && echo "ok: starts titled BRAMLOE, ends with 0 by close and by Exit, writes BRAMLOE.INI"
exit $status
