#!/usr/bin/env python3
"""Writes the expected project files beside their records.

Made from the file layout alone, independently of the program: for each
NAME.txt (a project record, one field a line) it writes NAME.bin, the whole
storage file (FileHeader, then the project data with the skip bytes filled
in). It also writes the damaged files damaged_*.bin that loading must refuse.

Record lines: name, model, class, picture TEXT (P = 1) or nopicture (P = 0),
button IMAGE X Y MODE NAME, variable NAME, int VALUE, text TEXT,
program HEX BYTES (skip bytes as 00). Run it from this folder.
"""
import glob
import os
import struct

LENGTHS = [1, 4, 4, 4, 2, 1, 3, 5, 4, 4, 2, 2, 2, 2, 5, 2, 2, 3, 1]


def fixed(text, size):
    raw = text.encode("latin-1")
    assert len(raw) < size, text
    return raw + b"\0" * (size - len(raw))


def fill_skips(program):
    """Every condition skips to the first byte after its block's divider; the
    divider to the first byte after the block end."""
    program = bytearray(program)
    pos, cond, divider = 0, [], None
    while pos < len(program):
        op = program[pos]
        if op in (1, 2):
            cond.append(pos)
        elif op == 4:
            divider = pos
        elif op == 5:
            for c in cond:
                program[c + 3] = (divider + 2 - c) % 256
            program[divider + 1] = (pos + 1 - divider) % 256
            cond = []
        elif op == 0x12:
            break
        pos += LENGTHS[op]
    return bytes(program)


def read_record(path):
    rec = dict(name="", model="", cls=0, pictures=[""], buttons=[], variables=[], ints=[],
               texts=[], program=b"\x00\x12")
    for line in open(path, encoding="latin-1"):
        key, _, rest = line.rstrip("\n").partition(" ")
        if not key or key.startswith("#"):
            continue
        if key in ("name", "model"):
            rec[key] = rest
        elif key == "class":
            rec["cls"] = int(rest)
        elif key in ("picture", "nopicture"):
            rec["pictures"] = [rest] if key == "picture" else []
        elif key == "button":
            image, x, y, mode, name = rest.split(" ", 4)
            rec["buttons"].append((int(image), int(x), int(y), int(mode), name))
        elif key in ("variable", "int", "text"):
            rec[key + "s"].append(int(rest) if key == "int" else rest)
        elif key == "program":
            rec["program"] = bytes(int(h, 16) for h in rest.split())
        else:
            raise ValueError(line)
    return rec


def header(name):
    return (b"\x02" + name.encode("latin-1") + b"\0User\0Acc. Project\0" + b"1.00\0" + b"\0" +
            b"\x03")


def data_of(rec):
    b = rec["buttons"]
    out = fixed(rec["model"], 13)
    out += bytes([rec["cls"], len(rec["pictures"]), len(b), len(rec["variables"]),
                  len(rec["ints"]), len(rec["texts"]), len(rec["program"])])
    for p in rec["pictures"]:
        out += fixed(p, 32)
    # Button fields column by column.
    out += bytes(x[0] for x in b)
    out += b"".join(struct.pack("<H", x[1]) for x in b)
    out += b"".join(struct.pack("<H", x[2]) for x in b)
    out += bytes(x[3] for x in b)
    out += b"".join(fixed(x[4], 13) for x in b)
    out += b"".join(fixed(v, 32) for v in rec["variables"])
    out += b"".join(struct.pack("<h", v) for v in rec["ints"])
    out += b"".join(fixed(t, 32) for t in rec["texts"])
    out += fill_skips(rec["program"])
    assert len(out) == (20 + 32 * len(rec["pictures"]) + 19 * len(b) + 32 * len(rec["variables"])
                        + 2 * len(rec["ints"]) + 32 * len(rec["texts"]) + len(rec["program"]))
    return out


def main():
    for old in glob.glob("*.bin"):
        os.remove(old)
    for path in sorted(glob.glob("*.txt")):
        rec = read_record(path)
        with open(path[:-4] + ".bin", "wb") as f:
            f.write(header(rec["name"]) + data_of(rec))

    base = read_record("blocks_and_tasks.txt")
    good = bytearray(data_of(base))
    damaged = {"short_data": good[:-1], "short_fixed_part": good[:19]}
    for offset, count, what in ((14, 2, "pictures"), (15, 9, "buttons"), (16, 9, "variables"),
                                (17, 33, "ints"), (18, 33, "texts")):
        damaged["count_" + what] = good[:offset] + bytes([count]) + good[offset + 1:]
    prog = len(good) - len(base["program"])
    # the last byte no longer OpEnd; an opcode without a length; no OpStart
    for what, at, byte in (("no_end", len(good) - 1, 0x05), ("unknown_opcode", prog, 0x13),
                           ("no_start", prog, 0x06)):
        damaged[what] = good[:at] + bytes([byte]) + good[at + 1:]
    # OpEnd in the middle, one stray byte behind it inside the length; an
    # instruction that runs past the length
    for what, count, program in (("end_before_length", 3, b"\x00\x12\x12"),
                                 ("instruction_past_length", 4, b"\x00\x07\x00\x12")):
        damaged[what] = good[:19] + bytes([count]) + good[20:prog] + program
    for name, d in damaged.items():
        with open("damaged_" + name + ".bin", "wb") as f:
            f.write(header("Damaged~") + bytes(d))


if __name__ == "__main__":
    main()
