#!/usr/bin/env python3
"""Writes the picture golden cases: BMP inputs and the picture records they
must become, computed here from the format's rules (2 x 2 average, then
(blue & 0xF8) * 256 + (green & 0xFC) * 8 + red / 8), independently of the
program. cases.txt lists `name result`; result 0 has name.out beside it. Other
layouts and sizes are tests/media/golden/picture_layouts."""
import struct, os

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 480, 180

# The first four 2 x 2 blocks of the top row: white, red, blue, and red
# 255, 255, 0, 0 (average 127); the rest a pattern that reaches every bit.
SPECIAL = {0: [(255, 255, 255)] * 4, 1: [(255, 0, 0)] * 4, 2: [(0, 0, 255)] * 4,
           3: [(255, 0, 0), (255, 0, 0), (0, 0, 0), (0, 0, 0)]}

def pixel(x, y):  # (r, g, b) of the source pixel at column x, row y from the top
    if y < 2 and x // 2 in SPECIAL:
        return SPECIAL[x // 2][(x % 2) + 2 * y]
    return ((x * 7 + y * 3) % 256, (x * 2 + y * 11) % 256, (x ^ y) % 256)

def bmp(width=W, height=H, bits=24, info=40, top_down=False, pixels=True):
    offset = 14 + info
    rows = []
    if pixels:
        order = range(H) if top_down else range(H - 1, -1, -1)
        for y in order:
            rows.append(b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(W))))
    data = b"".join(rows)
    h = -height if top_down else height
    info_bytes = struct.pack("<IiiHHIIiiII", info, width, h, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    info_bytes += bytes(info - len(info_bytes))
    head = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return head + info_bytes + data

def record():
    out = struct.pack("<HH", 240, 90)
    for r in range(90):
        for c in range(240):
            px = [pixel(2 * c + dx, 2 * r + dy) for dy in (0, 1) for dx in (0, 1)]
            red, green, blue = (sum(p[i] for p in px) >> 2 for i in range(3))
            out += struct.pack("<H", (blue & 0xF8) * 256 + (green & 0xFC) * 8 + red // 8)
    return out

cases = [
    ("bottom_up", bmp(), 0),
    ("top_down_v5_header", bmp(info=124, top_down=True), 0),
    # what is still refused: damaged (3), unread layouts (4), too large (5), unknown (2)
    ("cut_short", bmp(pixels=False), 3),
    ("no_width", bmp(width=0, pixels=False), 3),
    ("truncated_header", b"BM" + bytes(10), 3),
    ("bits_2", bmp(bits=2, pixels=False), 4),
    ("side_20000", bmp(width=20000, pixels=False), 5),
    ("not_a_picture", b"GIF89a" + bytes(40), 2),
]
expected = record()
with open(os.path.join(HERE, "cases.txt"), "w") as listing:
    for name, data, result in cases:
        open(os.path.join(HERE, name + ".bmp"), "wb").write(data)
        listing.write(f"{name} {result}\n")
        if result == 0:
            open(os.path.join(HERE, name + ".out"), "wb").write(expected)
