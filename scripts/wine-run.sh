#!/usr/bin/env bash
# Runs a Windows program under the project's Wine: the emulator that ctest uses for the
# Windows tests. Inside a running harness it only runs Wine; alone, it brings up a
# private harness for this one command and takes it down afterwards.
set -u
if [ -z "${BRAMLOE_HARNESS_UP:-}" ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
  harness_up
  trap 'harness_down' EXIT
else
  source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
fi
# Wine's background processes must not inherit our stdout, or callers that read it
# (ctest, command substitution) wait for them.
wineserver -p60 >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null
wine "$@"
