#!/usr/bin/env python3
"""Writes a large 24-bit BMP picture, row by row, for measuring what an import of a big picture
costs in time and memory. The picture is painted in 64-pixel squares of the level colours and
white. Nothing is held in memory beyond one row per colour band.

Usage: make-big-bmp.py OUT [SIZE]   (SIZE defaults to 8192: an 8192 x 8192 picture, 192 MiB)"""
import struct
import sys

COLOURS = [  # red, green, blue of level codes 0 to 14, then white
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SQUARE = 64


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out = sys.argv[1]
    size = int(sys.argv[2]) if len(sys.argv) == 3 else 8192
    row_bytes = (size * 3 + 3) // 4 * 4
    pixel_bytes = row_bytes * size
    header = b"BM" + struct.pack("<IHHI", 54 + pixel_bytes, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, pixel_bytes, 0, 0, 0, 0)

    # Rows depend only on the band y // SQUARE modulo 16: build those 16 rows once.
    def row(band):
        pixels = bytearray()
        for x in range(0, size, SQUARE):
            r, g, b = COLOURS[(x // SQUARE + band) % 16]
            pixels += bytes((b, g, r)) * min(SQUARE, size - x)
        return bytes(pixels) + b"\0" * (row_bytes - 3 * size)

    rows = [row(band) for band in range(16)]
    with open(out, "wb") as f:
        f.write(header + info)
        for stored in range(size):  # bottom-up: the first stored row is the bottom row
            y = size - 1 - stored
            f.write(rows[(y // SQUARE) % 16])


if __name__ == "__main__":
    main()
