#!/usr/bin/env python3
"""Writes the sound golden cases: WAV inputs and the sound file data (segment
count, table, packed groups) they must become, computed here from the
format's rules, independently of the program. cases.txt lists
`name result wav...`; result 0 has name.out beside it."""
import os, struct

HERE = os.path.dirname(os.path.abspath(__file__))

def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

def wav(samples, rate=44100, channels=1, bits=16, fmt_tag=1, before=b"", data=True, fmt=True,
        sub_format=None):
    raw = struct.pack(f"<{len(samples)}h", *samples)
    body = b"WAVE" + before
    if fmt:
        fields = struct.pack("<HHIIHH", fmt_tag, channels, rate,
                             rate * channels * bits // 8, channels * bits // 8, bits)
        if sub_format is not None:  # the extensible layout: size, valid bits, mask, GUID
            fields += struct.pack("<HHI", 22, bits, 4) + struct.pack("<H", sub_format) + GUID_TAIL
        body += chunk(b"fmt ", fields)
    if data:
        body += chunk(b"data", raw)
    return b"RIFF" + struct.pack("<I", len(body)) + body

GUID_TAIL = bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])

def value(s1, s2):
    total = int(s1 / 2) + int(s2 / 2)
    total = (total + 0x8000) % 0x10000 - 0x8000  # a signed 16-bit sum
    return (total >> 6) + 512

def values(samples, n):  # one value per two samples, 2 standing for those past the end
    padded = list(samples) + [2] * (2 * n)
    return [value(padded[2 * k], padded[2 * k + 1]) for k in range(n)]

def segment(samples):
    count = len(samples) // 2
    v = values(samples, (count + 3) // 4 * 4)  # whole groups of four
    groups = [v[g] << 30 | v[g + 1] << 20 | v[g + 2] << 10 | v[g + 3] for g in range(0, len(v), 4)]
    return count, b"".join(g.to_bytes(5, "big") for g in groups)

def sound(segments):
    encoded = [segment(s) for s in segments]
    table = bytes([len(segments)])
    offset = 1 + 8 * len(segments)
    for count, groups in encoded:
        table += struct.pack("<II", offset, count)
        offset += len(groups)
    return table + b"".join(g for _, g in encoded)

def played(segments):
    """What a preview plays: start, the loop twice, stop; values back to 16 bits."""
    decoded = [[(x - 512) * 64 for x in values(s, len(s) // 2)] for s in segments]
    order = [0] if len(segments) == 1 else [0, 1, 1, 2]
    out = [x for i in order for x in decoded[i]]
    return struct.pack(f"<{len(out)}h", *out)

def ramp(n, step, start=0):
    return [((start + i * step + 32768) % 65536) - 32768 for i in range(n)]

# the first group packs 1023, 0, 1023, 0: FF C0 0F FC 00
edges = [32767, 32767, -32768, -32768, 32767, 32767, -32768, -32768,
         0, 0, 32767, 32767, -32768, -32768, 1, 1, -1, -1, 127, 128, -129, -64]
one_second = ramp(44100, 1237)
start, loop, stop = ramp(301, 97), ramp(1600, -211, 5), ramp(17, 3001)
list_text = chunk(b"LIST", b"INFOICMT" + struct.pack("<I", 12) + b"has data in\0")
long_text = chunk(b"LIST", b"INFOICMT" + struct.pack("<I", 1500) + b"a long comment".ljust(1500, b"."))

cases = [
    ("edges", 0, [edges + ramp(8 * 9 + 1 - len(edges), 4099)]),  # 8k + 1 samples: one group per 4 values
    ("one_second", 0, [one_second]),
    ("list_before_fmt", 0, [ramp(40, -3333)], dict(before=list_text)),
    ("start_loop_stop", 0, [start, loop, stop]),
    ("extensible", 0, [ramp(50, 777)], dict(fmt_tag=0xFFFE, sub_format=1)),
    ("data_after_1k", 0, [ramp(30, -999)], dict(before=long_text)),
    # what is still refused; other layouts are converted (tests/media/golden/layouts)
    ("extensible_float", 4, [ramp(16, 1)], dict(fmt_tag=0xFFFE, sub_format=3)),
    ("adpcm", 2, [ramp(16, 1)], dict(fmt_tag=2, bits=4)),
    ("no_channels", 5, [ramp(16, 1)], dict(channels=0)),
    ("forty_channels", 5, [ramp(40, 1)], dict(channels=40)),
    ("rate_zero", 3, [ramp(16, 1)], dict(rate=0)),
    ("twelve_bit", 4, [ramp(16, 1)], dict(bits=12)),
    ("float_format", 4, [ramp(16, 1)], dict(fmt_tag=3)),
    ("no_data_chunk", 2, [ramp(16, 1)], dict(data=False, before=list_text)),
    ("no_fmt_chunk", 2, [ramp(16, 1)], dict(fmt=False)),
]
with open(os.path.join(HERE, "cases.txt"), "w") as listing:
    for case in cases:
        name, result, segments = case[:3]
        options = case[3] if len(case) > 3 else {}
        files = []
        for i, samples in enumerate(segments):
            file = f"{name}_{i}.wav" if len(segments) > 1 else f"{name}.wav"
            open(os.path.join(HERE, file), "wb").write(wav(samples, **options))
            files.append(file)
        listing.write(f"{name} {result} {' '.join(files)}\n")
        if result == 0:
            open(os.path.join(HERE, name + ".out"), "wb").write(sound(segments))
            open(os.path.join(HERE, name + ".pcm"), "wb").write(played(segments))
