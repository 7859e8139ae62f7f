#!/usr/bin/env python3
"""Draws the toolkit's message box images into src/res/image/.

Our own simple drawings: information, question and error badges, and the
OK tick and close cross of the box buttons.
Run from anywhere: python3 tools/kit_images/gen_kit_images.py
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pngdraw import seg_dist, supersample, write_png  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res", "image"))
SS = 4
SIZE = 32
WHITE = (255, 255, 255, 255)


def render(shader):
    # Python's round() (halves to even) is what these images were drawn with.
    return supersample(SIZE, SIZE, shader, SS, round)


def strokes(segs, width):
    def inside(x, y):
        return any(seg_dist(x, y, *s) <= width / 2 for s in segs)
    return inside


def arc(cx, cy, r, a0, a1, steps=16):
    pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
            cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]
    return [(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]) for i in range(steps)]


def badge(colour, mark):
    def shader(x, y):
        if math.hypot(x - 16, y - 16) > 15:
            return None
        if mark(x, y):
            return WHITE
        return colour
    return shader


def plain(colour, mark):
    def shader(x, y):
        return colour if mark(x, y) else None
    return shader


def dot(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def either(*fs):
    return lambda x, y: any(f(x, y) for f in fs)


IMAGES = {
    "msg_info.png": badge((41, 128, 215, 255),
                          either(dot(16, 9, 2.3), strokes([(16, 14, 16, 24)], 4))),
    "msg_question.png": badge((46, 160, 90, 255),
                              either(strokes(arc(16, 12, 5, 180, 405) + [(19.5, 15.5, 16, 19)], 3.4),
                                     dot(16, 24.5, 2.2))),
    "msg_error.png": badge((214, 57, 57, 255),
                           strokes([(10, 10, 22, 22), (22, 10, 10, 22)], 4)),
    "btn_ok.png": plain((46, 160, 90, 255), strokes([(5, 17, 13, 25), (13, 25, 27, 8)], 5)),
    "btn_close.png": plain((214, 57, 57, 255), strokes([(7, 7, 25, 25), (25, 7, 7, 25)], 5)),
}

if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, shader in IMAGES.items():
        write_png(os.path.join(OUT, name), SIZE, SIZE, render(shader))
        print("wrote", name)
