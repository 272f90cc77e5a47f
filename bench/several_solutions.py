#!/usr/bin/env python3
"""Writes a 30x30 .non puzzle whose clues allow several pictures and whose analysis of
wrong marks takes the solver minutes: a field of random cells (a fixed seed, 45 % filled).
For measuring the board with such a puzzle open:

    python3 bench/several_solutions.py /tmp/several.non
    BOARD=/tmp/several.non bench/idle_cpu.sh build-bench/bench/board_window
"""
import random
import sys


def runs(line):
    out, n = [], 0
    for filled in line:
        if filled:
            n += 1
        elif n:
            out.append(n)
            n = 0
    if n:
        out.append(n)
    return ",".join(map(str, out)) or "0"


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "several.non"
    size, density = 30, 0.45
    rng = random.Random(145)
    rows = [[rng.random() < density for _ in range(size)] for _ in range(size)]
    text = 'title "Random field"\nwidth %d\nheight %d\nrows\n' % (size, size)
    text += "\n".join(runs(r) for r in rows) + "\ncolumns\n"
    text += "\n".join(runs([rows[y][x] for y in range(size)]) for x in range(size)) + "\n"
    with open(path, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
