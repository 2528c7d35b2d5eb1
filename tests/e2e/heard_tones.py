#!/usr/bin/env python3
"""The tones heard in the sound capture, in order.

    heard_tones.py <capture.raw> <byte offset> <tone Hz>...

Reads 16-bit stereo at 44.1 kHz from the offset on, measures the left channel's
frequency by zero crossings over 0.1 s windows, snaps each loud window to the nearest
tone given, and prints the tones of runs of at least 0.3 s, one line, in order. A tone
heard twice with nothing else between counts once.
"""
import array
import sys


def main():
    path, offset = sys.argv[1], int(sys.argv[2]) & ~3
    tones = [int(t) for t in sys.argv[3:]]
    with open(path, 'rb') as f:
        f.seek(offset)
        raw = f.read()
    samples = array.array('h')
    samples.frombytes(raw[:len(raw) // 4 * 4])
    left = samples[0::2]
    window, runs = 4410, []
    for start in range(0, len(left) - window, window):
        w = left[start:start + window]
        if max(abs(x) for x in w) < 3000:
            runs.append(None)
            continue
        hz = sum(1 for i in range(1, window) if (w[i - 1] < 0) != (w[i] < 0)) / 2 / 0.1
        runs.append(min(tones, key=lambda t: abs(t - hz)))
    heard, last, length = [], None, 0
    for tone in runs + [None]:
        if tone == last:
            length += 1
            continue
        if last is not None and length >= 3 and (not heard or heard[-1] != last):
            heard.append(last)
        last, length = tone, 1
    print(' '.join(map(str, heard)))


if __name__ == '__main__':
    main()
