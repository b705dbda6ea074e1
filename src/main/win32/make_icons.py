#!/usr/bin/env python3
"""Writes the program's icons: trelvan.ico (48, 32 and 16 pixels, resource
107) and trelvan_small.ico (16 pixels, resource 108) beside this script,
the hicolor theme's PNGs into packaging/linux/icons/ and the Linux window's
32-pixel icon into src/main/linux/window_icon.h. A white "T" on a
rounded blue square with a green rail line under it. The icons are
committed; run this again only to change them:
    python3 src/main/win32/make_icons.py
The installer's pictures (packaging/windows) draw the icon with pixel().
"""
import os
import struct
import zlib

BLUE = (0x20, 0x4A, 0x8C, 0xFF)   # red, green, blue, alpha
WHITE = (0xFF, 0xFF, 0xFF, 0xFF)
GREEN = (0x3C, 0xB0, 0x4A, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(size, x, y):
    """The colour of pixel (x, y), y from the top."""
    radius = size // 6
    # rounded corners: outside the corner circles is transparent
    for cx, cy in ((radius, radius), (size - 1 - radius, radius),
                   (radius, size - 1 - radius), (size - 1 - radius, size - 1 - radius)):
        if (x < radius or x > size - 1 - radius) and (y < radius or y > size - 1 - radius):
            if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius and \
               abs(x - cx) <= radius and abs(y - cy) <= radius:
                return CLEAR
    u = size / 16.0
    bar_top, bar_bottom = 3 * u, 5 * u
    stem_left, stem_right = 6.5 * u, 9.5 * u
    if bar_top <= y < bar_bottom and 3 * u <= x < 13 * u:
        return WHITE
    if bar_bottom <= y < 11 * u and stem_left <= x < stem_right:
        return WHITE
    if 12 * u <= y < 13.5 * u and 2 * u <= x < 14 * u:
        return GREEN
    return BLUE


def image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = bytearray()
        mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
            if a == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    return header + b"".join(rows) + b"".join(mask_rows)


def icon_file(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png_file(size):
    """A PNG of the icon: 8-bit RGBA rows, each after filter byte 0."""
    rows = b"".join(b"\0" + bytes(c for x in range(size) for c in pixel(size, x, y))
                    for y in range(size))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def window_icon_header(size):
    words = ["0x%02X%02X%02X%02X" % (a, r, g, b)
             for y in range(size) for x in range(size) for r, g, b, a in [pixel(size, x, y)]]
    lines = [", ".join(words[i:i + 8]) + "," for i in range(0, len(words), 8)]
    return ("// The window's icon, %d x %d pixels as 0xAARRGGBB, rows from the top.\n"
            "// Made by: python3 src/main/win32/make_icons.py\n"
            "#pragma once\n\n#include <cstdint>\n\nnamespace trelvan {\n\n"
            "constexpr int kWindowIconSize = %d;\n"
            "constexpr uint32_t kWindowIcon[kWindowIconSize * kWindowIconSize] = {\n"
            % (size, size, size) +
            "".join("    " + line + "\n" for line in lines) +
            "};\n\n}  // namespace trelvan\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, "..", "..", ".."))
    with open(os.path.join(here, "trelvan.ico"), "wb") as f:
        f.write(icon_file([48, 32, 16]))
    with open(os.path.join(here, "trelvan_small.ico"), "wb") as f:
        f.write(icon_file([16]))
    icons = os.path.join(root, "packaging", "linux", "icons")
    os.makedirs(icons, exist_ok=True)
    for size in (16, 24, 32, 48, 64, 128, 256):
        with open(os.path.join(icons, "%dx%d.png" % (size, size)), "wb") as f:
            f.write(png_file(size))
    with open(os.path.join(root, "src", "main", "linux", "window_icon.h"), "w") as f:
        f.write(window_icon_header(32))


if __name__ == "__main__":
    main()
