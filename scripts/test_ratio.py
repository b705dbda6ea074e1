#!/usr/bin/env python3
"""The honest count: lines of tests against lines of code.

A line counts when it is not blank and not only a comment. Tests are the
code and script files under tests/; code is the same kind of file under
src/, tools/, scripts/, cmake/, packaging/, the page layouts of resources/
and the top CMakeLists.txt. Generated files (the font tables and the role
headers that trelvan-rsc writes) are left out of both.

    python3 scripts/test_ratio.py [ROOT] [--files]
"""
import os
import re
import sys

HASH = {".py", ".sh", ".run", ".cmake", ".layout", ".nsi"}
SLASH = {".cpp", ".h", ".c", ".rc"}
CODE_ROOTS = ["src", "tools", "scripts", "cmake", "packaging", "resources"]
GENERATED = [re.compile(r"^src/ui/font_tables\.cpp$"),
             re.compile(r"^src/ui/pages/roles/[^/]*\.h$")]


def kind(path):
    name = os.path.basename(path)
    if name == "CMakeLists.txt":
        return "#"
    stem, ext = os.path.splitext(name)
    if ext == ".in":  # configured templates count as what they make
        ext = os.path.splitext(stem)[1]
    if ext in HASH:
        return "#"
    if ext in SLASH:
        return "//"
    return None


def counted_lines(path, style):
    n = 0
    in_block = False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            s = line.strip()
            if style == "//":
                if in_block:
                    if "*/" in s:
                        in_block = False
                        s = s.split("*/", 1)[1].strip()
                    else:
                        continue
                if s.startswith("/*"):
                    if "*/" not in s:
                        in_block = True
                        continue
                    s = s.split("*/", 1)[1].strip()
                if not s or s.startswith("//"):
                    continue
            else:
                if not s or s.startswith("#"):
                    continue
            n += 1
    return n


def walk(root, top):
    for base, dirs, files in os.walk(os.path.join(root, top)):
        dirs[:] = sorted(d for d in dirs if not d.startswith("build"))
        for name in sorted(files):
            path = os.path.join(base, name)
            rel = os.path.relpath(path, root)
            style = kind(rel)
            if style is None or any(g.match(rel) for g in GENERATED):
                continue
            if top == "resources" and not (rel.endswith(".layout")):
                continue
            yield rel, counted_lines(path, style)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    root = args[0] if args else os.path.join(os.path.dirname(__file__), "..")
    show = "--files" in sys.argv
    tests = list(walk(root, "tests"))
    code = [c for top in CODE_ROOTS for c in walk(root, top)]
    top_cmake = os.path.join(root, "CMakeLists.txt")
    code.append(("CMakeLists.txt", counted_lines(top_cmake, "#")))
    if show:
        for rel, n in sorted(tests + code, key=lambda c: -c[1]):
            print(f"{n:6} {rel}")
    t = sum(n for _, n in tests)
    c = sum(n for _, n in code)
    print(f"tests {t} : code {c} = {100.0 * t / c:.1f}%")


if __name__ == "__main__":
    main()
