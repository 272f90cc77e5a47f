#!/usr/bin/env python3
"""Writes simple placeholder art and sounds for every asset in assets/ that does not
exist yet (never overwrites a file). Shapes and tones only: the real art replaces them."""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = list(c)

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, c)

    def frame(self, x, y, w, h, c):
        for xx in range(x, x + w):
            self.set(xx, y, c)
            self.set(xx, y + h - 1, c)
        for yy in range(y, y + h):
            self.set(x, yy, c)
            self.set(x + w - 1, yy, c)

    def disc(self, cx, cy, r, c):
        for yy in range(int(cy - r), int(cy + r) + 1):
            for xx in range(int(cx - r), int(cx + r) + 1):
                if (xx - cx) ** 2 + (yy - cy) ** 2 <= r * r:
                    self.set(xx, yy, c)

    def png(self):
        raw = b"".join(b"\0" + bytes(v for p in self.px[y * self.w:(y + 1) * self.w] for v in p)
                       for y in range(self.h))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def glyph(c, x, y, code, ink):
    """A placeholder glyph: a box whose inside shows the character code's bits."""
    c.frame(x + 1, y, 6, 7, ink)
    for bit in range(8):
        if code >> bit & 1:
            c.set(x + 2 + bit % 4, y + 2 + bit // 4 * 2, ink)


def wav(seconds, notes, rate=22050, volume=0.35, decay=0.0):
    """16-bit mono: each (frequency, share of the length) in turn, with a short fade at both ends."""
    n = int(seconds * rate)
    out = bytearray()
    total = sum(s for _, s in notes)
    bounds, acc = [], 0.0
    for f, s in notes:
        acc += s / total
        bounds.append((acc * n, f))
    for i in range(n):
        f = next(freq for end, freq in bounds if i < end or end == bounds[-1][0])
        env = min(1.0, i / (0.005 * rate), (n - i) / (0.01 * rate))
        if decay:
            env *= math.exp(-decay * i / rate)
        v = int(32767 * volume * env * math.sin(2 * math.pi * f * i / rate))
        out += struct.pack("<h", v)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(out)) + b"WAVEfmt " + struct.pack("<I", 16) + fmt
            + b"data" + struct.pack("<I", len(out)) + bytes(out))


def retro_font():
    c = Canvas(128, 48)
    for i in range(94):
        glyph(c, i % 16 * 8, i // 16 * 8, 33 + i, (255, 255, 255, 255))
    return c.png()


def c64_font():
    c = Canvas(128, 64)
    for i in range(128):
        glyph(c, i % 16 * 8, i // 16 * 8, 33 + i, (255, 255, 255, 255))
    return c.png()


def ui_window():
    c = Canvas(64, 24)
    edge, fill = (90, 70, 50, 255), (200, 180, 140, 255)
    for i in range(8):
        c.rect(i * 8, 0, 8, 8, fill)
        c.frame(i * 8, 0, 8, 8, edge)
    for i, col in enumerate([(160, 40, 40, 255), (220, 70, 70, 255), (110, 20, 20, 255)]):
        c.disc(i * 16 + 7.5, 15.5, 7, col)
        for d in range(4, 12):
            c.set(i * 16 + d, 8 + d, (255, 255, 255, 255))
            c.set(i * 16 + 15 - d, 8 + d, (255, 255, 255, 255))
    return c.png()


def ui_dynamic_button():
    c = Canvas(72, 32)
    states = [(120, 90, 60, 255), (160, 120, 80, 255), (80, 60, 40, 255), (110, 110, 110, 255)]
    for row, col in enumerate(states):
        for piece in range(9):
            x, y = piece * 8, row * 8
            c.rect(x, y, 8, 8, col)
            px, py = piece % 3, piece // 3
            if py == 0:
                c.rect(x, y, 8, 1, (30, 20, 10, 255))
            if py == 2:
                c.rect(x, y + 7, 8, 1, (30, 20, 10, 255))
            if px == 0:
                c.rect(x, y, 1, 8, (30, 20, 10, 255))
            if px == 2:
                c.rect(x + 7, y, 1, 8, (30, 20, 10, 255))
    return c.png()


def map_button():
    c = Canvas(128, 32)
    for i, col in enumerate([(200, 60, 60, 255), (240, 120, 120, 255), (140, 30, 30, 255), (110, 110, 110, 255)]):
        c.disc(i * 32 + 15.5, 15.5, 14, (20, 20, 20, 255))
        c.disc(i * 32 + 15.5, 15.5, 12, col)
    return c.png()


def logo_head():
    c = Canvas(64, 64)
    c.disc(31.5, 28, 26, (230, 225, 210, 255))
    c.rect(18, 48, 28, 12, (230, 225, 210, 255))
    c.disc(21, 28, 7, (20, 20, 20, 255))
    c.disc(42, 28, 7, (20, 20, 20, 255))
    c.rect(22, 52, 4, 8, (20, 20, 20, 255))
    c.rect(30, 52, 4, 8, (20, 20, 20, 255))
    c.rect(38, 52, 4, 8, (20, 20, 20, 255))
    return c.png()


def logo_words():
    c = Canvas(256, 64)
    for i in range(10):  # ten letter blocks for the ten letters of the title
        x = 8 + i * 24
        c.rect(x, 16, 18, 32, (200, 170, 60, 255))
        c.frame(x, 16, 18, 32, (90, 60, 20, 255))
    return c.png()


def nonoblocks():
    c = Canvas(192, 32)
    c.rect(0, 0, 32, 32, (40, 40, 50, 255))           # 0 full
    c.rect(2, 2, 28, 28, (70, 60, 90, 255))
    c.rect(32, 0, 32, 32, (0, 0, 0, 0))               # 1 cross, on transparent
    for d in range(6, 26):
        for t in range(-1, 2):
            c.set(32 + d + t, d, (170, 30, 30, 255))
            c.set(32 + 31 - d + t, d, (170, 30, 30, 255))
    c.rect(64, 0, 32, 32, (225, 220, 200, 255))       # 2 even empty / strip
    c.rect(96, 0, 32, 32, (205, 200, 180, 255))       # 3 odd empty
    c.rect(128, 0, 32, 32, (150, 140, 120, 255))      # 4 odd strip
    c.rect(160, 0, 32, 32, (120, 170, 120, 255))      # 5 hovered strip
    return c.png()


def picture(top, bottom, shapes):
    c = Canvas(1280, 720)
    for y in range(720):
        t = y / 719
        col = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        c.rect(0, y, 1280, 1, col)
    for s in shapes:
        s(c)
    return c.png()


def start_screen():
    return picture((40, 30, 60), (10, 10, 20), [
        lambda c: c.rect(0, 560, 1280, 160, (25, 35, 25, 255)),
        lambda c: c.disc(1040, 140, 60, (230, 230, 200, 255)),
    ])


def map_picture():
    def paths(c):
        for i in range(5):
            c.rect(160 + i * 220, 120, 12, 480, (150, 120, 80, 255))
        for i in range(5):
            c.rect(160, 120 + i * 120, 892, 12, (150, 120, 80, 255))
    return picture((90, 140, 80), (60, 100, 55), [paths])


IMAGES = {
    "ui_gfx/retro_font.png": retro_font,
    "ui_gfx/c64_font.png": c64_font,
    "ui_gfx/ui_window.png": ui_window,
    "ui_gfx/ui_dynamic_button.png": ui_dynamic_button,
    "ui_gfx/map_button.png": map_button,
    "ui_gfx/logo_head.png": logo_head,
    "ui_gfx/logo_words.png": logo_words,
    "game/nonoblocks.png": nonoblocks,
    "game/start_screen.png": start_screen,
    "game/map.png": map_picture,
}
SOUNDS = {
    "audio/intro.wav": lambda: wav(1.0, [(330, 1), (440, 1), (660, 2)]),
    "audio/click.wav": lambda: wav(0.05, [(1200, 1)], decay=40),
    "audio/game_click_1.wav": lambda: wav(0.06, [(700, 1)], decay=30),
    "audio/game_click_2.wav": lambda: wav(0.06, [(950, 1)], decay=30),
    "audio/game_pave.wav": lambda: wav(0.08, [(400, 1), (300, 1)], decay=20),
    "audio/gamejam_title.wav": lambda: wav(1.5, [(262, 1), (330, 1), (392, 1), (330, 1)], volume=0.25),
    "audio/gamejam_final.wav": lambda: wav(1.5, [(220, 1), (262, 1), (330, 1), (262, 1)], volume=0.25),
}


def main():
    made = []
    for table in (IMAGES, SOUNDS):
        for rel, make in table.items():
            path = os.path.join(ROOT, rel)
            if os.path.exists(path):
                continue
            os.makedirs(os.path.dirname(path), exist_ok=True)
            data = make()
            with open(path, "xb") as f:
                f.write(data)
            made.append(rel)
    for rel in made:
        print(rel)
    return 0


if __name__ == "__main__":
    sys.exit(main())
