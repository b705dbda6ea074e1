#!/usr/bin/env python3
"""Writes the program's icons: trelvan.ico (48, 32 and 16 pixels, resource
107) and trelvan_small.ico (16 pixels, resource 108). A white "T" on a
rounded blue square with a green rail line under it. The icons are
committed; run this again only to change them:
    python3 make_icons.py OUTPUT_FOLDER
"""
import os
import struct
import sys

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


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(folder, "trelvan.ico"), "wb") as f:
        f.write(icon_file([48, 32, 16]))
    with open(os.path.join(folder, "trelvan_small.ico"), "wb") as f:
        f.write(icon_file([16]))


main()
