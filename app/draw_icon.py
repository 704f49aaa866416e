#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program icon, app/zaptrove.png: a magnifying glass over a bookmark
ribbon, 32x32 RGBA. Standard library only; run it again after changing a shape."""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32
SAMPLES = 4  # per axis, for smooth edges

RIBBON = (214, 64, 48)
RIBBON_FOLD = (168, 42, 34)
RING = (38, 52, 70)
LENS = (200, 228, 250)
GLINT = (255, 255, 255)

LENS_CENTRE = (19.0, 14.5)
LENS_RADIUS = 7.5
RING_WIDTH = 2.4
HANDLE = ((24.6, 20.1), (29.5, 29.5))
HANDLE_WIDTH = 4.0


def in_ribbon(x, y):
    # A tall band whose foot is cut by a notch rising from its middle.
    if not (4.0 <= x <= 16.0 and 2.0 <= y <= 29.0):
        return False
    return y <= 23.0 + abs(x - 10.0)


def in_ribbon_fold(x, y):
    return 4.0 <= x <= 16.0 and 2.0 <= y <= 4.0


def distance_to_segment(x, y, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = max(0.0, min(1.0, ((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - a[0] - t * dx, y - a[1] - t * dy)


def colour_at(x, y):
    """The colour (r, g, b, alpha) of one sample point, shapes drawn back to front."""
    centre = math.hypot(x - LENS_CENTRE[0], y - LENS_CENTRE[1])
    if distance_to_segment(x, y, *HANDLE) <= HANDLE_WIDTH / 2:
        return RING + (1.0,)
    if abs(centre - LENS_RADIUS) <= RING_WIDTH / 2:
        return RING + (1.0,)
    if centre < LENS_RADIUS:
        if math.hypot(x - LENS_CENTRE[0] + 2.6, y - LENS_CENTRE[1] + 2.6) <= 1.6:
            return GLINT + (0.95,)
        under = RIBBON if in_ribbon(x, y) else (255, 255, 255)
        return tuple((l + u) // 2 for l, u in zip(LENS, under)) + (0.85,)
    if in_ribbon_fold(x, y):
        return RIBBON_FOLD + (1.0,)
    if in_ribbon(x, y):
        return RIBBON + (1.0,)
    return (0, 0, 0, 0.0)


def pixel(px, py):
    """Averages the samples of one pixel, weighting colour by coverage."""
    r = g = b = a = 0.0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            cr, cg, cb, ca = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            r, g, b, a = r + cr * ca, g + cg * ca, b + cb * ca, a + ca
    if a == 0:
        return bytes(4)
    return bytes((round(r / a), round(g / a), round(b / a), round(255 * a / SAMPLES**2)))


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    raw = b"".join(b"\0" + row for row in rows)  # filter "none" on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    rows = [b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE)]
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("zaptrove.png")
    target.write_bytes(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
