#!/usr/bin/env python3
"""Drains the ALSA file device's FIFO at the real rate of 44.1 kHz 16-bit stereo into a
capture file, so that playback under Wine runs at its true speed and tests can read
what was played. Usage: sound-pacer.py FIFO CAPTURE [OWNER_PID]

The capture file is created once the FIFO is held open, so its existence tells that
the device can be opened. With OWNER_PID the pacer ends when that process has ended."""
import fcntl
import os
import select
import sys
import time

RATE = 44100 * 2 * 2
F_SETPIPE_SZ = 1031

fifo, capture = sys.argv[1], sys.argv[2]
owner = int(sys.argv[3]) if len(sys.argv) > 3 else 0
# Read-write, so that opening never blocks and the pipe survives writers coming and going.
fd = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
try:
    fcntl.fcntl(fd, F_SETPIPE_SZ, 4096)
except OSError:
    pass
out = open(capture, "ab", buffering=0)


def owner_alive():
    try:
        os.kill(owner, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


start = time.monotonic()
taken = 0
checked = start
while True:
    now = time.monotonic()
    if owner and now - checked >= 1:
        checked = now
        if not owner_alive():
            break
    allowed = int((now - start) * RATE) - taken
    if allowed <= 0:
        time.sleep(0.005)
        continue
    ready, _, _ = select.select([fd], [], [], 0.05)
    if not ready:
        # Nothing is playing: keep the clock from banking time for a later burst.
        start = time.monotonic()
        taken = 0
        continue
    try:
        data = os.read(fd, min(allowed, 65536))
    except BlockingIOError:
        continue
    if data:
        out.write(data)
        taken += len(data)
