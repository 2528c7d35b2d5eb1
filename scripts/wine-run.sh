#!/usr/bin/env bash
# Runs a Windows program under the project's Wine: the emulator that ctest uses for the
# Windows tests. Inside a running harness it becomes Wine itself (so stopping it stops
# the program); alone, it brings up a run of the harness for this one command and takes
# it down afterwards. Alone, it keeps a set DISPLAY and the user's settings file, unless
# BRAMLOE_HARNESS_OPTIONS names the options (the Windows tests set it empty: a virtual
# display and a profile of the run's own).
set -u
if [ -z "${BRAMLOE_HARNESS_UP:-}" ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
  # shellcheck disable=SC2086
  harness_up ${BRAMLOE_HARNESS_OPTIONS-user-display user-profile} || exit 1
  trap 'harness_down' EXIT
  own_harness=1
else
  source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
  own_harness=
fi
# Wine's background processes must not inherit our stdout, or callers that read it
# (ctest, command substitution) wait for them.
wineserver -p60 >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null
[ -n "$own_harness" ] || exec wine "$@"
wine "$@"
