#!/usr/bin/env python3
"""Drains the ALSA file device's FIFO at the real rate of 44.1 kHz 16-bit stereo into a
capture file, so that playback under Wine runs at its true speed and tests can read
what was played. Usage: sound-pacer.py FIFO CAPTURE"""
import fcntl
import os
import select
import sys
import time

RATE = 44100 * 2 * 2
F_SETPIPE_SZ = 1031

fifo, capture = sys.argv[1], sys.argv[2]
# Read-write, so that opening never blocks and the pipe survives writers coming and going.
fd = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
try:
    fcntl.fcntl(fd, F_SETPIPE_SZ, 4096)
except OSError:
    pass
out = open(capture, "ab", buffering=0)
start = time.monotonic()
taken = 0
while True:
    now = time.monotonic()
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
