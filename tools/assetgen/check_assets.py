"""Checks the data set in assets/ against what the game relies on: sheet sizes, glyph widths
within the font tables, ink colours, sound formats, lengths, levels and seamless loops.

Usage: python3 tools/assetgen/check_assets.py   (exit code 1 when something is wrong)
"""

import os
import struct
import sys
import wave

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from pixel import read_png  # noqa: E402
import fonts  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
ASSETS = os.path.join(ROOT, "assets")

SIZES = {
    "ui_gfx/retro_font.png": (128, 96), "ui_gfx/c64_font.png": (128, 64),
    "ui_gfx/ui_window.png": (64, 24), "ui_gfx/ui_dynamic_button.png": (72, 32),
    "ui_gfx/map_button.png": (128, 32), "ui_gfx/logo_head.png": (64, 64),
    "ui_gfx/logo_words.png": (256, 64), "game/nonoblocks.png": (192, 32),
    "game/start_screen.png": (1280, 720), "game/map.png": (1280, 720),
}
SIZES.update({"icons/%d.png" % n: (n, n) for n in (16, 24, 32, 48, 64, 128, 256)})

# name: (min seconds, max seconds, loops)
SOUNDS = {
    "intro": (2.0, 4.0, False), "click": (0.02, 0.5, False), "game_click_1": (0.02, 0.5, False),
    "game_click_2": (0.02, 0.5, False), "game_pave": (0.02, 0.5, False),
    "gamejam_title": (30.0, 120.0, True), "gamejam_final": (30.0, 120.0, True),
}

PEAK_LIMIT = 10 ** (-1.0 / 20.0)   # -1 dBFS

problems = []


def fail(msg):
    problems.append(msg)


def cell_ink(img, k, advance_of, ch):
    x0, y0 = (k % 16) * 8, (k // 16) * 8
    cols = set()
    colours = set()
    for y in range(8):
        for x in range(8):
            c = img.get(x0 + x, y0 + y)
            if c[3] >= 128:
                cols.add(x)
                colours.add(c[:3])
            elif c[3] != 0:
                fail("%r: half-transparent pixel" % ch)
    if not cols:
        fail("%r: no ink" % ch)
        return colours
    if min(cols) != 0:
        fail("%r: ink does not start at the left column" % ch)
    if max(cols) + 1 > advance_of(ch) - 1:
        fail("%r: ink %d wide, advance %d" % (ch, max(cols) + 1, advance_of(ch)))
    return colours


def check_sheets():
    for rel, (w, h) in SIZES.items():
        img = read_png(os.path.join(ASSETS, rel))
        if (img.w, img.h) != (w, h):
            fail("%s is %dx%d, not %dx%d" % (rel, img.w, img.h, w, h))
    retro = read_png(os.path.join(ASSETS, "ui_gfx/retro_font.png"))
    inks = set()
    for k in range(94):
        inks |= cell_ink(retro, k, fonts.game_advance, chr(33 + k))
    for i, ch in enumerate(fonts.LATIN1[1:]):  # the no-break space has no ink
        inks |= cell_ink(retro, 95 + i, fonts.game_advance, ch)
    if len(inks) != 1:
        fail("retro_font has %d ink colours" % len(inks))
    overlay = read_png(os.path.join(ASSETS, "ui_gfx/c64_font.png"))
    inks = set()
    for k in range(94):
        inks |= cell_ink(overlay, k, fonts.overlay_advance, chr(33 + k))
    if inks != {(255, 255, 255)}:
        fail("c64_font ink is not pure white")
    for rel in ("game/start_screen.png", "game/map.png"):
        img = read_png(os.path.join(ASSETS, rel))
        if any(c[3] < 255 for c in img.px):
            fail(rel + " has transparent pixels")


def read_wav(path):
    with wave.open(path, "rb") as w:
        params = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        data = w.readframes(w.getnframes())
    n = len(data) // 2
    return params, [v / 32768.0 for v in struct.unpack("<%dh" % n, data)]


def check_sounds():
    total = 0
    for name, (lo, hi, loops) in SOUNDS.items():
        path = os.path.join(ASSETS, "audio", name + ".wav")
        (ch, width, rate), s = read_wav(path)
        total += os.path.getsize(path)
        if (ch, width, rate) != (1, 2, 44100):
            fail("%s: %d ch, %d bytes, %d Hz" % (name, ch, width, rate))
        secs = len(s) / float(rate)
        if not lo <= secs <= hi:
            fail("%s lasts %.2f s" % (name, secs))
        p = max(abs(v) for v in s)
        if p > PEAK_LIMIT:
            fail("%s peaks at %.3f" % (name, p))
        steps = sorted(abs(s[i + 1] - s[i]) for i in range(len(s) - 1))
        typical = steps[int(len(steps) * 0.99)]
        if loops:
            if abs(s[0] - s[-1]) > typical:
                fail("%s: loop join jumps %.3f" % (name, abs(s[0] - s[-1])))
        else:
            if abs(s[0]) > 0.01 or abs(s[-1]) > 0.01:
                fail("%s starts or ends away from silence" % name)
        print("%-14s %6.2f s  peak %.3f (%.1f dBFS)" % (name, secs, p, 20 * __import__("math").log10(p)))
    print("audio total %.1f MB" % (total / 1e6))


def main():
    check_sheets()
    check_sounds()
    for p in problems:
        print("PROBLEM:", p)
    print("ok" if not problems else "%d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
