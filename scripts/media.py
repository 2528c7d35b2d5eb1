#!/usr/bin/env python3
"""The one generator of media for the tests, the benchmarks and the demo: 16-bit PCM
WAV files of steady sine tones (or of given samples), an ID3v1 tag after the data,
MP3 and OGG by Debian's encoders (lame, oggenc), a small uncompressed AVI and a
one-note MIDI file. The C++ Wine tests run it through tests/wine/media_win.h; the tags
the C++ tests read are made by the build (cmake/test_media.cmake).

  media.py tone PATH HZ SECONDS [--amplitude A] [--title T] [--artist A]
  media.py tones PATH HZ:SECONDS ...           one tone after another
  media.py tag PATH [--title T] [--artist A] [--spaces]
                                               the 128-byte ID3v1 tag alone; --spaces
                                               pads its texts with spaces, not NULs
  media.py vocal PATH SECONDS [--parts]        a stereo song for the voice setting; with
                                               --parts its three parts, one a channel
  media.py avi PATH                            10 frames of 32 x 24 at 10 a second
  media.py midi PATH                           one note
A tone is encoded by PATH's extension: .mp3 and .ogg through the encoders, else WAV.
Every file appears whole or not at all (written aside, then renamed).
"""
import argparse
import array
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

RATE = 44100


def wav_bytes(samples, channels=2, rate=RATE):
    """A whole WAV file for 16-bit samples (interleaved when channels > 1)."""
    data = array.array('h', samples).tobytes()
    return (b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' +
            struct.pack('<IHHIIHH', 16, 1, channels, rate, rate * channels * 2,
                        channels * 2, 16) +
            b'data' + struct.pack('<I', len(data)) + data)


def tone_samples(hz, seconds, amplitude=10000):
    """Stereo samples of a sine of hz (a whole number): one second repeats exactly."""
    one = array.array('h', (int(amplitude * math.sin(2 * math.pi * hz * i / RATE))
                            for i in range(RATE) for _ in (0, 1)))
    n = int(RATE * seconds)
    whole, rest = divmod(n, RATE)
    return one * whole + one[:2 * rest]


def id3v1(title, artist='', year='', pad=b'\0', genre=0xFF):
    """The 128-byte tag at the end of a file; texts in code page 932."""
    def field(text, size):
        return text.encode('cp932')[:size].ljust(size, pad)
    return (b'TAG' + field(title, 30) + field(artist, 30) + b'\0' * 30 +
            year.encode('ascii')[:4].ljust(4, b'\0') + b'\0' * 30 + bytes([genre]))


def _replace(path, data):
    aside = '%s.%d.part' % (path, os.getpid())
    with open(aside, 'wb') as f:
        f.write(data)
    os.replace(aside, path)


def write_samples(path, samples, channels=2, tag=b''):
    """Samples as a file of PATH's kind; tag (an ID3v1 tag, say) follows the data."""
    encoder = {'.mp3': ['lame', '--quiet', '-b', '96'],
               '.ogg': ['oggenc', '--quiet', '-o']}.get(os.path.splitext(path)[1].lower())
    if not encoder:
        _replace(path, wav_bytes(samples, channels) + tag)
        return
    with tempfile.TemporaryDirectory() as tmp:
        source, out = os.path.join(tmp, 'in.wav'), os.path.join(tmp, 'out')
        _replace(source, wav_bytes(samples, channels))
        args = encoder + [out, source] if encoder[0] == 'oggenc' else encoder + [source, out]
        subprocess.run(args, check=True)
        with open(out, 'rb') as f:
            _replace(path, f.read() + tag)


def write_tone(path, hz, seconds, amplitude=10000, tag=b''):
    write_samples(path, tone_samples(hz, seconds, amplitude), tag=tag)


def write_tones(path, parts, amplitude=10000):
    """parts: (hz, seconds) pairs, played one after another."""
    samples = array.array('h')
    for hz, seconds in parts:
        samples += tone_samples(hz, seconds, amplitude)
    write_samples(path, samples)


def vocal_parts(seconds):
    """The voice setting's synthetic song as its three parts, each one channel of floats:
    a voice of 220 Hz and four harmonics (amplitudes 1/k) with a 5 Hz vibrato of 3 %,
    mixed into both channels; a plucked 330 Hz note for the left channel only and a
    440 Hz one for the right only, each with two weaker harmonics, plucked every half
    second. Each part at -12 dBFS (the power of a sine of a quarter of full scale)."""
    n = int(seconds * RATE)
    voice, left, right = [0.0] * n, [0.0] * n, [0.0] * n
    phase = 0.0
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * 220 * (1 + 0.03 * math.sin(2 * math.pi * 5 * t)) / RATE
        voice[i] = sum(math.sin(k * phase) / k for k in range(1, 6))
        since = math.fmod(t, 0.5)  # a 5 ms attack and a decay to a third
        pluck = min(1.0, since / 0.005) * math.exp(-since / 0.45)
        left[i] = pluck * sum(math.sin(2 * math.pi * 330 * k * t) / (k * k) for k in (1, 2, 3))
        right[i] = pluck * sum(math.sin(2 * math.pi * 440 * k * t) / (k * k) for k in (1, 2, 3))
    wanted = 10 ** (-12 / 20) / math.sqrt(2)
    for part in (voice, left, right):
        scale = wanted / math.sqrt(sum(v * v for v in part) / n)
        part[:] = [v * scale for v in part]
    return voice, left, right


def write_vocal(path, seconds, parts=False):
    """The song as a stereo WAV (the voice in both channels, a part in each), or with
    parts its three parts as the channels of one WAV: voice, left part, right part."""
    voice, left, right = vocal_parts(seconds)
    full = 32767
    if parts:
        channels = [voice, left, right]
    else:
        channels = [[v + l for v, l in zip(voice, left)], [v + r for v, r in zip(voice, right)]]
    samples = array.array('h', (int(round(c[i] * full)) for i in range(len(voice)) for c in channels))
    _replace(path, wav_bytes(samples, len(channels)))


def _chunk(name, data):
    return name + struct.pack('<I', len(data)) + data


def avi_bytes(width=32, height=24, frames=10):
    """An uncompressed AVI at 10 frames a second, each frame one grey, with an index."""
    size = width * 3 * height
    avih = struct.pack('<14I', 100000, size * 10, 0, 0x10, frames, 0, 1, size, width,
                       height, 0, 0, 0, 0)
    strh = b'vidsDIB ' + struct.pack('<10I4H', 0, 0, 0, 1, 10, 0, frames, size,
                                     0xFFFFFFFF, 0, 0, 0, width, height)
    strf = struct.pack('<IiiHHII4I', 40, width, height, 1, 24, 0, size, 0, 0, 0, 0)
    strl = b'strl' + _chunk(b'strh', strh) + _chunk(b'strf', strf)
    hdrl = b'hdrl' + _chunk(b'avih', avih) + _chunk(b'LIST', strl)
    movi, idx1 = b'movi', b''
    for f in range(frames):
        idx1 += b'00db' + struct.pack('<3I', 0x10, len(movi), size)
        movi += _chunk(b'00db', bytes([f * 25]) * size)
    return _chunk(b'RIFF', b'AVI ' + _chunk(b'LIST', hdrl) + _chunk(b'LIST', movi) +
                  _chunk(b'idx1', idx1))


def midi_bytes():
    """A standard MIDI file of one note."""
    track = bytes([0, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40, 0, 0xFF, 0x2F, 0])
    return (b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' +
            struct.pack('>I', len(track)) + track)


def main(argv):
    parser = argparse.ArgumentParser(prog='media.py')
    kinds = parser.add_subparsers(dest='kind', required=True)
    tone = kinds.add_parser('tone')
    tone.add_argument('path')
    tone.add_argument('hz', type=int)
    tone.add_argument('seconds', type=float)
    tone.add_argument('--amplitude', type=int, default=10000)
    tone.add_argument('--title')
    tone.add_argument('--artist', default='')
    tones = kinds.add_parser('tones')
    tones.add_argument('path')
    tones.add_argument('parts', nargs='+')
    tag = kinds.add_parser('tag')
    tag.add_argument('path')
    tag.add_argument('--title', default='')
    tag.add_argument('--artist', default='')
    tag.add_argument('--spaces', action='store_true')
    vocal = kinds.add_parser('vocal')
    vocal.add_argument('path')
    vocal.add_argument('seconds', type=float)
    vocal.add_argument('--parts', action='store_true')
    for kind in ('avi', 'midi'):
        kinds.add_parser(kind).add_argument('path')
    a = parser.parse_args(argv)
    if a.kind == 'tone':
        tag = id3v1(a.title, a.artist) if a.title is not None else b''
        write_tone(a.path, a.hz, a.seconds, a.amplitude, tag)
    elif a.kind == 'tones':
        write_tones(a.path, [(int(p.split(':')[0]), float(p.split(':')[1])) for p in a.parts])
    elif a.kind == 'tag':
        _replace(a.path, id3v1(a.title, a.artist, pad=b' ' if a.spaces else b'\0'))
    elif a.kind == 'vocal':
        write_vocal(a.path, a.seconds, a.parts)
    else:
        _replace(a.path, avi_bytes() if a.kind == 'avi' else midi_bytes())


if __name__ == '__main__':
    main(sys.argv[1:])
