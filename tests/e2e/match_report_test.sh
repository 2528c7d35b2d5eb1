#!/usr/bin/env bash
# bramloe-match.exe on generated folders: for every song it names the text the player's
# own FindText gives, the rule and prefix length of fuzzy matches, the title from a tag,
# the texts no song finds; it reads the settings file as the player does, writes code
# page 932 unless asked for UTF-8, and fails with status 2 on bad folders and options.
source "$(dirname "$0")/common.sh"
report=$bin/bramloe-match.exe
finder=$bin/bramloe_find_texts.exe
e2e_workdir e2e-match
run() { e2e_wine "$@" </dev/null; }

python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
music, text = work + '/music', work + '/text'
for d in (music, music + '/表', text, text + '/表', work + '/empty-music', work + '/empty-text'):
    os.makedirs(d, exist_ok=True)
from media import id3v1
def tag(title, artist):
    return id3v1(title, artist, pad=b' ')
songs = {'Sakura (Live).wav': b'', 'さくら.wav': b'', '表.wav': b'', '表/ソ.wav': b'',
         'ｻｸﾗ.wav': b'', 'SongC.wav': b'', 'AB.wav': b'', 'x.mp3': tag('Ｍｙ Ｓｏｎｇ', 'Foo')}
for name, tail in songs.items():
    with open(music + '/' + name, 'wb') as f:
        f.write(b'\0' * 200 + tail)
for name in ['SakuraDrop', 'Sakura(Studio)', 'Sakura', 'Sakuran', 'さくらんぼ', 'さくま', '表',
             '表/ソ', 'サクラ', 'mysong', 'SongA', 'SongB', 'ABC', 'Unused']:
    open(text + '/' + name + '.txt', 'w').close()
PY
M=$(winpath "$work/music"); T=$(winpath "$work/text")

# 1. Every song agrees with the player's lookup, in MusicList order.
run "$report" --utf8 --music "$M" --text "$T" >"$work/report.txt" 2>"$work/report.err"
[ $? = 0 ] || fail "report exit status $? ($(cat "$work/report.err"))"
run "$finder" "$M" "$T" 1 0 >"$work/player.txt"
python3 - "$work" "$(winpath "$work")" <<'PY' || status=1
import sys
work, root = sys.argv[1], sys.argv[2]
report = open(work + '/report.txt', encoding='utf-8').read().replace('\r', '')
player = open(work + '/player.txt', 'rb').read().decode('cp932').replace('\r', '').splitlines()
found = []
for line in report.split('\n'):
    if line.startswith('song '):
        song = line.split(': ', 1)[1]
    elif line.startswith('  text:   '):
        found.append('%s\t%s' % (song, line[10:].split('   ')[0]))
bad = 0
if len(found) != 8 or found != player:
    print('FAIL: the report and FindText disagree\nreport:\n  %s\nplayer:\n  %s' %
          ('\n  '.join(found), '\n  '.join(player)))
    bad = 1
else:
    print('all %d songs agree with FindText' % len(found))

blocks = {b.split('\n')[0].split('\\')[-1]: b for b in report.split('\n\n') if b.startswith('song ')}
expect = {
    'Sakura (Live).wav': ['text\\Sakura.txt   (fuzzy pass: prefix of 6 bytes "Sakura", 4 candidates)',
                          'skipped: prefix of 7 bytes "Sakura(" (ends just after \'(\')',
                          'text\\SakuraDrop.txt   (longer name: 10 bytes against 6)',
                          'line:   BRAMLOE: wav:Sakura(Live)   TXT:Sakura'],
    'さくら.wav': ['text\\さくま.txt   (fuzzy pass: prefix of 4 bytes "さく", 2 candidates)',
                 'skipped: prefix of 5 bytes (would end inside a double-byte character)',
                 'text\\さくらんぼ.txt   (longer name: 10 bytes against 6)'],
    'SongC.wav': ['(fuzzy pass: prefix of 4 bytes "Song", 2 candidates)',
                  '(same length, 5 bytes: the tie goes to the lower index)'],
    '表.wav': ['text:   %s\\text\\表.txt   (exact pass)', 'line:   BRAMLOE: wav:表   TXT:表'],
    'ソ.wav': ['music\\表\\ソ.wav', 'text:   %s\\text\\表\\ソ.txt   (exact pass)', 'TXT:ソ'],
    'ｻｸﾗ.wav': ['key:    サクラ   (match key)', 'text\\サクラ.txt   (exact pass)'],
    'x.mp3': ['title:  Ｍｙ Ｓｏｎｇ   (from the ID3v1 tag)', 'artist: Foo',
              'line:   BRAMLOE: mp3:MySong(Foo)   TXT:mysong'],
    'AB.wav': ['text:   none', 'nearest: %s\\text\\ABC.txt   (shares "AB", 2 bytes)', 'TXT:無し'],
}
for song, parts in expect.items():
    for part in parts:
        part = part.replace('%s', root)
        if part not in blocks.get(song, ''):
            print('FAIL: %s: missing %r in\n%s' % (song, part, blocks.get(song)))
            bad = 1
summary = report[report.find('\nsummary\n'):]
for part in ['songs with a text:    7', 'songs without a text: 1', '    %s\\music\\AB.wav' % root,
             'texts no song finds:  7', '    %s\\text\\Unused.txt' % root, '    %s\\text\\ABC.txt' % root]:
    if part not in summary:
        print('FAIL: summary lacks %r:\n%s' % (part, summary)); bad = 1
sys.exit(bad)
PY

# 2. Without --utf8: the same report in code page 932 with CRLF line ends.
run "$report" --music "$M" --text "$T" >"$work/report932.txt" 2>/dev/null
python3 - "$work" <<'PY' || status=1
import sys
work = sys.argv[1]
raw = open(work + '/report932.txt', 'rb').read()
utf8 = open(work + '/report.txt', encoding='utf-8').read()
if b'\x95\x5c' not in raw or raw.count(b'\r\n') != utf8.count('\n') or raw.decode('cp932').replace('\r\n', '\n') != utf8:
    print('FAIL: the code page 932 report is not the UTF-8 one in other bytes'); sys.exit(1)
print('code page 932 output matches the UTF-8 output')
PY

# 3. Folders and options from the settings file, the command line winning.
# The settings file is the one in the profile folder (the test's own).
named=$(run "$report" --help | tr -d '\r' | sed -n 's/^settings file: //p')
[ "$named" = "$(winpath "$profile")\BRAMLOE.INI" ] || fail "settings file named in --help: '$named'"
write_settings "$ini" "$work/music" "$work/text" aimai=0 skip=1
from_ini=$(run "$report" --utf8 2>&1 | tr -d '\r')
overridden=$(run "$report" --utf8 --aimai on 2>&1 | tr -d '\r')
rm -f "$ini"  # the checks below start from no settings file
grep -qxF "  settings:     $named" <<<"$from_ini" || fail "settings line: $(grep settings: <<<"$from_ini")"
grep -qF "  music folder: $M" <<<"$from_ini" || fail "music folder not taken from the settings file"
grep -qF "  aimai:        off" <<<"$from_ini" || fail "aimai=0 not read"
grep -qF "  skip:         on" <<<"$from_ini" || fail "skip=1 not read"
grep -qF "(no text name equals the title; fuzzy matching is off)" <<<"$from_ini" ||
  fail "aimai off: Sakura (Live) should find nothing"
grep -qF "(left as it was: skip passes over this song)" <<<"$from_ini" || fail "skip on: title line kept"
grep -qF "BRAMLOE.INI (--aimai from the command line)" <<<"$overridden" || fail "origin of --aimai"
grep -qF "(fuzzy pass: prefix of 6 bytes \"Sakura\"" <<<"$overridden" || fail "--aimai on did not win"

# 4. Relative folders are taken from where the program starts, although the walk makes
# the text folder the current directory before it walks the music folder.
out=$(cd "$work" && run "$report" --utf8 --text text --music music 2>&1 | tr -d '\r')
grep -qxF "  music folder: $M" <<<"$out" && grep -qF "songs with a text:    7" <<<"$out" ||
  fail "relative folders: $(head -12 <<<"$out")"

# 5. Empty folders, a missing folder, unknown options.
out=$(run "$report" --utf8 --music "$(winpath "$work/empty-music")" --text "$(winpath "$work/empty-text")" 2>&1)
[ $? = 0 ] || fail "empty folders: status not 0"
grep -q "songs:  *0" <<<"$out" && grep -q "texts:  *0" <<<"$out" || fail "empty folders: $out"
out=$(run "$report" --utf8 --music "$(winpath "$work/missing")" --text "$T" 2>&1 >/dev/null); rc=$?
[ $rc = 2 ] || fail "missing music folder: status $rc"
grep -qF 'cannot read the music folder' <<<"$out" || fail "missing music folder: message '$out'"
out=$(run "$report" --utf8 --music "$M" --text "$(winpath "$work/missing")" 2>&1 >/dev/null); rc=$?
[ $rc = 2 ] && grep -qF 'cannot read the text folder' <<<"$out" || fail "missing text folder: $rc '$out'"
out=$(run "$report" --colour 2>&1 >/dev/null); rc=$?
[ $rc = 2 ] && grep -qF 'unknown option "--colour"' <<<"$out" || fail "unknown option: $rc '$out'"
out=$(run "$report" --skip maybe 2>&1 >/dev/null); rc=$?
[ $rc = 2 ] || fail "--skip maybe: status $rc"

[ $status = 0 ] && echo "match report: all checks passed"
exit $status
