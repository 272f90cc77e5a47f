"""The two looping pieces of music, composed here as note lists and synthesised.

Each piece is rendered into a buffer exactly a whole number of bars long; every note tail
and the reverb that runs past the end wrap round to the start, so the loop is seamless.
"""

import math
import random

from synth import RATE, Reverb, write_wav

NOTE = {"C": 0, "C#": 1, "Db": 1, "D": 2, "D#": 3, "Eb": 3, "E": 4, "F": 5, "F#": 6, "Gb": 6,
        "G": 7, "G#": 8, "Ab": 8, "A": 9, "A#": 10, "Bb": 10, "B": 11}


def m(name):
    """'C#5' -> MIDI number."""
    pitch = name[:-1]
    octave = int(name[-1])
    return 12 * (octave + 1) + NOTE[pitch]


def freq(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


class Track:
    """A loop of fixed length into which notes are mixed, wrapping at the end."""

    def __init__(self, seconds):
        self.n = int(round(seconds * RATE))
        self.buf = [0.0] * self.n

    def mix(self, start_s, samples, gain):
        n = self.n
        buf = self.buf
        i0 = int(round(start_s * RATE)) % n
        for k, v in enumerate(samples):
            j = i0 + k
            if j >= n:
                j -= n
                if j >= n:
                    j %= n
            buf[j] += v * gain


# Instruments: each returns a list of samples for one note.

def musicbox(f, dur):
    length = max(dur, 0.6) + 0.9
    n = int(length * RATE)
    out = [0.0] * n
    k1, k2, k3 = 2 * math.pi * f / RATE, 2 * math.pi * 2 * f / RATE, 2 * math.pi * 3.01 * f / RATE
    d1 = math.exp(-1.0 / (0.45 * RATE))
    d2 = math.exp(-1.0 / (0.18 * RATE))
    d3 = math.exp(-1.0 / (0.06 * RATE))
    a1 = a2 = a3 = 1.0
    att = int(0.003 * RATE)
    for i in range(n):
        e = i / att if i < att else 1.0
        out[i] = e * (a1 * math.sin(k1 * i) + 0.3 * a2 * math.sin(k2 * i) + 0.15 * a3 * math.sin(k3 * i))
        a1 *= d1
        a2 *= d2
        a3 *= d3
    return _tail(out)


def marimba(f, dur):
    n = int(0.9 * RATE)
    out = [0.0] * n
    k1, k4 = 2 * math.pi * f / RATE, 2 * math.pi * 3.93 * f / RATE
    d1 = math.exp(-1.0 / (0.28 * RATE))
    d4 = math.exp(-1.0 / (0.03 * RATE))
    a1 = a4 = 1.0
    att = int(0.002 * RATE)
    for i in range(n):
        e = i / att if i < att else 1.0
        out[i] = e * (a1 * math.sin(k1 * i) + 0.25 * a4 * math.sin(k4 * i))
        a1 *= d1
        a4 *= d4
    return _tail(out)


def pluck(f, dur, seed=0, bright=0.5, decay=0.996):
    """Karplus-Strong string: a soft pizzicato for bass lines."""
    period = max(2, int(round(RATE / f)))
    rnd = random.Random(seed)
    line = [rnd.uniform(-1, 1) for _ in range(period)]
    # Pre-soften the excitation.
    for _ in range(3):
        line = [(line[i] + line[i - 1]) * 0.5 for i in range(period)]
    mean = sum(line) / period
    line = [v - mean for v in line]
    n = int((dur + 0.4) * RATE)
    out = [0.0] * n
    idx = 0
    prev = 0.0
    for i in range(n):
        v = line[idx]
        nv = decay * (bright * v + (1 - bright) * prev)
        prev = v
        line[idx] = nv
        out[i] = v
        idx += 1
        if idx == period:
            idx = 0
    att = int(0.003 * RATE)
    for i in range(min(att, n)):
        out[i] *= i / att
    # Damp after the written length, as a player's hand would.
    rel = int(dur * RATE)
    fade = int(0.25 * RATE)
    for i in range(rel, n):
        t = (i - rel) / fade
        out[i] *= max(0.0, 1.0 - t) ** 2
    return _tail(out)


def pad(f, dur, attack=0.35, release=0.6):
    """A soft choir-like pad: detuned triangles through a gentle low-pass."""
    n = int((dur + release) * RATE)
    out = [0.0] * n
    p1 = p2 = p3 = 0.0
    s1, s2, s3 = f / RATE, f * 1.004 / RATE, f * 0.5 * 0.998 / RATE
    y = 0.0
    kf = 1.0 - math.exp(-2 * math.pi * min(2400.0, f * 4) / RATE)
    a = int(attack * RATE)
    r0 = int(dur * RATE)
    for i in range(n):
        p1 += s1
        p2 += s2
        p3 += s3
        p1 -= int(p1)
        p2 -= int(p2)
        p3 -= int(p3)
        x = (4 * abs(p1 - 0.5) - 1) + (4 * abs(p2 - 0.5) - 1) + 0.5 * (4 * abs(p3 - 0.5) - 1)
        y += kf * (x - y)
        if i < a:
            e = (i / a) ** 2
        elif i < r0:
            e = 1.0
        else:
            e = max(0.0, 1.0 - (i - r0) / (n - r0)) ** 2
        out[i] = y * e * 0.4
    return out


def whistle(f, dur, vib=0.012):
    """A ghostly whistle: sine with slow vibrato and a breathy onset."""
    rel = 0.25
    n = int((dur + rel) * RATE)
    out = [0.0] * n
    ph = 0.0
    a = int(0.07 * RATE)
    r0 = int(dur * RATE)
    rnd = random.Random(int(f))
    breath = 0.0
    for i in range(n):
        t = i / RATE
        v = vib * min(1.0, t / 0.3)
        ph += f * (1 + v * math.sin(2 * math.pi * 5.2 * t)) / RATE
        breath += 0.2 * (rnd.uniform(-1, 1) - breath)
        if i < a:
            e = i / a
        elif i < r0:
            e = 1.0 - 0.15 * (i - a) / max(1, r0 - a)
        else:
            e = 0.85 * max(0.0, 1.0 - (i - r0) / (n - r0)) ** 2
        out[i] = e * (math.sin(2 * math.pi * ph) + 0.04 * breath)
    return out


def tick(accent):
    """A soft wooden tick for the beat."""
    n = int(0.05 * RATE)
    rnd = random.Random(99 if accent else 98)
    out = [0.0] * n
    y = 0.0
    for i in range(n):
        y += 0.35 * (rnd.uniform(-1, 1) - y)
        out[i] = (y * 0.6 + math.sin(2 * math.pi * (1800 if accent else 1400) * i / RATE)) \
            * math.exp(-i / (0.008 * RATE))
    return out


def _tail(out):
    fade = min(len(out) // 4, int(0.02 * RATE))
    n = len(out)
    for i in range(fade):
        out[n - 1 - i] *= i / fade
    return out


def finish(dry, wet_gain, room, path):
    """Adds a looped reverb, soft-limits, sets the peak at -1.5 dBFS and writes the file."""
    n = len(dry)
    pre = int(4.0 * RATE)
    # Run the reverb over the end of the loop first so its tail arrives at the start.
    src = dry[n - pre:] + dry
    wet = Reverb(room, 0.35).process(src, wrap=False)[pre:pre + n]
    out = [d + wet_gain * w for d, w in zip(dry, wet)]
    p = max(abs(v) for v in out)
    out = [math.tanh(1.2 * v / p) / math.tanh(1.2) for v in out]
    g = 10 ** (-1.5 / 20.0)
    out = [v * g for v in out]
    write_wav(path, out)
    return out


# The menu and map piece: a moonlit waltz in D minor, 3/4 at 120 beats a minute.

WALTZ_CHORDS = ["Dm", "Dm", "Gm", "Gm", "A7", "A7", "Dm", "Dm",
                "Bb", "Bb", "Gm", "A7", "Dm", "Gm", "A7", "Dm"]
CHORD_NOTES = {
    "Dm": ["D3", "F3", "A3"], "Gm": ["G2", "Bb3", "D4"], "A7": ["A2", "C#4", "G3"],
    "Bb": ["Bb2", "D4", "F3"], "Am": ["A2", "C4", "E4"], "F": ["F2", "A3", "C4"],
    "C": ["C3", "E3", "G3"], "G": ["G2", "B3", "D4"], "Dm7": ["D3", "F3", "C4"],
    "E7": ["E2", "G#3", "D4"], "Fmaj7": ["F2", "A3", "E4"], "Cmaj7": ["C3", "E3", "B3"],
    "Am7": ["A2", "C4", "G3"], "Bbmaj7": ["Bb2", "D4", "A3"], "G6": ["G2", "B3", "E4"],
    "Esus": ["E2", "A3", "B3"],
}

# (note, beats) per bar; 'r' is a rest.
WALTZ_MELODY = [
    [("A4", 1), ("D5", 1), ("F5", 1)], [("E5", 2), ("D5", 1)],
    [("Bb4", 1), ("D5", 1), ("G5", 1)], [("F5", 2), ("E5", 1)],
    [("C#5", 1), ("E5", 1), ("A5", 1)], [("G5", 2), ("E5", 1)],
    [("F5", 1), ("E5", 1), ("D5", 1)], [("A4", 3)],
    [("F5", 1), ("D5", 1), ("Bb4", 1)], [("D5", 2), ("F5", 1)],
    [("G5", 1), ("F5", 1), ("E5", 1)], [("E5", 1), ("C#5", 1), ("A4", 1)],
    [("D5", 1), ("F5", 1), ("A5", 1)], [("G5", 1.5), ("F5", 0.5), ("D5", 1)],
    [("E5", 1), ("G5", 1), ("C#5", 1)], [("D5", 3)],
]

# Second time round the ghost whistles a slower line over music-box arpeggios.
WALTZ_WHISTLE = [
    [("D5", 3)], [("F5", 2), ("E5", 1)], [("D5", 3)], [("Bb4", 3)],
    [("C#5", 2), ("E5", 1)], [("A5", 3)], [("F5", 2), ("E5", 1)], [("D5", 3)],
    [("F5", 3)], [("Bb5", 2), ("A5", 1)], [("G5", 2), ("Bb5", 1)], [("A5", 3)],
    [("F5", 2), ("A5", 1)], [("G5", 2), ("D5", 1)], [("E5", 1.5), ("G5", 1.5)], [("D5", 3)],
]


def make_title_song(path):
    beat = 0.5
    bar = 3 * beat
    bars = 32
    tr = Track(bars * bar)
    seed = 0
    for b in range(bars):
        t0 = b * bar
        chord = WALTZ_CHORDS[b % 16]
        root, n2, n3 = CHORD_NOTES[chord]
        seed += 1
        # Oom: plucked bass on the downbeat (fifth below on every other bar).
        bass = m(root) - 12 if b % 2 == 0 else m(root) - 5
        tr.mix(t0, pluck(freq(bass), bar * 0.9, seed, 0.5, 0.997), 0.55)
        # Pah-pah: soft marimba stabs.
        for k in (1, 2):
            for nn in (n2, n3):
                tr.mix(t0 + k * beat, marimba(freq(m(nn)), beat), 0.12)
        # Pad under everything.
        for nn in (root, n2, n3):
            tr.mix(t0, pad(freq(m(nn) + 12), bar), 0.05)
        tr.mix(t0, tick(True), 0.05)
        # Melody.
        if b < 16:
            t = t0
            for name, beats in WALTZ_MELODY[b]:
                if name != "r":
                    tr.mix(t, musicbox(freq(m(name)), beats * beat), 0.32)
                t += beats * beat
        else:
            t = t0
            for name, beats in WALTZ_WHISTLE[b - 16]:
                tr.mix(t, whistle(freq(m(name)), beats * beat * 0.95), 0.2)
                t += beats * beat
            # Music-box arpeggio in eighths, up the chord and back.
            arp = [m(root) + 24, m(n2) + 12, m(n3) + 12, m(root) + 36, m(n3) + 12, m(n2) + 12]
            for k, nn in enumerate(arp):
                tr.mix(t0 + k * beat / 2, musicbox(freq(nn), beat / 2), 0.1)
    finish(tr.buf, 0.55, 0.84, path)


# The board piece: a calm, thoughtful night in A minor, 4/4 at 84 beats a minute.

BOARD_CHORDS = ["Am", "Fmaj7", "C", "G6", "Am", "Fmaj7", "Cmaj7", "Esus",
                "Dm7", "Am7", "Fmaj7", "E7", "Dm7", "Am7", "Bbmaj7", "E7"]

BOARD_MOTIF = {
    4: [(0, "E5", 1.5), (1.5, "D5", 0.5), (2, "C5", 1), (3, "A4", 1)],
    5: [(0, "C5", 1.5), (1.5, "B4", 0.5), (2, "A4", 2)],
    6: [(0, "G4", 1), (1, "C5", 1), (2, "E5", 1), (3, "G5", 1)],
    7: [(0, "B4", 3)],
    12: [(0, "A4", 1), (1, "C5", 1), (2, "F5", 2)],
    13: [(0, "E5", 1.5), (1.5, "C5", 0.5), (2, "A4", 2)],
    14: [(0, "D5", 1), (1, "F5", 1), (2, "A5", 2)],
    15: [(0, "G#5", 1.5), (1.5, "E5", 0.5), (2, "B4", 2)],
}


def make_board_song(path):
    beat = 60.0 / 84.0
    bar = 4 * beat
    bars = 16
    tr = Track(bars * bar)
    for b in range(bars):
        t0 = b * bar
        chord = BOARD_CHORDS[b]
        root, n2, n3 = CHORD_NOTES[chord]
        r = m(root)
        # Deep bass: root on one, a softer fifth on three.
        tr.mix(t0, pluck(freq(r - 12 if r >= m("E2") + 5 else r), beat * 2.2, b, 0.35, 0.998), 0.5)
        tr.mix(t0 + 2 * beat, pluck(freq(r - 5), beat * 1.6, b + 50, 0.3, 0.998), 0.3)
        # Warm pad, held across the bar.
        for nn in (n2, n3):
            tr.mix(t0, pad(freq(m(nn)), bar * 0.98, 0.6, 0.9), 0.07)
        # Marimba figure in eighths; the pattern turns round in the second half.
        up = [r + 12, m(n2), m(n3), r + 24]
        pattern = up + [m(n3) + 12, r + 24, m(n2) + 12, m(n3)] if b % 2 == 0 else \
            up[::-1] + [m(n2), m(n3), r + 24, m(n2) + 12]
        for k, nn in enumerate(pattern):
            accent = 0.14 if k % 4 == 0 else 0.1
            tr.mix(t0 + k * beat / 2, marimba(freq(nn), beat / 2), accent)
        # A music-box motif over the second and fourth phrases.
        for (at, name, beats) in BOARD_MOTIF.get(b, []):
            tr.mix(t0 + at * beat, musicbox(freq(m(name)), beats * beat), 0.26)
        # A quiet shaker-like tick on the off-beats of the B section.
        if b >= 8:
            for k in range(4):
                tr.mix(t0 + (k + 0.5) * beat, tick(False), 0.03)
    finish(tr.buf, 0.6, 0.86, path)
