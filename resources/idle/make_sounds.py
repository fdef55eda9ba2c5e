#!/usr/bin/env python3
"""Writes the idle effect's short sounds: per creature a wobble and a landing.

Synthesised here so that anyone can change and remake them:
    python3 resources/idle/make_sounds.py
"""
import math
import os
import struct
import wave

RATE = 22050


def write(name, samples):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples))


def tone(seconds, frequency, volume=0.35, decay=8.0, shape=math.sin):
    """frequency(t) in Hz; the phase is integrated so that sweeps stay smooth."""
    out, phase = [], 0.0
    n = int(seconds * RATE)
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * frequency(t) / RATE
        attack = min(1.0, i / (0.004 * RATE))
        release = min(1.0, (n - i) / (0.006 * RATE))
        out.append(volume * attack * release * math.exp(-decay * t) * shape(phase))
    return out


def buzz(phase):
    # A soft sawtooth: the first few harmonics only.
    return sum(math.sin(k * phase) / k for k in range(1, 6)) * 0.6


# Ladybird: a high tick, then a small plop.
write("wobble1.wav", tone(0.05, lambda t: 1500 - 4000 * t, decay=40))
write("land1.wav", tone(0.18, lambda t: 650 * math.exp(-9 * t) + 180, decay=14))
# Bee: a short hum with a flutter, then a lower, longer one.
write("wobble2.wav", tone(0.07, lambda t: 260 + 25 * math.sin(2 * math.pi * 40 * t), volume=0.25, decay=18, shape=buzz))
write("land2.wav", tone(0.2, lambda t: 200 + 30 * math.sin(2 * math.pi * 30 * t), volume=0.25, decay=9, shape=buzz))
# Spider: a plucked thread, then a springy boing.
write("wobble3.wav", tone(0.06, lambda t: 880, decay=45))
write("land3.wav", tone(0.22, lambda t: 220 + 160 * t / 0.22 + 40 * math.sin(2 * math.pi * 14 * t), decay=10))
