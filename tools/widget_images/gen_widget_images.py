#!/usr/bin/env python3
"""Draws the images of the frameless dialogs and tables into src/res/image/.

Our own simple drawings: a close cross, check boxes and the program logo.
Run from anywhere: python3 tools/widget_images/gen_widget_images.py
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pngdraw import seg_dist, supersample, write_png  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "src", "res", "image"))
SS = 4  # supersampling per axis


def rrect_dist(px, py, x0, y0, x1, y1, r):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    out = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return out + min(max(qx, qy), 0.0) - r


def render(w, h, shader):
    """shader(x, y) -> (r, g, b, a) or None; returns rows of RGBA tuples."""
    pixels = supersample(w, h, shader, SS)
    return [pixels[y * w:(y + 1) * w] for y in range(h)]


def write_rows(path, rows):
    write_png(path, len(rows[0]), len(rows), [px for row in rows for px in row])


def write_ico(path, images):
    """images: list of row lists (square). 32-bit BMP entries with AND masks."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        h, w = len(rows), len(rows[0])
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = b"".join(bytes((px[2], px[1], px[0], px[3])) for row in reversed(rows) for px in row)
        mask_stride = ((w + 31) // 32) * 4
        mask = b"\x00" * (mask_stride * h)
        blob = header + pixels + mask
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def close_icon(color, bg):
    s = 30.0

    def sh(x, y):
        d = min(seg_dist(x, y, 10, 10, 20, 20), seg_dist(x, y, 20, 10, 10, 20))
        if d <= 1.3:
            return color
        if bg and math.hypot(x - s / 2, y - s / 2) <= 13:
            return bg
        return None
    return render(30, 30, sh)


def checkbox(checked):
    def sh(x, y):
        d = rrect_dist(x, y, 3, 3, 23, 23, 3)
        if checked:
            if d <= 0:
                tick = min(seg_dist(x, y, 7.5, 13.5, 11.5, 17.5), seg_dist(x, y, 11.5, 17.5, 19, 9))
                if tick <= 1.4:
                    return (255, 255, 255, 255)
                return (234, 136, 34, 255)
            return None
        if -1.5 <= d <= 0:
            return (175, 175, 175, 255)
        if d < -1.5:
            return (26, 26, 26, 255)
        return None
    return render(26, 26, sh)


def logo(size):
    k = size / 64.0

    def sh(x, y):
        x, y = x / k, y / k
        d = rrect_dist(x, y, 2, 2, 62, 62, 12)
        if d > 0:
            return None
        # a stylised screen: three bars of light on a dark tile
        for i, (x0, x1) in enumerate(((14, 50), (14, 42), (14, 34))):
            yc = 20 + i * 12
            if seg_dist(x, y, x0, yc, x1, yc) <= 3.2:
                return (255, 170, 0, 255)
        if d > -2.5:
            return (255, 170, 0, 255)
        return (35, 35, 38, 255)
    return render(size, size, sh)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_rows(os.path.join(OUT, "close_normal.png"), close_icon((200, 200, 200, 255), None))
    write_rows(os.path.join(OUT, "unchecked.png"), checkbox(False))
    write_rows(os.path.join(OUT, "checked.png"), checkbox(True))
    write_ico(os.path.join(OUT, "kelvo.ico"), [logo(16), logo(32), logo(48)])
    print("images written to", OUT)


if __name__ == "__main__":
    main()
