#!/usr/bin/env bash
# The folder-scan figures under Wine: builds scan_winbench and runs it in the project's
# Wine prefix. Usage (from the checkout):
#   BRAMLOE_BUILD=build bash bench/scan_wine.sh [runs] [flat|nested]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/env.sh"
dir=$BRAMLOE_BUILD/win
cmake -S "$BRAMLOE_SOURCE" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$BRAMLOE_SOURCE/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$dir" -j2 --target scan_winbench >/dev/null
bash "$BRAMLOE_SOURCE/scripts/wine-run.sh" "$dir/scan_winbench.exe" "$@" | tr -d '\r'
