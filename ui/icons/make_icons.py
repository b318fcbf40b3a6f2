#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program icon, a rotary table seen from above with a ring of holes, as 16-colour
PNG images of 32x32 and 16x16 pixels and as SVG. Needs only the Python standard library:

    python3 ui/icons/make_icons.py ui/icons
"""
import math
import struct
import sys
import zlib
from pathlib import Path

# Index 0 is transparent; the others are the classic 16-colour desktop palette, less one.
PALETTE = [
    (0, 0, 0), (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255),
    (0, 0, 128), (0, 0, 255), (0, 128, 128), (0, 255, 255), (128, 0, 0),
    (255, 0, 0), (128, 128, 0), (255, 255, 0), (0, 128, 0), (0, 255, 0), (128, 0, 128),
]
CLEAR, BLACK, DARK, GREY, WHITE, NAVY = 0, 1, 2, 3, 4, 5
RED = 10

RIM_OUTER, RIM_INNER = 0.98, 0.80
BORE = 0.14
SLOT_WIDTH, SLOT_FROM, SLOT_TO = 0.10, 0.22, 0.74
HOLE_RING, HOLE_RADIUS, HOLES = 0.52, 0.10, 6


def colour_at(x, y):
    """The palette index of the point (x, y), both in [-1, 1], y pointing down."""
    r = math.hypot(x, y)
    if r > RIM_OUTER:
        return CLEAR
    if r > RIM_OUTER - 0.07:
        return BLACK
    angle = math.degrees(math.atan2(x, -y)) % 360
    if r > RIM_INNER:
        if angle < 8 or angle > 352:
            return RED
        return WHITE if angle % 30 < 3 else DARK
    if r > RIM_INNER - 0.05:
        return BLACK
    if r < BORE:
        return BLACK
    for k in range(HOLES):
        a = math.radians(k * 360 / HOLES)
        if math.hypot(x - HOLE_RING * math.sin(a), y + HOLE_RING * math.cos(a)) < HOLE_RADIUS:
            return BLACK
    for k in range(4):
        a = math.radians(45 + k * 90)
        along = x * math.sin(a) - y * math.cos(a)
        across = x * math.cos(a) + y * math.sin(a)
        if SLOT_FROM < along < SLOT_TO and abs(across) < SLOT_WIDTH / 2:
            return NAVY
    return WHITE if x + y < -0.95 else GREY


def render(size, samples=4):
    """Each pixel takes the colour most of its sub-samples fall on."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            votes = {}
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size * 2 - 1
                    y = (py + (sy + 0.5) / samples) / size * 2 - 1
                    c = colour_at(x, y)
                    votes[c] = votes.get(c, 0) + 1
            row.append(max(votes, key=lambda c: (votes[c], c)))
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    size = len(rows)
    raw = b""
    for row in rows:
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        raw += b"\0" + packed
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
            + chunk(b"tRNS", b"\0")
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def svg():
    def hexc(i):
        return "#%02x%02x%02x" % PALETTE[i]

    def at(v):
        return f"{16 + 16 * v:.2f}"

    def length(v):
        return f"{16 * v:.2f}"

    parts = [
        '<!-- SPDX-License-Identifier: GPL-3.0-or-later -->',
        '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32" width="32" height="32">',
        f'<circle cx="16" cy="16" r="{length(RIM_OUTER - 0.035)}" fill="{hexc(DARK)}" '
        f'stroke="{hexc(BLACK)}" stroke-width="{length(0.07)}"/>',
    ]
    for k in range(12):
        a = math.radians(k * 30)
        parts.append(
            f'<line x1="{at(RIM_INNER * math.sin(a))}" y1="{at(-RIM_INNER * math.cos(a))}" '
            f'x2="{at(0.91 * math.sin(a))}" y2="{at(-0.91 * math.cos(a))}" '
            f'stroke="{hexc(RED if k == 0 else WHITE)}" '
            f'stroke-width="{length(0.12 if k == 0 else 0.04)}"/>')
    parts.append(f'<circle cx="16" cy="16" r="{length(RIM_INNER - 0.025)}" fill="{hexc(GREY)}" '
                 f'stroke="{hexc(BLACK)}" stroke-width="{length(0.05)}"/>')
    for k in range(4):
        angle = 45 + k * 90
        parts.append(f'<rect x="{at(-SLOT_WIDTH / 2)}" y="{at(-SLOT_TO)}" '
                     f'width="{length(SLOT_WIDTH)}" height="{length(SLOT_TO - SLOT_FROM)}" '
                     f'fill="{hexc(NAVY)}" transform="translate(16 16) rotate({angle}) translate(-16 -16)"/>')
    for k in range(HOLES):
        a = math.radians(k * 360 / HOLES)
        parts.append(f'<circle cx="{at(HOLE_RING * math.sin(a))}" '
                     f'cy="{at(-HOLE_RING * math.cos(a))}" r="{length(HOLE_RADIUS)}" '
                     f'fill="{hexc(BLACK)}"/>')
    parts.append(f'<circle cx="16" cy="16" r="{length(BORE)}" fill="{hexc(BLACK)}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    for size in (16, 32):
        (out / f"morvanta-{size}.png").write_bytes(png(render(size)))
    (out / "morvanta.svg").write_text(svg())


if __name__ == "__main__":
    main()
