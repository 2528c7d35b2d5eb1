#!/usr/bin/env python3
"""Generates the demo library that the run command starts the player on: short
synthesised tunes of public-domain songs and their texts, named so that each shows
one thing the player does.

  ｻｸﾗｻｸﾗ.wav          half-width katakana name; finds サクラサクラ.txt only by fuzzy matching
  track02.mp3         title 故郷 and artist from its ID3v1 tag; finds 故郷.txt
  荒城の月 (Live).wav  finds 荒城の月.txt through the fuzzy prefix rule
  練習曲.wav           has no text: its title line says 無し
  紅葉.wav             finds 紅葉.lrc, a timed text in UTF-8: the line being sung is
                      marked and kept in view as the song plays

Usage: make-demo.py OUTPUT_FOLDER   (creates OUTPUT_FOLDER/music and OUTPUT_FOLDER/text)
"""
import array
import math
import os
import struct
import sys

from media import RATE, id3v1, write_samples

NOTE = {n: i for i, n in enumerate("C C# D D# E F F# G G# A A# B".split())}


def frequency(name):
    pitch, octave = name[:-1], int(name[-1])
    return 440.0 * 2 ** ((NOTE[pitch] + 12 * (octave - 4) - 9) / 12)


def render(melody, beat=0.42):
    """melody: 'A4 A4 B4:2 -' ; ':n' holds for n beats, '-' rests one beat."""
    samples = []
    for token in melody.split():
        name, _, length = token.partition(":")
        count = int(RATE * beat * (float(length) if length else 1))
        if name == "-":
            samples.extend([0] * count)
            continue
        f = frequency(name)
        for i in range(count):
            t = i / RATE
            envelope = min(1.0, t / 0.02) * max(0.0, 1.0 - t / (count / RATE)) ** 0.6
            value = math.sin(2 * math.pi * f * t) + 0.3 * math.sin(4 * math.pi * f * t)
            samples.append(int(9000 * envelope * value))
    return struct.pack("<%dh" % len(samples), *samples)


def write_wav(path, pcm):
    write_samples(path, array.array("h", pcm), channels=1)


def write_mp3(path, pcm, title, artist):
    write_samples(path, array.array("h", pcm), channels=1, tag=id3v1(title, artist, year="1914"))


SAKURA = ("A4 A4 B4:2 A4 A4 B4:2 A4 B4 C5 B4 A4 B4 A4 F4:2 E4 C4 E4 F4 E4 E4 C4 B3:2 "
          "A4 B4 C5 B4 A4 B4 A4 F4:2 E4 C4 E4 F4 E4 E4 C4 B3:2 A4 A4 B4:2 A4 A4 B4:2 "
          "E4 F4 B4 A4 F4 E4:3")
FURUSATO = ("C4 C4 C4 D4:1.5 E4:0.5 D4 E4 E4 F4 G4:3 F4 G4 A4 E4:1.5 F4:0.5 E4 "
            "D4 C4 D4 C4:3 E4 F4 G4 A4:1.5 G4:0.5 G4 A4 G4 F4 E4:3 D4 E4 F4 "
            "E4:1.5 D4:0.5 C4 C4 D4 B3 C4:3")
KOJO = ("E4 E4 A4 B4 C5 B4 A4:2 F4 F4 E4 D4 E4:3 - E4 E4 A4 B4 C5 B4 A4:2 "
        "F4 D4 D4 C4 B3:3 - C5 C5 B4 A4 A4 G#4 A4:2 F4 F4 E4 D4 E4:3 - "
        "E4 E4 A4 B4 C5 B4 A4:2 F4 D4 D4 C4 A3:3")
ETUDE = " ".join("C4 D4 E4 F4 G4 A4 B4 C5 C5 B4 A4 G4 F4 E4 D4 C4".split() * 2)

# 紅葉 (高野辰之, 岡野貞一): four phrases a verse, two verses, each phrase sung in two
# halves; each half is a line of the timed text, tagged with the time it starts in
# the rendered tune.
KOYO_BEAT = 0.3
KOYO_HALVES = [("G4 G4 G4 A4 G4 E4 C4:2", "D4 E4 G4 A4 G4:2"),
               ("E4 E4 G4 A4 C5 C5 A4:2", "G4 A4 G4 E4 D4:2"),
               ("G4 G4 G4 A4 G4 E4 C4:2", "D4 E4 G4 E4 D4:2"),
               ("E4 G4 A4 C5 A4 G4:2", "E4 D4 C4:3")]
KOYO_VERSES = [["秋の夕日に", "照る山紅葉", "濃いも薄いも", "数ある中に",
                "松をいろどる", "楓や蔦は", "山のふもとの", "裾模様"],
               ["渓の流に", "散り浮く紅葉", "波にゆられて", "離れて寄って",
                "赤や黄色の", "色さまざまに", "水の上にも", "織る錦"]]


def beats(melody):
    return sum(float(t.partition(":")[2] or 1) for t in melody.split())


def koyo():
    """The tune and its timed text: a rest, verse one, a rest, verse two."""
    melody = ["-:2"]
    lines = ["[ti:紅葉]", "[ar:文部省唱歌]", "紅葉（もみじ）", "作詞　高野辰之　作曲　岡野貞一"]
    at = 2.0
    for words in KOYO_VERSES:
        lines.append("")
        halves = [half for pair in KOYO_HALVES for half in pair]
        for half, word in zip(halves, words):
            seconds = at * KOYO_BEAT
            lines.append("[%02d:%05.2f]%s" % (seconds // 60, seconds % 60, word))
            melody.append(half)
            at += beats(half)
        melody.append("-:2")
        at += 2
    return " ".join(melody), "\n".join(lines) + "\n"


TEXTS = {
    "サクラサクラ": """さくら　さくら
やよいの空は
見わたす限り
かすみか雲か
匂いぞ　出ずる
いざや　いざや
見にゆかん

さくら　さくら
野山も里も
見わたす限り
かすみか雲か
朝日に匂う
さくら　さくら
花ざかり
""",
    "故郷": """故郷（ふるさと）
作詞　高野辰之　作曲　岡野貞一

兎追いし　かの山
小鮒釣りし　かの川
夢は今も　めぐりて
忘れがたき　故郷

如何にいます　父母
恙なしや　友がき
雨に風に　つけても
思い出ずる　故郷

志を　はたして
いつの日にか　帰らん
山は青き　故郷
水は清き　故郷
""",
    "荒城の月": """荒城の月
作詞　土井晩翠　作曲　滝廉太郎

春高楼の　花の宴
めぐる盃　かげさして
千代の松が枝　わけいでし
むかしの光　いまいずこ

秋陣営の　霜の色
鳴きゆく雁の　数見せて
植うるつるぎに　照りそいし
むかしの光　いまいずこ

いま荒城の　よわの月
替らぬ光　たがためぞ
垣に残るは　ただかずら
松に歌うは　ただあらし

天上影は　替らねど
栄枯は移る　世の姿
写さんとてか　今もなお
ああ荒城の　よわの月
""",
}


def main():
    out = sys.argv[1]
    music = os.path.join(out, "music")
    text = os.path.join(out, "text")
    os.makedirs(music, exist_ok=True)
    os.makedirs(text, exist_ok=True)
    write_wav(os.path.join(music, "ｻｸﾗｻｸﾗ.wav"), render(SAKURA))
    write_mp3(os.path.join(music, "track02.mp3"), render(FURUSATO), "故郷", "文部省唱歌")
    write_wav(os.path.join(music, "荒城の月 (Live).wav"), render(KOJO, beat=0.5))
    write_wav(os.path.join(music, "練習曲.wav"), render(ETUDE, beat=0.25))
    tune, timed = koyo()
    write_wav(os.path.join(music, "紅葉.wav"), render(tune, beat=KOYO_BEAT))
    # UTF-8 without a byte-order mark, as current editors save it.
    with open(os.path.join(text, "紅葉.lrc"), "wb") as f:
        f.write(timed.replace("\n", "\r\n").encode("utf-8"))
    for name, body in TEXTS.items():
        with open(os.path.join(text, name + ".txt"), "wb") as f:
            f.write(body.replace("\n", "\r\n").encode("cp932"))


if __name__ == "__main__":
    main()
