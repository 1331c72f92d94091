#!/usr/bin/env python3
"""Draws the window's two images as 8-bit RGBA PNG files next to this script.

    ic_launcher.png  96 x 96  window icon: three layered sound waves
    play.png         23 x 23  play button: a green triangle

Pure Python (zlib only); every pixel is supersampled 4 x 4 for smooth edges.
Run it again after changing a shape: python3 resources/img/drawimages.py
"""

import math
import os
import struct
import zlib

SUPERSAMPLE = 4


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples, each channel 0..255."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def over(dst, src):
    """Composites the straight-alpha colour src (channels 0..1) over dst."""
    sr, sg, sb, sa = src
    dr, dg, db, da = dst
    a = sa + da * (1 - sa)
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda s, d: (s * sa + d * da * (1 - sa)) / a
    return (mix(sr, dr), mix(sg, dg), mix(sb, db), a)


def render(width, height, shade):
    """shade(x, y) -> (r, g, b, a) in 0..1 at a sample point; returns 8-bit rows."""
    rows = []
    n = SUPERSAMPLE
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shade(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                colour = [round(255 * c / acc[3]) for c in acc[:3]]
            else:
                colour = [0, 0, 0]
            row.append((*colour, round(255 * alpha)))
        rows.append(row)
    return rows


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


LAUNCHER_SIZE = 96
# Three waves, one per layer, each a tone burst under its own envelope:
# centre y, amplitude, cycles, phase, colour.
WAVES = [
    (30.0, 12.0, 3.0, 0.0, (0.30, 0.85, 0.95)),
    (48.0, 14.0, 4.0, 1.3, (0.25, 0.85, 0.40)),
    (66.0, 10.0, 5.0, 2.1, (1.00, 0.70, 0.20)),
]
WAVE_LEFT, WAVE_RIGHT = 13.0, LAUNCHER_SIZE - 13.0
LINE_HALF_WIDTH = 1.9


def wave_points(centre, amplitude, cycles, phase):
    """The wave as a fine polyline, bucketed by whole x for quick lookup."""
    buckets = {}
    steps = 1200
    for i in range(steps + 1):
        u = i / steps
        x = WAVE_LEFT + u * (WAVE_RIGHT - WAVE_LEFT)
        envelope = math.sin(math.pi * u) ** 1.5
        y = centre + amplitude * envelope * math.sin(2 * math.pi * cycles * u + phase)
        buckets.setdefault(int(x), []).append((x, y))
    return buckets


WAVE_CURVES = [(wave_points(c, a, n, p), colour) for c, a, n, p, colour in WAVES]


def distance_to(buckets, x, y):
    best = float("inf")
    for bx in range(int(x) - 3, int(x) + 4):
        for qx, qy in buckets.get(bx, ()):
            d = (qx - x) ** 2 + (qy - y) ** 2
            if d < best:
                best = d
    return math.sqrt(best)


def launcher_shade(x, y):
    size = float(LAUNCHER_SIZE)
    if not in_rounded_rect(x, y, 2, 2, size - 2, size - 2, 18):
        return (0.0, 0.0, 0.0, 0.0)
    # Dark blue tile, a little lighter at the top.
    t = y / size
    colour = (0.10 + 0.08 * (1 - t), 0.14 + 0.10 * (1 - t), 0.25 + 0.14 * (1 - t), 1.0)
    for buckets, (r, g, b) in WAVE_CURVES:
        distance = distance_to(buckets, x, y)
        if distance <= LINE_HALF_WIDTH:
            colour = over(colour, (r, g, b, 1.0))
        elif distance <= LINE_HALF_WIDTH + 1.5:  # a faint halo lifts the line off the tile
            colour = over(colour, (r, g, b, 0.25 * (1 - (distance - LINE_HALF_WIDTH) / 1.5)))
    return colour


def play_shade(x, y):
    # Triangle pointing right, centred in 23 x 23, with a darker rim.
    a, b, c = (7.0, 4.5), (7.0, 18.5), (19.0, 11.5)

    def edge(p, q):
        # Signed distance of (x, y) from the line p->q (positive inside).
        dx, dy = q[0] - p[0], q[1] - p[1]
        return ((x - p[0]) * dy - (y - p[1]) * dx) / math.hypot(dx, dy)

    inside = min(edge(a, b), edge(b, c), edge(c, a))
    if inside < 0:
        return (0.0, 0.0, 0.0, 0.0)
    if inside < 1.0:
        return (0.0, 0.40, 0.0, 1.0)
    shade = 0.55 + 0.25 * (1 - (y - 4.5) / 14.0)
    return (0.05, shade + 0.1, 0.05, 1.0)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "ic_launcher.png"), 96, 96, render(96, 96, launcher_shade))
    write_png(os.path.join(here, "play.png"), 23, 23, render(23, 23, play_shade))


if __name__ == "__main__":
    main()
