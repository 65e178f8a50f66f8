#!/usr/bin/env python3
"""Writes TestSheet.png: 40 x 20 pixels, eight cells of 10 x 10 in two rows, each of one colour (straight alpha).

Run from anywhere: python3 tests/data/make-test-sheet.py
"""
import os
import struct
import zlib

# ARGB of the cells, row by row, left to right.
CELLS = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FF0000],
    [0xFFFFFFFF, 0x40204060, 0x00000000, 0xFF808080],
]
CELL = 10


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    width = CELL * len(CELLS[0])
    height = CELL * len(CELLS)
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            argb = CELLS[y // CELL][x // CELL]
            rows += bytes([(argb >> 16) & 255, (argb >> 8) & 255, argb & 255, argb >> 24])
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA, not interlaced
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "TestSheet.png"), "wb") as out:
        out.write(png)


main()
