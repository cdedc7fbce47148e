#!/usr/bin/env python3
"""Makes the program's pictures from the pixel art below.

Usage: mkres.py OUTPUT_FOLDER

Writes action.bmp, the glyph of the action button: an 8-bit bitmap whose
light grey (192, 192, 192) is the button face, so that loading it with
LR_LOADMAP3DCOLORS puts it on whatever face colour the system uses.
"""
import os
import struct
import sys

ACTION_GLYPH = [
    "................",
    "................",
    "........#.......",
    "........##......",
    "........#g#.....",
    ".########gg#....",
    ".#ggggggggGg#...",
    ".#gGGGGGGGGGg#..",
    ".#gGGGGGGGGGd#..",
    ".#ddddddddGd#...",
    ".########dd#....",
    "........#d#.....",
    "........##......",
    "........#.......",
    "................",
    "................",
]

ACTION_COLOURS = {
    ".": (192, 192, 192),  # button face
    "#": (0, 64, 0),       # outline
    "g": (96, 208, 96),    # light edge
    "G": (0, 160, 0),      # body
    "d": (0, 112, 0),      # shaded edge
}


def write_bmp8(path, rows, colours):
    """An uncompressed bottom-up 8-bit bitmap with its own palette."""
    keys = list(colours)
    height, width = len(rows), len(rows[0])
    stride = (width + 3) & ~3
    pixels = b"".join(
        bytes(keys.index(c) for c in row) + b"\0" * (stride - width) for row in reversed(rows)
    )
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in (colours[k] for k in keys))
    palette += b"\0" * (4 * 256 - len(palette))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp8(os.path.join(out, "action.bmp"), ACTION_GLYPH, ACTION_COLOURS)


if __name__ == "__main__":
    main()
