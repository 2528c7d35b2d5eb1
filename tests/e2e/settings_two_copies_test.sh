#!/usr/bin/env bash
# Two copies of the program store pitches into one settings file at the same moments,
# each the player's way, one process a pitch. Afterwards every entry that either
# stored is in the file, each as its own key=value line, beside every entry the file
# held before, and neither copy left a file of its own beside it.
source "$(dirname "$0")/common.sh"
tool=$bin/bramloe_settings_write.exe
e2e_workdir e2e-settings-two-copies
rounds=25

printf '[BRAMLOE]\r\nmusicpath=D:\\Music\r\naimai=1\r\nD:\\Music\\kept.wav=-300\r\n' >"$work/BRAMLOE.INI"
ini_win=$(winpath "$work/BRAMLOE.INI")
wineserver -p60 >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null

store() {  # copy name: stores "D:\Music\NAME N.wav=N" for N in 1..rounds
  local i
  for i in $(seq "$rounds"); do
    wine "$tool" safe "$ini_win" "D:\\Music\\$1 $i.wav" "$i" </dev/null 2>/dev/null | tr -d '\r'
  done
}
store first >"$work/first.log" &
first=$!
store second >"$work/second.log" &
second=$!
wait "$first" "$second"

for name in first second; do
  refused=$(grep -cvx written "$work/$name.log")
  [ "$refused" = 0 ] || fail "$refused of the $name copy's writes were refused"
  lost=0
  for i in $(seq "$rounds"); do
    grep -qxF "D:\\Music\\$name $i.wav=$i"$'\r' "$work/BRAMLOE.INI" || lost=$((lost + 1))
  done
  echo "$name copy: $rounds pitches stored, $lost lost"
  [ "$lost" = 0 ] || fail "$lost of the $name copy's pitches are not in the file"
done
for line in '[BRAMLOE]' 'musicpath=D:\Music' 'aimai=1' 'D:\Music\kept.wav=-300'; do
  grep -qxF "$line"$'\r' "$work/BRAMLOE.INI" || fail "the file lost $line"
done
entries=$(grep -c . "$work/BRAMLOE.INI")
[ "$entries" = $((4 + 2 * rounds)) ] || fail "the file has $entries lines, not $((4 + 2 * rounds))"
leftover=$(ls "$work" | grep -vxE 'BRAMLOE.INI|first.log|second.log|profile')
[ -z "$leftover" ] || fail "files left beside the settings file: $leftover"

[ $status = 0 ] && echo "settings two copies: ok"
exit $status
