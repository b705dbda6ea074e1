#!/usr/bin/env python3
"""Holds the include order of src/layers.txt: every #include "..." of src/
must name a file of its own folder or of a folder the table lets it include.
Prints each offending file and line and exits 1; exits 0 when all hold."""
import os
import re
import sys


def folder_of(path):
    """platform/linux/x.cpp -> platform/linux; ui/pages/x.h -> ui."""
    parts = path.split('/')
    if parts[0] == 'platform' and len(parts) > 2:
        return parts[0] + '/' + parts[1]
    return parts[0]


def read_table(path):
    table = {}
    for line in open(path, encoding='utf-8'):
        words = line.split('#', 1)[0].split()
        if words:
            table[words[0]] = set(words[1:])
    return table


def circles(table):
    """Folders that can reach themselves through the table."""
    found = []
    for start in table:
        seen, todo = set(), [t for t in table[start] if t != '*']
        while todo:
            f = todo.pop()
            if f == start:
                found.append(start)
                break
            if f in seen or f not in table:
                continue
            seen.add(f)
            todo.extend(t for t in table[f] if t != '*')
    return found


def main(root):
    src = os.path.join(root, 'src')
    table = read_table(os.path.join(src, 'layers.txt'))
    faults = ['src/layers.txt: %s can include itself round a circle' % f for f in circles(table)]
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    for dirpath, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith(('.cpp', '.h')):
                continue
            rel = os.path.relpath(os.path.join(dirpath, name), src).replace(os.sep, '/')
            own = folder_of(rel)
            allowed = table.get(own)
            for number, line in enumerate(open(os.path.join(dirpath, name), encoding='utf-8'), 1):
                m = include.match(line)
                if not m:
                    continue
                target = folder_of(m.group(1))
                if allowed is None:
                    faults.append('src/%s:%d: folder %s is not in src/layers.txt' % (rel, number, own))
                    break
                if target != own and target not in allowed and '*' not in allowed:
                    faults.append('src/%s:%d: %s may not include %s ("%s")'
                                  % (rel, number, own, target, m.group(1)))
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
