#!/usr/bin/env python3
"""Holds the include order of src/layers.txt over src/, tools/, tests/ and
bench/. Every include of a project file, in any form ("a/b.h", <a/b.h>,
"../a/b.h") and in any file of those folders, must name a file of the
includer's own folder or of a folder its row lets it include; so must every
class, struct or union the includer names without including it (a forward
declaration). The table may not let folders reach themselves round a circle,
and no file may include itself through others. Prints each fault (file and
line where there is one) and exits 1; exits 0 when all hold."""
import os
import re
import sys

ROOTS = ('src', 'tools', 'tests', 'bench')
# Where a project include is looked for after the includer's own folder: the
# include paths the build gives (src/, tests/ and the tools' own folders).
SEARCH = ('src', 'tests')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# A class, struct or union with a body (or a base list): where it is defined.
DEFINED = re.compile(r'\b(?:class|struct|union)\s+(?:\[\[[^\]]*\]\]\s*)?(\w+)\s*(?:final\s*)?[{:](?!:)')
# One only named: a forward declaration or an elaborated type.
NAMED = re.compile(r'\b(?:class|struct|union)\s+(\w+)\s*[;*&,)>]')
# Files that are compiled, not included.
BODIES = ('.c', '.cc', '.cpp', '.cxx', '.rc')
# Files of these kinds are never C or C++, whatever they hold.
NOT_C = ('.py', '.sh', '.txt', '.md', '.cmake', '.run', '.png', '.bmp', '.wav', '.ico', '.pcm', '.bin')


def folder_of(rel):
    """The table row a file belongs to: src/platform/linux/x.cpp ->
    platform/linux, src/main/win32/x.cpp -> main, src/ui/pages/x.h -> ui,
    tools/rsc/x.cpp -> tools/rsc, tests/ui/x.h -> tests/ui, bench/x.cpp ->
    bench."""
    parts = rel.split('/')
    if parts[0] == 'src':
        if parts[1] == 'platform' and len(parts) > 3:
            return 'platform/' + parts[2]
        return parts[1] if len(parts) > 2 else 'src'
    if parts[0] in ('tools', 'tests') and len(parts) > 2:
        return parts[0] + '/' + parts[1]
    return parts[0]


def read_table(path):
    table, lines = {}, {}
    with open(path, encoding='utf-8') as f:
        rows = f.read().split('\n')
    for number, line in enumerate(rows, 1):
        words = line.split('#', 1)[0].split()
        if words:
            table[words[0]] = set(words[1:])
            lines[words[0]] = number
    return table, lines


def expand(table, row):
    """A row's folders, "*" being every folder of src/ but the row's own."""
    out = set()
    for f in table[row]:
        if f == '*':
            out |= {r for r in table if folder_is_src(r) and r != row}
        else:
            out.add(f)
    return out


def folder_is_src(row):
    return row.split('/')[0] not in ('tools', 'tests', 'bench')


def table_faults(table, lines):
    faults = []
    for row in table:
        for f in sorted(expand(table, row)):
            if f not in table:
                faults.append('src/layers.txt:%d: %s names %s, which has no row' % (lines[row], row, f))
    for row in sorted(table):
        path = circle_from(table, row)
        if path:
            faults.append('src/layers.txt:%d: %s can include itself round the circle %s'
                          % (lines[row], row, ' -> '.join(path)))
    return faults


def circle_from(table, start):
    """The shortest way from `start` back to itself through the rows, or None."""
    paths, seen = [[start]], {start}
    while paths:
        nxt = []
        for path in paths:
            for f in sorted(expand(table, path[-1])):
                if f == start:
                    return path + [start]
                if f in table and f not in seen:
                    seen.add(f)
                    nxt.append(path + [f])
        paths = nxt
    return None


def is_c_source(name, text):
    base = name[:-3] if name.endswith('.in') else name
    return not base.endswith(NOT_C) and '\0' not in text


def strip_code(text, texts=True):
    """The text with comments blanked, and string and character literals too
    unless `texts` is false; lines kept."""
    def blank(m):
        if not texts and m.group(0)[0] in '"\'':
            return m.group(0)
        return re.sub(r'[^\n]', ' ', m.group(0))
    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                  blank, text, flags=re.S)


def read_files(root):
    """Every C or C++ file of the roots, whatever its kind: path -> text."""
    files = {}
    for top in ROOTS:
        for dirpath, dirs, names in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(names):
                path = os.path.join(dirpath, name)
                try:
                    with open(path, encoding='utf-8') as f:
                        text = f.read()
                except (UnicodeDecodeError, OSError):
                    continue
                if is_c_source(name, text):
                    files[os.path.relpath(path, root).replace(os.sep, '/')] = text
    return files


def resolve(root, rel, target, search):
    """The project file an include names, relative to the root, or None for
    a file from outside (the system's and the libraries' headers)."""
    for base in [os.path.dirname(rel)] + search:
        path = os.path.normpath(os.path.join(base, target)).replace(os.sep, '/')
        if path.split('/')[0] in ROOTS and os.path.isfile(os.path.join(root, path)):
            return path
    return None


def file_cycles(graph):
    """Each include cycle between files, once, as the list of its files."""
    cycles, state, stack = [], {}, []

    def visit(f):
        state[f] = 1
        stack.append(f)
        for g in sorted(graph.get(f, ())):
            if state.get(g) == 1:
                cycles.append(stack[stack.index(g):] + [g])
            elif g not in state:
                visit(g)
        stack.pop()
        state[f] = 2

    sys.setrecursionlimit(10000)
    for f in sorted(graph):
        if f not in state:
            visit(f)
    return cycles


def main(root):
    table, lines = read_table(os.path.join(root, 'src', 'layers.txt'))
    faults = table_faults(table, lines)
    files = read_files(root)
    search = list(SEARCH) + sorted('tools/' + d for d in os.listdir(os.path.join(root, 'tools'))
                                   if os.path.isdir(os.path.join(root, 'tools', d)))
    defined = {}
    code = {rel: strip_code(text) for rel, text in files.items()}
    for rel, text in code.items():
        if rel.endswith(BODIES):
            continue  # what a source file defines is its own
        for m in DEFINED.finditer(text):
            defined.setdefault(m.group(1), set()).add(folder_of(rel))
    graph = {}
    for rel in sorted(files):
        own = folder_of(rel)
        allowed = expand(table, own) | {own} if own in table else None

        def check(number, target, what):
            if target == own:
                return
            if allowed is None:
                faults.append('%s:%d: folder %s is not in src/layers.txt (%s)' % (rel, number, own, what))
            elif target not in allowed:
                faults.append('%s:%d: %s may not include %s (%s)' % (rel, number, own, target, what))

        for number, line in enumerate(strip_code(files[rel], texts=False).split('\n'), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            path = resolve(root, rel, m.group(2), search)
            if path is None:
                continue
            graph.setdefault(rel, set()).add(path)
            check(number, folder_of(path), '%s%s%s' % (m.group(1), m.group(2), '>' if m.group(1) == '<' else '"'))
        for number, line in enumerate(code[rel].split('\n'), 1):
            for m in NAMED.finditer(line):
                homes = defined.get(m.group(1), set())
                if homes and own not in homes and (allowed is None or not homes & allowed):
                    check(number, sorted(homes)[0], 'names %s' % m.group(1))
    for cycle in file_cycles(graph):
        faults.append('%s: includes itself: %s' % (cycle[0], ' -> '.join(cycle)))
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
