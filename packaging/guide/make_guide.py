#!/usr/bin/env python3
"""Renders the README's user's guide to one HTML page with its pictures.

    make_guide.py README.md OUT_FOLDER VERSION

Writes OUT_FOLDER/index.html and copies every picture it shows into
OUT_FOLDER/pictures/. It knows the Markdown the README uses: headings,
paragraphs, fenced code, bullet and numbered lists (with indented pictures
and paragraphs inside an item), tables, and inline code, bold, pictures and
links. A link into the source tree keeps only its text: the installed guide
has no source tree beside it. The part before the first heading (the
developer's two commands) is left out. Exits 1 when a picture is missing.
"""
import html
import os
import re
import shutil
import sys

INLINE = re.compile(r'`([^`]+)`|\*\*(.+?)\*\*|!\[([^\]]*)\]\(([^)]+)\)|\[([^\]]+)\]\(([^)]+)\)')


class Guide:
    def __init__(self, source_root, out):
        self.root, self.out, self.pictures, self.missing = source_root, out, [], []

    def picture(self, alt, path):
        name = os.path.basename(path)
        source = os.path.join(self.root, path)
        if not os.path.isfile(source):
            self.missing.append(path)
        elif name not in self.pictures:
            self.pictures.append(name)
            shutil.copyfile(source, os.path.join(self.out, 'pictures', name))
        return '<img src="pictures/%s" alt="%s">' % (html.escape(name), html.escape(alt))

    def inline(self, text):
        parts, at = [], 0
        for m in INLINE.finditer(text):
            parts.append(html.escape(text[at:m.start()], quote=False))
            code, bold, alt, src, label, href = m.groups()
            if code is not None:
                parts.append('<code>%s</code>' % html.escape(code, quote=False))
            elif bold is not None:
                parts.append('<strong>%s</strong>' % self.inline(bold))
            elif src is not None:
                parts.append(self.picture(alt, src))
            elif re.match(r'[a-z]+:', href):
                parts.append('<a href="%s">%s</a>' % (html.escape(href), self.inline(label)))
            else:
                parts.append(self.inline(label))
            at = m.end()
        parts.append(html.escape(text[at:], quote=False))
        return ''.join(parts)

    def blocks(self, lines):
        """The HTML of a run of lines (an item's inside or the whole page)."""
        out, i = [], 0
        while i < len(lines):
            line = lines[i]
            if not line.strip():
                i += 1
            elif line.startswith('```'):
                j = i + 1
                while j < len(lines) and not lines[j].startswith('```'):
                    j += 1
                out.append('<pre><code>%s</code></pre>' % html.escape('\n'.join(lines[i + 1:j]), quote=False))
                i = j + 1
            elif re.match(r'#{1,6} ', line):
                level = len(line) - len(line.lstrip('#'))
                text = line[level:].strip()
                anchor = re.sub(r'[^a-z0-9]+', '-', text.lower()).strip('-')
                out.append('<h%d id="%s">%s</h%d>' % (level, anchor, self.inline(text), level))
                i += 1
            elif line.startswith('|'):
                j = i
                while j < len(lines) and lines[j].startswith('|'):
                    j += 1
                out.append(self.table(lines[i:j]))
                i = j
            elif re.match(r'(- |\d+\. )', line):
                i = self.list(lines, i, out)
            else:
                j = i
                while j < len(lines) and lines[j].strip() and not re.match(r'(```|#{1,6} |\||- |\d+\. )', lines[j]):
                    j += 1
                out.append('<p>%s</p>' % self.inline(' '.join(l.strip() for l in lines[i:j])))
                i = j
        return '\n'.join(out)

    def list(self, lines, i, out):
        numbered = bool(re.match(r'\d+\. ', lines[i]))
        marker = r'\d+\. ' if numbered else r'- '
        items = []
        while i < len(lines) and re.match(marker, lines[i]):
            m = re.match(marker, lines[i])
            inside = [lines[i][m.end():]]
            i += 1
            # continuation lines are indented; a blank line ends the item
            # unless indented lines follow it
            while i < len(lines):
                if lines[i].startswith('  '):
                    inside.append(lines[i].strip())
                elif not lines[i].strip() and i + 1 < len(lines) and lines[i + 1].startswith('  '):
                    inside.append('')
                else:
                    break
                i += 1
            items.append(inside)
            while i < len(lines) and not lines[i].strip() and i + 1 < len(lines) and re.match(marker, lines[i + 1]):
                i += 1
        tag = 'ol' if numbered else 'ul'
        rendered = []
        for inside in items:
            body = self.blocks(inside)
            if '\n' not in body and body.startswith('<p>'):
                body = body[3:-4]  # a one-paragraph item needs no paragraph
            rendered.append('<li>%s</li>' % body)
        out.append('<%s>\n%s\n</%s>' % (tag, '\n'.join(rendered), tag))
        return i

    def table(self, rows):
        cells = [[c.strip() for c in r.strip().strip('|').split('|')] for r in rows]
        head, body = cells[0], [r for r in cells[2:]]
        parts = ['<table>', '<tr>%s</tr>' % ''.join('<th>%s</th>' % self.inline(c) for c in head)]
        parts += ['<tr>%s</tr>' % ''.join('<td>%s</td>' % self.inline(c) for c in r) for r in body]
        parts.append('</table>')
        return '\n'.join(parts)


STYLE = """body { font-family: sans-serif; max-width: 50em; margin: 0 auto; padding: 0 1em 3em;
       color: #1e2630; line-height: 1.45; }
h1 { background: #1e3c6e; color: white; padding: .4em .6em; border-bottom: 4px solid #e87c1e; }
h2, h3 { color: #1e3c6e; border-bottom: 1px solid #b6bfcc; }
img { display: block; margin: .6em 0; max-width: 100%; border: 1px solid #b6bfcc; }
code, pre { background: #eceff3; } pre { padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; } th, td { border: 1px solid #b6bfcc; padding: .2em .5em; }
th { background: #eceff3; text-align: left; }"""


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    readme, out, version = argv[1:]
    os.makedirs(os.path.join(out, 'pictures'), exist_ok=True)
    lines = open(readme, encoding='utf-8').read().splitlines()
    first = next(i for i, l in enumerate(lines) if l.startswith('# '))
    guide = Guide(os.path.dirname(os.path.abspath(readme)), out)
    body = guide.blocks(lines[first:])
    if guide.missing:
        sys.stderr.write('make_guide.py: no picture %s\n' % ', '.join(guide.missing))
        return 1
    page = ('<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
            '<title>Trelvan Assistant %s: user\'s guide</title>\n<style>\n%s\n</style>\n</head>\n'
            '<body>\n%s\n<p><small>Trelvan Assistant %s</small></p>\n</body>\n</html>\n'
            % (html.escape(version), STYLE, body, html.escape(version)))
    with open(os.path.join(out, 'index.html'), 'w', encoding='utf-8') as f:
        f.write(page)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
