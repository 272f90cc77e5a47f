"""The small sprite sheets: window frame, text-button tiles, map markers, board tiles, logos."""

import math
import random

from pixel import Image, rgb, mix, CLEAR
from palette import (INK, NIGHT, MIST, MOON, STONE, GRASS, EARTH, GHOST, PURPLE, EMBER,
                     BLOOD, BONE)
import display_font

BLACK = rgb(0x000000)


def _ring_frame(size, layers_light, layers_dark, inner):
    """A size x size square framed by rings; ring d uses the light colours on the top/left
    sides and the dark colours on the bottom/right; the inside is `inner`."""
    img = Image(size, size, inner)
    n = len(layers_light)
    for y in range(size):
        for x in range(size):
            d = min(x, y, size - 1 - x, size - 1 - y)
            if d >= n:
                continue
            # Light from the top-left: top and left sides lit, split on the anti-diagonal.
            near_tl = min(x, y)
            near_br = min(size - 1 - x, size - 1 - y)
            lit = near_tl < near_br or (near_tl == near_br and x + y < size - 1)
            img.set(x, y, layers_light[d] if lit else layers_dark[d])
    return img


def make_ui_window(path):
    """64x24: eight 8x8 frame pieces in row 0, then the 16x16 close button in three states."""
    img = Image(64, 24)
    frame = _ring_frame(24, [STONE[0], STONE[4], STONE[3], STONE[1]],
                        [STONE[0], STONE[2], STONE[3], STONE[1]], BLACK)
    # Moon-gold studs in the corners.
    for cx, cy in ((1, 1), (21, 1), (1, 21), (21, 21)):
        frame.rect(cx, cy, 2, 2, MOON[2])
        frame.set(cx, cy, MOON[0])
    pieces = [(0, 0), (8, 0), (16, 0), (0, 8), (16, 8), (0, 16), (8, 16), (16, 16)]
    for i, (sx, sy) in enumerate(pieces):
        img.paste(frame, i * 8, 0, sx, sy, 8, 8, keep_clear=False)
    for state in range(3):
        btn = _close_button(state)
        img.paste(btn, state * 16, 8, keep_clear=False)
    img.save(path)
    return img


def _close_button(state):
    face = [BLOOD[1], BLOOD[2], BLOOD[0]][state]
    light = [BLOOD[2], EMBER[2], BLOOD[1]][state]
    dark = [BLOOD[0], BLOOD[1], NIGHT[0]][state]
    btn = _ring_frame(16, [STONE[0], STONE[4], STONE[2]], [STONE[0], STONE[2], STONE[2]], face)
    if state == 2:
        btn = _ring_frame(16, [STONE[0], STONE[2], STONE[1]], [STONE[0], STONE[3], STONE[2]], face)
    btn.hline(3, 12, 3, dark if state == 2 else light)
    btn.vline(3, 3, 12, dark if state == 2 else light)
    btn.hline(3, 12, 12, light if state == 2 else dark)
    btn.vline(12, 3, 12, light if state == 2 else dark)
    o = 1 if state == 2 else 0
    cross = BONE if state != 1 else MOON[0]
    for i in range(6):
        for x, y in ((5 + i + o, 5 + i + o), (10 - i + o, 5 + i + o)):
            btn.set(x, y + 1, NIGHT[0])
            btn.set(x, y, cross)
    return btn


BUTTON_STYLES = {
    # face, top light, bottom shade, outline, face highlight row
    "normal": (NIGHT[4], MIST[0], NIGHT[2], INK, NIGHT[5]),
    "hover": (PURPLE[1], MOON[1], PURPLE[0], MOON[3], PURPLE[2]),
    "pressed": (NIGHT[3], NIGHT[1], NIGHT[4], INK, NIGHT[3]),
    "disabled": (STONE[4], STONE[5], STONE[3], STONE[2], STONE[4]),
}


def _button_set(style):
    """One 24x24 button (3x3 tiles of 8) whose middle row and column repeat seamlessly."""
    face, light, shade, outline, glow = BUTTON_STYLES[style]
    img = Image(24, 24, face)
    pressed = style == "pressed"
    for y in range(24):
        for x in range(24):
            edge = x == 0 or y == 0 or x == 23 or y == 23
            if edge:
                # Round the outline's corners by one pixel.
                corner = (x in (0, 23)) and (y in (0, 23))
                img.set(x, y, CLEAR if corner else outline)
                continue
            if pressed:
                # The face sits two pixels lower and further left: shadow on top and right.
                if y <= 2 or x >= 21:
                    img.set(x, y, light)
                elif y == 3 or x == 20:
                    img.set(x, y, mix(light, face, 0.5))
                continue
            if y == 1 or x == 1:
                img.set(x, y, light)
            elif y >= 21 or x == 22:
                img.set(x, y, shade if y != 21 or x == 22 else mix(shade, face, 0.5))
            elif y == 2:
                img.set(x, y, glow)
    if style == "hover":
        # A moonlit rim: gold studs at the four corners.
        for cx, cy in ((2, 2), (21, 2), (2, 20), (21, 20)):
            img.set(cx, cy, MOON[0])
    if style == "disabled":
        # Worn stone: a few darker flecks on the edges only, away from the label row.
        for x, y in ((4, 4), (13, 3), (19, 5), (6, 19), (15, 20), (11, 19)):
            img.set(x, y, STONE[3])
    return img


def make_dynamic_button(path):
    """72x32: rows normal, hover, pressed, disabled; each row nine 8x8 tiles of one set."""
    img = Image(72, 32)
    for row, style in enumerate(("normal", "hover", "pressed", "disabled")):
        b = _button_set(style)
        for t in range(9):
            sx, sy = (t % 3) * 8, (t // 3) * 8
            img.paste(b, t * 8, row * 8, sx, sy, 8, 8, keep_clear=False)
    img.save(path)
    return img


def _tombstone(state):
    """One 32x32 map marker: a headstone on a grassy mound."""
    img = Image(32, 32)
    shake = 1 if state == 2 else 0
    stone = [STONE[3], STONE[4], STONE[2], STONE[2]][state]
    stone_l = [STONE[4], STONE[5], STONE[3], STONE[3]][state]
    stone_d = [STONE[1], STONE[2], STONE[1], STONE[1]][state]
    # Mound.
    mound = Image(32, 32)
    mound.ellipse(15.5, 27.5, 13, 3.6, GRASS[2])
    mound.ellipse(15.5, 26.8, 11.5, 2.4, GRASS[3])
    img.paste(mound, 0, 0)
    # Headstone: rounded top, from x 8 to 23, top at y 3 (+shake), base at y 27.
    top = 3 + shake
    shape = Image(32, 32)
    shape.rect(8, top + 7, 16, 27 - (top + 7) + 1, stone)
    shape.disc(15.5, top + 7.5, 7.9, stone)
    for y in range(32):
        for x in range(32):
            if shape.get(x, y)[3] < 128:
                continue
            c = stone
            if x <= 9 or (y <= top + 2):
                c = stone_l
            if x >= 22:
                c = stone_d
            img.set(x, y, c)
    # Engraved crescent moon.
    cx, cy = 15.5, top + 10.5
    for y in range(32):
        for x in range(32):
            d1 = (x - cx) ** 2 + (y - cy) ** 2
            d2 = (x - cx - 2) ** 2 + (y - cy + 1) ** 2
            if d1 <= 16 and d2 > 12:
                img.set(x, y, stone_d)
                if img.get(x + 1, y + 1) == stone:
                    pass
    # Carved lines as text rows.
    img.hline(12, 19, top + 17, stone_d)
    img.hline(13, 18, top + 19, stone_d)
    # Grass tufts over the foot of the stone.
    for x, h in ((8, 2), (10, 1), (13, 2), (18, 1), (21, 2), (23, 1)):
        img.vline(x, 27 - h, 27, GRASS[4])
    if state == 3:
        # Completed: moss creeps over the stone and a ghost-green seal shows the catch.
        for x, y in ((9, 26), (10, 25), (11, 26), (12, 24), (13, 26), (20, 25), (21, 26),
                     (22, 24), (22, 25), (9, 23), (10, 24), (23, 22), (22, 21)):
            if img.get(x, y)[3] > 0:
                img.set(x, y, GRASS[4] if (x + y) % 3 else GRASS[3])
        seal = [(0, 2), (1, 3), (2, 4), (3, 3), (4, 2), (5, 1), (6, 0)]
        for sx, sy in seal:
            img.rect(12 + sx, top + 8 + sy, 2, 2, GHOST[2])
    if state in (0, 1):
        # A will-o'-wisp floats by the stone: something still lurks here.
        wisp = GHOST[3] if state == 1 else GHOST[2]
        core = MOON[0] if state == 1 else GHOST[3]
        img.draw_map(["..#", ".##.", "####", "####", ".##."], {"#": wisp}, 24, top)
        img.set(25, top + 3, core)
        img.set(26, top + 2, core)
    # Outline everything.
    img.outline(INK)
    if state == 1:
        # Hover: a moonlight halo round the outline and two curious eyes behind the stone.
        img.outline(MOON[1])
    return img


def make_map_button(path):
    """128x32: normal, hover, pressed, completed headstones."""
    img = Image(128, 32)
    for s in range(4):
        img.paste(_tombstone(s), s * 32, 0, keep_clear=False)
    img.save(path)
    return img


CELL_A = rgb(0x5B6888)   # even checker square and even clue strip
CELL_B = rgb(0x4F5B7B)   # odd checker square
STRIP_ODD = rgb(0x433F6A)
STRIP_HOVER = rgb(0x2E8466)


def _speckled(base, seed, amount=0.05, flecks=10):
    img = Image(32, 32, base)
    rnd = random.Random(seed)
    light = mix(base, rgb(0xFFFFFF), amount)
    dark = mix(base, rgb(0x000000), amount * 1.5)
    for _ in range(flecks):
        x, y = rnd.randint(1, 30), rnd.randint(1, 30)
        img.set(x, y, light if rnd.random() < 0.5 else dark)
    return img


def make_nonoblocks(path):
    """192x32: full mark, cross mark, even and odd empty cells, odd clue strip, hover strip."""
    img = Image(192, 32)
    # 0: full mark, a carved night-stone block with a soft bevel.
    full = Image(32, 32, NIGHT[0])
    full.rect(1, 1, 30, 30, NIGHT[2])
    full.hline(1, 30, 1, NIGHT[4])
    full.hline(1, 29, 2, NIGHT[3])
    full.vline(1, 1, 30, NIGHT[4])
    full.vline(2, 2, 29, NIGHT[3])
    full.hline(2, 30, 30, NIGHT[1])
    full.hline(3, 29, 29, NIGHT[1])
    full.vline(30, 2, 30, NIGHT[1])
    full.vline(29, 3, 29, NIGHT[1])
    # A faint moonlit sheen across the top-left corner.
    for i in range(6):
        full.set(4 + i, 4, NIGHT[3])
        full.set(4, 4 + i, NIGHT[3])
    full.set(5, 5, MIST[0])
    # 1: cross mark over a clear background, bone-white with a dark edge.
    cross = Image(32, 32)
    for i in range(19):
        for x, y in ((7 + i, 7 + i), (25 - i, 7 + i)):
            cross.rect(x - 1, y - 1, 3, 3, BLOOD[1])
    for i in range(19):
        for x, y in ((7 + i, 7 + i), (25 - i, 7 + i)):
            cross.set(x, y, BLOOD[2])
            cross.set(x, y - 1 if i < 18 else y, BLOOD[2])
    cross.outline(INK)
    tiles = [full, cross, _speckled(CELL_A, 2), _speckled(CELL_B, 3),
             _speckled(STRIP_ODD, 4), _speckled(STRIP_HOVER, 5, 0.08, 14)]
    for i, t in enumerate(tiles):
        img.paste(t, i * 32, 0, keep_clear=False)
    img.save(path)
    return img


def make_logo_head(path):
    """64x64 emblem: an old oak with an owl peering from its hollow."""
    img = Image(64, 64)
    bark, bark_l, bark_d = EARTH[2], EARTH[3], EARTH[1]
    leaf = [GRASS[2], GRASS[3], GRASS[4], GRASS[5]]
    # Roots and trunk.
    img.polygon([(22, 60), (27, 44), (27, 30), (37, 30), (37, 44), (42, 60)], bark)
    img.polygon([(14, 61), (24, 55), (28, 58), (20, 61)], bark)
    img.polygon([(50, 61), (40, 55), (36, 58), (44, 61)], bark)
    img.polygon([(27, 34), (18, 26), (20, 24), (29, 31)], bark)
    img.polygon([(37, 34), (46, 25), (44, 23), (35, 31)], bark)
    for x, y0, y1 in ((29, 31, 37), (35, 33, 39), (29, 53, 58), (34, 54, 59), (31, 34, 36)):
        img.vline(x, y0, y1, bark_l if x < 32 else bark_d)
    # Crown: overlapping leaf clumps, lit from the top-left.
    clumps = [(32, 19, 14), (16, 23, 10), (48, 23, 10), (22, 12, 10), (42, 12, 10), (32, 9, 9)]
    for cx, cy, r in clumps:
        img.disc(cx, cy, r, leaf[0])
    for cx, cy, r in clumps:
        img.disc(cx - 1.5, cy - 1.5, r - 2.5, leaf[1])
    for cx, cy, r in clumps:
        img.disc(cx - 3, cy - 3, r - 6, leaf[2])
    for cx, cy, r in clumps[3:]:
        img.disc(cx - 4, cy - 4, 1.6, leaf[3])
    # The hollow and its owl.
    img.ellipse(32, 45, 5.5, 7, INK)
    img.ellipse(32, 46, 4, 5, EARTH[0])
    for ex in (30, 34):
        img.disc(ex, 44, 1.6, MOON[1])
        img.set(ex, 44, INK)
    img.set(32, 46, EMBER[2])
    img.set(31, 42, EARTH[3])
    img.set(33, 42, EARTH[3])
    img.outline(INK)
    img.save(path)
    return img


def make_logo_words(path):
    """256x64 lettering: "OAKHOLLOW" in display capitals over "WORKS" in the game font."""
    img = Image(256, 64)
    mask = display_font.text_mask("OAKHOLLOW", 3, 3)
    ox = (256 - mask.w) // 2
    oy = 4
    for y in range(mask.h):
        t = y / (mask.h - 1)
        for x in range(mask.w):
            if mask.get(x, y)[3]:
                c = EARTH[2] if t > 0.55 else EARTH[3]
                if (y % 3 == 0) and t <= 0.55 and t > 0.1:
                    c = EARTH[3]
                img.set(ox + x, oy + y, c)
    img.outline(INK)
    # A one-pixel shadow under the letters.
    shadow = Image(256, 64)
    for y in range(64):
        for x in range(256):
            if img.get(x, y)[3] and not img.get(x + 1, y + 2)[3]:
                shadow.set(x + 1, y + 2, EARTH[1])
    img.paste(shadow, 0, 0)
    # "WORKS" below, smaller, with leafy rules on both sides.
    words = display_font.text_mask("WORKS", 2, 3)
    wx = (256 - words.w) // 2
    wy = 64 - words.h - 2
    small = Image(256, 64)
    for y in range(words.h):
        for x in range(words.w):
            if words.get(x, y)[3]:
                small.set(wx + x, wy + y, GRASS[3] if y < words.h // 2 else GRASS[2])
    small.outline(INK)
    ry = wy + words.h // 2
    for x0, x1 in ((14, wx - 10), (wx + words.w + 10, 241)):
        small.rect(x0, ry - 1, x1 - x0, 2, EARTH[2])
        small.hline(x0, x1 - 1, ry - 2, INK)
        small.hline(x0, x1 - 1, ry + 1, INK)
    for lx in (wx - 6, wx + words.w + 5):
        small.ellipse(lx, ry, 3, 2, GRASS[3])
        small.set(lx - 1, ry - 1, GRASS[4])
    img.paste(small, 0, 0)
    img.save(path)
    return img
