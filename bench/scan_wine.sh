#!/usr/bin/env bash
# The folder-scan figures under Wine: builds scan_winbench and runs it in the project's
# Wine prefix. Usage (from the checkout):
#   BRAMLOE_BUILD=build bash bench/scan_wine.sh [runs] [flat|nested]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/env.sh"
build_win scan_winbench
bash "$BRAMLOE_SOURCE/scripts/wine-run.sh" "$BRAMLOE_WIN/scan_winbench.exe" "$@" | tr -d '\r'
