#!/usr/bin/env python3
"""Draws the source panel's images (port icons, fold, refresh and add buttons).

Run from anywhere:  python3 make_icons.py [output-folder]
The default output folder is src/res/image of this checkout. Only the standard
library is used: shapes are sampled 4x4 per pixel and written as RGBA PNGs.
Existing files of the same name are left alone unless --force is given.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "..", "tools"))
from pngdraw import write_png  # noqa: E402

SS = 4  # samples per pixel and axis


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]  # premultiplied

    def paint(self, inside, color):
        """Composites colour over every pixel, weighted by the share of samples
        for which inside(x, y) is true (x, y in pixel units)."""
        r, g, b, a = color
        for py in range(self.h):
            for px in range(self.w):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS):
                            hits += 1
                if not hits:
                    continue
                cov = hits / (SS * SS) * (a / 255.0)
                p = self.px[py * self.w + px]
                p[0] = r * cov + p[0] * (1 - cov)
                p[1] = g * cov + p[1] * (1 - cov)
                p[2] = b * cov + p[2] * (1 - cov)
                p[3] = 255 * cov + p[3] * (1 - cov)

    def save(self, path):
        out = []
        for p in self.px:
            a = p[3]
            if a <= 0:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(max(0, min(255, int(round(v * 255.0 / a)))) for v in p[:3])
                           + (int(round(a)),))
        write_png(path, self.w, self.h, out)


# ---- shape helpers -------------------------------------------------------

def poly(points):
    def inside(x, y):
        c = False
        n = len(points)
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c
    return inside


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, t):
    return lambda x, y: (r - t) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def outline(shape, t):
    """The band of width t inside the border of a shape."""
    offs = [(math.cos(k * math.pi / 8) * t, math.sin(k * math.pi / 8) * t) for k in range(16)]

    def inside(x, y):
        if not shape(x, y):
            return False
        return any(not shape(x + dx, y + dy) for dx, dy in offs)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# 5x7 letters for the connector captions
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "G": ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["111", "010", "010", "010", "010", "010", "111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
}


def text_shape(text, x0, y0):
    cells = []
    x = x0
    for ch in text:
        rows = FONT[ch]
        for ry, row in enumerate(rows):
            for rx, bit in enumerate(row):
                if bit == "1":
                    cells.append((x + rx, y0 + ry))
        x += len(rows[0]) + 1
    cells = set(cells)
    return lambda x, y: (int(math.floor(x)), int(math.floor(y))) in cells


def text_width(text):
    return sum(len(FONT[c][0]) + 1 for c in text) - 1


# ---- the images ----------------------------------------------------------

W, H = 44, 30
ON = (38, 190, 186, 255)     # signal present
OFF = (120, 120, 120, 255)   # no signal
BODY_ON = (38, 190, 186, 60)
BODY_OFF = (120, 120, 120, 50)


def connector(kind):
    """Outline shape and inner details of a connector face, in a 44 x 16 box."""
    if kind == "hdmi":
        body = poly([(6, 2), (38, 2), (38, 9), (33, 14), (11, 14), (6, 9)])
        detail = poly([(11, 6), (33, 6), (33, 8), (11, 8)])
    elif kind == "dvi":
        body = poly([(4, 2), (36, 2), (40, 6), (40, 10), (36, 14), (4, 14)])
        dots = [circle(8 + 4 * i, 5.5 + 4 * j, 1.1) for i in range(6) for j in range(2)]
        detail = union(poly([(34, 7), (38, 7), (38, 9), (34, 9)]), *dots)
    elif kind == "vga":
        body = poly([(5, 2), (39, 2), (35, 14), (9, 14)])
        dots = [circle(11 + 5.5 * i, 5.5, 1.1) for i in range(5)]
        dots += [circle(13.5 + 5.5 * i, 10.5, 1.1) for i in range(4)]
        detail = union(*dots)
    elif kind == "dp":
        body = poly([(7, 2), (37, 2), (37, 10), (33, 14), (7, 14)])
        detail = poly([(11, 6), (31, 6), (31, 8), (11, 8)])
    elif kind == "sdi":
        body = circle(22, 8, 7)
        detail = union(circle(22, 8, 1.8), poly([(14, 7), (30, 7), (30, 9), (14, 9)]))
    else:  # cvbs
        body = circle(22, 8, 7)
        detail = union(ring(22, 8, 4.2, 1.3), circle(22, 8, 1.5))
    return body, detail


def port_icon(kind, on, path):
    c = Canvas(W, H)
    body, detail = connector(kind)
    c.paint(body, BODY_ON if on else BODY_OFF)
    c.paint(outline(body, 1.4), ON if on else OFF)
    c.paint(detail, ON if on else OFF)
    label = kind.upper()
    c.paint(text_shape(label, (W - text_width(label)) // 2, 20), ON if on else (160, 160, 160, 255))
    c.save(path)


def fold_icon(open_, path):
    c = Canvas(24, 24)
    c.paint(rrect(1, 1, 23, 23, 5), (70, 70, 74, 255))
    if open_:   # unfolded: chevron pointing down
        arrow = poly([(6, 9), (8.5, 7), (12, 11), (15.5, 7), (18, 9), (12, 15.5)])
    else:       # folded: chevron pointing right
        arrow = poly([(9, 6), (11, 3.5), (18.5, 12), (11, 20.5), (9, 18), (14, 12)])
    c.paint(arrow, (220, 220, 220, 255))
    c.save(path)


def refresh_icon(hover, path):
    c = Canvas(24, 24)
    col = (38, 190, 186, 255) if hover else (200, 200, 200, 255)
    arc_ring = ring(12, 12, 8, 2.2)

    def arc(x, y):
        ang = math.degrees(math.atan2(y - 12, x - 12))
        return arc_ring(x, y) and not (-75 < ang < -20)
    c.paint(arc, col)
    # arrow head at the end of the arc, pointing clockwise
    c.paint(poly([(14, 1.5), (21.5, 4.5), (15, 10)]), col)
    c.save(path)


def add_icon(path):
    c = Canvas(24, 24)
    c.paint(circle(12, 12, 11), (255, 170, 0, 255))
    c.paint(union(poly([(10.5, 5), (13.5, 5), (13.5, 19), (10.5, 19)]),
                  poly([(5, 10.5), (19, 10.5), (19, 13.5), (5, 13.5)])), (255, 255, 255, 255))
    c.save(path)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    force = "--force" in sys.argv
    here = os.path.dirname(os.path.abspath(__file__))
    out = args[0] if args else os.path.normpath(os.path.join(here, "..", "..", "..", "res", "image"))
    os.makedirs(out, exist_ok=True)
    jobs = []
    for kind in ("hdmi", "dvi", "vga", "dp", "sdi", "cvbs"):
        jobs.append(("%s-en.png" % kind, lambda p, k=kind: port_icon(k, True, p)))
        jobs.append(("%s-un.png" % kind, lambda p, k=kind: port_icon(k, False, p)))
    jobs += [("open.png", lambda p: fold_icon(True, p)),
             ("close.png", lambda p: fold_icon(False, p)),
             ("reset-normal.png", lambda p: refresh_icon(False, p)),
             ("reset-hover.png", lambda p: refresh_icon(True, p)),
             ("add-pressed.png", add_icon)]
    for name, fn in jobs:
        path = os.path.join(out, name)
        if os.path.exists(path) and not force:
            print("kept", path)
            continue
        fn(path)
        print("wrote", path)


if __name__ == "__main__":
    main()
