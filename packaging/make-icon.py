#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Tarvel's icon and writes icons/tarvel.ico and icons/tarvel-<size>.png.

The picture: a sheet of text lines with a blue strip of two lines pulled out
to the right, the lines the tool cuts out. Everything sits on a 16-unit grid,
so the 16, 32 and 48 pixel images stay crisp; only the folded corner's
diagonal is smoothed, and only in the 32-bit images.

The .ico holds twelve images: 32 px in 2 colours; 48, 32, 16 px in 16 and in
256 colours; 256, 128, 48, 32, 16 px at 32 bits (the 256 px one as PNG).
Python's standard library only; run it again after changing the drawing and
commit its output.
"""

import math
import struct
import sys
import zlib
from pathlib import Path

# What each part of the drawing is; colours are chosen per colour depth.
CLEAR, PAGE, EDGE, TEXT, FOLD, STRIP, CUT = range(7)

TRUE_COLOURS = {  # RGB for the 32-bit and the 256-colour images
    PAGE: (0xFF, 0xFF, 0xFF),
    EDGE: (0x4A, 0x55, 0x63),
    TEXT: (0x9A, 0xA4, 0xAF),
    FOLD: (0xD5, 0xDB, 0xE2),
    STRIP: (0x1F, 0x6F, 0xD1),
    CUT: (0xFF, 0xFF, 0xFF),
}

# The standard 16-colour palette, in its usual order.
VGA_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
VGA_INDEX = {PAGE: 15, EDGE: 8, TEXT: 7, FOLD: 7, STRIP: 12, CUT: 15}

MONO_PALETTE = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]
MONO_INDEX = {PAGE: 1, EDGE: 0, TEXT: 0, FOLD: 1, STRIP: 0, CUT: 1}

TRUE_PALETTE = [(0, 0, 0)] + list(dict.fromkeys(TRUE_COLOURS.values()))
TRUE_INDEX = {part: TRUE_PALETTE.index(rgb) for part, rgb in TRUE_COLOURS.items()}

# (size, bits per pixel) in the order the .ico lists them.
ICO_IMAGES = [(32, 1), (48, 4), (32, 4), (16, 4), (48, 8), (32, 8), (16, 8),
              (256, 32), (128, 32), (48, 32), (32, 32), (16, 32)]
PNG_SIZES = [16, 32, 48, 128, 256]
SUBSAMPLES = 4  # per pixel and axis


def shapes(size):
    """The drawing at one size, back to front, as (part, test(x, y)) pairs."""
    k = size / 16                        # one grid unit in pixels
    t = max(1, round(size / 32))         # outline width
    bar = k if k <= 3 else round(k * 0.75)
    left, right, top, bottom = 1 * k, 13 * k, 0, 16 * k
    fold = 3 * k
    diagonal = right - fold - top        # the corner is cut along x - y = diagonal
    slant = t * math.sqrt(2)

    def sheet(inset, cut):
        return lambda x, y: (left + inset <= x < right - inset and
                             top + inset <= y < bottom - inset and x - y < cut)

    def corner(inset):
        return lambda x, y: (x >= right - fold + inset and y < top + fold - inset and
                             x - y < diagonal - inset * math.sqrt(2))

    def band(row, x0, x1, height):
        y0 = row * k + (k - height) / 2
        return lambda x, y: x0 * k <= x < x1 * k and y0 <= y < y0 + height

    return [
        (EDGE, sheet(0, diagonal)),
        (PAGE, sheet(t, diagonal - slant)),
        (EDGE, corner(0)),
        (FOLD, corner(t)),
        (TEXT, band(3, 3, 11, bar)),
        (TEXT, band(5, 3, 9, bar)),
        (TEXT, band(13, 3, 10, bar)),
        (STRIP, band(9, 2, 16, 5 * k)),   # rows 7 to 11
        (CUT, band(8, 3, 15, bar)),
        (CUT, band(10, 3, 13, bar)),
    ]


def render(size):
    """For each pixel (row by row, top first), how many subsamples each part covers."""
    drawing = shapes(size)
    step = 1 / SUBSAMPLES
    offsets = [(i + 0.5) * step for i in range(SUBSAMPLES)]
    pixels = []
    for py in range(size):
        for px in range(size):
            counts = {}
            for oy in offsets:
                for ox in offsets:
                    x, y = px + ox, py + oy
                    part = CLEAR
                    for candidate, inside in drawing:
                        if inside(x, y):
                            part = candidate
                    counts[part] = counts.get(part, 0) + 1
            pixels.append(counts)
    return pixels


def rgba_pixels(coverage):
    """Blends the parts' colours by coverage; straight (not premultiplied) alpha."""
    total = SUBSAMPLES * SUBSAMPLES
    result = []
    for counts in coverage:
        opaque = total - counts.get(CLEAR, 0)
        if opaque == 0:
            result.append((0, 0, 0, 0))
            continue
        rgb = [sum(TRUE_COLOURS[p][c] * n for p, n in counts.items() if p != CLEAR) / opaque
               for c in range(3)]
        result.append((*(round(v) for v in rgb), round(255 * opaque / total)))
    return result


def dominant_parts(coverage):
    """The part covering most of each pixel, for the palette images."""
    return [max(counts, key=lambda p: (counts[p], p == CLEAR)) for counts in coverage]


def padded_rows(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pack_bits(values, bits):
    """Packs small integers MSB first into bytes, as DIB rows do."""
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def and_mask(transparent, size):
    rows = []
    for y in reversed(range(size)):
        row = [1 if transparent[y * size + x] else 0 for x in range(size)]
        rows.append(padded_rows(pack_bits(row, 1)))
    return b"".join(rows)


def dib(size, bits, palette, xor_rows, transparent):
    """A BITMAPINFOHEADER image with its palette, colour bits and AND mask."""
    mask = and_mask(transparent, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor_rows) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor_rows + mask


def palette_dib(size, bits, coverage):
    palette, index = {1: (MONO_PALETTE, MONO_INDEX), 4: (VGA_PALETTE, VGA_INDEX),
                      8: (TRUE_PALETTE, TRUE_INDEX)}[bits]
    palette = palette + [(0, 0, 0)] * ((1 << bits) - len(palette))
    parts = dominant_parts(coverage)
    rows = []
    for y in reversed(range(size)):
        row = [index.get(p, 0) for p in parts[y * size:(y + 1) * size]]
        rows.append(padded_rows(pack_bits(row, bits)))
    return dib(size, bits, palette, b"".join(rows), [p == CLEAR for p in parts])


def argb_dib(size, rgba):
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, a)
                             for r, g, b, a in rgba[y * size:(y + 1) * size]))
    return dib(size, 32, [], b"".join(rows), [a == 0 for *_, a in rgba])


def png(size, rgba):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(v for pixel in rgba[y * size:(y + 1) * size] for v in pixel)
                   for y in range(size))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def ico(images):
    """images: (size, bits, data) in directory order."""
    offset = 6 + 16 * len(images)
    directory, bodies = [], []
    for size, bits, data in images:
        colour_count = 1 << bits if bits < 8 else 0
        directory.append(struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0,
                                     1, bits, len(data), offset))
        bodies.append(data)
        offset += len(data)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(directory) + b"".join(bodies)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent / "icons"
    out.mkdir(parents=True, exist_ok=True)
    coverage = {size: render(size) for size in {s for s, _ in ICO_IMAGES} | set(PNG_SIZES)}
    rgba = {size: rgba_pixels(c) for size, c in coverage.items()}

    for size in PNG_SIZES:
        (out / f"tarvel-{size}.png").write_bytes(png(size, rgba[size]))

    images = []
    for size, bits in ICO_IMAGES:
        if bits < 32:
            data = palette_dib(size, bits, coverage[size])
        elif size == 256:
            data = png(size, rgba[size])
        else:
            data = argb_dib(size, rgba[size])
        images.append((size, bits, data))
    (out / "tarvel.ico").write_bytes(ico(images))


if __name__ == "__main__":
    main()
