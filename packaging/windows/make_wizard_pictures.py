#!/usr/bin/env python3
"""Draws the installer's pictures in the program's own look:
    make_wizard_pictures.py TRELVAN_RSC OUT_FOLDER
TRELVAN_RSC is the page compiler, whose --palette lists the colours;
OUT_FOLDER gets welcome.bmp (164 x 314, the welcome and finish pages) and
header.bmp (150 x 57, the other pages' header), 24-bit BMPs as NSIS wants
them. Both show the program's icon (make_icons.py) on the colours of its
pages: the navy of the title bars, the orange accent line under them and
the grey of the panels.
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "src", "main", "win32"))
import make_icons  # noqa: E402


def read_palette(compiler):
    """{name: (r, g, b)} from the compiler's lines "name rgb:RRGGBB ..."."""
    colours = {}
    listing = subprocess.run([compiler, "--palette"], check=True, capture_output=True, text=True)
    for line in listing.stdout.splitlines():
        words = line.split()
        if len(words) >= 2 and words[1].startswith("rgb:"):
            value = int(words[1][4:], 16)
            colours[words[0]] = (value >> 16, (value >> 8) & 255, value & 255)
    return colours


def blend(under, over, alpha):
    return tuple((o * alpha + u * (255 - alpha)) // 255 for u, o in zip(under, over))


def put_icon(picture, size, left, top):
    """The icon of `size` pixels over the picture, its corners blended."""
    for y in range(size):
        for x in range(size):
            r, g, b, a = make_icons.pixel(size, x, y)
            row = picture[top + y]
            row[left + x] = blend(row[left + x], (r, g, b), a)


def bmp(picture):
    """A bottom-up 24-bit BMP; rows padded to four bytes."""
    height, width = len(picture), len(picture[0])
    pad = b"\0" * ((4 - width * 3 % 4) % 4)
    rows = b"".join(bytes(c for r, g, b in row for c in (b, g, r)) + pad
                    for row in reversed(picture))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + rows


def welcome(p):
    """The title bar's navy, darker towards the foot, the icon on it, the
    accent line under it and a panel's grey at the foot."""
    width, height = 164, 314
    picture = [[blend(p["navy"], p["navydark"], y * 255 // height)] * width for y in range(height)]
    put_icon(picture, 96, (width - 96) // 2, 56)
    for y in range(176, 180):
        picture[y] = [p["accent"]] * width
    for y in range(height - 40, height):
        picture[y] = [p["panel"]] * width
    picture[height - 41] = [p["panelline"]] * width
    return picture


def header(p):
    """White, as the header's own background, with the icon at the right."""
    width, height = 150, 57
    picture = [[p["white"]] * width for _ in range(height)]
    put_icon(picture, 48, width - 48 - 4, (height - 48) // 2)
    return picture


def main():
    palette = read_palette(sys.argv[1])
    os.makedirs(sys.argv[2], exist_ok=True)
    for name, draw in (("welcome.bmp", welcome), ("header.bmp", header)):
        with open(os.path.join(sys.argv[2], name), "wb") as f:
            f.write(bmp(draw(palette)))


main()
