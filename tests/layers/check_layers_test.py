#!/usr/bin/env python3
"""The layer check against faults put into a copy of the tree: each must
make it fail, naming the fault; the tree as it is must pass."""
import contextlib
import io
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402

SOURCE = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else '.')


class LayerCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.pristine = os.path.join(cls.tmp, 'pristine')
        skip = shutil.ignore_patterns('*.png', '*.bmp', '*.wav', '*.bin', '*.pcm', '*.out', 'regressions')
        for top in check_layers.ROOTS:
            shutil.copytree(os.path.join(SOURCE, top), os.path.join(cls.pristine, top), ignore=skip)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def setUp(self):
        self.root = os.path.join(self.tmp, self.id().rsplit('.', 1)[1])
        shutil.copytree(self.pristine, self.root)

    def tearDown(self):
        shutil.rmtree(self.root)

    def add(self, rel, text):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'a', encoding='utf-8') as f:
            f.write(text)

    def replace(self, rel, old, new):
        path = os.path.join(self.root, rel)
        text = open(path, encoding='utf-8').read()
        self.assertIn(old, text)
        with open(path, 'w', encoding='utf-8') as f:
            f.write(text.replace(old, new, 1))

    def check(self):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_layers.main(self.root)
        return status, out.getvalue()

    def fails(self, *expected):
        status, out = self.check()
        self.assertEqual(status, 1, out)
        for e in expected:
            self.assertIn(e, out)

    def test_tree_as_it_is_passes(self):
        self.assertEqual(self.check(), (0, ''))

    def test_include_forms_from_a_lower_layer(self):
        self.add('src/ui/pages.h', '#include <net/net.h>\n')
        self.fails('src/ui/pages.h:', 'ui may not include net (<net/net.h>)')

    def test_relative_include(self):
        self.add('src/storage/text.h', '#include "../ui/pages.h"\n')
        self.fails('storage may not include ui ("../ui/pages.h")')

    def test_backend_includes_upward(self):
        self.add('src/platform/linux/posix_files.cpp', '#include "shell/assistant.h"\n')
        self.fails('platform/linux may not include shell')
        self.replace('src/platform/linux/posix_files.cpp', '#include "shell/assistant.h"\n', '')
        self.add('src/platform/win32/win32_files.cpp', '#include "ui/pages.h"\n')
        self.fails('platform/win32 may not include ui')

    def test_tools_and_tests_against_their_rows(self):
        self.add('tools/fontgen/fontgen.cpp', '#include "shell/shell.h"\n')
        self.fails('tools/fontgen may not include shell')
        self.replace('tools/fontgen/fontgen.cpp', '#include "shell/shell.h"\n', '')
        self.add('tests/storage/text_test.cpp', '#include "ui/pages.h"\n')
        self.fails('tests/storage may not include ui')
        self.replace('tests/storage/text_test.cpp', '#include "ui/pages.h"\n', '')
        self.add('tools/newtool/main.cpp', '#include "storage/text.h"\n')
        self.fails('folder tools/newtool is not in src/layers.txt')

    def test_every_file_kind(self):
        for kind in ('inc', 'hpp', 'cc'):
            self.add('src/storage/extra.' + kind, '#include "net/net.h"\n')
            self.fails('src/storage/extra.%s:1: storage may not include net' % kind)
            os.remove(os.path.join(self.root, 'src/storage/extra.' + kind))

    def test_circles_in_the_table(self):
        self.replace('src/layers.txt', '\nplatform\n', '\nplatform          ui\n')
        self.fails('platform can include itself round the circle platform -> ui -> platform')
        self.replace('src/layers.txt', '\nplatform          ui\n', '\nplatform\n')
        # Through the top's "*".
        self.replace('src/layers.txt', 'storage           platform', 'storage           platform main')
        self.fails('storage can include itself round the circle storage -> main -> storage')

    def test_file_level_cycle(self):
        self.add('src/storage/cycle_a.h', '#pragma once\n#include "storage/cycle_b.h"\n')
        self.add('src/storage/cycle_b.h', '#pragma once\n#include "cycle_a.h"\n')
        self.fails('includes itself: src/storage/cycle_a.h -> src/storage/cycle_b.h -> src/storage/cycle_a.h')

    def test_names_of_a_higher_layer(self):
        self.replace('src/ui/pages.h', 'namespace trelvan {\n', 'namespace trelvan {\nstruct Assistant;\n')
        self.fails('src/ui/pages.h:', 'ui may not include shell (names Assistant)')
        self.replace('src/ui/pages.h', 'struct Assistant;\n', 'void Open(class Assistant* a);\n')
        self.fails('ui may not include shell (names Assistant)')

    def test_comments_and_texts_name_nothing(self):
        self.add('src/ui/pages.h', '// struct Assistant; and #include "net/net.h" in words\n'
                                   'constexpr char kText[] = "struct Assistant;";\n')
        self.assertEqual(self.check(), (0, ''))


if __name__ == '__main__':
    unittest.main()
