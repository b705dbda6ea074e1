#!/usr/bin/env python3
"""The layer check against faults put into a copy of the tree: each must
make it fail, naming the fault; the tree as it is, and words in comments
and texts, must pass."""
import contextlib
import io
import os
import pathlib
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
import check_layers  # noqa: E402

SOURCE = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else '.')
TABLE = 'src/layers.txt'

# Each fault: the edits that make it (file, text replaced or '' to append,
# new text) and what the check must print.
FAULTS = [
    ('an include in angle brackets', [('src/ui/pages.h', '', '#include <net/net.h>\n')],
     ['src/ui/pages.h:', 'ui may not include net (<net/net.h>)']),
    ('a relative include', [('src/storage/text.h', '', '#include "../ui/pages.h"\n')],
     ['storage may not include ui ("../ui/pages.h")']),
    ('a Linux backend', [('src/platform/linux/posix_files.cpp', '', '#include "shell/assistant.h"\n')],
     ['platform/linux may not include shell']),
    ('a Windows backend', [('src/platform/win32/win32_files.cpp', '', '#include "ui/pages.h"\n')],
     ['platform/win32 may not include ui']),
    ('a tool', [('tools/fontgen/fontgen.cpp', '', '#include "shell/shell.h"\n')],
     ['tools/fontgen may not include shell']),
    ('a test', [('tests/storage/text_test.cpp', '', '#include "ui/pages.h"\n')],
     ['tests/storage may not include ui']),
    ('a tool without a row', [('tools/newtool/main.cpp', '', '#include "storage/text.h"\n')],
     ['folder tools/newtool is not in src/layers.txt']),
    ('a circle in the table', [(TABLE, '\nplatform\n', '\nplatform          ui\n')],
     ['platform can include itself round the circle platform -> ui -> platform']),
    ('a circle through the top', [(TABLE, 'storage           platform', 'storage           platform main')],
     ['storage can include itself round the circle storage -> main -> storage']),
    ('a file-level cycle', [('src/storage/cycle_a.h', '', '#pragma once\n#include "storage/cycle_b.h"\n'),
                            ('src/storage/cycle_b.h', '', '#pragma once\n#include "cycle_a.h"\n')],
     ['includes itself: src/storage/cycle_a.h -> src/storage/cycle_b.h -> src/storage/cycle_a.h']),
    ('a forward declaration', [('src/ui/pages.h', 'namespace trelvan {\n', 'namespace trelvan {\nstruct Assistant;\n')],
     ['src/ui/pages.h:', 'ui may not include shell (names Assistant)']),
    ('an elaborated type', [('src/ui/pages.h', 'namespace trelvan {\n',
                             'namespace trelvan {\nvoid Open(class Assistant* a);\n')],
     ['ui may not include shell (names Assistant)']),
    ('words only', [('src/ui/pages.h', '', '// struct Assistant; and #include "net/net.h" in words\n'
                                          'constexpr char kText[] = "struct Assistant;";\n')], []),
] + [('a .%s file' % kind, [('src/storage/extra.' + kind, '', '#include "net/net.h"\n')],
      ['src/storage/extra.%s:1: storage may not include net' % kind]) for kind in ('inc', 'hpp', 'cc')]


class LayerCheck(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.root = os.path.join(self.tmp, 'tree')
        skip = shutil.ignore_patterns('*.png', '*.bmp', '*.wav', '*.bin', '*.pcm', '*.out', 'regressions')
        for top in check_layers.ROOTS:
            shutil.copytree(os.path.join(SOURCE, top), os.path.join(self.root, top), ignore=skip)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def check(self):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_layers.main(self.root)
        return status, out.getvalue()

    def edit(self, rel, old, new):
        """Makes one edit; returns what undoes it."""
        path = pathlib.Path(self.root, rel)
        if not path.exists():
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(new, encoding='utf-8')
            return lambda: (path.unlink(), any(path.parent.iterdir()) or path.parent.rmdir())
        before = path.read_text(encoding='utf-8')
        self.assertIn(old, before)
        path.write_text(before.replace(old, new, 1) if old else before + new, encoding='utf-8')
        return lambda: path.write_text(before, encoding='utf-8')

    def test_each_fault_fails_and_the_tree_passes(self):
        self.assertEqual(self.check(), (0, ''))
        for what, edits, expected in FAULTS:
            with self.subTest(what):
                undo = [self.edit(*e) for e in edits]
                try:
                    status, out = self.check()
                    self.assertEqual(status, 1 if expected else 0, out)
                    for e in expected:
                        self.assertIn(e, out)
                finally:
                    for u in undo:
                        u()
        self.assertEqual(self.check(), (0, ''))


if __name__ == '__main__':
    unittest.main()
