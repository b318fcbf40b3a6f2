#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Morvanta Workshop's icon: Morvanta's rotary table with a printed sheet in front of it, a
column of tick boxes with the first two ticked. PNG images of 16, 32 and 48 pixels and an SVG, in
the same 16-colour palette as Morvanta's own icon, which this script takes its drawing from:

    python3 workshop/icons/make_icons.py workshop/icons
"""
import importlib.util
import sys
from pathlib import Path

here = Path(__file__).resolve().parent
loader = importlib.util.spec_from_file_location(
    "morvanta_icons", here.parent.parent / "ui" / "icons" / "make_icons.py")
table = importlib.util.module_from_spec(loader)
loader.loader.exec_module(table)

BLACK, WHITE, DARK, GREEN = table.BLACK, table.WHITE, table.DARK, 13

# The sheet, in the table's coordinates ([-1, 1], y down): its edges, and its three rows.
LEFT, RIGHT, TOP, BOTTOM = 0.02, 0.98, -0.06, 0.98
EDGE = 0.08
ROWS = (0.22, 0.50, 0.78)
BOX = 0.09
BOX_X = 0.22


def sheet_colour_at(x, y):
    """The sheet's colour at (x, y), or None off the sheet."""
    if not (LEFT <= x <= RIGHT and TOP <= y <= BOTTOM):
        return None
    if x < LEFT + EDGE or x > RIGHT - EDGE or y < TOP + EDGE or y > BOTTOM - EDGE:
        return BLACK
    for k, row in enumerate(ROWS):
        if abs(y - row) <= BOX and abs(x - BOX_X) <= BOX:
            inside = abs(x - BOX_X) < BOX - 0.05 and abs(y - row) < BOX - 0.05
            if k < 2:
                return GREEN
            return WHITE if inside else BLACK
        if abs(y - row) <= 0.04 and BOX_X + BOX + 0.08 <= x <= RIGHT - EDGE - 0.08:
            return DARK
    return WHITE


table_colour_at = table.colour_at


def colour_at(x, y):
    on_sheet = sheet_colour_at(x, y)
    return table_colour_at(x, y) if on_sheet is None else on_sheet


def svg():
    def at(v):
        return f"{16 + 16 * v:.2f}"

    def length(v):
        return f"{16 * v:.2f}"

    def hexc(i):
        return "#%02x%02x%02x" % table.PALETTE[i]

    parts = table.svg().rstrip().split("\n")[:-1]
    inset = EDGE / 2
    parts.append(f'<rect x="{at(LEFT + inset)}" y="{at(TOP + inset)}" '
                 f'width="{length(RIGHT - LEFT - EDGE)}" height="{length(BOTTOM - TOP - EDGE)}" '
                 f'fill="{hexc(WHITE)}" stroke="{hexc(BLACK)}" stroke-width="{length(EDGE)}"/>')
    for k, row in enumerate(ROWS):
        parts.append(f'<rect x="{at(BOX_X - BOX + 0.025)}" y="{at(row - BOX + 0.025)}" '
                     f'width="{length(2 * BOX - 0.05)}" height="{length(2 * BOX - 0.05)}" '
                     f'fill="{hexc(GREEN if k < 2 else WHITE)}" stroke="{hexc(BLACK if k == 2 else GREEN)}" '
                     f'stroke-width="{length(0.05)}"/>')
        parts.append(f'<line x1="{at(BOX_X + BOX + 0.08)}" y1="{at(row)}" '
                     f'x2="{at(RIGHT - EDGE - 0.08)}" y2="{at(row)}" stroke="{hexc(DARK)}" '
                     f'stroke-width="{length(0.08)}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else here)
    # render() looks colour_at up in its own module.
    table.colour_at = colour_at
    for size in (16, 32, 48):
        (out / f"morvanta-workshop-{size}.png").write_bytes(table.png(table.render(size)))
    (out / "morvanta-workshop.svg").write_text(svg())


if __name__ == "__main__":
    main()
