"""The one WAV writer of the tests, the benchmarks and the demo: 16-bit PCM files,
and steady sine tones in them."""
import array
import math
import struct

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


def write_tone(path, hz, seconds, amplitude=10000, tail=b''):
    """A stereo tone WAV file; tail (an ID3v1 tag, say) follows the data."""
    with open(path, 'wb') as f:
        f.write(wav_bytes(tone_samples(hz, seconds, amplitude)) + tail)
