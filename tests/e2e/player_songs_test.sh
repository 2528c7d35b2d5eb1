#!/usr/bin/env bash
# The whole player end to end: bramloe.exe under Wine over a generated library of short
# songs (distinct tones, Japanese names, one titled by its ID3v1 tag, one without a
# text). Play starts a song whose title line names its text, the songs advance by
# themselves and the captured sound holds their tones in that order, 倍 asks the graph
# for rate 2.0, Mem survives a restart, and Stop then Play goes on playing.
source "$(dirname "$0")/common.sh"
e2e_workdir e2e-player
mkdir -p "$work/music" "$work/text"

python3 - "$work" <<'PY'
import sys
from media import id3v1, write_tone
work = sys.argv[1]
def wav(path, hz, seconds=1.2, tag=None):
    # An ID3v1 tag after the data: the title comes from it.
    write_tone(path, hz, seconds, tag=id3v1(tag) if tag else b'')
wav(work + '/music/さくら.wav', 440)
wav(work + '/music/月の光.wav', 660)
wav(work + '/music/track03.wav', 880, tag='Moon River')
wav(work + '/music/無題.wav', 550)
for name, words in [('さくら', 'さくら さくら\n弥生の空は\n'), ('月の光', '月の光\n'),
                    ('MOON RIVER', '月\n川\n'), ('その他', '関係ない\n')]:
    open(work + '/text/' + name + '.txt', 'wb').write(words.encode('cp932'))
PY

# A fresh settings file in the test's profile folder.
write_settings "$ini" "$work/music" "$work/text" aimai=1 skip=0 editor=notepad

start_player() {  # log file
  WINEDEBUG=fixme+quartz e2e_start_player "$1" || exit 1
  drive wait >/dev/null || fail "the main window did not appear"
}
stop_player() { player_close || fail "bramloe.exe did not end with status 0 by its close box"; }
e2e_at_exit e2e_stop_player
# The left channel's loudest sample in the capture after an offset.
loudest_after() {
  python3 -c "
import struct,sys
f=open('$BRAMLOE_CAPTURE','rb'); f.seek($1); raw=f.read()
s=struct.unpack('<%dh'%(len(raw)//2), raw[:len(raw)//2*2])
print(max((abs(x) for x in s), default=0))"
}
rates() { grep -o 'SetRate[^>]*>([0-9.]*)' "$1" | sed 's/.*(//; s/)//'; }
# The tone of a title line: which song is playing.
tone_of() {
  case "$1" in
    *さくら*TXT:さくら*) echo 440 ;;
    *月の光*TXT:月の光*) echo 660 ;;
    *TXT:MOON*RIVER*) echo 880 ;;
    *無題*TXT:無し*) echo 550 ;;
    *) echo "?" ;;
  esac
}

log1=$work/run1.log
start_player "$log1"
[ "$(drive text ID_PLAY)" = "&Play" ] || fail "Play/Pause does not read &Play at start"
capture_start=$(stat -c %s "$BRAMLOE_CAPTURE")
drive command ID_PLAY
# Four captions (the first may still be the bare name): three songs at least. The bound
# is generous, since a start under Wine can take seconds on a busy machine.
captions=$(drive watch 30000 4)
echo "$captions" | sed 's/^/  caption /'
[ "$(drive text ID_PLAY)" = "&Pause" ] || fail "Play/Pause does not read &Pause while playing"
tones=""
while read -r ms caption; do
  [ -z "$caption" ] && continue
  t=$(tone_of "$caption")
  [ "$t" = "?" ] && { [ "$caption" = BRAMLOE ] || fail "title line does not name the song's text: $caption"; continue; }
  tones="$tones $t"
done <<<"$captions"
read -ra want <<<"$tones"

# The tones in the captured sound, in order (runs of 0.1 s windows, short runs dropped).
# The sound device lags the title line: up to 3 s for the last song titled to be heard.
for _ in $(seq 6); do
  heard=$(python3 "$src/tests/e2e/heard_tones.py" "$BRAMLOE_CAPTURE" "$capture_start" 440 550 660 880)
  read -ra got <<<"$heard"
  [ "${#got[@]}" -ge "${#want[@]}" ] && break
  sleep 0.5
done
echo "  title tones:$tones"
echo "  heard tones: $heard"
[ "${#want[@]}" -ge 3 ] || fail "the songs did not advance by themselves (${#want[@]} titles)"
n=${#want[@]}; [ "${#got[@]}" -lt "$n" ] && n=${#got[@]}
[ "$n" -ge 3 ] || fail "fewer than three songs heard"
[ "${want[*]:0:$n}" = "${got[*]:0:$n}" ] || fail "the captured tones are not the songs' in title order"

# 倍 asks for rate 2.0 while a song plays. The songs are short and may follow on at
# any moment, so Mem is pressed after Stop, which keeps the current song: Mem stores
# the cents for the song chosen last, playing or not.
drive settext ID_CENTS 0
drive command ID_OCTAVE_UP
drive command ID_STOP
stored_caption=$(drive title)
drive settext ID_CENTS 0
drive command ID_OCTAVE_UP
[ "$(drive text ID_CENTS)" = 1200 ] || fail "倍 does not show 1200"
drive command ID_MEM
# The command is posted: up to 5 s for the player to write the entry.
stored_entry() { iconv -f CP932 -t UTF-8 "$ini" 2>/dev/null | tr -d '\r' | grep -q '=1200$'; }
wait_until 5 "the entry Mem writes" stored_entry || fail "Mem wrote no entry within 5 s"
rates "$log1" | grep -qx '2.000000' || fail "no SetRate(2.000000) in Wine's log"
stored_tone=$(tone_of "$stored_caption")
echo "  stored 1200 for: $stored_caption"

# Stop, then Play: playing again, and heard within 3 s.
drive command ID_STOP
[ "$(drive waittext ID_PLAY '&Play' 3000)" = "&Play" ] || fail "Stop does not bring back &Play"
before=$(stat -c %s "$BRAMLOE_CAPTURE")
drive command ID_PLAY
[ "$(drive waittext ID_PLAY '&Pause' 3000)" = "&Pause" ] || fail "Play after Stop does not play"
heard_after() { [ "$(loudest_after "$before")" -gt 3000 ]; }
wait_until 3 "sound after Play" heard_after || fail "no sound within 3 s of Play after Stop"
[ -z "$(drive boxes)" ] || fail "unexpected message boxes"
stop_player

# A restart: the stored pitch comes back when that song starts again.
log2=$work/run2.log
start_player "$log2"
# The songs go on by themselves, in random order, and Next moves on too: after each
# Next, 2 s for the song with the stored pitch to show it, whichever song that is.
found=""
for i in $(seq 30); do
  drive command ID_NEXT
  caption=$(drive waitwith ID_CENTS 1200 2000)
  [ -n "$caption" ] && { found=$caption; break; }
done
if [ -z "$found" ]; then
  fail "no song showed the stored pitch in 30 tries"
else
  [ "$(tone_of "$found")" = "$stored_tone" ] || fail "1200 was shown for another song: $found"
  rates "$log2" | grep -qx '2.000000' || fail "the restored pitch did not set rate 2.0"
fi
stop_player
[ $status = 0 ] && echo "player end to end: ok"
exit $status
