#!/usr/bin/env python3
"""Writes the PC files the media pages' golden shots choose: a 480 x 180
BMP of a small landscape and short 44.1 kHz 16-bit mono WAV files."""
import math, os, struct

HERE = os.path.dirname(os.path.abspath(__file__))

def landscape(x, y):
    hill = 120 + 25 * math.sin(x / 60.0) + 10 * math.sin(x / 17.0)
    if 300 <= x < 420 and 96 <= y < 126:   # a red engine on the rails
        return (200, 40, 40) if y < 118 else (30, 30, 30)
    if y >= 126 and y < 130:                # the rails
        return (90, 90, 90)
    if y > hill:
        return (40, 140 - int((y - hill) / 2), 50)
    if (x - 80) ** 2 + (y - 40) ** 2 < 400:  # the sun
        return (250, 210, 60)
    return (110 + y // 2, 160 + y // 3, 235)

rows = []
for y in range(179, -1, -1):
    rows.append(b"".join(bytes((b, g, r)) for r, g, b in (landscape(x, y) for x in range(480))))
data = b"".join(rows)
info = struct.pack("<IiiHHIIiiII", 40, 480, 180, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(os.path.join(HERE, "Harbour_evening.bmp"), "wb").write(
    b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54) + info + data)

def wav(name, seconds, freq):
    n = int(44100 * seconds)
    samples = [int(12000 * math.sin(2 * math.pi * freq * i / 44100)) for i in range(n)]
    raw = struct.pack(f"<{n}h", *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, 44100, 88200, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(raw)) + raw
    open(os.path.join(HERE, name), "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)

wav("horn_start.wav", 0.05, 440)
wav("horn_loop.wav", 0.1, 660)
wav("horn_stop.wav", 0.05, 330)

# A WAV whose data chunk declares 7,000,000 bytes (more sound than a sound
# may hold) and holds 64.
fmt = struct.pack("<HHIIHH", 1, 1, 44100, 88200, 2, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", 7000000) + bytes(64)
open(os.path.join(HERE, "too_long.wav"), "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
