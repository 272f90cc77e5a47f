"""The application icon: a headstone on a grassy mound with a will-o'-wisp peering over it.

Drawn by hand at 16, 24 and 32 pixels (small sizes need their own pixels to stay readable);
the larger theme sizes are whole-number enlargements, and the scalable icon is the 32-pixel
drawing as squares.
"""

from pixel import Image
from palette import INK, STONE, GRASS, GHOST, MOON

LEGEND = {
    "K": INK,
    "W": STONE[5], "L": STONE[4], "S": STONE[3], "D": STONE[2], "d": STONE[1],
    "t": GRASS[5], "g": GRASS[4], "G": GRASS[3], "h": GRASS[2],
    "o": GHOST[1], "w": GHOST[2], "v": GHOST[3], "c": MOON[0],
}

ICON_16 = [
    "..........KK....",
    ".........KvwK...",
    "...KKKK.KvcvwK..",
    "..KWLLLKKvKvKwK.",
    ".KWLLSSSKwvvvwK.",
    ".KWLdSSDKKowwoK.",
    ".KLdSSSSDKKooK..",
    ".KLdSSdSDK.KK...",
    ".KLSSSSSDK......",
    ".KLSddddDK......",
    ".KLSSSSSDK......",
    ".KLSdddSDK......",
    "KKtgtSSgtDKtKK..",
    "KhgGgtgGgGhgGhK.",
    ".KhhGGGGGGGhhK..",
    "..KKKKKKKKKKK...",
]

ICON_24 = [
    "...............KKK......",
    "..............KvwvK.....",
    ".............KvvcvwK....",
    "....KKKKKK..KvvccvwwK...",
    "...KWWLLLLKKwvcvvvvwK...",
    "..KWLLLLSSSKwvKvvKvwwK..",
    ".KWLLSSSSSSKwvKvvKvwwK..",
    ".KWLSSdSSSSDKwvvvvvwoK..",
    ".KLLSdSSSSSDKwwvKvwwoK..",
    ".KLSdSSSdSSDDKowwwwoK...",
    ".KLSdSSSdSSSDKKoooooK...",
    ".KLSSddddSSSDK.KKKKK....",
    ".KLSSSSSSSSSDK..........",
    ".KLSSddddddSDK..........",
    ".KLSSSSSSSSSDK..........",
    ".KLSSdddddSSDK..........",
    ".KLSSSSSSSSSDK..........",
    ".KLSSSSSSSSSDK..........",
    "KKtLgSStSSgSDtKKtK......",
    "KhgtgGtgGgtgtgGgtghK....",
    "KhhgGGgGGGGgGGgGGghhK...",
    ".KhhhGGGGGGGGGGGGhhhK...",
    "..KKhhhhhhhhhhhhhhKK....",
    "....KKKKKKKKKKKKKK......",
]


def _icon_32():
    """The 32-pixel drawing, made like the map's headstones but with a bigger wisp."""
    img = Image(32, 32)
    mound = Image(32, 32)
    mound.ellipse(14.5, 27.2, 13.2, 3.4, GRASS[2])
    mound.ellipse(14.5, 26.5, 11.8, 2.3, GRASS[3])
    img.paste(mound, 0, 0)
    # Headstone: rounded top, x 4 to 20, top at y 5, foot at y 27.
    shape = Image(32, 32)
    shape.rect(4, 13, 17, 15, STONE[3])
    shape.disc(12.0, 13.0, 8.4, STONE[3])
    for y in range(32):
        for x in range(32):
            if shape.get(x, y)[3] < 128:
                continue
            c = STONE[3]
            if x <= 6 or shape.get(x, y - 2)[3] < 128:
                c = STONE[4]
            if shape.get(x, y - 1)[3] < 128 and x < 14:
                c = STONE[5]
            if x >= 18:
                c = STONE[2]
            img.set(x, y, c)
    # Engraved crescent moon and two carved lines.
    for y in range(32):
        for x in range(32):
            d1 = (x - 12.0) ** 2 + (y - 12.5) ** 2
            d2 = (x - 14.0) ** 2 + (y - 11.5) ** 2
            if d1 <= 13 and d2 > 10:
                img.set(x, y, STONE[1])
    img.hline(8, 16, 19, STONE[1])
    img.hline(9, 15, 22, STONE[1])
    # Grass over the stone's foot.
    for x, h in ((3, 2), (5, 1), (8, 2), (11, 1), (15, 2), (19, 1), (21, 2), (24, 1)):
        img.vline(x, 26 - h, 26, GRASS[4])
        img.set(x, 26 - h, GRASS[5])
    # The wisp: a ghost-green flame with a moonlit core and two dark eyes.
    img.draw_map([
        "....vv....",
        "...vcv....",
        "..vvcvv...",
        ".vvccvvw..",
        ".vvccvvww.",
        "vwvvvvvwwo",
        "vwKvvKvwwo",
        "vwKvvKvwwo",
        "wwvvvvwwoo",
        ".wwvvwwoo.",
        "..woooo...",
    ], LEGEND, 19, 1)
    img.outline(INK)
    return img


def icons():
    """{size: Image} for every theme size."""
    small = {16: ICON_16, 24: ICON_24}
    out = {}
    for size, rows in small.items():
        assert len(rows) == size and all(len(r) == size for r in rows), size
        img = Image(size, size)
        img.draw_map(rows, LEGEND)
        out[size] = img
    big = _icon_32()
    out[32] = big
    out[48] = out[24].scaled(2)
    for k in (2, 4, 8):
        out[32 * k] = big.scaled(k)
    return out


def svg(img):
    """The image as an SVG of one rectangle per run of equal pixels in a row."""
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
             'shape-rendering="crispEdges">' % (img.w * 8, img.h * 8, img.w, img.h)]
    for y in range(img.h):
        x = 0
        while x < img.w:
            c = img.get(x, y)
            run = 1
            while x + run < img.w and img.get(x + run, y) == c:
                run += 1
            if c[3] >= 128:
                parts.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>'
                             % (x, y, run, c[0], c[1], c[2]))
            x += run
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def make_icons(out):
    """Writes icons/<size>.png for every size and icons/scalable.svg."""
    all_icons = icons()
    for size, img in sorted(all_icons.items()):
        img.save(out("icons/%d.png" % size))
    with open(out("icons/scalable.svg"), "w") as f:
        f.write(svg(all_icons[32]))
