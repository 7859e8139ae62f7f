#!/usr/bin/env python3
"""Draws the sound-on and mute button images of the Z device page (src/res/videoTool/)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from pngdraw import seg_dist, write_png  # noqa: E402

SIZE = 40
GREY = (190, 190, 190)


def inside_speaker(x, y):
    # body: a small box on the left, then a cone widening to the right
    if 8 <= x <= 14 and 15 <= y <= 25:
        return True
    if 14 <= x <= 22:
        half = 5 + (x - 14) * 1.2
        return abs(y - 20) <= half
    return False


def draw(strokes):
    pixels = []
    for py in range(SIZE):
        for px in range(SIZE):
            cover = 0
            for sy in range(4):
                for sx in range(4):
                    x, y = px + (sx + 0.5) / 4, py + (sy + 0.5) / 4
                    if inside_speaker(x, y) or any(seg_dist(x, y, *s) <= 1.4 for s in strokes):
                        cover += 1
            pixels.append(GREY + (cover * 255 // 16,))
    return pixels


def main():
    out = os.path.join(os.path.dirname(__file__), "..", "..", "src", "res", "videoTool")
    waves = [(26, 14, 28, 20), (28, 20, 26, 26), (30, 10, 33, 20), (33, 20, 30, 30)]
    cross = [(26, 15, 35, 25), (26, 25, 35, 15)]
    write_png(os.path.join(out, "volume.png"), SIZE, SIZE, draw(waves))
    write_png(os.path.join(out, "mute.png"), SIZE, SIZE, draw(cross))


if __name__ == "__main__":
    main()
