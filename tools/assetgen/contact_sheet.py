"""Review pictures of every sprite sheet: cells pulled apart and enlarged, plus mock-ups of
how the game draws them (button labels, board clues, splash logos).

Usage: python3 tools/assetgen/contact_sheet.py [assets folder] [output folder]
"""

import os
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from pixel import Image, read_png, rgb  # noqa: E402
import fonts  # noqa: E402

CHECK_A = rgb(0x3A3A3A)
CHECK_B = rgb(0x505050)

# sheet file, cell width, cell height, enlargement
SHEETS = [
    ("ui_gfx/retro_font.png", 8, 8, 6),
    ("ui_gfx/c64_font.png", 8, 8, 6),
    ("ui_gfx/ui_window.png", 8, 8, 8),
    ("ui_gfx/ui_dynamic_button.png", 8, 8, 8),
    ("ui_gfx/map_button.png", 32, 32, 6),
    ("ui_gfx/logo_head.png", 64, 64, 5),
    ("ui_gfx/logo_words.png", 256, 64, 3),
    ("game/nonoblocks.png", 32, 32, 5),
]


def checker(w, h, size=8):
    img = Image(w, h)
    for y in range(h):
        for x in range(w):
            img.px[y * w + x] = CHECK_A if ((x // size) + (y // size)) & 1 else CHECK_B
    return img


def sheet_contact(src, cw, ch, k, gap=6):
    cols, rows = src.w // cw, src.h // ch
    w = cols * (cw * k + gap) + gap
    h = rows * (ch * k + gap) + gap
    out = checker(w, h)
    for r in range(rows):
        for c in range(cols):
            cell = src.crop(c * cw, r * ch, cw, ch).scaled(k)
            out.paste(cell, gap + c * (cw * k + gap), gap + r * (ch * k + gap))
    return out


class MockScreen:
    """Draws sprites and text the way the game does, for review."""

    def __init__(self, w, h, fill):
        self.img = Image(w, h, fill)

    def sprite(self, sheet, sx, sy, sw, sh, x, y, scale):
        for yy in range(sh):
            for xx in range(sw):
                c = sheet.get(sx + xx, sy + yy)
                if c[3] >= 128:
                    self.img.rect(x + xx * scale, y + yy * scale, scale, scale, c)

    def char(self, font, x, y, ch, colour, scale):
        code = ord(ch)
        if code > 32:
            k = code - 33
            sx, sy = (k % 16) * 8, (k // 16) * 8
            for yy in range(8):
                for xx in range(8):
                    if font.get(sx + xx, sy + yy)[3] >= 128:
                        self.img.rect(x + xx * scale, y + yy * scale, scale, scale, colour)
        return fonts.game_advance(ch) * scale if code >= 32 else 0

    def text(self, font, x, y, s, colour, scale):
        for ch in s:
            x += self.char(font, x, y, ch, colour, scale)
        return x

    @staticmethod
    def strlen(s, scale):
        return sum(fonts.game_advance(ch) for ch in s) * scale


def button_mock(assets):
    font = read_png(os.path.join(assets, "ui_gfx/retro_font.png"))
    tiles = read_png(os.path.join(assets, "ui_gfx/ui_dynamic_button.png"))
    scr = MockScreen(560, 300, rgb(0x1B1A2E))
    labels = [("Play", 0, rgb(0xFFFFFF)), ("Continue", 1, rgb(0xFFFF00)),
              ("New game", 2, rgb(0xFFFF00)), ("Back", 3, rgb(0x000000))]
    for i, (label, state, colour) in enumerate(labels):
        x1, y1 = 16 + (i % 2) * 272, 16 + (i // 2) * 72
        scale, ss = 2, 16
        x2 = x1 + 14 * ss
        for row in range(3):
            b = 9 * state + 3 * row
            y = y1 + row * ss
            scr.sprite(tiles, (b % 9) * 8, (b // 9) * 8, 8, 8, x1, y, scale)
            x = x1 + ss
            while x < x2 - ss:
                scr.sprite(tiles, ((b + 1) % 9) * 8, ((b + 1) // 9) * 8, 8, 8, x, y, scale)
                x += ss
            scr.sprite(tiles, ((b + 2) % 9) * 8, ((b + 2) // 9) * 8, 8, 8, x, y, scale)
        t = MockScreen.strlen(label, 1)
        lx = x1 + (((x2 - x1) - t * scale) >> 1)
        ly = y1 + 8 * scale
        if state == 2:
            lx -= 2 * scale
            ly += 2 * scale
        scr.text(font, lx, ly, label, colour, scale)
    # Font samples at scales 1 to 3 on dark and light grounds.
    y = 170
    for scale in (1, 2, 3):
        scr.text(font, 16, y, "Tombweaver 0123456789 Quick jpgy!", rgb(0xFFFFFF), scale)
        y += 10 * scale + 4
    scr.img.rect(0, y, 560, 300 - y, rgb(0xE7E0C3))
    scr.text(font, 16, y + 4, "Fantastic! You've captured the monster.", rgb(0x201D3F), 1)
    scr.text(font, 16, y + 16, "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz", rgb(0x201D3F), 1)
    return scr.img


def board_mock(assets):
    font = read_png(os.path.join(assets, "ui_gfx/retro_font.png"))
    blocks = read_png(os.path.join(assets, "game/nonoblocks.png"))
    scr = MockScreen(420, 420, rgb(0xD5D8C3))
    n, left, top = 8, 10, 10
    band = 4 * 20
    gx, gy = left + band, top + band
    hover_r, hover_c = 2, 5

    def tile(i, x, y):
        scr.sprite(blocks, i * 32, 0, 32, 32, x, y, 1)

    for r in range(n):
        y = gy + 32 * r
        t = 5 if r == hover_r else (2 if r % 2 == 0 else 4)
        x = left - 32
        while x < gx:
            tile(t, x, y)
            x += 32
        clues = [3, 1, 2] if r % 3 else [8]
        for i, v in enumerate(clues):
            cx = gx - 20 * len(clues) + 20 * i
            scr.char(font, cx + 1, y + 7, chr(48 + v), rgb(0), 2)
            scr.char(font, cx, y + 6, chr(48 + v), rgb(0xFFFFFF), 2)
    for c in range(n):
        x = gx + 32 * c
        t = 5 if c == hover_c else (2 if c % 2 == 0 else 4)
        y = top - 32
        while y < gy:
            tile(t, x, y)
            y += 32
        clues = [1, 4] if c % 2 else [2, 2, 1]
        for i, v in enumerate(clues):
            cy = gy - 20 * len(clues) + 20 * i
            scr.char(font, x + 8, cy + 1, chr(48 + v), rgb(0), 2)
            scr.char(font, x + 7, cy, chr(48 + v), rgb(0xFFFFFF), 2)
    for r in range(n):
        for c in range(n):
            x, y = gx + 32 * c, gy + 32 * r
            tile(((r + c) & 1) + 2, x, y)
            if (r * 3 + c) % 5 == 0:
                tile(0, x, y)
            elif (r + 2 * c) % 7 == 0:
                tile(1, x, y)
    img = scr.img
    for i in range(n):
        img.hline(gx, gx + 32 * n, gy + 32 * i, rgb(0x808080))
        img.vline(gx + 32 * i, gy, gy + 32 * n, rgb(0x808080))
    img.hline(gx, gx + 32 * n, gy + 160, rgb(0xFFFF00))
    img.vline(gx + 160, gy, gy + 32 * n, rgb(0xFFFF00))
    for d in (0, 1):
        img.frame(gx - d, gy - d, 32 * n + 1 + 2 * d, 32 * n + 1 + 2 * d, rgb(0))
    hx, hy = gx + 32 * hover_c, gy + 32 * hover_r
    img.frame(hx, hy, 33, 33, rgb(0x00FF00))
    return img


def splash_mock(assets):
    head = read_png(os.path.join(assets, "ui_gfx/logo_head.png"))
    words = read_png(os.path.join(assets, "ui_gfx/logo_words.png"))
    scr = MockScreen(1280, 720, rgb(0xE7E0C3))
    scr.sprite(head, 0, 0, 64, 64, (1280 - 320) // 2, (360 - 320) // 2, 5)
    scr.sprite(words, 0, 0, 256, 64, (1280 - 768) // 2, (360 - 192) // 2 + 360, 3)
    return scr.img


def window_mock(assets):
    font = read_png(os.path.join(assets, "ui_gfx/retro_font.png"))
    win = read_png(os.path.join(assets, "ui_gfx/ui_window.png"))
    scale = 2
    ss = 8 * scale
    W, H = 14, 9
    scr = MockScreen(W * ss + 32, H * ss + 32, rgb(0x33624A))
    x1, y1 = 16, 16

    def piece(f, c, r):
        scr.sprite(win, f * 8, 0, 8, 8, x1 + c * ss, y1 + r * ss, scale)

    piece(0, 0, 0)
    piece(5, 0, 1)
    for c in range(1, W - 3):
        piece(1, c, 0)
        piece(6, c, 1)
    piece(2, W - 3, 0)
    piece(7, W - 3, 1)
    for r, (a, b, m) in ((2, (0, 2, 1)), (H - 1, (5, 7, 6))):
        piece(a, 0, r)
        for c in range(1, W - 1):
            piece(m, c, r)
        piece(b, W - 1, r)
    for r in range(3, H - 1):
        piece(3, 0, r)
        piece(4, W - 1, r)
    scr.img.rect(x1 + ss, y1 + 3 * ss, (W - 2) * ss, (H - 4) * ss, rgb(0))
    cap = "Options"
    t = MockScreen.strlen(cap, scale)
    scr.text(font, x1 + ss + ((W * ss - 4 * ss) - t) // 2, y1 + 4 * scale, cap, rgb(0xFFFFFF), scale)
    scr.sprite(win, 0, 8, 16, 16, x1 + (W - 2) * ss, y1, scale)
    return scr.img


def main():
    root = os.path.dirname(os.path.dirname(HERE))
    assets = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets")
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "build-dev", "contact")
    os.makedirs(out, exist_ok=True)
    for name, cw, ch, k in SHEETS:
        path = os.path.join(assets, name)
        if not os.path.exists(path):
            continue
        img = sheet_contact(read_png(path), cw, ch, k)
        img.save(os.path.join(out, "sheet_" + os.path.basename(name)))
    try:
        button_mock(assets).save(os.path.join(out, "mock_buttons.png"))
        board_mock(assets).save(os.path.join(out, "mock_board.png"))
        splash_mock(assets).save(os.path.join(out, "mock_splash.png"))
        window_mock(assets).save(os.path.join(out, "mock_window.png"))
    except FileNotFoundError as e:
        print("mock skipped:", e)
    print("contact sheets in", out)


if __name__ == "__main__":
    main()
