#!/usr/bin/env python3
"""Draws the themed library's stock bitmaps as 16-colour BMP files, here:

- te_btn_*.bmp: the push-button kinds' glyphs, 32 x 16, two 16 x 16 cells (the
  picture, then its disabled version in greys) on a teal background (0, 128, 128),
  which the glyph drawing takes as transparent (the bottom-left pixel);
- te_form_*.bmp: the frame buttons of skinned windows, 16 x 16, black on magenta;
- te_list_truetype.bmp: the TrueType mark, 16 x 16, on magenta.

Run it to redraw them: python3 make_stock_bitmaps.py (it writes next to itself).
"""
import math
import struct
import sys
from pathlib import Path

# The Windows 16-colour palette, by index.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
           (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, MAGENTA, AQUA, WHITE = range(16)


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.px = [[background] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c, thick=1):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            for t in range(thick):
                self.set(x0 + t, y0, c)
            if (x0, y0) == (x1, y1):
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def rect(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.height):
            for x in range(self.width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, width=2):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x - cx, y - cy)
                if r - width < d <= r:
                    self.set(x, y, c)

    def arc(self, cx, cy, r, a0, a1, c, width=2):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x - cx, y - cy)
                a = math.degrees(math.atan2(cy - y, x - cx)) % 360
                inside = a0 <= a <= a1 if a0 <= a1 else (a >= a0 or a <= a1)
                if r - width < d <= r and inside:
                    self.set(x, y, c)


def write_bmp(path, canvas):
    """A bottom-up 4-bit BMP with the 16-colour palette."""
    row_bytes = ((canvas.width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(canvas.width):
            c = canvas.px[y][x]
            row[x // 2] |= c << 4 if x % 2 == 0 else c
        pixels += row
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    path.write_bytes(header + info + palette + pixels)


# ---- The kinds' pictures (a 16 x 16 cell at x offset 0) ----

def check(c, ox=0, oy=0, colour=GREEN):
    c.line(ox + 3, oy + 8, ox + 6, oy + 11, colour, 2)
    c.line(ox + 6, oy + 11, ox + 12, oy + 4, colour, 2)


def cross(c):
    c.line(3, 3, 11, 11, RED, 2)
    c.line(11, 3, 3, 11, RED, 2)


def no_sign(c):
    c.ring(7.5, 7.5, 6.5, RED, 2)
    c.line(4, 4, 11, 11, RED, 2)


def ignore(c):
    c.disc(7.5, 7.5, 6.5, RED)
    c.fill(4, 7, 11, 8, WHITE)


def retry(c):
    c.arc(7.5, 7.5, 6, 20, 160, BLUE)
    c.arc(7.5, 7.5, 6, 200, 340, BLUE)
    for d in range(3):  # arrow heads
        c.line(12 - d, 6 + d, 14, 6 + d, BLUE)
        c.line(1, 9 - d, 3 + d, 9 - d, BLUE)


def help_balloon(c):
    c.disc(7.5, 6.5, 6, WHITE)
    c.ring(7.5, 6.5, 6, NAVY, 1)
    c.line(5, 13, 6, 11, NAVY)
    c.arc(7.5, 5, 2.5, 330, 180, NAVY, 1)
    c.line(8, 7, 8, 8, NAVY)
    c.set(8, 10, NAVY)


def door(c):
    c.fill(4, 2, 11, 14, OLIVE)
    c.rect(4, 2, 11, 14, BLACK)
    c.fill(13, 14, 14, 14, BLACK)
    c.line(2, 14, 4, 14, BLACK)
    c.set(9, 8, YELLOW)
    c.set(9, 9, YELLOW)


def two_checks(c):
    check(c, -2, -2)
    check(c, 2, 2)


KINDS = {
    "ok": check, "cancel": cross, "help": help_balloon, "yes": check, "no": no_sign, "close": door,
    "abort": cross, "retry": retry, "ignore": ignore, "all": two_checks,
}


def button_glyph(draw):
    """Two cells: the picture, then the same shape disabled (grey with a white shadow)."""
    cell = Canvas(16, 16, TEAL)
    draw(cell)
    c = Canvas(32, 16, TEAL)
    for y in range(16):
        for x in range(16):
            c.px[y][x] = cell.px[y][x]
    ink = [(x, y) for y in range(16) for x in range(16) if cell.px[y][x] != TEAL]
    for x, y in ink:
        c.set(16 + x + 1, y + 1, WHITE)
    # Dark ink turns grey, light ink silver, so that shapes inside shapes stay apart.
    light = {WHITE, YELLOW, SILVER, LIME, AQUA}
    for x, y in ink:
        c.set(16 + x, y, SILVER if cell.px[y][x] in light else GREY)
    return c


# ---- Frame buttons and the TrueType mark ----

def form_button(kind):
    c = Canvas(16, 16, MAGENTA)
    if kind == "close":
        c.line(4, 4, 11, 11, BLACK, 2)
        c.line(11, 4, 4, 11, BLACK, 2)
    elif kind == "minimize":
        c.fill(4, 11, 11, 12, BLACK)
    elif kind == "maximize":
        c.rect(3, 3, 12, 12, BLACK)
        c.fill(3, 3, 12, 4, BLACK)
    elif kind == "restore":
        c.rect(6, 2, 13, 9, BLACK)
        c.fill(6, 2, 13, 3, BLACK)
        c.fill(2, 6, 9, 13, MAGENTA)
        c.rect(2, 6, 9, 13, BLACK)
        c.fill(2, 6, 9, 7, BLACK)
    elif kind == "rollup":
        for row in range(5):
            c.line(8 - row, 5 + row, 8 + row, 5 + row, BLACK)
    elif kind == "tray":
        c.fill(9, 9, 12, 12, BLACK)
    return c


def truetype():
    c = Canvas(16, 16, MAGENTA)
    for ox, colour in ((0, GREY), (5, BLACK)):
        c.fill(ox + 1, 2 + ox // 2, ox + 9, 3 + ox // 2, colour)
        c.fill(ox + 4, 2 + ox // 2, ox + 5, 12 + ox // 2, colour)
    return c


def main(out: Path):
    for name, draw in KINDS.items():
        write_bmp(out / f"te_btn_{name}.bmp", button_glyph(draw))
    for kind in ("close", "minimize", "maximize", "restore", "rollup", "tray"):
        write_bmp(out / f"te_form_{kind}.bmp", form_button(kind))
    write_bmp(out / "te_list_truetype.bmp", truetype())


if __name__ == "__main__":
    main(Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent)
