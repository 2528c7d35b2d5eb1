#!/usr/bin/env python3
"""Draws the program's icon, "BramloeIcon": a note beside three lines of lyrics, the
middle one marked as the line being sung.

    draw_icon.py OUTDIR    writes OUTDIR/icon-16.png, -32, -48 and -256

The shapes are in unit coordinates and every size is drawn from them afresh, so the
small sizes stay sharp; icotool packs the PNGs into the .ico. The output depends on
nothing but this file (no clock, no font), so every build gives the same bytes.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)

BACKGROUND = (43, 58, 103)
LINE = (201, 211, 240)
MARK = (255, 183, 43)
NOTE = (255, 255, 255)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


# Painted in order, later shapes over earlier ones.
SHAPES = [
    (rounded_rect(0.03, 0.03, 0.97, 0.97, 0.18), BACKGROUND),
    (rounded_rect(0.58, 0.26, 0.88, 0.34, 0.04), LINE),
    (rounded_rect(0.58, 0.46, 0.88, 0.54, 0.04), MARK),
    (rounded_rect(0.58, 0.66, 0.88, 0.74, 0.04), LINE),
    (ellipse(0.30, 0.71, 0.13, 0.09, -20), NOTE),
    (rounded_rect(0.375, 0.20, 0.425, 0.71, 0.01), NOTE),
    (polygon([(0.40, 0.20), (0.47, 0.25), (0.53, 0.33), (0.53, 0.45),
              (0.49, 0.38), (0.40, 0.33)]), NOTE),
]


def draw(size):
    """RGBA rows, each shape's colour weighted by how many subsamples it covers."""
    grid = 4 if size <= 48 else 3
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(grid):
                for sx in range(grid):
                    x = (px + (sx + 0.5) / grid) / size
                    y = (py + (sy + 0.5) / grid) / size
                    colour = None
                    for inside, fill in SHAPES:
                        if inside(x, y):
                            colour = fill
                    if colour:
                        r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
            n = grid * grid
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out, "icon-%d.png" % size), "wb") as f:
            f.write(png(size, draw(size)))


if __name__ == "__main__":
    main()
