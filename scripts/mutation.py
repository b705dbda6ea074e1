#!/usr/bin/env python3
"""Mutation check: how many small faults do the fast tests catch?

Makes COUNT mutants (fixed seed) of comparisons, constants and offsets in
the storage, the media formats, the project file and program logic, and the
handheld protocol; for each one it changes one place in a copy of the tree,
rebuilds only the test programs of that group, runs them (stopping at the
first failure, each bounded in time) and puts the place back. It prints one
line per mutant and the kill rate. A mutant that does not compile is
replaced by the group's next one.

    python3 scripts/mutation.py [--work DIR] [--seed N] [--count N]
                                [--list] [--jobs N]

The copy and its build live in DIR (default build-mutation/ in the tree), so
the working tree is never touched; ccache keeps the rebuilds short.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))

# group: (source files, test programs, the quickest first, since the first
# failure ends a mutant's run). Each group runs the programs that test its
# layer; the slower start-up and page programs are left out. On two cores
# shared by five builds a mutant still takes about two and a half minutes
# (its rebuild included), so the whole check is a run of some two hours.
GROUPS = {
    "storage": (["src/storage/file_system.cpp", "src/storage/storage_image.cpp",
                 "src/storage/resource_files.cpp", "src/storage/whole_file.cpp",
                 "src/storage/storage_check.cpp", "src/storage/flash.cpp",
                 "src/storage/setup_records.cpp", "src/storage/text.cpp"],
                ["tests/text_tests", "tests/storage/storage_model_tests",
                 "tests/storage/storage_tests", "tests/fault/fault_tests"]),
    "media": (["src/media/picture_format.cpp", "src/media/sound_format.cpp",
               "src/media/sound_decode.cpp", "src/media/light_effect_format.cpp",
               "src/media/conversions.cpp"],
              ["tests/media_format_tests"]),
    "project": (["src/projects/project_file.cpp", "src/projects/program_text.cpp"],
                ["tests/projects/project_tests", "tests/projects/project_model_tests"]),
    "logic": (["src/projects/program_logic.cpp"],
              ["tests/projects/project_tests", "tests/projects/project_model_tests"]),
    "protocol": (["src/link/handheld_protocol.cpp", "src/link/serial_frames.cpp",
                  "src/link/hid_reports.cpp"],
                 ["tests/link/link_tests"]),
}

COMPARE = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ",
           " == ": " != ", " != ": " == "}
COMPARE_RE = re.compile(r" (<=|>=|==|!=|<|>) ")
NUMBER_RE = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uU]?[lL]{0,2})(?![\w.])")
SKIP_RE = re.compile(r"^\s*(#include|//|\*|/\*)|static_assert|template\s*<")


def code_part(line):
    """The line without its string and character literals and end comment,
    same length, so columns stay valid."""
    out = list(line)
    i, quote = 0, None
    while i < len(line):
        c = line[i]
        if quote:
            out[i] = " "
            if c == "\\":
                if i + 1 < len(line):
                    out[i + 1] = " "
                i += 2
                continue
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out[i] = " "
        elif line.startswith("//", i):
            return "".join(out[:i]) + " " * (len(line) - i)
        i += 1
    return "".join(out)


def sites(path):
    """Every (line index, column, old text, new text) one can mutate."""
    found = []
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    for n, line in enumerate(lines):
        if SKIP_RE.search(line):
            continue
        code = code_part(line)
        for m in COMPARE_RE.finditer(code):
            old = m.group(0)
            found.append((n, m.start(), old, COMPARE[old]))
        for m in NUMBER_RE.finditer(code):
            text, suffix = m.group(1), m.group(2)
            value = int(text, 0)
            new = value + 1
            new_text = hex(new) if text.lower().startswith("0x") else str(new)
            found.append((n, m.start(), text + suffix, new_text + suffix))
    return found


def plan(seed, count):
    """The mutants, spread evenly over the groups, then candidates in reserve."""
    rng = random.Random(seed)
    per_group = {}
    for group, (files, _) in GROUPS.items():
        cands = [(group, f) + s for f in files for s in sites(f)]
        rng.shuffle(cands)
        per_group[group] = cands
    names = list(GROUPS)
    quota = {g: count // len(names) + (1 if i < count % len(names) else 0)
             for i, g in enumerate(names)}
    return per_group, quota


def apply(tree, mutant):
    group, path, n, col, old, new = mutant
    full = os.path.join(tree, path)
    with open(full, encoding="utf-8") as f:
        text = f.read()
    lines = text.split("\n")
    line = lines[n]
    assert line[col:col + len(old)] == old, (path, n, line, old)
    lines[n] = line[:col] + new + line[col + len(old):]
    with open(full, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    return full, text


def run(cmd, timeout, **kw):
    try:
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout, **kw)
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return None, ""


def prepare(work, jobs):
    # the build sits inside the copy as build/ does in the tree, so ccache
    # (with CCACHE_BASEDIR above both) finds the tree's own objects
    src = os.path.join(work, "src")
    build = os.path.join(src, "build")
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                           stdout=subprocess.PIPE).stdout.decode().split("\0")
    for rel in filter(None, files):
        a, b = os.path.join(ROOT, rel), os.path.join(src, rel)
        if not os.path.isfile(a):
            continue
        if os.path.exists(b) and open(a, "rb").read() == open(b, "rb").read():
            continue  # unchanged: keep its time stamp, so nothing rebuilds
        os.makedirs(os.path.dirname(b), exist_ok=True)
        shutil.copyfile(a, b)  # a new time stamp: ninja rebuilds what it changed
    if not os.path.exists(os.path.join(build, "build.ninja")):
        cfg = ["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
               "-DTRELVAN_TESTS=ON"]
        if shutil.which("ccache"):
            cfg += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        subprocess.run(cfg, check=True, stdout=subprocess.DEVNULL)
    return src, build


def build_targets(build, programs, jobs):
    targets = sorted({os.path.basename(p) for p in programs})
    rc, out = run(["cmake", "--build", build, "-j", str(jobs), "--target"] + targets, 1800)
    return rc == 0, out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutation"))
    ap.add_argument("--seed", type=int, default=28)
    ap.add_argument("--count", type=int, default=60)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--list", action="store_true")
    a = ap.parse_args()
    per_group, quota = plan(a.seed, a.count)
    if a.list:
        for g in GROUPS:
            for m in per_group[g][:quota[g]]:
                print(f"{g:9} {m[1]}:{m[2] + 1} '{m[4].strip()}' -> '{m[5].strip()}'")
        return 0
    work = os.path.abspath(a.work)
    src, build = prepare(work, a.jobs)
    programs = sorted({p for _, progs in GROUPS.values() for p in progs})
    ok, out = build_targets(build, programs, a.jobs)
    if not ok:
        sys.stdout.write(out[-3000:])
        print("the unchanged tree does not build")
        return 2
    limit = {}
    for p in programs:  # each program's time on the unchanged tree bounds its runs
        t0 = time.time()
        rc, out = run([os.path.join(build, p)], 1800, cwd=build)
        if rc != 0:
            sys.stdout.write(out[-3000:])
            print(f"{p} fails on the unchanged tree")
            return 2
        limit[p] = 2 * (time.time() - t0) + 20
    killed = tried = timed_out = 0
    survivors = []
    start = time.time()
    for g in GROUPS:
        cands, progs = per_group[g], GROUPS[g][1]
        taken = 0
        for m in cands:
            if taken == quota[g]:
                break
            full, original = apply(src, m)
            try:
                ok, out = build_targets(build, progs, a.jobs)
                if not ok:
                    print(f"   -   {g:9} {m[1]}:{m[2] + 1} '{m[4].strip()}' -> '{m[5].strip()}': "
                          "does not compile, next one", flush=True)
                    continue
                taken += 1
                tried += 1
                verdict = "SURVIVED"
                t0 = time.time()
                for p in progs:
                    cmd = [os.path.join(build, p), "--gtest_fail_fast"]
                    rc, _ = run(cmd, limit[p], cwd=build)
                    if rc is None:
                        # A loaded machine slows a run as much as a mutant that
                        # loops: only a second, far longer run decides.
                        rc, _ = run(cmd, 10 * limit[p] + 120, cwd=build)
                    if rc is None:
                        verdict = f"killed by {os.path.basename(p)} (time limit, twice)"
                        timed_out += 1
                        break
                    if rc != 0:
                        verdict = f"killed by {os.path.basename(p)}"
                        break
                if verdict == "SURVIVED":
                    survivors.append(m)
                else:
                    killed += 1
                print(f"{tried:3}/{a.count} {g:9} {m[1]}:{m[2] + 1} '{m[4].strip()}' -> "
                      f"'{m[5].strip()}': {verdict} ({time.time() - t0:.0f} s)", flush=True)
            finally:
                with open(full, "w", encoding="utf-8") as f:
                    f.write(original)
    # leave the copy's build matching the unchanged tree
    build_targets(build, programs, a.jobs)
    rate = 100.0 * killed / tried if tried else 0.0
    print(f"killed {killed} of {tried} mutants ({rate:.1f}%; {timed_out} by the time limit) "
          f"in {time.time() - start:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
