#!/usr/bin/env python3
"""Draws the images of the editor frames into src/res/: the title-row buttons
(minimise, restore, maximise, close hover), the lock and unlock buttons and the
canvas tool strip's icons. Our own simple line drawings.

Run from anywhere: python3 tools/frame_images/make_frame_images.py
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, os.path.join(HERE, "..", "widget_images"))
from pngdraw import seg_dist  # noqa: E402
from gen_widget_images import render, write_ico, write_rows, rrect_dist  # noqa: E402

RES = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res"))
NORMAL = (200, 200, 200, 255)
HOVER = (255, 255, 255, 255)
HOVER_BG = (70, 110, 190, 255)
CLOSE_BG = (200, 50, 50, 255)


def strokes(size, segs, color, width, bg=None, bg_round=True):
    """Line segments (in a size x size box) over an optional round background."""
    def sh(x, y):
        d = min(seg_dist(x, y, *s) for s in segs)
        if d <= width / 2:
            return color
        if bg and (not bg_round or math.hypot(x - size / 2, y - size / 2) <= size / 2 - 1):
            return bg
        return None
    return render(size, size, sh)


def box_segs(x0, y0, x1, y1):
    return [(x0, y0, x1, y0), (x1, y0, x1, y1), (x1, y1, x0, y1), (x0, y1, x0, y0)]


def title_buttons():
    img = os.path.join(RES, "image")
    os.makedirs(img, exist_ok=True)
    mins = [(9, 16, 21, 16)]
    write_rows(os.path.join(img, "min_normal.png"), strokes(30, mins, NORMAL, 2))
    write_rows(os.path.join(img, "min_hover.png"), strokes(30, mins, HOVER, 2, HOVER_BG))
    # restore: two overlapping boxes; maximise: one box
    restore = box_segs(9, 12, 18, 21) + [(12, 12, 12, 9), (12, 9, 21, 9), (21, 9, 21, 18), (21, 18, 18, 18)]
    write_rows(os.path.join(img, "normal_normal.png"), strokes(30, restore, NORMAL, 1.6))
    write_rows(os.path.join(img, "normal_hover.png"), strokes(30, restore, HOVER, 1.6, HOVER_BG))
    maxi = box_segs(9, 9, 21, 21)
    write_rows(os.path.join(img, "max_normal.png"), strokes(30, maxi, NORMAL, 1.6))
    write_rows(os.path.join(img, "max_hover.png"), strokes(30, maxi, HOVER, 1.6, HOVER_BG))
    cross = [(10, 10, 20, 20), (20, 10, 10, 20)]
    write_rows(os.path.join(img, "close_hover.png"), strokes(30, cross, HOVER, 2.6, CLOSE_BG))


def padlock(size, open_, color, bg):
    s = size / 100.0

    def sh(x, y):
        u, v = x / s, y / s
        body = rrect_dist(u, v, 25, 45, 75, 85, 6) <= 0
        # the shackle: a half ring over the body, lifted on the right when open
        cx, cy, r = 50, 45, 17
        lift = 14 if open_ else 0
        ring = False
        if v <= cy:
            ring = abs(math.hypot(u - cx, v - cy) - r) <= 4
        elif u < cx:
            ring = abs(u - (cx - r)) <= 4 and v <= cy + 4
        if open_ and v <= cy:
            ring = abs(math.hypot(u - cx, v - (cy - lift)) - r) <= 4 and v <= cy - lift
            ring = ring or (abs(u - (cx - r)) <= 4 and cy - lift <= v <= cy + 4)
        keyhole = math.hypot(u - 50, v - 60) <= 5 or (abs(u - 50) <= 2 and 60 <= v <= 74)
        if (body and not keyhole) or ring:
            return color
        if bg and math.hypot(u - 50, v - 50) <= 49:
            return bg
        return None
    return render(size, size, sh)


def lock_buttons():
    vt = os.path.join(RES, "videoTool")
    os.makedirs(vt, exist_ok=True)
    write_rows(os.path.join(vt, "lock-normal.png"), padlock(30, False, NORMAL, None))
    write_rows(os.path.join(vt, "lock-hover.png"), padlock(30, False, HOVER, HOVER_BG))
    write_rows(os.path.join(vt, "unlock-normal.png"), padlock(250, True, (230, 230, 230, 255), (40, 40, 40, 255)))
    write_rows(os.path.join(vt, "unlock-hover.png"), padlock(250, True, HOVER, HOVER_BG))


def arrow(x0, y0, x1, y1, head=4):
    ang = math.atan2(y1 - y0, x1 - x0)
    segs = [(x0, y0, x1, y1)]
    for da in (2.5, -2.5):
        segs.append((x1, y1, x1 + head * math.cos(ang + da), y1 + head * math.sin(ang + da)))
    return segs


def tool_icons():
    tb = os.path.join(RES, "toolBar")
    os.makedirs(tb, exist_ok=True)
    c = (225, 225, 225, 255)
    shapes = {
        "delete": [(6, 6, 18, 18), (18, 6, 6, 18)],
        "up": box_segs(4, 12, 14, 20) + arrow(17, 16, 17, 4),
        "down": box_segs(4, 4, 14, 12) + arrow(17, 8, 17, 20),
        "auto": box_segs(3, 3, 21, 21) + arrow(12, 12, 5, 5, 3) + arrow(12, 12, 19, 19, 3),
        "horizontal": [(3, 4, 3, 20), (21, 4, 21, 20)] + box_segs(8, 8, 16, 16),
        "vertical": [(4, 3, 20, 3), (4, 21, 20, 21)] + box_segs(8, 8, 16, 16),
    }
    for name, segs in shapes.items():
        images = []
        # shown at 20 pixels in the strip; the others for other densities
        for size in (16, 20, 24, 32, 40):
            k = size / 24.0
            scaled = [tuple(v * k for v in s) for s in segs]
            images.append(strokes(size, scaled, c, 1.8 * k, (60, 60, 66, 255), bg_round=False))
        write_ico(os.path.join(tb, name + ".ico"), images)


def triangle(w, h, up, color):
    """A solid arrow head filling a w x h box, pointing up or down."""
    def sh(x, y):
        t = (y / h) if up else (1.0 - y / h)
        return color if abs(x - w / 2.0) <= t * w / 2.0 else None
    return render(w, h, sh)


def check_box(size, checked):
    """The check box indicator: a light frame on the dark page, filled blue with a white tick when checked."""
    frame = (190, 190, 190, 255)
    fill = (41, 113, 226, 255)
    tick = [(size * 0.25, size * 0.52), (size * 0.43, size * 0.7), (size * 0.76, size * 0.3)]

    def sh(x, y):
        d = rrect_dist(x, y, 1, 1, size - 1, size - 1, 2.5)
        if checked:
            if min(seg_dist(x, y, *tick[0], *tick[1]), seg_dist(x, y, *tick[1], *tick[2])) <= size / 11.0:
                return (255, 255, 255, 255)
            return fill if d <= 0 else None
        if -1.5 <= d <= 0:
            return frame
        return (26, 26, 26, 255) if d < 0 else None
    return render(size, size, sh)


def page_controls():
    """Spin box arrows and the check box indicator of the dark property pages."""
    img = os.path.join(RES, "image")
    for up in (True, False):
        name = "spin-up" if up else "spin-down"
        write_rows(os.path.join(img, name + ".png"), triangle(10, 6, up, (230, 230, 230, 255)))
        write_rows(os.path.join(img, name + "-off.png"), triangle(10, 6, up, (110, 110, 110, 255)))
    write_rows(os.path.join(img, "check-on.png"), check_box(18, True))
    write_rows(os.path.join(img, "check-off.png"), check_box(18, False))


def main():
    title_buttons()
    lock_buttons()
    tool_icons()
    page_controls()
    print("images written under", RES)


if __name__ == "__main__":
    main()
