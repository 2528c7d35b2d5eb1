#!/usr/bin/env python3
"""What the sound capture holds (16-bit stereo at 44.1 kHz, measured on the left
channel; a frequency from the upward zero crossings).

    heard_tones.py <capture.raw> <byte offset> <tone Hz>...
        the tones heard from the offset on, in order, on one line: each loud 0.1 s
        window is snapped to the nearest tone given, runs of at least 0.3 s count, and
        a tone heard twice with nothing else between counts once
    heard_tones.py --span <capture.raw> <byte offset>
        the length (s) and the frequency (Hz) of the loud sound from the offset on

Scripts that measure more import it (the loop gap of bench/practice_wine.sh).
"""
import array
import sys

RATE = 44100
LOUD = 3000  # a sample above this is sound, not the silence between


def left_channel(path, offset):
    """The left channel's samples from offset on, from the start of its frame."""
    with open(path, 'rb') as f:
        f.seek(offset & ~3)
        raw = f.read()
    return array.array('h', raw[:len(raw) // 4 * 4])[0::2]


def frequency(left, a, b):
    """Hz of samples a..b (b exclusive); 0 when fewer than two periods are there."""
    ups = [i for i in range(a + 1, b) if left[i - 1] < 0 <= left[i]]
    return RATE * (len(ups) - 1) / (ups[-1] - ups[0]) if len(ups) > 2 else 0.0


def window_frequencies(left, window):
    """The frequency of each whole window of samples; 0 for a quiet one."""
    return [frequency(left, start, start + window)
            if max(abs(x) for x in left[start:start + window]) > LOUD else 0.0
            for start in range(0, len(left) - window, window)]


def heard(left, tones):
    runs = [min(tones, key=lambda t: abs(t - hz)) if hz else None
            for hz in window_frequencies(left, RATE // 10)]
    tones_heard, last, length = [], None, 0
    for tone in runs + [None]:
        if tone == last:
            length += 1
            continue
        if last is not None and length >= 3 and (not tones_heard or tones_heard[-1] != last):
            tones_heard.append(last)
        last, length = tone, 1
    return tones_heard


def loud_span(left):
    """Seconds from the first loud sample to the last, and the frequency between."""
    loud = [i for i, s in enumerate(left) if abs(s) > LOUD]
    if not loud:
        return 0.0, 0.0
    a, b = loud[0], loud[-1]
    return (b - a) / RATE, frequency(left, a, b + 1)


def main(argv):
    if argv[0] == '--span':
        print('%.3f %.1f' % loud_span(left_channel(argv[1], int(argv[2]))))
        return
    left = left_channel(argv[0], int(argv[1]))
    print(' '.join(map(str, heard(left, [int(t) for t in argv[2:]]))))


if __name__ == '__main__':
    main(sys.argv[1:])
