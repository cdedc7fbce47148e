#!/usr/bin/env python3
"""Makes the program's pictures from the pixel art below.

Usage: mkres.py OUTPUT_FOLDER

Writes action.bmp, the glyph of the action button: an 8-bit bitmap whose
light grey (192, 192, 192) is the button face, so that loading it with
LR_LOADMAP3DCOLORS puts it on whatever face colour the system uses; and
action_150.bmp and action_200.bmp, the same arrow drawn anew on 24 and 32
pixels for screens of 150 and 200 percent.

Writes hand.cur, the link label's pointing hand: a 32 x 32 monochrome
cursor whose hot spot is its top-left corner, where the finger points.

Writes visitenkarte.bmp, the about box's card: 200 x 312 pixels in 256
colours, the program's name under its logo on a light ground, and white
space below where the home page link lies; and visitenkarte_150.bmp and
visitenkarte_200.bmp, the card drawn anew at 1.5 and 2 times that size.
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


# The arrow of the glyph as a shape on the 16 x 16 grid: a shaft and a head
# pointing right.
ACTION_ARROW = [(1, 5), (8, 5), (8, 2), (14, 8), (8, 14), (8, 11), (1, 11)]


def inside_polygon(points, x, y):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def draw_glyph(size):
    """The arrow on size x size pixels in the glyph's colours: an outline as
    thick as a pixel of the 16-pixel glyph, light along the inner top and
    left edges, shaded along the inner bottom and right ones."""
    f = size / 16
    t = max(1, int(f))
    arrow = [[inside_polygon(ACTION_ARROW, (x + 0.5) / f, (y + 0.5) / f) for x in range(size)]
             for y in range(size)]

    def filled(x, y):
        return 0 <= x < size and 0 <= y < size and arrow[y][x]

    def near_outside(x, y, d):
        return any(not filled(x + dx, y + dy) for dx in range(-d, d + 1) for dy in range(-d, d + 1))

    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            if not arrow[y][x]:
                row += "."
            elif near_outside(x, y, t):
                row += "#"
            elif near_outside(x, y - t, t) or near_outside(x - t, y, t):
                row += "g"
            elif near_outside(x, y + t, t) or near_outside(x + t, y, t):
                row += "d"
            else:
                row += "G"
        rows.append(row)
    return rows


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


# "#" black, "o" white, "." transparent (the screen shows through).
HAND_CURSOR = [
    ".####...........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo####.......................",
    "#oooo#ooo####...................",
    "#oooo#ooo#ooo###................",
    "#oooo#ooo#ooo#oo#...............",
    "#oooo#ooo#ooo#oo#...............",
    "#oooooooooooo#oo#...............",
    "#oooooooooooooooo#..............",
    "#o#ooooooooooooooo#.............",
    "#oo#oooooooooooooo#.............",
    "#ooo#ooooooooooooo#.............",
    "#oooo#oooooooooooo#.............",
    "#ooooo#ooooooooooo#.............",
    "#oooooooooooooooo#..............",
    ".#ooooooooooooooo#..............",
    "..#oooooooooooooo#..............",
    "..#ooooooooooooo#...............",
    "...#oooooooooooo#...............",
    "...#oooooooooooo#...............",
    "...##############...............",
] + ["." * 32] * 6


def write_cur(path, rows, hotspot):
    """A monochrome cursor file: one 1-bit image, its XOR and AND masks."""
    height, width = len(rows), len(rows[0])
    stride = ((width + 31) // 32) * 4

    def mask(bit_of):
        data = b""
        for row in reversed(rows):
            bits = 0
            for x, c in enumerate(row):
                if bit_of(c):
                    bits |= 1 << (stride * 8 - 1 - x)
            data += bits.to_bytes(stride, "big")
        return data

    xor = mask(lambda c: c == "o")
    and_ = mask(lambda c: c == ".")
    info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 1, 0, len(xor) + len(and_),
                       0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor + and_
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width, height, 0, 0, hotspot[0], hotspot[1], len(image),
                        6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


# A 5 x 7 pixel font with the letters the card shows.
FONT = {
    " ": ["     "] * 7,
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "V": ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "W": ["#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"],
    "a": ["     ", "     ", " ### ", "    #", " ####", "#   #", " ####"],
    "b": ["#    ", "#    ", "# ## ", "##  #", "#   #", "#   #", "#### "],
    "d": ["    #", "    #", " ## #", "#  ##", "#   #", "#   #", " ####"],
    "e": ["     ", "     ", " ### ", "#   #", "#####", "#    ", " ### "],
    "i": ["  #  ", "     ", " ##  ", "  #  ", "  #  ", "  #  ", " ### "],
    "k": ["#    ", "#    ", "#  # ", "# #  ", "##   ", "# #  ", "#  # "],
    "n": ["     ", "     ", "# ## ", "##  #", "#   #", "#   #", "#   #"],
    "o": ["     ", "     ", " ### ", "#   #", "#   #", "#   #", " ### "],
    "r": ["     ", "     ", "# ## ", "##  #", "#    ", "#    ", "#    "],
    "s": ["     ", "     ", " ####", "#    ", " ### ", "    #", "#### "],
    "t": [" #   ", " #   ", "#### ", " #   ", " #   ", " #  #", "  ## "],
    "w": ["     ", "     ", "#   #", "#   #", "# # #", "# # #", " # # "],
}


def text_width(text, scale):
    return (len(text) * 6 - 1) * scale


def draw_text(image, text, left, top, scale, colour):
    """The pixel font with each of its pixels scale wide; a pixel of a scale
    that is not whole covers whole pixels of the image, so that the letters
    stay sharp."""
    for i, char in enumerate(text):
        for y, line in enumerate(FONT[char]):
            for x, c in enumerate(line):
                if c != "#":
                    continue
                col = i * 6 + x
                for py in range(round(top + y * scale), round(top + (y + 1) * scale)):
                    for px in range(round(left + col * scale), round(left + (col + 1) * scale)):
                        image[py][px] = colour


def blend(under, over, alpha):
    """over on under with an opacity in sixteenths, so few colours arise."""
    a = round(alpha * 16) / 16
    return tuple(round(u + (o - u) * a) for u, o in zip(under, over))


def draw_shape(image, inside, box, colour, samples=4):
    """Fills what inside(x, y) holds, smoothing its edge by supersampling."""
    left, top, right, bottom = box
    for y in range(top, bottom):
        for x in range(left, right):
            hits = sum(inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                       for i in range(samples) for j in range(samples))
            if hits:
                image[y][x] = blend(image[y][x], colour, hits / samples ** 2)


def draw_disc(image, cx, cy, r, colour):
    box = (int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2)
    draw_shape(image, lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, box, colour)


def draw_line(image, x1, y1, x2, y2, width, colour):
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
        px, py = x1 + t * dx - x, y1 + t * dy - y
        return px * px + py * py <= (width / 2) ** 2

    box = (int(min(x1, x2) - width), int(min(y1, y2) - width),
           int(max(x1, x2) + width) + 1, int(max(y1, y2) + width) + 1)
    draw_shape(image, inside, box, colour)


CARD_WIDTH, CARD_HEIGHT = 200, 312
# The about box shows the card's top-left 199 x 293 pixels; its link lies at
# (73, 212), 52 x 13, on white.
CARD_VISIBLE_WIDTH = 199
CARD_GROUND = (242, 246, 252)
CARD_WHITE = (255, 255, 255)
CARD_ACCENT = (28, 74, 140)
CARD_NODE = (46, 130, 200)
CARD_WIRE = (120, 140, 170)
CARD_TITLE = (20, 40, 80)
CARD_SUBTITLE = (90, 100, 115)
CARD_RULE = (200, 210, 226)


def make_card(f=1):
    """The card at f times its size, every measure drawn at that size."""
    width, height = round(CARD_WIDTH * f), round(CARD_HEIGHT * f)
    image = [[CARD_WHITE] * width for _ in range(height)]
    for y in range(0, round(168 * f)):
        image[y] = [CARD_GROUND] * width
    for y in range(0, round(6 * f)):
        image[y] = [CARD_ACCENT] * width

    # The logo: a network as the program shows it, one node branching into
    # three.
    middle = CARD_VISIBLE_WIDTH * f / 2
    root = (middle, 40 * f)
    leaves = [(middle - 42 * f, 88 * f), (middle, 88 * f), (middle + 42 * f, 88 * f)]
    for leaf in leaves:
        draw_line(image, root[0], root[1], leaf[0], leaf[1], 3 * f, CARD_WIRE)
    draw_disc(image, root[0], root[1], 16 * f, CARD_GROUND)
    draw_disc(image, root[0], root[1], 13 * f, CARD_ACCENT)
    for leaf in leaves:
        draw_disc(image, leaf[0], leaf[1], 12 * f, CARD_GROUND)
        draw_disc(image, leaf[0], leaf[1], 9.5 * f, CARD_NODE)

    title = "Network View"
    draw_text(image, title, round(middle - text_width(title, 2 * f) / 2), round(116 * f), 2 * f,
              CARD_TITLE)
    subtitle = "Windows network browser"
    draw_text(image, subtitle, round(middle - text_width(subtitle, f) / 2), round(142 * f), f,
              CARD_SUBTITLE)
    for y in range(round(167 * f), round(168 * f)):
        for x in range(round(30 * f), round((CARD_VISIBLE_WIDTH - 30) * f)):
            image[y][x] = CARD_RULE
    return image


def write_bmp8_rgb(path, image):
    """An 8-bit bitmap of an image of RGB tuples, with a palette of its colours."""
    colours = sorted({c for row in image for c in row})
    if len(colours) > 256:
        raise ValueError("the card uses %d colours" % len(colours))
    index = {c: i for i, c in enumerate(colours)}
    keys = [chr(0x100 + i) for i in range(len(colours))]
    rows = ["".join(keys[index[c]] for c in row) for row in image]
    write_bmp8(path, rows, dict(zip(keys, colours)))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp8(os.path.join(out, "action.bmp"), ACTION_GLYPH, ACTION_COLOURS)
    write_cur(os.path.join(out, "hand.cur"), HAND_CURSOR, (0, 0))
    write_bmp8_rgb(os.path.join(out, "visitenkarte.bmp"), make_card())
    for percent, glyph_size in ((150, 24), (200, 32)):
        write_bmp8(os.path.join(out, "action_%d.bmp" % percent), draw_glyph(glyph_size),
                   ACTION_COLOURS)
        write_bmp8_rgb(os.path.join(out, "visitenkarte_%d.bmp" % percent), make_card(percent / 100))


if __name__ == "__main__":
    main()
