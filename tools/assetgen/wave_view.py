"""Waveform pictures of the sounds for review (min/max per column, start and end zoomed).

Usage: python3 tools/assetgen/wave_view.py [output folder]
"""

import os
import struct
import sys
import wave

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from pixel import Image, rgb  # noqa: E402


def read_wav(path):
    with wave.open(path, "rb") as w:
        n = w.getnframes()
        ch = w.getnchannels()
        data = w.readframes(n)
    vals = struct.unpack("<%dh" % (n * ch), data)
    return [v / 32768.0 for v in vals[::ch]]


def plot(samples, w, h, img, ox, oy, colour):
    n = len(samples)
    mid = oy + h // 2
    img.hline(ox, ox + w - 1, mid, rgb(0x404060))
    for x in range(w):
        a = x * n // w
        b = max(a + 1, (x + 1) * n // w)
        seg = samples[a:b]
        lo, hi = min(seg), max(seg)
        img.vline(ox + x, mid - int(hi * h / 2), mid - int(lo * h / 2), colour)


def main():
    root = os.path.dirname(os.path.dirname(HERE))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-dev", "contact")
    os.makedirs(out, exist_ok=True)
    audio = os.path.join(root, "assets", "audio")
    names = sorted(f for f in os.listdir(audio) if f.endswith(".wav"))
    img = Image(1000, 130 * len(names), rgb(0x101018))
    for i, name in enumerate(names):
        s = read_wav(os.path.join(audio, name))
        y = i * 130 + 5
        plot(s, 700, 120, img, 0, y, rgb(0x80E0A0))
        plot(s[:441], 140, 120, img, 710, y, rgb(0xE0C080))
        plot(s[-441:], 140, 120, img, 855, y, rgb(0xE08080))
        img.hline(0, 999, i * 130, rgb(0x606080))
    img.save(os.path.join(out, "waves.png"))
    print(os.path.join(out, "waves.png"))


if __name__ == "__main__":
    main()
