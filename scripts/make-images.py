#!/usr/bin/env python3
"""Writes the program's two images into Data/: a soft round star sprite and
a plain white image, both 24-bit uncompressed BMP. With --corpus DIR it also
writes the small bitmaps that seed the reader's fuzzer."""
import math
import os
import struct
import sys


def bmp(width, height, pixel, bits=24):
    """A bottom-up BMP; pixel(x, y) gives (r, g, b) with y = 0 the bottom row."""
    bytes_per_pixel = bits // 8
    stride = (width * bytes_per_pixel + 3) & ~3
    rows = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r)) + b"\xff" * (bytes_per_pixel - 3)
        rows += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + bytes(rows)


def star(x, y, size=64):
    # Bright centre, soft glow, black at the rim: additive blending turns
    # overlapping sprites into glowing points.
    c = (size - 1) / 2
    d = math.hypot(x - c, y - c) / (size / 2)
    glow = max(0.0, 1.0 - d) ** 2
    core = math.exp(-(d / 0.12) ** 2)
    v = min(255, round(255 * (0.75 * glow + 0.25 * core)))
    return (v, v, v)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    write(os.path.join(root, "Data", "Star.bmp"), bmp(64, 64, star))
    write(os.path.join(root, "Data", "white.bmp"), bmp(16, 16, lambda x, y: (255, 255, 255)))
    if len(sys.argv) == 3 and sys.argv[1] == "--corpus":
        out = sys.argv[2]
        write(os.path.join(out, "padded-3x2.bmp"), bmp(3, 2, lambda x, y: (x * 80, y * 120, 7)))
        write(os.path.join(out, "star-8x8.bmp"), bmp(8, 8, lambda x, y: star(x, y, 8)))
        write(os.path.join(out, "rgba-2x2.bmp"), bmp(2, 2, lambda x, y: (1, 2, 3), bits=32))


if __name__ == "__main__":
    main()
