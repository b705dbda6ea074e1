#!/usr/bin/env python3
"""Writes the light-effect golden cases, computed here from the format's
rules independently of the program. Each case loads name.in (the data of a
stored file of the given version) into a new effect, applies one operation
at a cursor on a channel, and must give name.out, the version 2 data the
effect is then saved as; "-" as the result means the file is not loaded and
the new effect stays. cases.txt: `name version op argument cursor channel`."""
import math, os, struct

HERE = os.path.dirname(os.path.abspath(__file__))

def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]

def new_effect():
    return dict(ch=1, rows=[[0] * 400, [0] * 400], start=20, loop=50, stop=20, count=90)

def v2_file(ch, rows, start, loop, stop):
    t = start + loop + stop
    return struct.pack("<BHHHH", ch, t, start, loop, stop) + b"".join(bytes(rows[c][:t]) for c in range(ch))

def v1_file(ch, rows):
    n = len(rows[0])
    return struct.pack("<BH", ch, n) + b"".join(bytes(r) for r in rows[:ch])

def load(e, version, data):
    ch = data[0]
    chans = 2 if ch == 2 else 1
    if version.startswith("2."):
        t, start, loop, stop = struct.unpack_from("<HHHH", data, 1)
        if t > 400 or len(data) < 9 + chans * t:
            return e
        rows = [[0] * 400, [0] * 400]
        for c in range(chans):
            rows[c][:t] = data[9 + c * t: 9 + (c + 1) * t]
        return dict(ch=ch if ch in (1, 2) else e["ch"], rows=rows, start=start, loop=loop, stop=stop, count=t)
    stored = struct.unpack_from("<H", data, 1)[0]
    n = min(stored, 398)
    if len(data) < 3 + (chans - 1) * stored + n:
        return e
    rows = [[0] * 400, [0] * 400]
    for c in range(chans):
        rows[c][1:1 + n] = data[3 + c * stored: 3 + c * stored + n]
    return dict(ch=ch if ch in (1, 2) else e["ch"], rows=rows, start=1, loop=n, stop=1, count=n + 2)

def apply(e, op, arg, cursor, channel):
    row = e["rows"][channel]
    def put(i, v):
        if cursor + i < 400:
            row[cursor + i] = int(v)
    if op == "increase" or op == "decrease":
        for i in range(arg):
            x = f32(f32(float(i * 5)) / f32(float(arg)))
            rise = f32(f32(1.0 - f32(math.exp(f32(-x)))) * 100.0)
            put(i, rise if op == "increase" else f32(100.0 - rise))
    elif op == "sine":
        step, angle = f32(180.0 / arg), 0.0
        for i in range(arg):
            put(i, f32(f32(math.sin(f32(f32(angle * f32(3.1415927)) / 180.0))) * 100.0))
            angle = f32(angle + step)
    elif op == "level":
        for q in range(cursor, min(e["count"], 400)):
            row[q] = min(100, row[q] * arg // 100)
    elif op == "shift" and arg > 0:
        for k in range(e["count"], cursor, -1):
            if k < 400 and k + arg < 400:
                row[k + arg] = row[k]
    elif op == "shift" and arg < 0:
        for k in range(cursor, e["count"]):
            if 1 <= k <= 399 and 1 <= k + arg <= 399:
                row[k + arg] = row[k]
    elif op == "average":
        for q in range(cursor, min(e["count"] - 1, 400)):
            window = sum(row[k] if k < 400 else 0 for k in range(q + 1, q + arg + 1))
            row[q] = min(100, window // arg)

ramp = [[(i * 37) % 101 for i in range(400)], [100 - (i * 13) % 101 for i in range(400)]]
cases = [
    # name, version, stored data, op, argument, cursor, channel
    ("increase_4", "2.00", v2_file(1, ramp, 20, 50, 20), "increase", 4, 0, 0),
    ("decrease_30", "2.00", v2_file(2, ramp, 20, 50, 20), "decrease", 30, 10, 1),
    ("sine_5", "2.00", v2_file(1, ramp, 20, 50, 20), "sine", 5, 0, 0),
    ("sine_near_end", "2.00", v2_file(2, ramp, 100, 200, 100), "sine", 20, 390, 0),
    ("level_200", "2.00", v2_file(2, ramp, 50, 50, 50), "level", 200, 5, 1),
    ("shift_up", "2.00", v2_file(1, ramp, 30, 300, 60), "shift", 7, 100, 0),
    ("shift_down", "2.00", v2_file(1, ramp, 30, 300, 60), "shift", -9, 3, 0),
    ("average_past_end", "2.00", v2_file(1, ramp, 100, 200, 100), "average", 25, 380, 0),
    ("version1_n10", "1.00", v1_file(2, [ramp[0][:10], ramp[1][:10]]), "none", 0, 0, 0),
    ("version1_n398_plus", "1.00", v1_file(1, [ramp[0] + [5, 6, 7]]), "none", 0, 0, 0),
    ("total_over_400", "2.00", v2_file(1, ramp, 200, 150, 51), "none", 0, 0, 0),
    ("short_channel_2", "2.00", v2_file(2, ramp, 20, 50, 20)[:-1], "none", 0, 0, 0),
]
with open(os.path.join(HERE, "cases.txt"), "w") as listing:
    for name, version, data, op, arg, cursor, channel in cases:
        open(os.path.join(HERE, name + ".in"), "wb").write(data)
        e = load(new_effect(), version, data)
        apply(e, op, arg, cursor, channel)
        out = v2_file(e["ch"], e["rows"], e["start"], e["loop"], e["stop"])
        open(os.path.join(HERE, name + ".out"), "wb").write(out)
        listing.write(f"{name} {version} {op} {arg} {cursor} {channel}\n")
