#!/usr/bin/env python3
"""Writes samples/interior-window.png: a 16-bit RGB picture in linear light with a wide range
between a dark room and the bright view through its window, the kind of frame the companion
tone-maps. Kept in the repository (the main job needs no Python); this script only shows how it
was made: python3 samples/make-sample.py"""
import math
import struct
import zlib
from pathlib import Path

WIDTH, HEIGHT = 480, 320


def pixel(x, y):
    u, v = x / (WIDTH - 1), y / (HEIGHT - 1)
    inside_window = 0.30 < u < 0.78 and 0.12 < v < 0.62
    mullion = inside_window and (abs(u - 0.54) < 0.008 or abs(v - 0.37) < 0.008)
    if inside_window and not mullion:
        # Outside: a blue sky fading to haze, a bright sun, green hills at the bottom.
        sky = (0.35 + 0.25 * v, 0.55 + 0.2 * v, 0.95)
        sun = math.exp(-((u - 0.66) ** 2 + (v - 0.24) ** 2) / 0.0015)
        r, g, b = (min(1.0, c + 0.9 * sun) for c in sky)
        if v > 0.50 + 0.04 * math.sin(u * 18):
            r, g, b = 0.18, 0.42, 0.12
        scale = 1.0
    else:
        # Inside: a dim warm room, darker away from the window, a lit patch on the floor.
        distance = math.hypot(u - 0.54, v - 0.37)
        r, g, b = 0.9, 0.7, 0.5
        scale = 0.004 + 0.05 * math.exp(-distance * 3.0)
        if v > 0.72 and 0.35 < u - (v - 0.72) * 0.6 < 0.70:
            scale *= 6.0
        if mullion:
            scale = 0.02
    return tuple(max(0, min(65535, round(c * scale * 65535))) for c in (r, g, b))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


rows = bytearray()
previous = None
for y in range(HEIGHT):
    row = bytearray()
    for x in range(WIDTH):
        row += struct.pack(">HHH", *pixel(x, y))
    # Filter "Up": rows differ little from the one above, so the stream compresses well.
    filtered = bytearray(row) if previous is None else bytearray((a - b) & 0xFF for a, b in zip(row, previous))
    rows += bytes([0 if previous is None else 2]) + filtered
    previous = row

png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 16, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
png += chunk(b"IEND", b"")
Path(__file__).with_name("interior-window.png").write_bytes(png)
print(f"{WIDTH} x {HEIGHT}, {len(png)} bytes")
