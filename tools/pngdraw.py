"""Small drawing helpers shared by the image scripts (standard library only).

write_png(path, w, h, pixels) writes 8-bit RGBA pixels (a flat, row-major list
of (r, g, b, a) tuples) as a PNG; seg_dist gives the distance of a point to a
line segment, used to draw strokes by supersampling; supersample(w, h, shader)
renders a shader into such a pixel list.
"""
import math
import struct
import zlib


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


def half_up(v):
    return int(v + 0.5)


def supersample(w, h, shader, ss=4, rounding=half_up):
    """Renders shader(x, y) -> (r, g, b, a) or None, sampled ss x ss times a
    pixel, into a flat row-major list of RGBA tuples: each pixel's colour is
    the coverage-weighted mean of its samples, its alpha their mean coverage,
    both rounded to whole numbers by rounding."""
    pixels = []
    n = ss * ss
    for y in range(h):
        for x in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    c = shader(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss)
                    if c:
                        a = c[3] / 255.0
                        acc[0] += c[0] * a
                        acc[1] += c[1] * a
                        acc[2] += c[2] * a
                        acc[3] += a
            a = acc[3] / n
            if a > 0:
                pixels.append((rounding(acc[0] / acc[3]), rounding(acc[1] / acc[3]),
                               rounding(acc[2] / acc[3]), rounding(a * 255)))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))
