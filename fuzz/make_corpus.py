#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: one small BMP file per variant the picture
import reads, and three water files. Run from anywhere; the files land next to this script in
corpus/bmp/ and corpus/water/. The output is deterministic."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

MAP = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
ODD = [(250, 10, 10), (120, 5, 5), (200, 190, 185), (10, 240, 250), (60, 60, 200)]


def bmp(width, height, bpp, pixels, compression=0, table=(), colours_used=None,
        header_size=40, masks=()):
    """The bytes of a BMP file; masks go inside headers of 52 bytes and more, else after it."""
    if header_size == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bpp)
        entries = b''.join(struct.pack('BBB', b, g, r) for r, g, b in table)
    else:
        used = len(table) if colours_used is None else colours_used
        info = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bpp, compression,
                           len(pixels), 2835, 2835, used, 0)
        if header_size >= 52:
            info += struct.pack('<4I', *(list(masks) + [0] * 4)[:4])
        info = info.ljust(header_size, b'\0')[:header_size]
        if header_size < 52:
            info += b''.join(struct.pack('<I', m) for m in masks)
        entries = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in table)
    offset = 14 + len(info) + len(entries)
    head = b'BM' + struct.pack('<III', offset + len(pixels), 0, offset)
    return head + info + entries + pixels


def rows(width, height, bpp, value_at, top_down=False):
    """Stored rows, each filled up to four bytes; bottom-up unless top_down."""
    stride = (width * bpp + 31) // 32 * 4
    out = b''
    for r in range(height):
        y = r if top_down else height - 1 - r
        row = bytearray(stride)
        for x in range(width):
            v = value_at(x, y)
            if bpp == 1:
                row[x // 8] |= (v & 1) << (7 - x % 8)
            elif bpp == 4:
                row[x // 2] |= (v & 15) << (4 if x % 2 == 0 else 0)
            elif bpp == 8:
                row[x] = v
            elif bpp == 16:
                row[2 * x:2 * x + 2] = struct.pack('<H', v)
            elif bpp == 24:
                r_, g, b = v
                row[3 * x:3 * x + 3] = bytes((b, g, r_))
            else:
                row[4 * x:4 * x + 4] = struct.pack('<I', v)
        out += bytes(row)
    return out


def rgb_at(x, y):
    colours = MAP + ODD
    return colours[(x + 3 * y) % len(colours)]


def c555(c):
    return (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3


def c565(c):
    return (c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3


def bmp_seeds():
    w, h = 7, 5
    table10 = MAP[:5] + ODD
    idx = lambda n: (lambda x, y: (x + 3 * y) % n)
    s = {}
    s['1bpp.bmp'] = bmp(w, h, 1, rows(w, h, 1, idx(2)), table=MAP[:1] + MAP[15:])
    s['4bpp.bmp'] = bmp(w, h, 4, rows(w, h, 4, idx(10)), table=table10)
    s['4bpp_table16_topdown.bmp'] = bmp(w, -h, 4, rows(w, h, 4, idx(16), True), table=MAP,
                                        colours_used=0)
    s['8bpp.bmp'] = bmp(w, h, 8, rows(w, h, 8, idx(10)), table=table10)
    s['8bpp_topdown.bmp'] = bmp(w, -h, 8, rows(w, h, 8, idx(10), True), table=table10)
    s['16bpp_555.bmp'] = bmp(w, h, 16, rows(w, h, 16, lambda x, y: c555(rgb_at(x, y))))
    s['16bpp_565_bitfields.bmp'] = bmp(w, h, 16, rows(w, h, 16, lambda x, y: c565(rgb_at(x, y))),
                                       compression=3, masks=(0xF800, 0x07E0, 0x001F))
    s['16bpp_565_v4.bmp'] = bmp(w, h, 16, rows(w, h, 16, lambda x, y: c565(rgb_at(x, y))),
                                compression=3, header_size=108, masks=(0xF800, 0x07E0, 0x001F))
    s['24bpp.bmp'] = bmp(w, h, 24, rows(w, h, 24, rgb_at))
    s['24bpp_topdown.bmp'] = bmp(w, -h, 24, rows(w, h, 24, rgb_at, True))
    px32 = lambda x, y: 0x80000000 | rgb_at(x, y)[0] << 16 | rgb_at(x, y)[1] << 8 | rgb_at(x, y)[2]
    s['32bpp.bmp'] = bmp(w, h, 32, rows(w, h, 32, px32))
    s['32bpp_bitfields_v5.bmp'] = bmp(w, h, 32, rows(w, h, 32, px32), compression=3,
                                      header_size=124,
                                      masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000))
    s['32bpp_alphabitfields.bmp'] = bmp(w, h, 32, rows(w, h, 32, px32), compression=6,
                                        masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000))
    s['core_8bpp.bmp'] = bmp(w, h, 8, rows(w, h, 8, idx(10)), header_size=12,
                             table=table10 + [(1, 2, 3)] * 246)
    s['core_24bpp.bmp'] = bmp(w, h, 24, rows(w, h, 24, rgb_at), header_size=12)
    rle8 = bytes([3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 7, 0, 0, 0, 2, 2, 1, 4, 9, 0, 1])
    s['rle8.bmp'] = bmp(6, 4, 8, rle8, compression=1, table=table10)
    rle4 = bytes([0, 5, 0x12, 0x34, 0x50, 0, 1, 0x55, 0, 0, 2, 0x77, 0, 0, 0, 2, 2, 1,
                  4, 0x96, 0, 1])
    s['rle4.bmp'] = bmp(6, 4, 4, rle4, compression=2, table=table10)
    s['wide_130x3.bmp'] = bmp(130, 3, 24, rows(130, 3, 24, rgb_at))
    s['tall_3x130.bmp'] = bmp(3, 130, 8, rows(3, 130, 8, idx(16)), table=MAP)
    s['map64_export.bmp'] = bmp(64, 64, 4, rows(64, 64, 4, lambda x, y: (x * 5 + y) % 16 if
                                                (x + y) % 3 else 15), table=MAP, colours_used=16)
    s['empty.bmp'] = b''
    return s


def water_file(heights, low, high):
    out = struct.pack('<I', 33)
    out += b''.join(struct.pack('<f', v) if isinstance(v, float) else struct.pack('<I', v)
                    for v in heights)
    extents = [-3000.0, 3000.0, 3000.0, -3000.0] + [1e6, -1e6, -1e6, 1e6] * 47
    out += struct.pack('<192f', *extents)
    out += bytes(low) + bytes(high)
    assert len(out) == 21444
    return out


def water_seeds():
    s = {}
    s['new_map.dat'] = water_file([0.0] * 48, [128] * 4096, [128] * 16384)
    # Duplicate heights, -0.0 next to 0.0, a NaN that no cell names, codes past 47.
    heights = [float(i % 7) * 2.5 for i in range(48)]
    heights[3] = -0.0
    heights[10] = 0x7FC00000  # NaN, unused
    codes = [c for c in range(48) if c != 10] + [128, 255, 60]
    low = [codes[(i * 7) % len(codes)] for i in range(4096)]
    high = [codes[(i // 128 + i % 128) % len(codes)] for i in range(16384)]
    s['mixed_codes.dat'] = water_file(heights, low, high)
    # Fifteen levels used; a used NaN in the other would be refused.
    heights = [1.0 + i / 8 for i in range(48)]
    low = [i % 15 for i in range(4096)]
    high = [(i // 128) % 16 for i in range(16384)]
    s['fifteen_levels.dat'] = water_file(heights, low, high)
    return s


def main():
    for folder, seeds in (('bmp', bmp_seeds()), ('water', water_seeds())):
        path = os.path.join(HERE, 'corpus', folder)
        os.makedirs(path, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(path, name), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
