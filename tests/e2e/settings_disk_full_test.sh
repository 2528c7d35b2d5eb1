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

# Runs the tool under a file size limit of $1 KiB; a write past it fails as on a full
# disk (the signal that would end the process is ignored, so the write just fails).
# The wine server is started first, outside the limit: only the tool is held to it.
write_limited() {  # limit_kb mode
  wineserver -p60 >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
  ( trap '' XFSZ; ulimit -f "$1"; wine "$tool" "$2" "$ini_win" "$key" 250 ) </dev/null 2>/dev/null | tr -d '\r'
}
limit=$((size_kb / 2))

answer=$(write_limited "$limit" direct)
after=$(stat -c %s "$work/BRAMLOE.INI")
echo "direct write under a ${limit} KiB limit: $answer, $after of $(stat -c %s "$work/before.ini") bytes left"
[ "$after" -lt "$(stat -c %s "$work/before.ini")" ] ||
  fail "the size limit did not stop the direct write (no full disk to test against)"
cp "$work/before.ini" "$work/BRAMLOE.INI"

answer=$(write_limited "$limit" safe)
echo "safe write under a ${limit} KiB limit: $answer"
[ "$answer" = "not written" ] || fail "the safe write says \"$answer\" under a full disk"
cmp -s "$work/before.ini" "$work/BRAMLOE.INI" || fail "the safe write changed the settings file"
ls "$work" | grep -vxE 'BRAMLOE.INI|before.ini' | grep -q . && fail "files left beside the settings file: $(ls "$work")"

answer=$(write_limited $((size_kb * 4)) safe)
[ "$answer" = "written" ] || fail "the safe write with room says \"$answer\""
grep -qF 'D:\Music\new song.wav=250' "$work/BRAMLOE.INI" || fail "the pitch was not stored"
[ "$(grep -c '^D:.Music.album' "$work/BRAMLOE.INI")" = 20000 ] || fail "stored pitches were lost"

[ $status = 0 ] && echo "settings disk full: ok"
exit $status
