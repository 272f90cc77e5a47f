"""Small RGBA image type, drawing helpers and a PNG writer/reader (standard library only)."""

import math
import struct
import zlib


def rgb(hexval, a=255):
    """0xRRGGBB -> (r, g, b, a)."""
    return ((hexval >> 16) & 255, (hexval >> 8) & 255, hexval & 255, a)


def mix(c1, c2, t):
    """Linear blend of two colours, t = 0 gives c1."""
    return tuple(int(round(c1[i] + (c2[i] - c1[i]) * t)) for i in range(4))


CLEAR = (0, 0, 0, 0)

# 4x4 ordered-dither thresholds in 0..1, for banded gradients in pixel art.
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def bayer(x, y):
    return (BAYER4[y & 3][x & 3] + 0.5) / 16.0


class Image:
    """Row-major RGBA pixels as a flat list of 4-tuples."""

    def __init__(self, w, h, fill=CLEAR):
        self.w = w
        self.h = h
        self.px = [fill] * (w * h)

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y * self.w + x]
        return CLEAR

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def blend(self, x, y, c, a):
        """Draws colour c over the pixel with opacity a (0..1); keeps the pixel's alpha."""
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            i = y * self.w + x
            d = self.px[i]
            if d[3] == 0:
                self.px[i] = (c[0], c[1], c[2], 255) if a >= 0.5 else d
                return
            self.px[i] = (int(d[0] + (c[0] - d[0]) * a), int(d[1] + (c[1] - d[1]) * a),
                          int(d[2] + (c[2] - d[2]) * a), d[3])

    def rect(self, x0, y0, w, h, c):
        for y in range(max(0, y0), min(self.h, y0 + h)):
            row = y * self.w
            for x in range(max(0, x0), min(self.w, x0 + w)):
                self.px[row + x] = c

    def frame(self, x0, y0, w, h, c):
        self.hline(x0, x0 + w - 1, y0, c)
        self.hline(x0, x0 + w - 1, y0 + h - 1, c)
        self.vline(x0, y0, y0 + h - 1, c)
        self.vline(x0 + w - 1, y0, y0 + h - 1, c)

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def thick_line(self, x0, y0, x1, y1, r, c):
        n = int(max(abs(x1 - x0), abs(y1 - y0), 1))
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            self.disc(x, y, r, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(math.floor(cy - r)), int(math.ceil(cy + r)) + 1):
            for x in range(int(math.floor(cx - r)), int(math.ceil(cx + r)) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ellipse(self, cx, cy, rx, ry, c):
        for y in range(int(math.floor(cy - ry)), int(math.ceil(cy + ry)) + 1):
            for x in range(int(math.floor(cx - rx)), int(math.ceil(cx + rx)) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        """Even-odd scanline fill of a polygon given as (x, y) points."""
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            n = len(pts)
            for i in range(n):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(math.ceil(xs[i] - 0.5)), int(math.ceil(xs[i + 1] - 0.5))):
                    self.set(x, y, c)

    def paste(self, src, dx, dy, sx=0, sy=0, w=None, h=None, keep_clear=True):
        """Copies src (or a part of it) to (dx, dy); transparent source pixels are skipped."""
        w = src.w if w is None else w
        h = src.h if h is None else h
        for y in range(h):
            for x in range(w):
                c = src.get(sx + x, sy + y)
                if keep_clear and c[3] < 128:
                    continue
                self.set(dx + x, dy + y, c)

    def draw_map(self, rows, legend, dx=0, dy=0):
        """Draws a hand-authored pixel map: rows of characters, legend maps a char to a colour."""
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                c = legend.get(ch)
                if c is not None:
                    self.set(dx + x, dy + y, c)

    def outline(self, colour, diagonal=False):
        """Adds a one-pixel outline around every opaque area."""
        src = list(self.px)
        for y in range(self.h):
            for x in range(self.w):
                if src[y * self.w + x][3] >= 128:
                    continue
                nb = [(1, 0), (-1, 0), (0, 1), (0, -1)]
                if diagonal:
                    nb += [(1, 1), (-1, 1), (1, -1), (-1, -1)]
                for ox, oy in nb:
                    xx, yy = x + ox, y + oy
                    if 0 <= xx < self.w and 0 <= yy < self.h and src[yy * self.w + xx][3] >= 128:
                        self.px[y * self.w + x] = colour
                        break

    def scaled(self, k):
        out = Image(self.w * k, self.h * k)
        for y in range(self.h):
            row = self.px[y * self.w:(y + 1) * self.w]
            line = []
            for c in row:
                line.extend([c] * k)
            for j in range(k):
                base = (y * k + j) * out.w
                out.px[base:base + out.w] = line
        return out

    def crop(self, x0, y0, w, h):
        out = Image(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = self.get(x0 + x, y0 + y)
        return out

    def save(self, path, alpha=True):
        write_png(path, self.w, self.h, self.px, alpha)


def write_png(path, w, h, px, alpha=True):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        row = px[y * w:(y + 1) * w]
        if alpha:
            for c in row:
                raw.extend((c[0], c[1], c[2], c[3]))
        else:
            for c in row:
                raw.extend((c[0], c[1], c[2]))

    def chunk(tag, data):
        out = struct.pack(">I", len(data)) + tag + data
        return out + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    ctype = 6 if alpha else 2
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, ctype, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def read_png(path):
    """Reads an 8-bit RGB or RGBA, non-interlaced PNG (what write_png makes) into an Image."""
    with open(path, "rb") as f:
        data = f.read()
    pos = 8
    idat = b""
    w = h = ctype = 0
    while pos < len(data):
        n = struct.unpack(">I", data[pos:pos + 4])[0]
        tag = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if tag == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
            if depth != 8 or ctype not in (2, 6):
                raise ValueError("unsupported PNG " + path)
        elif tag == b"IDAT":
            idat += body
    raw = zlib.decompress(idat)
    bpp = 4 if ctype == 6 else 3
    stride = w * bpp
    img = Image(w, h)
    prev = bytearray(stride)
    p = 0
    for y in range(h):
        ft = raw[p]
        line = bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ft == 1:
                line[i] = (line[i] + a) & 255
            elif ft == 2:
                line[i] = (line[i] + b) & 255
            elif ft == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ft == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        for x in range(w):
            q = x * bpp
            img.px[y * w + x] = (line[q], line[q + 1], line[q + 2], line[q + 3] if bpp == 4 else 255)
        prev = line
    return img
