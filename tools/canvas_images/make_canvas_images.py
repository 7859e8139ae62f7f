#!/usr/bin/env python3
"""Draws the canvas tool column icons (src/res/toolBar/) and the play tool
button images (src/res/videoTool/) that the frames do not draw. Our own simple
drawings.

Run from anywhere: python3 tools/canvas_images/make_canvas_images.py
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, os.path.join(HERE, "..", "widget_images"))
from pngdraw import seg_dist  # noqa: E402
from gen_widget_images import render, write_ico, write_rows  # noqa: E402

SRC = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res"))
WHITE = (230, 230, 230, 255)


def strokes(size, segs, width, color):
    """Line segments in unit coordinates (0..1) drawn with a round pen."""
    def sh(x, y):
        u, v = x / size, y / size
        for (ax, ay, bx, by) in segs:
            if seg_dist(u, v, ax, ay, bx, by) * size <= width / 2.0:
                return color
        return None
    return sh


def ring(cx, cy, r, width):
    """A circle whose stroke width is given in pixels of the 24-pixel drawing and scales with the size."""
    return lambda u, v, s: abs(math.hypot(u - cx, v - cy) * s - r * s) <= width * s / 48.0


def combine(size, parts, color):
    def sh(x, y):
        u, v = x / size, y / size
        for p in parts:
            if p(u, v, size):
                return color
        return None
    return sh


def segs_part(segs, width):
    return lambda u, v, s: any(seg_dist(u, v, *sg) * s <= width / 2.0 for sg in segs)


def tool_segs(segs, width):
    """Strokes whose width is given in pixels of the 24-pixel drawing and scales with the size."""
    return lambda u, v, s: any(seg_dist(u, v, *sg) * s <= width * s / 48.0 for sg in segs)


def magnifier(plus):
    segs = [(0.62, 0.62, 0.88, 0.88), (0.28, 0.42, 0.56, 0.42)]
    if plus:
        segs.append((0.42, 0.28, 0.42, 0.56))
    return [ring(0.42, 0.42, 0.26, 2.2), tool_segs(segs, 2.4)]


# The column shows its icons at 18 pixels; the larger ones serve high-density screens.
TOOL_SIZES = (18, 24, 36)


def icons():
    return {
        "clean.ico": [tool_segs([(0.2, 0.2, 0.8, 0.8), (0.8, 0.2, 0.2, 0.8)], 2.6)],
        "drag.ico": [tool_segs([(0.5, 0.1, 0.5, 0.9), (0.1, 0.5, 0.9, 0.5),
                                (0.5, 0.1, 0.38, 0.24), (0.5, 0.1, 0.62, 0.24),
                                (0.5, 0.9, 0.38, 0.76), (0.5, 0.9, 0.62, 0.76),
                                (0.1, 0.5, 0.24, 0.38), (0.1, 0.5, 0.24, 0.62),
                                (0.9, 0.5, 0.76, 0.38), (0.9, 0.5, 0.76, 0.62)], 2.0)],
        "center.ico": [ring(0.5, 0.5, 0.28, 2.0),
                       tool_segs([(0.5, 0.06, 0.5, 0.32), (0.5, 0.68, 0.5, 0.94),
                                  (0.06, 0.5, 0.32, 0.5), (0.68, 0.5, 0.94, 0.5)], 2.0)],
        "zoomIn.ico": magnifier(True),
        "zoomOut.ico": magnifier(False),
    }


def play_shapes():
    tri = lambda u, v, s: 0.3 <= u <= 0.75 and abs(v - 0.5) <= (0.75 - u) * 0.5 + 0.0001
    square = lambda u, v, s: 0.3 <= u <= 0.7 and 0.3 <= v <= 0.7
    arc = lambda u, v, s: (abs(math.hypot(u - 0.5, v - 0.5) - 0.24) * s <= 1.2
                           and not (u > 0.5 and v < 0.45))
    arrow = segs_part([(0.74, 0.26, 0.74, 0.44), (0.74, 0.44, 0.56, 0.44)], 2.0)
    speaker = lambda u, v, s: (0.2 <= u <= 0.34 and 0.4 <= v <= 0.6) or \
        (0.34 <= u <= 0.52 and abs(v - 0.5) <= 0.1 + (u - 0.34) * 0.9)
    waves = lambda u, v, s: u > 0.55 and any(
        abs(math.hypot(u - 0.42, v - 0.5) - r) * s <= 1.0 for r in (0.2, 0.32))
    cross = segs_part([(0.6, 0.38, 0.82, 0.62), (0.82, 0.38, 0.6, 0.62)], 2.0)
    return {
        "play": [tri],
        "stop": [square],
        "update": [arc, arrow],
        "volume": [speaker, waves],
        "mute": [speaker, cross],
    }


def main():
    tool_dir = os.path.join(SRC, "toolBar")
    os.makedirs(tool_dir, exist_ok=True)
    for name, parts in icons().items():
        images = [render(size, size, combine(size, parts, WHITE)) for size in TOOL_SIZES]
        write_ico(os.path.join(tool_dir, name), images)

    video_dir = os.path.join(SRC, "videoTool")
    os.makedirs(video_dir, exist_ok=True)
    states = {"normal": (220, 220, 220, 255), "hover": (255, 170, 0, 255), "pressed": (110, 110, 110, 255)}
    for name, parts in play_shapes().items():
        # The normal and hover play and stop images are the frames' (tools/frame_images).
        if name in ("volume", "mute"):
            kinds = ("normal", "hover")
        elif name in ("play", "stop"):
            kinds = ("pressed",)
        else:
            kinds = ("normal", "hover", "pressed")
        for state in kinds:
            rows = render(30, 30, combine(30, parts, states[state]))
            write_rows(os.path.join(video_dir, "%s-%s.png" % (name, state)), rows)


if __name__ == "__main__":
    main()
