#!/usr/bin/env python3
"""Draws the device row's delete button images (del-normal.png, del-hover.png).

Run from anywhere:  python3 make_images.py [output-folder]
The default output folder is src/res/image of this checkout. Only the standard
library is used: shapes are sampled 4x4 per pixel and written as RGBA PNGs.
"""
import math
import os
import struct
import sys
import zlib

SS = 4


def write_png(path, w, h, pixels):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw.extend(pixels[y * w + x])

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


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
