"""Tiny software synthesiser: oscillators, envelopes, filters, a reverb and a WAV writer.

Buffers are plain lists of floats at RATE samples per second, nominal range -1..1.
"""

import math
import random
import struct
import wave

RATE = 44100
TAU = 2.0 * math.pi


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def add_into(dst, src, at=0, gain=1.0):
    """Mixes src into dst from sample `at`, growing dst if needed."""
    end = at + len(src)
    if end > len(dst):
        dst.extend([0.0] * (end - len(dst)))
    for i, v in enumerate(src):
        dst[at + i] += v * gain
    return dst


def env_adsr(n, attack, decay, sustain, release, hold=None):
    """Linear attack, exponential-ish decay to sustain, linear release over the last `release` s."""
    a = max(1, int(attack * RATE))
    r = max(1, int(release * RATE))
    out = [0.0] * n
    dk = math.exp(-1.0 / max(1.0, decay * RATE))
    level = 0.0
    rel_start = n - r if hold is None else min(n - r, int(hold * RATE))
    for i in range(n):
        if i < a:
            level = i / a
        elif i < rel_start:
            level = sustain + (level - sustain) * dk
        out[i] = level
    # Release ramps from the level reached to zero.
    start_level = out[rel_start - 1] if rel_start > 0 else 0.0
    for i in range(max(0, rel_start), n):
        out[i] = start_level * (1.0 - (i - rel_start) / max(1, n - rel_start))
    return out


def env_perc(n, attack, decay):
    """Percussive envelope: short linear attack then exponential decay with time constant
    `decay` seconds, forced to reach zero at the end."""
    a = max(1, int(attack * RATE))
    out = [0.0] * n
    k = 1.0 / max(1.0, decay * RATE)
    tail = max(1, min(n // 4, int(0.004 * RATE)))
    for i in range(n):
        if i < a:
            v = i / a
        else:
            v = math.exp(-(i - a) * k)
        if i >= n - tail:
            v *= (n - i) / tail
        out[i] = v
    return out


def tone(freq, seconds, shape="sine", phase=0.0, vibrato=0.0, vib_rate=5.0, glide=None):
    """An oscillator. glide = (end_freq, glide_seconds) bends the pitch exponentially."""
    n = int(seconds * RATE)
    out = [0.0] * n
    ph = phase
    for i in range(n):
        f = freq
        if glide:
            t = min(1.0, i / max(1, glide[1] * RATE))
            f = freq * (glide[0] / freq) ** t
        if vibrato:
            f *= 1.0 + vibrato * math.sin(TAU * vib_rate * i / RATE)
        ph += f / RATE
        ph -= math.floor(ph)
        if shape == "sine":
            v = math.sin(TAU * ph)
        elif shape == "tri":
            v = 4.0 * abs(ph - 0.5) - 1.0
        elif shape == "saw":
            v = 2.0 * ph - 1.0
        elif shape == "square":
            v = 1.0 if ph < 0.5 else -1.0
        else:
            raise ValueError(shape)
        out[i] = v
    return out


def noise(seconds, seed):
    rnd = random.Random(seed)
    return [rnd.uniform(-1.0, 1.0) for _ in range(int(seconds * RATE))]


def mul(a, b):
    return [x * y for x, y in zip(a, b)]


def scale(a, g):
    return [x * g for x in a]


def lowpass(buf, cutoff):
    """One-pole low-pass; cutoff in Hz (a number or a per-sample list)."""
    out = [0.0] * len(buf)
    y = 0.0
    if isinstance(cutoff, (int, float)):
        k = 1.0 - math.exp(-TAU * cutoff / RATE)
        for i, x in enumerate(buf):
            y += k * (x - y)
            out[i] = y
    else:
        for i, x in enumerate(buf):
            k = 1.0 - math.exp(-TAU * cutoff[i] / RATE)
            y += k * (x - y)
            out[i] = y
    return out


def highpass(buf, cutoff):
    low = lowpass(buf, cutoff)
    return [x - l for x, l in zip(buf, low)]


def bandpass(buf, centre, q=2.0):
    """State-variable band-pass filter."""
    f = 2.0 * math.sin(math.pi * min(centre, RATE / 6) / RATE)
    damp = 1.0 / q
    low = band = 0.0
    out = [0.0] * len(buf)
    for i, x in enumerate(buf):
        low += f * band
        high = x - low - damp * band
        band += f * high
        out[i] = band
    return out


def fade_edges(buf, fade_in=0.002, fade_out=0.01):
    n = len(buf)
    a = min(n, int(fade_in * RATE))
    b = min(n, int(fade_out * RATE))
    for i in range(a):
        buf[i] *= i / a
    for i in range(b):
        buf[n - 1 - i] *= i / b
    return buf


class Reverb:
    """Schroeder-style reverb: parallel damped combs into serial all-passes."""

    COMBS = (1557, 1617, 1491, 1422, 1277, 1356)
    ALLPASS = (225, 556, 441)

    def __init__(self, room=0.82, damp=0.3):
        self.room = room
        self.damp = damp

    def process(self, buf, wrap=False):
        """Returns the wet signal. With wrap the input is treated as a loop: the reverb runs
        over two passes and keeps the second, so tails spill over the loop point."""
        n = len(buf)
        src = buf + buf if wrap else buf + [0.0] * int(2.5 * RATE)
        m = len(src)
        wet = [0.0] * m
        for d in self.COMBS:
            line = [0.0] * d
            idx = 0
            filt = 0.0
            fb, dmp = self.room, self.damp
            for i in range(m):
                y = line[idx]
                filt = y * (1.0 - dmp) + filt * dmp
                line[idx] = src[i] + filt * fb
                idx += 1
                if idx == d:
                    idx = 0
                wet[i] += y
        for d in self.ALLPASS:
            line = [0.0] * d
            idx = 0
            for i in range(m):
                b = line[idx]
                x = wet[i]
                line[idx] = x + b * 0.5
                wet[i] = b - x
                idx += 1
                if idx == d:
                    idx = 0
        g = 1.0 / len(self.COMBS)
        if wrap:
            return [v * g for v in wet[n:]]
        return [v * g for v in wet]


def peak(buf):
    return max(abs(v) for v in buf) if buf else 0.0


def normalise(buf, target_db=-1.5):
    p = peak(buf)
    if p == 0:
        return buf
    g = (10 ** (target_db / 20.0)) / p
    return [v * g for v in buf]


def write_wav(path, buf):
    """16-bit mono PCM at RATE."""
    frames = bytearray()
    for v in buf:
        s = int(round(max(-1.0, min(1.0, v)) * 32767))
        frames += struct.pack("<h", s)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
