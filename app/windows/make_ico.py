#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Packs PNG images into a Windows icon file, one image per size, each kept as
PNG (which the icon format takes as it is). Standard library only.
Usage: make_ico.py OUTPUT.ico IMAGE.png..."""

import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
HEADER_SIZE = 6
ENTRY_SIZE = 16


def png_size(data, path):
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        sys.exit(f"make_ico.py: {path} is not a PNG image")
    width, height = struct.unpack(">II", data[16:24])
    if not (0 < width <= 256 and 0 < height <= 256):
        sys.exit(f"make_ico.py: {path} is {width}x{height}; an icon image is at most 256x256")
    return width, height


def main(output, inputs):
    images = []
    for path in inputs:
        with open(path, "rb") as image:
            data = image.read()
        images.append((png_size(data, path), data))
    # Header: reserved, type 1 (icon), image count; then one entry per image,
    # where 256 pixels are written as 0.
    parts = [struct.pack("<HHH", 0, 1, len(images))]
    offset = HEADER_SIZE + ENTRY_SIZE * len(images)
    for (width, height), data in images:
        parts.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                                 len(data), offset))
        offset += len(data)
    parts.extend(data for _, data in images)
    with open(output, "wb") as icon:
        icon.write(b"".join(parts))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.splitlines()[-1])
    main(sys.argv[1], sys.argv[2:])
