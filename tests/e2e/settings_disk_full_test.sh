#!/usr/bin/env bash
# A settings file of 20,000 stored pitches meets a full disk (a file size limit below
# its size) as one more pitch is stored. Written straight through the profile
# functions the file is cut and the pitches after the cut are gone; that is checked
# first, so the limit is known to bite. Written the player's way, the file stays as
# it was, byte for byte, and the next write with room to spare stores the pitch.
source "$(dirname "$0")/common.sh"
tool=$bin/bramloe_settings_write.exe
e2e_workdir e2e-settings-disk-full

python3 - "$work/BRAMLOE.INI" <<'PY'
import sys
lines = ['[BRAMLOE]', 'musicpath=D:\\Music', 'textpath=D:\\Text', 'aimai=1', 'skip=0']
lines += ['D:\\Music\\album %03d\\song %05d.wav=%d' % (i // 100, i, i % 2400 - 1200) for i in range(20000)]
open(sys.argv[1], 'wb').write(('\r\n'.join(lines) + '\r\n').encode('ascii'))
PY
cp "$work/BRAMLOE.INI" "$work/before.ini"
size_kb=$(( $(stat -c %s "$work/before.ini") / 1024 ))
ini_win=$(winpath "$work/BRAMLOE.INI")
key='D:\Music\new song.wav'
# A long value (typed into the cents box before Mem) makes the file outgrow its old size.
value=$(printf '7%.0s' {1..1500})

# Runs the tool under a file size limit of $1 KiB; a write past it fails as on a full
# disk (the signal that would end the process is ignored, so the write just fails).
# The wine server is started first, outside the limit: only the tool is held to it.
write_limited() {  # limit_kb mode
  wineserver -p60 >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
  ( trap '' XFSZ; ulimit -f "$1"; wine "$tool" "$2" "$ini_win" "$key" "$value" ) </dev/null 2>/dev/null | tr -d '\r'
}
before_bytes=$(stat -c %s "$work/before.ini")
# Half the file's size: no copy of it fits. Just above it: a copy fits, the file with
# the new entry does not.
for limit in $((size_kb / 2)) $((size_kb + 1)); do
  answer=$(write_limited "$limit" direct)
  kept=$(grep -ac $'^D:.Music.album [0-9]*.song [0-9]*.wav=-\\?[0-9]*\r$' "$work/BRAMLOE.INI")
  whole=no; [ "$(tail -c 1 "$work/BRAMLOE.INI" | od -An -c | tr -d ' ')" = '\n' ] && whole=yes
  echo "direct write under a ${limit} KiB limit: $answer, $(stat -c %s "$work/BRAMLOE.INI") of" \
       "$before_bytes bytes, $kept of 20000 stored pitches kept, last line whole: $whole"
  [ "$kept" -lt 20000 ] || [ $whole = no ] ||
    fail "the ${limit} KiB limit did not stop the direct write (no full disk to test against)"
  cp "$work/before.ini" "$work/BRAMLOE.INI"

  answer=$(write_limited "$limit" safe)
  echo "safe write under a ${limit} KiB limit: $answer"
  [ "$answer" = "not written" ] || fail "the safe write says \"$answer\" under a ${limit} KiB limit"
  cmp -s "$work/before.ini" "$work/BRAMLOE.INI" || fail "the safe write changed the settings file"
  leftover=$(ls "$work" | grep -vxE 'BRAMLOE.INI|before.ini|profile')  # profile: the test's own, from the preamble
  [ -z "$leftover" ] || fail "files left beside the settings file: $leftover"
  cp "$work/before.ini" "$work/BRAMLOE.INI"
done

answer=$(write_limited $((size_kb * 4)) safe)
[ "$answer" = "written" ] || fail "the safe write with room says \"$answer\""
grep -qF "D:\\Music\\new song.wav=$value" "$work/BRAMLOE.INI" || fail "the pitch was not stored"
[ "$(grep -c '^D:.Music.album' "$work/BRAMLOE.INI")" = 20000 ] || fail "stored pitches were lost"

[ $status = 0 ] && echo "settings disk full: ok"
exit $status
