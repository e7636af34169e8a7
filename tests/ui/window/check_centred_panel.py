#!/usr/bin/env python3
"""Checks a screenshot of a maximised window that shows OXN3's editor below whatever the host puts
on top (a title bar, a menu bar): the editor's area ends at the window's bottom (inside a thin
frame, if any), the panel (754 : 276) spans its full width, and it is centred between two margins
of one plain colour.
    check_centred_panel.py <png> <x> <y> <width> <height>   (the window's area on the screen)"""
import subprocess
import sys


def main():
    png = sys.argv[1]
    x, y, w, h = (int(v) for v in sys.argv[2:6])
    raw = subprocess.run(["convert", png, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                         capture_output=True, check=True, timeout=60).stdout
    if len(raw) != 3 * w * h:
        sys.exit(f"the window's area {w}x{h}+{x}+{y} is not inside the screenshot")
    # A window frame of up to `frame` pixels at the sides and the bottom is not the editor's.
    frame = 4
    rows = [raw[3 * (w * j + frame):3 * (w * (j + 1) - frame)] for j in range(h)]
    width = w - 2 * frame
    margin = rows[h - 1 - frame][0:3]
    plain = margin * width
    if rows[h - 1 - frame] != plain:
        sys.exit("the bottom of the window is not a plain margin")

    def run(start, step, want_plain):
        j = start
        while 0 <= j < h and (rows[j] == plain) == want_plain:
            j += step
        return j

    panel_bottom = run(h - 1 - frame, -1, True)
    below = run(panel_bottom + 1, 1, True) - panel_bottom - 1
    panel_top = run(panel_bottom, -1, False) + 1
    above = panel_top - 1 - run(panel_top - 1, -1, True)
    panel_height = panel_bottom - panel_top + 1
    expected = round(276 * w / 754)
    print(f"window {w}x{h}: margin {above} rows above and {below} below a panel {panel_height} high"
          f" (a {w} wide panel is {expected} high), margin colour {tuple(margin)}")
    if below < 2 or above < 2:
        sys.exit("no plain margins above and below the panel: it is not centred in the maximised window")
    if abs(above - below) > 1:
        sys.exit("the panel is not centred")
    if abs(panel_height - expected) > 3:
        sys.exit("the panel does not keep its shape")
    # The panel reaches both sides: its first and last columns are drawn, not margin.
    for column in (0, width - 1):
        drawn = sum(rows[r][3 * column:3 * column + 3] != margin for r in range(panel_top, panel_bottom + 1))
        if drawn < panel_height // 2:
            sys.exit(f"column {column} of the panel is mostly margin colour")


if __name__ == "__main__":
    main()
