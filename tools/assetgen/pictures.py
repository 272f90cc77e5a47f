"""The two full-screen pictures: the title scene and the graveyard map.

Both are painted at half size (640x360) in the game's palette and doubled, so their pixels
match the scale-2 buttons drawn over them.
"""

import math
import random

from pixel import Image, rgb, mix, bayer
from palette import (INK, NIGHT, MIST, MOON, STONE, GRASS, EARTH, GHOST, PURPLE, EMBER,
                     BLOOD, BONE)
import display_font

HW, HH = 640, 360


def dither_pick(colours, t, x, y):
    """Picks from a ramp of colours for t in 0..1 with ordered dithering between steps."""
    t = max(0.0, min(1.0, t)) * (len(colours) - 1)
    i = int(t)
    if i >= len(colours) - 1:
        return colours[-1]
    return colours[i + 1] if (t - i) > bayer(x, y) else colours[i]


def vertical_ramp(img, y0, y1, colours):
    for y in range(y0, y1):
        t = (y - y0) / max(1, y1 - y0 - 1)
        for x in range(img.w):
            img.px[y * img.w + x] = dither_pick(colours, t, x, y)


def glow(img, cx, cy, r, colour, strength):
    """Dithered halo: blends colour in with falling strength out to radius r."""
    for y in range(int(cy - r), int(cy + r) + 1):
        for x in range(int(cx - r), int(cx + r) + 1):
            d = math.hypot(x - cx, y - cy) / r
            if d < 1.0:
                a = strength * (1.0 - d) ** 2
                if a > bayer(x, y) * 0.9:
                    img.blend(x, y, colour, min(1.0, a + 0.15))


def moon(img, cx, cy, r):
    glow(img, cx, cy, r * 2.6, MIST[0], 0.55)
    img.disc(cx, cy, r, MOON[0])
    rnd = random.Random(5)
    for _ in range(9):
        a = rnd.uniform(0, 2 * math.pi)
        d = rnd.uniform(0, r * 0.7)
        rr = rnd.uniform(r * 0.08, r * 0.2)
        img.disc(cx + math.cos(a) * d, cy + math.sin(a) * d, rr, MOON[1])
    # Shaded lower-right rim.
    for y in range(int(cy - r), int(cy + r) + 1):
        for x in range(int(cx - r), int(cx + r) + 1):
            d = math.hypot(x - cx, y - cy)
            if r - 2.5 < d <= r and (x - cx) + (y - cy) > 0:
                img.set(x, y, MOON[1])


def stars(img, count, seed, y_max, avoid=None):
    rnd = random.Random(seed)
    for _ in range(count):
        x, y = rnd.randrange(img.w), rnd.randrange(y_max)
        if avoid and avoid(x, y):
            continue
        c = rnd.choice([MIST[1], MIST[2], MOON[0], MIST[0]])
        img.set(x, y, c)
        if rnd.random() < 0.08:
            for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                img.set(x + ox, y + oy, MIST[0])


def bare_tree(img, x, y, height, seed, colour, spread=1.0):
    """A crooked leafless tree drawn as recursive branches from its root at (x, y)."""
    rnd = random.Random(seed)

    def branch(x0, y0, ang, length, width, depth):
        x1 = x0 + math.cos(ang) * length
        y1 = y0 - math.sin(ang) * length
        img.thick_line(x0, y0, x1, y1, max(0.5, width / 2.0), colour)
        if depth == 0 or length < 3:
            return
        n = 2 if depth > 1 else rnd.choice([2, 3])
        for k in range(n):
            da = rnd.uniform(0.25, 0.7) * spread * (1 if k % 2 == 0 else -1)
            branch(x1, y1, ang + da + rnd.uniform(-0.15, 0.15), length * rnd.uniform(0.6, 0.78),
                   width * 0.65, depth - 1)

    img.polygon([(x - 10, y + 2), (x - 4, y - 2), (x - 3, y - 12), (x + 3, y - 12), (x + 5, y - 2),
                 (x + 12, y + 2)], colour)
    branch(x, y, math.pi / 2 + rnd.uniform(-0.1, 0.1), height * 0.4, height * 0.09, 6)


def headstone(img, x, y, w, h, kind, light, mid, dark):
    """A headstone standing on (x, y) = bottom-centre: kinds 'round', 'cross', 'slab', 'obelisk'."""
    shape = Image(w + 4, h + 4)
    ox = 2
    if kind == "round":
        shape.rect(ox, 2 + w // 2, w, h - w // 2, mid)
        shape.disc(ox + (w - 1) / 2.0, 2 + w / 2.0, w / 2.0, mid)
    elif kind == "cross":
        t = max(2, w // 3)
        shape.rect(ox + (w - t) // 2, 2, t, h, mid)
        shape.rect(ox, 2 + h // 4, w, t, mid)
    elif kind == "slab":
        shape.rect(ox, 2 + 2, w, h - 2, mid)
        shape.rect(ox + 1, 2, w - 2, 2, mid)
    else:
        shape.polygon([(ox + w * 0.2, 2 + h), (ox + w * 0.35, 4), (ox + w * 0.5, 2),
                       (ox + w * 0.65, 4), (ox + w * 0.8, 2 + h)], mid)
    for yy in range(shape.h):
        for xx in range(shape.w):
            c = shape.get(xx, yy)
            if c[3] == 0:
                continue
            left = shape.get(xx - 1, yy)[3] == 0
            right = shape.get(xx + 1, yy)[3] == 0
            top = shape.get(xx, yy - 1)[3] == 0
            col = light if (left or top) else (dark if right else mid)
            img.set(x - ox - w // 2 + xx, y - 2 - h + yy, col)
    if kind in ("round", "slab") and w >= 7:
        img.hline(x - w // 2 + 2, x + w // 2 - 2 - (1 - w % 2), y - h + w // 2 + 3, dark)
        img.hline(x - w // 2 + 2, x + w // 2 - 3, y - h + w // 2 + 5, dark)


def ghost(img, cx, cy, size, alpha=0.85, facing=1):
    """A little floating ghost with a wavy tail."""
    body = Image(img.w, img.h)
    r = size / 2.0
    body.disc(cx, cy, r, GHOST[3])
    body.rect(int(cx - r), int(cy), int(2 * r) + 1, int(size * 0.8), GHOST[3])
    for x in range(int(cx - r), int(cx + r) + 1):
        wave = math.sin((x - cx) * 1.3) * 1.5
        for y in range(int(cy + size * 0.8 + wave), int(cy + size * 0.8) + 3):
            body.set(x, y, (0, 0, 0, 0))
    for y in range(body.h):
        pass
    ys = range(int(cy - r) - 1, int(cy + size) + 4)
    xs = range(int(cx - r) - 1, int(cx + r) + 2)
    for y in ys:
        for x in xs:
            if body.get(x, y)[3]:
                shade = GHOST[2] if (x - cx) * facing > r * 0.45 else GHOST[3]
                img.blend(x, y, shade, alpha)
    ex = cx + facing * r * 0.2
    for dx in (-r * 0.35, r * 0.35):
        img.rect(int(ex + dx), int(cy - 1), 1 + size // 10, 2 + size // 10, NIGHT[1])
    img.rect(int(ex) - 1, int(cy + r * 0.45), 2 + size // 12, 2, NIGHT[2])


def pumpkin(img, cx, cy, r):
    img.ellipse(cx, cy, r * 1.2, r, EMBER[1])
    img.ellipse(cx - r * 0.35, cy, r * 0.45, r * 0.95, EMBER[2])
    img.ellipse(cx + r * 0.35, cy, r * 0.45, r * 0.95, EMBER[1])
    img.ellipse(cx, cy, r * 0.4, r * 0.98, EMBER[2])
    img.rect(int(cx - 1), int(cy - r - 2), 2, 3, GRASS[2])
    glowc = MOON[0]
    for dx in (-r * 0.45, r * 0.45):
        img.polygon([(cx + dx - 2, cy - 1), (cx + dx + 2, cy - 1), (cx + dx, cy - 4)], glowc)
    img.polygon([(cx - r * 0.7, cy + 2), (cx + r * 0.7, cy + 2), (cx, cy + r * 0.65)], glowc)


def bat(img, cx, cy, s, colour):
    img.polygon([(cx, cy), (cx - s, cy - s * 0.6), (cx - s * 0.7, cy + s * 0.1),
                 (cx - s * 0.4, cy - s * 0.1)], colour)
    img.polygon([(cx, cy), (cx + s, cy - s * 0.6), (cx + s * 0.7, cy + s * 0.1),
                 (cx + s * 0.4, cy - s * 0.1)], colour)
    img.disc(cx, cy, s * 0.28, colour)


def blob(img, cx, cy, r, body, light):
    """A slime monster peeking up: a dome with two big eyes."""
    img.ellipse(cx, cy, r * 1.2, r, body)
    img.rect(int(cx - r * 1.2), int(cy), int(r * 2.4) + 1, int(r * 0.4), body)
    img.ellipse(cx - r * 0.4, cy - r * 0.45, r * 0.35, r * 0.2, light)
    for dx in (-r * 0.4, r * 0.4):
        img.disc(cx + dx, cy - r * 0.1, r * 0.28, BONE)
        img.disc(cx + dx + 0.5, cy - r * 0.05, r * 0.13, INK)


def title_lettering(img, text, cx, top, unit, gap):
    offsets = [2 * ((i * 7) % 3) for i in range(len(text))]
    mask = display_font.text_mask(text, unit, gap, offsets)
    ox = cx - mask.w // 2
    letters = Image(mask.w + 12, mask.h + 14)
    h = 10 * unit
    for y in range(mask.h):
        for x in range(mask.w):
            if mask.get(x, y)[3]:
                i = x // (8 * unit + gap)
                t = (y - offsets[min(i, len(offsets) - 1)]) / h
                c = dither_pick([MOON[0], MOON[1], GHOST[3], GHOST[2]], t, x, y)
                letters.set(x + 4, y + 4, c)
    # Top-left highlight, drips of ectoplasm, then a two-pixel outline.
    rnd = random.Random(9)
    src = list(letters.px)
    for y in range(letters.h):
        for x in range(letters.w):
            if src[y * letters.w + x][3] and not src[(y - 1) * letters.w + x][3] if y else False:
                letters.set(x, y, BONE)
    for x in range(letters.w):
        for y in range(letters.h - 1, 0, -1):
            if letters.get(x, y)[3]:
                if rnd.random() < 0.07 and not letters.get(x, y + 1)[3]:
                    ln = rnd.randint(2, 5)
                    for k in range(1, ln + 1):
                        letters.set(x, y + k, GHOST[2])
                    letters.set(x, y + ln + 1, GHOST[1])
                break
    letters.outline(INK)
    letters.outline(INK, diagonal=True)
    # Drop shadow in deep purple.
    for y in range(letters.h):
        for x in range(letters.w):
            if letters.get(x, y)[3]:
                img.set(ox - 4 + x + 3, top - 4 + y + 3, PURPLE[0])
    img.paste(letters, ox - 4, top - 4)


def make_title(path):
    img = Image(HW, HH, NIGHT[1])
    vertical_ramp(img, 0, 250, [NIGHT[0], NIGHT[1], NIGHT[2], NIGHT[3], PURPLE[0]])
    stars(img, 260, 3, 230)
    moon(img, 92, 78, 38)
    # Wisps of cloud across the moon: thin, tapered and dithered.
    for cy, x0, x1 in ((96, 20, 200), (106, 70, 150), (58, 130, 250), (40, 420, 600)):
        for x in range(x0, x1):
            t = (x - x0) / (x1 - x0)
            w = 2.2 * math.sin(t * math.pi)
            for y in range(int(cy - w), int(cy + w) + 1):
                a = 0.35 * (1.0 - abs(y - cy) / (w + 1.0))
                if a > bayer(x, y) * 0.5:
                    img.blend(x, y, MIST[0], a)
    for bx, by, s in ((70, 62, 5), (118, 95, 4), (150, 50, 3), (560, 40, 3), (590, 58, 4)):
        bat(img, bx, by, s, INK)
    # Distant hills and a chapel on the far ridge.
    hills = [(0, 236), (60, 226), (140, 232), (230, 222), (330, 230), (420, 218), (520, 228),
             (640, 220), (640, 260), (0, 260)]
    img.polygon(hills, NIGHT[2])
    img.polygon([(470, 222), (470, 196), (484, 186), (498, 196), (498, 222)], NIGHT[1])
    img.polygon([(488, 196), (488, 168), (492, 160), (496, 168), (496, 196)], NIGHT[1])
    img.rect(482, 204, 4, 6, EMBER[2])
    vertical_ramp_band(img, 248, 300, [NIGHT[2], GRASS[0], GRASS[1]])
    vertical_ramp_band(img, 300, 360, [GRASS[1], GRASS[0], NIGHT[0]])
    # Ground fog over the middle distance.
    for y in range(238, 300):
        a = 0.35 * math.sin((y - 238) / 62.0 * math.pi)
        for x in range(HW):
            if a > bayer(x, y) * 0.8:
                img.blend(x, y, MIST[0], a)
    # Left: a great dead tree and a crooked fence.
    bare_tree(img, 62, 364, 215, 12, INK, 1.0)
    fence(img, 0, 212, 300, INK)
    # Right: a crypt with a lit door.
    crypt(img, 560, 300)
    fence(img, 432, 640, 302, INK)
    # Headstones on both sides, away from the middle column.
    rnd = random.Random(17)
    kinds = ["round", "cross", "slab", "obelisk"]
    spots = [(150, 292, 1.0), (205, 300, 0.8), (240, 312, 0.9), (118, 322, 1.2), (30, 330, 1.3),
             (200, 340, 1.4), (410, 296, 0.8), (445, 318, 1.1), (610, 330, 1.3), (470, 340, 1.4),
             (520, 324, 1.0), (255, 296, 0.6), (392, 330, 1.2)]
    for x, y, s in spots:
        k = rnd.choice(kinds)
        w = int(10 * s) | 1
        h = int(15 * s)
        headstone(img, x, y, w, h, k, STONE[3], STONE[2], STONE[1])
        img.ellipse(x, y, w * 0.8, 2, GRASS[0])
    # The monsters: a ghost by the tree, a pumpkin-head by the crypt, a slime behind a stone.
    ghost(img, 176, 214, 16, 0.8, 1)
    ghost(img, 470, 246, 10, 0.6, -1)
    pumpkin(img, 500, 338, 8)
    blob(img, 36, 335, 9, PURPLE[1], PURPLE[2])
    blob(img, 608, 346, 7, GHOST[1], GHOST[2])
    # Eyes in the dark under the tree.
    for ex, ey in ((96, 300), (226, 326), (580, 312)):
        img.set(ex, ey, MOON[1])
        img.set(ex + 3, ey, MOON[1])
    # Foreground grass silhouettes.
    rnd = random.Random(23)
    for x in range(0, HW, 2):
        h = rnd.randint(1, 5)
        if 250 < x < 390:
            h = rnd.randint(0, 2)
        img.vline(x, HH - h, HH - 1, INK)
    title_lettering(img, "TOMBWEAVER", HW // 2 + 16, 34, 4, 4)
    img.scaled(2).save(path, alpha=False)
    return img


def vertical_ramp_band(img, y0, y1, colours):
    for y in range(y0, min(y1, img.h)):
        t = (y - y0) / max(1, y1 - y0 - 1)
        for x in range(img.w):
            img.px[y * img.w + x] = dither_pick(colours, t, x, y)


def fence(img, x0, x1, ground, colour):
    img.hline(x0, x1, ground - 14, colour)
    img.hline(x0, x1, ground - 5, colour)
    for x in range(x0, x1 + 1, 6):
        img.vline(x, ground - 18, ground, colour)
        img.set(x - 1, ground - 17, colour)
        img.set(x + 1, ground - 17, colour)
        img.set(x, ground - 19, colour)


def crypt(img, cx, ground):
    """A small mausoleum with a pediment, columns and a glowing doorway."""
    body = STONE[1]
    img.rect(cx - 34, ground - 44, 68, 44, body)
    img.polygon([(cx - 40, ground - 44), (cx, ground - 66), (cx + 40, ground - 44)], STONE[2])
    img.polygon([(cx - 32, ground - 46), (cx, ground - 62), (cx + 32, ground - 46)], body)
    img.rect(cx - 40, ground - 46, 80, 3, STONE[3])
    for px in (cx - 30, cx - 20, cx + 17, cx + 27):
        img.rect(px, ground - 42, 4, 40, STONE[3])
        img.vline(px + 3, ground - 42, ground - 3, STONE[2])
    img.rect(cx - 10, ground - 32, 20, 32, INK)
    img.disc(cx - 0.5, ground - 32, 10, INK)
    glow(img, cx, ground - 16, 26, EMBER[2], 0.45)
    img.rect(cx - 7, ground - 28, 14, 28, EMBER[1])
    img.disc(cx - 0.5, ground - 28, 7, EMBER[1])
    img.rect(cx - 4, ground - 24, 8, 24, EMBER[2])
    img.disc(cx - 0.5, ground - 26, 4, EMBER[3])
    img.rect(cx - 36, ground - 2, 72, 3, STONE[2])
    img.rect(cx - 8, ground - 58, 16, 4, STONE[3])
    img.vline(cx, ground - 74, ground - 64, STONE[3])
    img.hline(cx - 3, cx + 3, ground - 71, STONE[3])


# Map locations: top-left corners of the 32x32 buttons, in screen pixels.
LOCATIONS = [(124, 94), (204, 34), (311, 31), (382, 108), (469, 151), (564, 177), (673, 165),
             (785, 153), (857, 65), (973, 37), (1091, 87), (1148, 193), (42, 456), (96, 378),
             (176, 349), (257, 377), (331, 449), (454, 508), (598, 501), (669, 418), (734, 331),
             (852, 315), (969, 344), (1047, 429), (1036, 510)]


def loc_centre_half(i):
    x, y = LOCATIONS[i]
    return (x + 16) / 2.0, (y + 16) / 2.0


def make_map(path):
    img = Image(HW, HH, GRASS[1])
    rnd = random.Random(101)
    # Ground: dithered moonlit grass with soft patches.
    patches = [(rnd.uniform(0, HW), rnd.uniform(0, HH), rnd.uniform(20, 60)) for _ in range(40)]
    for y in range(HH):
        for x in range(HW):
            v = 0.45 + 0.12 * math.sin(x * 0.05 + y * 0.03) + 0.1 * math.sin(x * 0.013 - y * 0.04)
            for px, py, pr in patches[:12]:
                d = ((x - px) ** 2 + (y - py) ** 2) / (pr * pr)
                if d < 1:
                    v += 0.12 * (1 - d)
            img.px[y * HW + x] = dither_pick([GRASS[0], GRASS[1], GRASS[2]], v, x, y)
    # A river between the two halves, winding across, with a bridge-less gap to cross by boat.
    river = []
    for x in range(-4, HW + 5, 4):
        yc = 128 + 9 * math.sin(x * 0.02) + 5 * math.sin(x * 0.05 + 1.0)
        river.append((x, yc))
    for x, yc in river:
        for xx in range(x, x + 4):
            for y in range(int(yc - 9), int(yc + 9)):
                img.set(xx, y, NIGHT[2])
            for y in (int(yc - 10), int(yc + 9)):
                img.set(xx, y, EARTH[1])
    for x, yc in river:
        for xx in range(x, x + 4):
            for y in range(int(yc - 6), int(yc + 6)):
                if (xx * 7 + y * 3) % 23 == 0:
                    img.hline(xx, xx + 2, y, NIGHT[4])
            if (xx // 4) % 9 == 0:
                img.hline(xx, xx + 3, int(yc - 2), MIST[0])
    # Moon reflected in the river.
    my = int(128 + 9 * math.sin(330 * 0.02) + 5 * math.sin(330 * 0.05 + 1.0))
    img.hline(324, 336, my - 1, MOON[2])
    img.hline(326, 334, my, MOON[1])
    img.hline(328, 332, my + 2, MOON[2])
    # Dirt paths joining the locations, along the same straight lines the game draws.
    for chain in (range(0, 11), range(12, 24)):
        for i in chain:
            (x0, y0), (x1, y1) = loc_centre_half(i), loc_centre_half(i + 1)
            img.thick_line(x0, y0, x1, y1, 3.5, EARTH[1])
    for chain in (range(0, 11), range(12, 24)):
        for i in chain:
            (x0, y0), (x1, y1) = loc_centre_half(i), loc_centre_half(i + 1)
            img.thick_line(x0, y0, x1, y1, 2.2, EARTH[2])
    # Clearings under each location.
    for i in range(25):
        cx, cy = loc_centre_half(i)
        img.ellipse(cx, cy + 3, 14, 9, EARTH[1])
        img.ellipse(cx, cy + 3, 12.5, 7.8, EARTH[2])
        img.ellipse(cx - 1, cy + 2, 9, 5, EARTH[3])
    # Props around the map: trees, headstone rows, fences, a chapel, a pond, lanterns.
    occupied = [loc_centre_half(i) for i in range(25)]

    def free(x, y, r):
        if x < 8 or x > HW - 8 or y < 8 or y > HH - 8:
            return False
        if 512 <= x <= 640 and 320 <= y <= 360:   # keep the back button's corner calm
            return False
        for ox, oy in occupied:
            if (x - ox) ** 2 + (y - oy) ** 2 < (r + 14) ** 2:
                return False
        for (rx, ry) in river:
            if abs(rx - x) < 4 and abs(ry - y) < 12 + r:
                return False
        return True

    def on_path(x, y, r):
        for chain in (range(0, 11), range(12, 24)):
            for i in chain:
                (x0, y0), (x1, y1) = loc_centre_half(i), loc_centre_half(i + 1)
                dx, dy = x1 - x0, y1 - y0
                t = max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
                if math.hypot(x0 + t * dx - x, y0 + t * dy - y) < r + 4:
                    return True
        return False

    # The chapel, top centre-left between the first locations.
    chapel(img, 322, 54)
    occupied.append((322, 42))
    occupied.append((322, 62))
    # A pond in the lower middle.
    img.ellipse(420, 205, 26, 12, EARTH[1])
    img.ellipse(420, 205, 24, 10.5, NIGHT[2])
    img.ellipse(414, 202, 10, 3, NIGHT[4])
    img.ellipse(428, 208, 3, 1.5, MOON[1])
    occupied.append((420, 205))
    # Headstone plots with low walls.
    plots = [(70, 70, 5, 3), (560, 35, 4, 2), (150, 250, 4, 3), (470, 290, 5, 2), (585, 160, 3, 3),
             (235, 320, 4, 2), (300, 160, 4, 2)]
    for px, py, cols, rows in plots:
        w, h = cols * 10 + 6, rows * 12 + 6
        if not all(free(px + dx, py + dy, 4) and not on_path(px + dx, py + dy, 3)
                   for dx in (0, w) for dy in (0, h)):
            continue
        img.frame(px, py, w, h, STONE[1])
        img.hline(px, px + w - 1, py - 1, STONE[2])
        for r in range(rows):
            for c in range(cols):
                headstone(img, px + 7 + c * 10, py + 13 + r * 12, 5, 7,
                          rnd.choice(["round", "cross", "slab"]), STONE[3], STONE[2], STONE[1])
        occupied.append((px + w / 2, py + h / 2))
    # Trees wherever there is room.
    for _ in range(400):
        x, y = rnd.uniform(10, HW - 10), rnd.uniform(10, HH - 10)
        r = rnd.uniform(5, 10)
        if free(x, y, r) and not on_path(x, y, r):
            tree_top(img, x, y, r, rnd)
            occupied.append((x, y - 2))
    # Lonely headstones along the paths.
    for _ in range(200):
        x, y = rnd.uniform(10, HW - 10), rnd.uniform(10, HH - 10)
        if free(x, y, 2) and not on_path(x, y, 2):
            headstone(img, int(x), int(y), 5, 7, rnd.choice(["round", "cross", "slab"]),
                      STONE[3], STONE[2], STONE[1])
            occupied.append((x, y))
    # Little monsters wandering the map.
    ghost(img, 120, 150, 10, 0.75, 1)
    ghost(img, 505, 110, 8, 0.65, -1)
    blob(img, 180, 300, 5, PURPLE[1], PURPLE[2])
    pumpkin(img, 600, 235, 5)
    # Compass rose in the lower-left corner.
    compass(img, 40, 320)
    # A stone frame round the map.
    img.frame(0, 0, HW, HH, INK)
    img.frame(1, 1, HW - 2, HH - 2, STONE[2])
    img.frame(2, 2, HW - 4, HH - 4, STONE[1])
    img.frame(3, 3, HW - 6, HH - 6, INK)
    # Moonlight: a soft cool wash from the top-left corner.
    for y in range(HH):
        for x in range(HW):
            a = 0.22 * max(0.0, 1.0 - math.hypot(x, y) / 420.0)
            if a > 0.02 and bayer(x, y) < a * 3:
                img.blend(x, y, MIST[1], a)
    img.scaled(2).save(path, alpha=False)
    return img


def tree_top(img, x, y, r, rnd):
    """A round tree seen from above, lit by the moon from the top-left, with its shadow."""
    img.ellipse(x + r * 0.4, y + r * 0.45, r, r * 0.8, GRASS[0])
    img.disc(x, y, r, INK)
    img.disc(x, y, r - 1, GRASS[2])
    img.disc(x - r * 0.2, y - r * 0.2, r * 0.65, GRASS[3])
    img.disc(x - r * 0.35, y - r * 0.35, r * 0.3, GRASS[4])
    if rnd.random() < 0.3:
        img.set(int(x + r * 0.3), int(y + r * 0.1), EMBER[1])


def chapel(img, cx, cy):
    """The old chapel, seen from above at an angle: roof, tower and a lit window."""
    img.rect(cx - 22, cy - 10, 44, 26, STONE[1])
    img.polygon([(cx - 24, cy - 8), (cx, cy - 22), (cx + 24, cy - 8)], BLOOD[0])
    img.polygon([(cx - 20, cy - 9), (cx, cy - 19), (cx, cy - 9)], BLOOD[1])
    img.rect(cx - 24, cy - 9, 48, 2, INK)
    img.rect(cx - 6, cy - 34, 12, 24, STONE[2])
    img.polygon([(cx - 8, cy - 34), (cx, cy - 46), (cx + 8, cy - 34)], BLOOD[0])
    img.rect(cx - 2, cy - 28, 4, 6, EMBER[2])
    img.rect(cx - 4, cy + 4, 8, 12, INK)
    img.rect(cx - 3, cy + 5, 6, 11, EMBER[1])
    for wx in (cx - 16, cx + 12):
        img.rect(wx, cy, 4, 6, EMBER[2])
    img.frame(cx - 22, cy - 10, 44, 26, INK)


def compass(img, cx, cy):
    img.disc(cx, cy, 16, STONE[1])
    img.disc(cx, cy, 14, NIGHT[2])
    for ang, col, ln in ((90, MOON[1], 13), (270, STONE[3], 13), (0, STONE[3], 10), (180, STONE[3], 10)):
        a = math.radians(ang)
        tip = (cx + math.cos(a) * ln, cy - math.sin(a) * ln)
        side = math.radians(ang + 90)
        p1 = (cx + math.cos(side) * 3, cy - math.sin(side) * 3)
        p2 = (cx - math.cos(side) * 3, cy + math.sin(side) * 3)
        img.polygon([tip, p1, p2], col)
    img.disc(cx, cy, 1.5, MOON[0])
