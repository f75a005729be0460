#!/usr/bin/env python3
"""Writes a demo water file (waterpro.dat layout, 21444 bytes) with a few lakes and a sea,
for screenshots and trying the editor out. Usage: make-demo-map.py OUT"""
import math
import struct
import sys

heights = [0.0, 6.0, 12.5, 20.0, 35.0, -2.0, 48.25] + [0.0] * 41
high = bytearray([128]) * 16384
low = bytearray([128]) * 4096


def paint(cx, cy, r, code):
    for x in range(128):
        for y in range(128):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                high[128 * x + 127 - y] = code


for x in range(128):  # a sea along the bottom with a wavy shore
    shore = 100 + int(6 * math.sin(x / 9.0))
    for y in range(shore, 128):
        high[128 * x + 127 - y] = 0
paint(30, 30, 14, 1)
paint(85, 40, 20, 2)
paint(90, 40, 8, 3)
paint(60, 75, 10, 4)
paint(15, 70, 6, 5)
paint(110, 80, 7, 6)
for a in range(64):  # the 64 by 64 grid from the lower-left pixel of each 2 by 2 block
    for b in range(64):
        low[64 * a + b] = high[256 * a + 2 * b]

out = struct.pack("<I", 33) + struct.pack("<48f", *heights)
out += struct.pack("<4f", -3000.0, 3000.0, 3000.0, -3000.0)
out += struct.pack("<4f", 1e6, -1e6, -1e6, 1e6) * 47
out += bytes(low) + bytes(high)
assert len(out) == 21444
with open(sys.argv[1], "wb") as f:
    f.write(out)
