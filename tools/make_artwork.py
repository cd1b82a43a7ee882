#!/usr/bin/env python3
"""Draws the editor's artwork and writes it as PNG files into resources/.

Standard library only (PNG written with zlib), so the pictures can be
rebuilt anywhere: python3 tools/make_artwork.py [output-dir]

  buttonfaces.png  80 x 51   raised face at (1,1), sunken face at (1,26), 78 x 24 each,
                             separated and surrounded by a magenta border
  hints.png        272 x 180 three callouts 60 rows apart: image rows 60k..60k+29,
                             mask rows 60k+30..60k+59 (mask black = shape)
  zindle32.png     32 x 32   large window icon
  zindle16.png     16 x 16   small window icon
  playcursor.png   32 x 32   hand with a play triangle, hot spot (5, 0)
  aboutbackground.png 350 x 285  the whole About box picture; the credits scroll over
                             rows 77..161
  abouttitle.png   350 x 67   the title: image rows 1..32, mask rows 34..65 (mask black
                             = shape), each 348 wide from column 1
"""

import os
import struct
import sys
import zlib

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
LIGHT = (192, 192, 192, 255)
DARK = (128, 128, 128, 255)
MAGENTA = (255, 0, 255, 255)
YELLOW = (255, 255, 0, 255)
GREEN = (0, 200, 0, 255)
CLEAR = (0, 0, 0, 0)


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0..x1, y0..y1 inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def write_png(self, path):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)  # filter: none
            for r, g, b, a in row:
                raw += bytes((r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", header))
            out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
            out.write(chunk(b"IEND", b""))


def button_faces():
    c = Canvas(80, 51, MAGENTA)
    # Raised face: rows 1..24.
    c.rect(1, 1, 78, 24, LIGHT)
    c.rect(1, 1, 77, 1, WHITE)
    c.rect(1, 1, 1, 23, WHITE)
    c.rect(2, 23, 77, 23, DARK)
    c.rect(77, 2, 77, 23, DARK)
    c.rect(1, 24, 78, 24, BLACK)
    c.rect(78, 1, 78, 24, BLACK)
    # Sunken face: rows 26..49.
    c.rect(1, 26, 78, 49, LIGHT)
    c.rect(1, 26, 77, 26, BLACK)
    c.rect(1, 26, 1, 48, BLACK)
    c.rect(2, 27, 76, 27, DARK)
    c.rect(2, 27, 2, 47, DARK)
    c.rect(1, 49, 78, 49, WHITE)
    c.rect(78, 26, 78, 49, WHITE)
    return c


def inside_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])

    p = (px + 0.5, py + 0.5)
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    has_neg = d1 < 0 or d2 < 0 or d3 < 0
    has_pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_neg and has_pos)


def callout_shape(style):
    """The set of (x, y) inside the callout of one style, 272 x 30."""
    if style == 0:
        bar = (11, 0, 271, 17)
        tri = ((12, 17.5), (36, 17.5), (0, 30))
    elif style == 1:
        bar = (0, 12, 261, 29)
        tri = ((236, 12.5), (260, 12.5), (272, 0))
    else:
        bar = (0, 0, 261, 17)
        tri = ((236, 17.5), (260, 17.5), (272, 30))
    x0, y0, x1, y1 = bar
    shape = set()
    for y in range(30):
        for x in range(272):
            in_bar = x0 <= x <= x1 and y0 <= y <= y1
            # Cut the bar's corners by one pixel so it reads as a rounded box.
            corner = (x in (x0, x1)) and (y in (y0, y1))
            if (in_bar and not corner) or inside_triangle(x, y, *tri):
                shape.add((x, y))
    return shape


def hints():
    c = Canvas(272, 180, BLACK)
    for style in range(3):
        shape = callout_shape(style)
        top = 60 * style
        for y in range(30):
            for x in range(272):
                inside = (x, y) in shape
                edge = inside and any((x + dx, y + dy) not in shape
                                      for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                # Image: yellow shape with a black outline, black around it.
                c.set(x, top + y, BLACK if edge or not inside else YELLOW)
                # Mask: black where the shape is, white around it.
                c.set(x, top + 30 + y, BLACK if inside else WHITE)
    return c


def icon(size):
    c = Canvas(size, size, CLEAR)
    c.rect(0, 0, size - 1, size - 1, BLACK)
    c.rect(1, 1, size - 2, size - 2, (24, 24, 24, 255))
    import math
    mid = size / 2.0
    amp = size * 0.32
    prev = None
    for x in range(2, size - 2):
        phase = (x - 2) / float(size - 4) * 2.0 * math.pi
        y = int(round(mid - amp * math.sin(phase) * (1.0 - (x - 2) / float(size))))
        if prev is not None:
            for yy in range(min(prev, y), max(prev, y) + 1):
                c.set(x, yy, GREEN)
        c.set(x, y, GREEN)
        prev = y
    # The amplitude envelope above the wave, as in the editor.
    for x in range(2, size - 2):
        c.set(x, 2 + (x - 2) * (size // 4) // size, YELLOW)
    return c


def play_cursor():
    c = Canvas(32, 32, CLEAR)
    # Hand pointing up, the finger tip at the hot spot (5, 0).
    hand = set()
    for y in range(0, 12):
        for x in range(3, 8):
            hand.add((x, y))
    for knuckle, top in ((8, 6), (11, 7), (14, 8)):
        for y in range(top, 14):
            for x in range(knuckle, knuckle + 3):
                hand.add((x, y))
    for y in range(12, 21):
        for x in range(3, 17):
            hand.add((x, y))
    for y in range(9, 14):  # thumb
        for x in range(0, 3):
            hand.add((x, y))
    for x, y in hand:
        edge = any((x + dx, y + dy) not in hand for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        c.set(x, y, BLACK if edge else WHITE)
    c.set(5, 0, BLACK)
    # Play triangle at the lower right.
    tri = ((18, 15), (18, 31), (31, 23))
    for y in range(14, 32):
        for x in range(17, 32):
            if inside_triangle(x, y, *tri):
                c.set(x, y, GREEN)
    for y in range(15, 31):
        c.set(18, y, BLACK)
    return c


def about_background():
    import math
    width, height = 350, 285
    c = Canvas(width, height, BLACK)
    top, bottom = (18, 26, 78), (4, 4, 22)
    for y in range(height):
        f = y / float(height - 1)
        colour = tuple(int(round(a + (b - a) * f)) for a, b in zip(top, bottom)) + (255,)
        c.rect(0, y, width - 1, y, colour)
    # A faint dotted grid, as behind the editor's graphs.
    grid = (44, 52, 104, 255)
    for x in range(12, width, 25):
        for y in range(0, height, 3):
            c.set(x, y, grid)
    for y in range(10, height, 25):
        for x in range(0, width, 3):
            c.set(x, y, grid)
    # A decaying wave under the captions, drawn like the output plot's trace.
    mid, amp = 236, 14.0
    prev = None
    for x in range(8, width - 8):
        f = (x - 8) / float(width - 17)
        y = int(round(mid - amp * (1.0 - f) * math.sin(f * 9.0 * 2.0 * math.pi)))
        if prev is not None:
            for yy in range(min(prev, y), max(prev, y) + 1):
                c.set(x, yy, (0, 150, 60, 255))
        prev = y
    # A bevelled frame.
    c.rect(0, 0, width - 1, 0, (90, 100, 170, 255))
    c.rect(0, 0, 0, height - 1, (90, 100, 170, 255))
    c.rect(0, height - 1, width - 1, height - 1, BLACK)
    c.rect(width - 1, 0, width - 1, height - 1, BLACK)
    return c


TITLE_GLYPHS = {
    "Z": ("11111", "00001", "00010", "00100", "01000", "10000", "11111"),
    "I": ("11111", "00100", "00100", "00100", "00100", "00100", "11111"),
    "N": ("10001", "11001", "11001", "10101", "10011", "10011", "10001"),
    "D": ("11110", "10001", "10001", "10001", "10001", "10001", "11110"),
    "L": ("10000", "10000", "10000", "10000", "10000", "10000", "11111"),
    "E": ("11111", "10000", "10000", "11110", "10000", "10000", "11111"),
}


def about_title(text="ZINDLE"):
    width, height = 350, 67
    c = Canvas(width, height, BLACK)
    c.rect(1, 34, 348, 65, WHITE)  # mask: white keeps what lies beneath
    sx, sy, gap = 6, 4, 10
    glyph_w = 5 * sx
    total = len(text) * glyph_w + (len(text) - 1) * gap
    left = 1 + (348 - total) // 2
    top = 1 + (32 - 7 * sy) // 2
    shape = set()
    for i, letter in enumerate(text):
        x0 = left + i * (glyph_w + gap)
        for row, bits in enumerate(TITLE_GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for y in range(top + row * sy, top + (row + 1) * sy):
                        for x in range(x0 + col * sx, x0 + (col + 1) * sx):
                            shape.add((x, y))
    for x, y in shape:
        edge = any((x + dx, y + dy) not in shape for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        f = (y - top) / float(7 * sy - 1)
        fill = (255, int(round(235 - 150 * f)), 0, 255)  # yellow at the top to orange below
        c.set(x, y, (150, 30, 0, 255) if edge else fill)
        c.set(x, y + 33, BLACK)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(out, exist_ok=True)
    button_faces().write_png(os.path.join(out, "buttonfaces.png"))
    hints().write_png(os.path.join(out, "hints.png"))
    icon(32).write_png(os.path.join(out, "zindle32.png"))
    icon(16).write_png(os.path.join(out, "zindle16.png"))
    play_cursor().write_png(os.path.join(out, "playcursor.png"))
    about_background().write_png(os.path.join(out, "aboutbackground.png"))
    about_title().write_png(os.path.join(out, "abouttitle.png"))


if __name__ == "__main__":
    main()
