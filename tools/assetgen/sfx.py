"""Sound effects: the splash jingle, the button click and the three board sounds."""

import math

from synth import (RATE, tone, noise, env_perc, env_adsr, mul, scale, add_into, lowpass,
                   highpass, bandpass, fade_edges, normalise, silence, Reverb, write_wav)


# Peak levels. The game plays the title song at volume 85 (-11.25 dB) and the board's song at
# 75 (-18.75 dB), so from files peaking at -1.5 dBFS its music peaks at about -12.8 dBFS on the
# menu, map and ending and -20.3 dBFS on the board. Effects play at full volume: their peaks sit
# between the two, within 6 dB of the music on every screen (bench/sound_levels.sh measures it).
CLICK_DB = -16.0
FILL_DB = -17.0
CROSS_DB = -18.0
PAVE_DB = -19.0


def midi(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


def click():
    """Button press: a small stone 'tock' with a bright edge."""
    n = int(0.09 * RATE)
    body = mul(tone(900, 0.09, glide=(620, 0.03)), env_perc(n, 0.0008, 0.016))
    knock = mul(tone(240, 0.09, glide=(180, 0.05)), env_perc(n, 0.001, 0.022))
    tick = mul(highpass(noise(0.09, 11), 2500), env_perc(n, 0.0003, 0.003))
    out = [0.0] * n
    add_into(out, body, 0, 0.6)
    add_into(out, knock, 0, 0.7)
    add_into(out, tick, 0, 0.25)
    return normalise(fade_edges(out, 0.0005, 0.01), CLICK_DB)


def bell(freq, seconds, decay, bright=1.0):
    """A soft struck bell: a few inharmonic partials, upper ones dying faster."""
    n = int(seconds * RATE)
    out = [0.0] * n
    for ratio, amp, dk in ((1.0, 1.0, 1.0), (2.0, 0.35 * bright, 0.6), (2.76, 0.25 * bright, 0.4),
                           (5.4, 0.08 * bright, 0.2)):
        add_into(out, mul(tone(freq * ratio, seconds), env_perc(n, 0.002, decay * dk)), 0, amp)
    return out


def fill():
    """Filling a cell: a round wooden pop with a low thump underneath."""
    n = int(0.2 * RATE)
    pop = mul(tone(midi(72), 0.2), env_perc(n, 0.0015, 0.06))
    partial = mul(tone(midi(72) * 3.93, 0.2), env_perc(n, 0.001, 0.012))
    thump = mul(tone(150, 0.2, glide=(85, 0.06)), env_perc(n, 0.002, 0.035))
    out = [0.0] * n
    add_into(out, pop, 0, 0.7)
    add_into(out, partial, 0, 0.18)
    add_into(out, thump, 0, 0.6)
    return normalise(fade_edges(out, 0.001, 0.02), FILL_DB)


def cross():
    """Crossing a cell: two quick chalk strokes and a glassy tick."""
    n = int(0.14 * RATE)
    out = [0.0] * n
    for k, (at, centre) in enumerate(((0.0, 3200), (0.05, 2600))):
        m = int(0.035 * RATE)
        scratch = bandpass(noise(0.035, 21 + k), centre, 3.0)
        scratch = mul(scratch, env_adsr(m, 0.004, 0.01, 0.3, 0.02))
        add_into(out, scratch, int(at * RATE), 1.0)
    glass = mul(tone(midi(93), 0.14), env_perc(n, 0.001, 0.025))
    add_into(out, glass, 0, 0.22)
    return normalise(fade_edges(out, 0.001, 0.02), CROSS_DB)


def pave():
    """Clearing a cell: a soft brushing puff that falls in pitch."""
    n = int(0.17 * RATE)
    cut = [2600 * (350 / 2600.0) ** (i / n) for i in range(n)]
    puff = lowpass(lowpass(noise(0.17, 31), cut), cut)
    puff = mul(puff, env_adsr(n, 0.012, 0.05, 0.2, 0.08))
    sigh = mul(tone(midi(69), 0.17, glide=(midi(62), 0.15)), env_perc(n, 0.006, 0.05))
    out = [0.0] * n
    add_into(out, puff, 0, 1.0)
    add_into(out, sigh, 0, 0.08)
    return normalise(fade_edges(out, 0.002, 0.03), PAVE_DB)


def hoot(seconds, f0, seed):
    """One owl hoot: a breathy sine that rises and sinks a little."""
    n = int(seconds * RATE)
    out = [0.0] * n
    ph = 0.0
    for i in range(n):
        t = i / n
        f = f0 * (1.0 + 0.06 * math.sin(math.pi * t) - 0.05 * t)
        ph += f / RATE
        out[i] = math.sin(2 * math.pi * ph) + 0.15 * math.sin(4 * math.pi * ph)
    breath = bandpass(noise(seconds, seed), f0, 4.0)
    out = [a + 0.5 * b for a, b in zip(out, breath)]
    return mul(out, env_adsr(n, seconds * 0.25, seconds * 0.3, 0.7, seconds * 0.45))


def intro():
    """Splash jingle (about 3 s): the owl of the oak hollow hoots, then a warm bell chord."""
    dry = silence(3.1)
    add_into(dry, hoot(0.38, 390, 41), int(0.05 * RATE), 0.55)
    add_into(dry, hoot(0.16, 360, 42), int(0.58 * RATE), 0.45)
    add_into(dry, hoot(0.42, 345, 43), int(0.8 * RATE), 0.5)
    chord = (64, 67, 71, 76, 83)
    for k, note in enumerate(chord):
        b = bell(midi(note), 1.9 - 0.12 * k, 0.55, 0.8)
        add_into(dry, b, int((1.35 + 0.09 * k) * RATE), 0.3)
    dry = dry[:int(3.1 * RATE)]
    wet = Reverb(0.8, 0.35).process(dry)[:len(dry)]
    out = [d + 0.35 * w for d, w in zip(dry, wet)]
    # Let the ring die away inside the file.
    n = len(out)
    fade = int(0.6 * RATE)
    for i in range(fade):
        out[n - fade + i] *= (1.0 - i / fade) ** 2
    return normalise(fade_edges(out, 0.005, 0.05), -2.0)


def make_all(out):
    write_wav(out("audio/click.wav"), click())
    write_wav(out("audio/game_click_2.wav"), fill())
    write_wav(out("audio/game_click_1.wav"), cross())
    write_wav(out("audio/game_pave.wav"), pave())
    write_wav(out("audio/intro.wav"), intro())
