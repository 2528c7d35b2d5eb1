#!/usr/bin/env bash
# Which formats the media framework renders through the playback session: a 440 Hz
# tone as WAV, MP3 and OGG is played and must arrive in the captured sound at its
# pitch and length; a MIDI file's outcome is reported.
source "$(dirname "$0")/common.sh"
tool=$bin/bramloe_play_file.exe
e2e_workdir e2e-formats

for name in tone.wav tone.mp3 tone.ogg; do
  python3 "$src/scripts/media.py" tone "$work/$name" 440 1 --amplitude 12000
done
python3 "$src/scripts/media.py" midi "$work/tune.mid"

for name in tone.wav tone.mp3 tone.ogg; do
  before=$(stat -c %s "$BRAMLOE_CAPTURE")
  out=$("$src/scripts/wine-run.sh" "$tool" "$(winpath "$work/$name")" 1 </dev/null 2>/dev/null | tr -d '\r')
  read -r seconds hz <<<"$(python3 "$src/tests/e2e/heard_tones.py" --span "$BRAMLOE_CAPTURE" "$before")"
  echo "$name: $(echo "$out" | tr '\n' ' ') sound ${seconds}s ${hz}Hz"
  if ! grep -q '^opened 1' <<<"$out" || ! grep -q '^complete' <<<"$out"; then
    echo "FAIL: $name did not play to its end"; status=1; continue
  fi
  python3 -c "import sys; s, f = float('$seconds'), float('$hz'); sys.exit(0 if abs(s - 1) < 0.15 and abs(f - 440) < 5 else 1)" ||
    { echo "FAIL: $name: the captured sound is not the 1 s 440 Hz tone"; status=1; }
done

out=$("$src/scripts/wine-run.sh" "$tool" "$(winpath "$work/tune.mid")" 1 </dev/null 2>/dev/null | tr -d '\r' | iconv -f CP932 -t UTF-8)
echo "tune.mid: $(echo "$out" | tr '\n' ' ')"
exit $status
