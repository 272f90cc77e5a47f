"""The picture library's contact sheet: every picture of every chapter drawn small, with
its name, its size and its grade, on one PNG.

Usage: python3 tools/assetgen/library_sheet.py TOMBWEAVER_SOLVE [assets folder] [output PNG]
(defaults: assets, docs/sheets/library.png). The grades come from the puzzle tool.
"""

import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from pixel import Image, rgb  # noqa: E402
import fonts  # noqa: E402

PAPER = rgb(0x1B1A2E)
TILE = rgb(0xDDDECB)
INK = rgb(0x2A2438)
TEXT = rgb(0xFFFFFF)
DIM = rgb(0xB8B8C8)
HEADING = rgb(0xFFFF00)

BOX = 120          # the pictures' square, in pixels
COLUMN = 150       # a tile's width with its gap
ROW = BOX + 36     # a tile's height with its two lines of text
PER_ROW = 10


def read_chapter(path):
    """(chapter name, [(picture name, rows)]) of one chapter file."""
    chapter, pictures, rows = None, [], None
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if line and set(line) <= {"#", "."}:
            rows.append(line)
        elif not line:
            rows = None
        elif line.startswith("#"):
            continue
        elif line.startswith("chapter:"):
            chapter = line[len("chapter:"):].strip()
        elif line.startswith("picture:"):
            rows = []
            pictures.append((line[len("picture:"):].strip(), rows))
    return chapter, pictures


def runs(cells):
    return ",".join(str(len(r)) for r in cells.split(".") if r) or "0"


def grade(solve, rows):
    """The puzzle tool's grade of a picture's clues: "easy", "medium", "hard" or "search"."""
    columns = ["".join(r[x] for r in rows) for x in range(len(rows[0]))]
    text = "width %d\nheight %d\nrows\n%s\ncolumns\n%s\n" % (
        len(rows[0]), len(rows), "\n".join(map(runs, rows)), "\n".join(map(runs, columns)))
    with tempfile.NamedTemporaryFile("w", suffix=".non", delete=False) as f:
        f.write(text)
    try:
        out = subprocess.run([solve, f.name], capture_output=True, text=True).stdout
    finally:
        os.unlink(f.name)
    found = re.search(r"grade: (\w+)", out)
    return found.group(1) if found else "?"


def text(img, x, y, s, colour):
    for ch in s:
        code = ord(ch)
        if 33 <= code <= 126:
            for yy, r in enumerate(fonts.GLYPHS[ch]):
                for xx, c in enumerate(r):
                    if c == "#":
                        img.set(x + xx, y + yy, colour)
        x += fonts.game_advance(ch)
    return x


def width(s):
    return sum(fonts.game_advance(ch) for ch in s)


def main():
    solve = sys.argv[1]
    assets = sys.argv[2] if len(sys.argv) > 2 else "assets"
    out = sys.argv[3] if len(sys.argv) > 3 else "docs/sheets/library.png"
    folder = os.path.join(assets, "library")
    chapters = [read_chapter(os.path.join(folder, f)) for f in sorted(os.listdir(folder)) if f.endswith(".txt")]
    height = 8
    for _, pictures in chapters:
        height += 24 + ROW * ((len(pictures) + PER_ROW - 1) // PER_ROW)
    img = Image(COLUMN * PER_ROW + 8, height, PAPER)
    y = 8
    for number, (chapter, pictures) in enumerate(chapters, 1):
        text(img, 8, y + 4, "%d. %s (%d pictures)" % (number, chapter, len(pictures)), HEADING)
        y += 24
        for i, (name, rows) in enumerate(pictures):
            x0, y0 = 8 + (i % PER_ROW) * COLUMN, y + (i // PER_ROW) * ROW
            w, h = len(rows[0]), len(rows)
            cell = max(1, BOX // max(w, h))
            img.rect(x0, y0, BOX + 8, BOX + 8, TILE)
            left, top = x0 + 4 + (BOX - cell * w) // 2, y0 + 4 + (BOX - cell * h) // 2
            for r, line in enumerate(rows):
                for c, ch in enumerate(line):
                    if ch == "#":
                        img.rect(left + c * cell, top + r * cell, cell, cell, INK)
            text(img, x0, y0 + BOX + 12, name if width(name) <= COLUMN - 6 else name[:20] + ".", TEXT)
            text(img, x0, y0 + BOX + 23, "%dx%d %s" % (w, h, grade(solve, rows)), DIM)
        y += ROW * ((len(pictures) + PER_ROW - 1) // PER_ROW)
    img.save(out)
    print("%s: %d chapters, %d pictures" % (out, len(chapters), sum(len(p) for _, p in chapters)))


if __name__ == "__main__":
    main()
