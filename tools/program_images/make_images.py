#!/usr/bin/env python3
"""Draws the images of the scene list and the play window into src/res/.

Our own simple drawings: plus signs for the add buttons and round play, stop
and return buttons with a slider handle. Standard library only.
Run from anywhere: python3 tools/program_images/make_images.py
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
from pngdraw import seg_dist, supersample, write_png  # noqa: E402

RES = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res"))
SS = 4


def render(path, w, h, shader):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    write_png(path, w, h, supersample(w, h, shader, SS))


def plus(size, color, ring_color=None):
    c = size / 2.0
    arm = size * 0.28
    t = max(1.2, size / 14.0)

    def sh(x, y):
        if min(seg_dist(x, y, c - arm, c, c + arm, c), seg_dist(x, y, c, c - arm, c, c + arm)) <= t:
            return color
        if ring_color and abs(math.hypot(x - c, y - c) - (c - 1.5)) <= 1.0:
            return ring_color
        return None
    return sh


def inside_poly(points, x, y):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def round_button(glyph, face):
    def sh(x, y):
        d = math.hypot(x - 15, y - 15)
        if d > 14:
            return None
        if glyph(x, y):
            return (255, 255, 255, 255)
        return face
    return sh


def play_glyph(x, y):
    return inside_poly([(11.5, 8.5), (22, 15), (11.5, 21.5)], x, y)


def stop_glyph(x, y):
    return 10 <= x <= 20 and 10 <= y <= 20


def return_glyph(x, y):
    arrow = inside_poly([(7, 13), (13, 7.5), (13, 18.5)], x, y)
    bar = seg_dist(x, y, 12, 13, 19, 13) <= 1.6 or seg_dist(x, y, 19, 13, 21, 16) <= 1.6 \
        or seg_dist(x, y, 21, 16, 21, 21) <= 1.6
    return arrow or bar


def handle(x, y):
    d = math.hypot(x - 15, y - 15)
    if d <= 7:
        return (255, 255, 255, 255)
    if d <= 9:
        return (26, 171, 169, 255)
    return None


def main():
    img = os.path.join(RES, "image")
    render(os.path.join(img, "add-normal.png"), 24, 24, plus(24, (200, 200, 200, 255)))
    render(os.path.join(img, "maxadd-nomal.png"), 32, 32, plus(32, (170, 170, 170, 255), (120, 120, 120, 255)))
    render(os.path.join(img, "maxadd-hover.png"), 32, 32, plus(32, (26, 171, 169, 255), (26, 171, 169, 255)))
    tool = os.path.join(RES, "videoTool")
    render(os.path.join(tool, "Slider-handle.png"), 30, 30, handle)
    normal, hover = (70, 70, 74, 255), (26, 171, 169, 255)
    for name, glyph in (("play", play_glyph), ("stop", stop_glyph), ("return", return_glyph)):
        render(os.path.join(tool, name + "-normal.png"), 30, 30, round_button(glyph, normal))
        render(os.path.join(tool, name + "-hover.png"), 30, 30, round_button(glyph, hover))
    print("images written under", RES)


if __name__ == "__main__":
    main()
