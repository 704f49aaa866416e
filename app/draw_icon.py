#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program icon, a magnifying glass over a bookmark ribbon, into
app/icons/hicolor/: an RGBA PNG at every size the desktop asks for and an SVG of
the same shapes. Standard library only; run it again after changing a shape."""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 64, 128, 256)
UNITS = 32  # the shapes are laid out on a 32 x 32 grid
SAMPLES = 4  # per axis and pixel, for smooth edges

RIBBON = (214, 64, 48)
RIBBON_FOLD = (168, 42, 34)
RING = (38, 52, 70)
LENS = (200, 228, 250)
GLINT = (255, 255, 255)
WHITE = (255, 255, 255)

# A tall band whose foot is cut by a notch rising from its middle.
RIBBON_OUTLINE = ((4.0, 2.0), (16.0, 2.0), (16.0, 29.0), (10.0, 23.0), (4.0, 29.0))
RIBBON_FOLD_BOX = (4.0, 2.0, 16.0, 4.0)  # left, top, right, bottom
LENS_CENTRE = (19.0, 14.5)
LENS_RADIUS = 7.5
LENS_ALPHA = 0.85
RING_WIDTH = 2.4
GLINT_CENTRE = (LENS_CENTRE[0] - 2.6, LENS_CENTRE[1] - 2.6)
GLINT_RADIUS = 1.6
GLINT_ALPHA = 0.95
HANDLE = ((24.6, 20.1), (29.5, 29.5))
HANDLE_WIDTH = 4.0


def in_polygon(x, y, corners):
    inside = False
    for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1]):
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


def in_ribbon_fold(x, y):
    left, top, right, bottom = RIBBON_FOLD_BOX
    return left <= x <= right and top <= y <= bottom


def distance_to_segment(x, y, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = max(0.0, min(1.0, ((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - a[0] - t * dx, y - a[1] - t * dy)


def lens_over(under):
    """The lens's colour: its tint half and half with what lies under it."""
    return tuple((l + u) // 2 for l, u in zip(LENS, under))


def colour_at(x, y):
    """The colour (r, g, b, alpha) of one point of the grid, the topmost shape first."""
    centre = math.hypot(x - LENS_CENTRE[0], y - LENS_CENTRE[1])
    if distance_to_segment(x, y, *HANDLE) <= HANDLE_WIDTH / 2:
        return RING + (1.0,)
    if abs(centre - LENS_RADIUS) <= RING_WIDTH / 2:
        return RING + (1.0,)
    if centre < LENS_RADIUS:
        if math.hypot(x - GLINT_CENTRE[0], y - GLINT_CENTRE[1]) <= GLINT_RADIUS:
            return GLINT + (GLINT_ALPHA,)
        return lens_over(RIBBON if in_polygon(x, y, RIBBON_OUTLINE) else WHITE) + (LENS_ALPHA,)
    if in_ribbon_fold(x, y):
        return RIBBON_FOLD + (1.0,)
    if in_polygon(x, y, RIBBON_OUTLINE):
        return RIBBON + (1.0,)
    return (0, 0, 0, 0.0)


def pixel(px, py, scale):
    """Averages the samples of one pixel, weighting colour by coverage."""
    r = g = b = a = 0.0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            cr, cg, cb, ca = colour_at((px + (sx + 0.5) / SAMPLES) * scale,
                                       (py + (sy + 0.5) / SAMPLES) * scale)
            r, g, b, a = r + cr * ca, g + cg * ca, b + cb * ca, a + ca
    if a == 0:
        return bytes(4)
    return bytes((round(r / a), round(g / a), round(b / a), round(255 * a / SAMPLES**2)))


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    scale = UNITS / size
    rows = [b"".join(pixel(x, y, scale) for x in range(size)) for y in range(size)]
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    raw = b"".join(b"\0" + row for row in rows)  # filter "none" on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    def colour(rgb):
        return "#%02x%02x%02x" % rgb

    ribbon = " ".join(f"{x:g},{y:g}" for x, y in RIBBON_OUTLINE)
    left, top, right, bottom = RIBBON_FOLD_BOX
    cx, cy = LENS_CENTRE
    (hx1, hy1), (hx2, hy2) = HANDLE
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- SPDX-License-Identifier: MIT -->
<!-- Drawn by app/draw_icon.py. -->
<svg xmlns="http://www.w3.org/2000/svg" width="{UNITS}" height="{UNITS}" viewBox="0 0 {UNITS} {UNITS}">
  <defs>
    <clipPath id="lens"><circle cx="{cx:g}" cy="{cy:g}" r="{LENS_RADIUS:g}"/></clipPath>
    <mask id="outside-lens">
      <rect width="{UNITS}" height="{UNITS}" fill="#fff"/>
      <circle cx="{cx:g}" cy="{cy:g}" r="{LENS_RADIUS:g}" fill="#000"/>
    </mask>
  </defs>
  <g mask="url(#outside-lens)">
    <polygon points="{ribbon}" fill="{colour(RIBBON)}"/>
    <rect x="{left:g}" y="{top:g}" width="{right - left:g}" height="{bottom - top:g}" fill="{colour(RIBBON_FOLD)}"/>
  </g>
  <g opacity="{LENS_ALPHA:g}">
    <circle cx="{cx:g}" cy="{cy:g}" r="{LENS_RADIUS:g}" fill="{colour(lens_over(WHITE))}"/>
    <polygon points="{ribbon}" fill="{colour(lens_over(RIBBON))}" clip-path="url(#lens)"/>
  </g>
  <circle cx="{GLINT_CENTRE[0]:g}" cy="{GLINT_CENTRE[1]:g}" r="{GLINT_RADIUS:g}" fill="{colour(GLINT)}" opacity="{GLINT_ALPHA:g}"/>
  <circle cx="{cx:g}" cy="{cy:g}" r="{LENS_RADIUS:g}" fill="none" stroke="{colour(RING)}" stroke-width="{RING_WIDTH:g}"/>
  <line x1="{hx1:g}" y1="{hy1:g}" x2="{hx2:g}" y2="{hy2:g}" stroke="{colour(RING)}" stroke-width="{HANDLE_WIDTH:g}" stroke-linecap="round"/>
</svg>
"""


def main():
    theme = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("icons") / "hicolor"
    for size in SIZES:
        folder = theme / f"{size}x{size}" / "apps"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "zaptrove.png").write_bytes(png(size))
    folder = theme / "scalable" / "apps"
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "zaptrove.svg").write_text(svg())


if __name__ == "__main__":
    main()
