#!/usr/bin/env python3
"""Draws the device row's delete button images (del-normal.png, del-hover.png).

Run from anywhere:  python3 make_images.py [output-folder]
The default output folder is src/res/image of this checkout. Only the standard
library is used: shapes are sampled 4x4 per pixel and written as RGBA PNGs.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pngdraw import seg_dist, write_png  # noqa: E402

SS = 4


def draw_delete(size, disc, cross):
    """A filled disc with a cross, antialiased by supersampling."""
    c = size / 2.0
    r = size / 2.0 - 1.0
    arm = size * 0.22
    half = size * 0.07
    pixels = []
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    px = x + (sx + 0.5) / SS
                    py = y + (sy + 0.5) / SS
                    if math.hypot(px - c, py - c) > r:
                        continue
                    d = min(seg_dist(px, py, c - arm, c - arm, c + arm, c + arm),
                            seg_dist(px, py, c - arm, c + arm, c + arm, c - arm))
                    col = cross if d <= half else disc
                    for i in range(3):
                        acc[i] += col[i]
                    acc[3] += 255
            n = SS * SS
            a = acc[3] / n
            if a == 0:
                pixels.append((0, 0, 0, 0))
            else:
                k = acc[3] / 255.0
                pixels.append(tuple(int(acc[i] / k) for i in range(3)) + (int(a),))
    return pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src", "res", "image")
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "del-normal.png"), 24, 24, draw_delete(24, (110, 110, 116), (235, 235, 235)))
    write_png(os.path.join(out, "del-hover.png"), 24, 24, draw_delete(24, (214, 64, 64), (255, 255, 255)))


if __name__ == "__main__":
    main()
