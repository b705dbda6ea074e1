#!/usr/bin/env python3
"""Writes the sample catalogue's BMPs and WAVs into the folder given.

Pictures are 480 x 180 pixels at 24 bits, sounds 44.1 kHz, 16-bit mono PCM:
what the Picture and Sound Managers take. Everything is computed, so the
repository holds no binary files.
"""
import math
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT, RATE = 480, 180, 44100


def write_bmp(path, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top; stored bottom-up."""
    row_bytes = WIDTH * 3  # 1440: already a multiple of 4
    data = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            data += bytes((b, g, r))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, row_bytes * HEIGHT, 2835, 2835, 0, 0)
    path.write_bytes(header + info + data)


def engine(colour):
    def pixel(x, y):
        sky = (150, 200, 255)
        body = 90 <= y < 150 and 80 <= x < 400
        cab = 40 <= y < 90 and 300 <= x < 400
        wheel = any((x - cx) ** 2 + (y - 150) ** 2 < 26 ** 2 for cx in (140, 230, 340))
        if wheel:
            return (40, 40, 40)
        if body or cab:
            return colour
        return (60, 140, 60) if y >= 165 else sky
    return pixel


def station(roof):
    def pixel(x, y):
        if y >= 150:
            return (120, 110, 100)
        if 60 <= y < 150 and 60 <= x < 420:
            return (230, 220, 190) if (x // 30 + y // 30) % 3 else (80, 80, 160)
        if 30 <= y < 60 and 40 <= x < 440:
            return roof
        return (170, 210, 240)
    return pixel


def write_wav(path, seconds, tone):
    """tone(t) -> -1.0 .. 1.0 at t seconds."""
    n = int(seconds * RATE)
    frames = b"".join(struct.pack("<h", int(32000 * max(-1.0, min(1.0, tone(i / RATE))))) for i in range(n))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(frames), b"WAVE", b"fmt ", 16, 1, 1,
                         RATE, RATE * 2, 2, 16, b"data", len(frames))
    path.write_bytes(header + frames)


def sine(freq, fade=0.0):
    return lambda t: math.sin(2 * math.pi * freq * t) * (math.exp(-fade * t) if fade else 1.0)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_bmp(out / "red_engine.bmp", engine((200, 40, 30)))
    write_bmp(out / "blue_engine.bmp", engine((40, 60, 200)))
    write_bmp(out / "green_engine.bmp", engine((30, 150, 60)))
    write_bmp(out / "harbour_station.bmp", station((150, 40, 40)))
    write_bmp(out / "mountain_halt.bmp", station((90, 70, 50)))
    # short sounds keep the catalogue's downloads quick
    write_wav(out / "whistle_short.wav", 0.05, sine(1200))
    write_wav(out / "whistle_long.wav", 0.2, sine(1000))
    write_wav(out / "whistle_double.wav", 0.1, lambda t: sine(1100)(t) if (t * 20) % 2 < 1 else 0.0)
    write_wav(out / "bell_station.wav", 0.15, sine(880, fade=12))
    write_wav(out / "bell_start.wav", 0.05, sine(660, fade=5))
    write_wav(out / "bell_loop.wav", 0.1, sine(660))
    write_wav(out / "bell_stop.wav", 0.05, sine(660, fade=40))


if __name__ == "__main__":
    main()
