#!/usr/bin/env python3
"""Draw the Vantrel application icon: vantrel.ico, vantrel.icns and hicolor PNGs.

Usage: make_icon.py [OUTPUT_DIR]   (default: the folder holding this script)

The output is byte-for-byte reproducible so the build can check that the
committed files match this script. To keep it so, the drawing uses only
+ - * / and sqrt (exactly rounded everywhere, unlike sin/cos), and the PNGs
use stored deflate blocks, whose bytes don't depend on the zlib version.
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 8                     # samples per pixel along each axis
DISC_RADIUS = 0.48                  # in icon widths, centred
DISC_INNER = (0x27, 0x45, 0x80)     # radial gradient of the dark-blue disc
DISC_OUTER = (0x12, 0x20, 0x42)
SPOKE_ROOT = (0xFF, 0xEC, 0xA8)     # spokes fade from pale to deep gold
SPOKE_TIP = (0xF0, 0xA8, 0x20)
CORE = (0xFF, 0xFB, 0xEC)
CORE_RADIUS = 0.075

# Twelve spokes at 30-degree steps. The four upright ones are longer, which
# is what makes it read as a sparkle rather than a wheel. They also never get
# thinner than two whole pixels, and the others stay faint; at 16 px anything
# bolder smears into a blob.
_H = math.sqrt(3) / 2
_DIRS = [(1, 0), (_H, 0.5), (0.5, _H), (0, 1), (-0.5, _H), (-_H, 0.5),
         (-1, 0), (-_H, -0.5), (-0.5, -_H), (0, -1), (0.5, -_H), (_H, -0.5)]
# (dir x, dir y, length, half-width at the root, least half-width in pixels)
SPOKES = [(dx, dy, 0.44, 0.055, 1.0) if k % 3 == 0 else (dx, dy, 0.30, 0.040, 0.35)
          for k, (dx, dy) in enumerate(_DIRS)]


def _mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def _sample(x, y, size):
    """Colour (r, g, b) and coverage (0 or 1) at (x, y) relative to the centre."""
    r = math.sqrt(x * x + y * y)
    if r > DISC_RADIUS:
        return (0, 0, 0), 0
    if r <= CORE_RADIUS:
        return CORE, 1
    for dx, dy, length, hw, min_px in SPOKES:
        along = x * dx + y * dy
        if 0 <= along <= length:
            t = along / length
            if abs(x * dy - y * dx) <= max(hw * (1 - t), min_px / size):
                return _mix(SPOKE_ROOT, SPOKE_TIP, t), 1
    return _mix(DISC_INNER, DISC_OUTER, r / DISC_RADIUS), 1


def render(size):
    """Rows (top first) of (r, g, b, a) tuples, anti-aliased by supersampling."""
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            cover = 0
            for sy in range(n):
                y = 0.5 - (py + (sy + 0.5) / n) / size   # y grows upwards
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size - 0.5
                    rgb, c = _sample(x, y, size)
                    if c:
                        cover += 1
                        for i in range(3):
                            acc[i] += rgb[i]
            if cover:
                # Colour is averaged over covered samples only (unpremultiplied).
                rgb = tuple(int(v / cover + 0.5) for v in acc)
                row.append(rgb + ((cover * 255 + n * n // 2) // (n * n),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


# --- PNG ------------------------------------------------------------------

def _png_chunk(tag, data):
    return struct.pack(">I", len(data)) + tag + data + \
        struct.pack(">I", zlib.crc32(tag + data))


def _zlib_stored(data):
    out = bytearray(b"\x78\x01")
    for i in range(0, len(data), 0xFFFF):
        block = data[i:i + 0xFFFF]
        last = i + 0xFFFF >= len(data)
        out += struct.pack("<BHH", last, len(block), len(block) ^ 0xFFFF) + block
    return bytes(out) + struct.pack(">I", zlib.adler32(data))


def png(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + _png_chunk(b"IDAT", _zlib_stored(raw))
            + _png_chunk(b"IEND", b""))


# --- ICO ------------------------------------------------------------------

def _opaque(px):
    return px[3] >= 128


def _palette(rows):
    """At most 256 colours; the most frequent survive if there are more."""
    counts = {}
    for row in rows:
        for px in row:
            if _opaque(px):
                counts[px[:3]] = counts.get(px[:3], 0) + 1
    # Index 0 stays black: it is what masked-out pixels carry.
    ranked = sorted(counts, key=lambda c: (-counts[c], c))
    return [(0, 0, 0)] + [c for c in ranked if c != (0, 0, 0)][:255]


def _nearest(palette, rgb, cache):
    if rgb not in cache:
        cache[rgb] = min(range(len(palette)), key=lambda i: sum(
            (palette[i][k] - rgb[k]) ** 2 for k in range(3)))
    return cache[rgb]


def _and_mask(rows, w):
    stride = (w + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if not _opaque(px):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(rows, bpp):
    """One ICO entry: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    h, w = len(rows), len(rows[0])
    stride = (w * bpp // 8 + 3) // 4 * 4
    xor = bytearray()
    palette = b""
    if bpp == 8:
        colours = _palette(rows)
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        palette += bytes(4 * (256 - len(colours)))
        cache = {}
        for row in reversed(rows):
            line = bytes(_nearest(colours, px[:3], cache) if _opaque(px) else 0
                         for px in row)
            xor += line.ljust(stride, b"\0")
    else:
        for row in reversed(rows):
            line = b"".join(bytes((b, g, r)) if a >= 128 else b"\0\0\0"
                            for r, g, b, a in row)
            xor += line.ljust(stride, b"\0")
    mask = _and_mask(rows, w)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette + bytes(xor) + mask


def ico(entries):
    """entries: list of (rows, bpp), written in the given order."""
    blobs = [dib(rows, bpp) for rows, bpp in entries]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (rows, bpp), blob in zip(entries, blobs):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


# --- ICNS -----------------------------------------------------------------

# PNG-bearing entry types by pixel size: the three a bundle icon needs.
ICNS_TYPES = {16: b"icp4", 32: b"icp5", 128: b"ic07"}


def icns(pngs):
    """pngs: {size: PNG bytes}. Each entry's length counts its 8-byte header."""
    body = b"".join(ICNS_TYPES[size] + struct.pack(">I", 8 + len(data)) + data
                    for size, data in sorted(pngs.items()))
    return b"icns" + struct.pack(">I", 8 + len(body)) + body


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(out_dir, "icons"), exist_ok=True)
    images = {size: render(size) for size in (16, 32, 48, 128)}
    with open(os.path.join(out_dir, "vantrel.ico"), "wb") as f:
        f.write(ico([(images[16], 8), (images[16], 24), (images[32], 8), (images[48], 8)]))
    with open(os.path.join(out_dir, "vantrel.icns"), "wb") as f:
        f.write(icns({size: png(images[size]) for size in ICNS_TYPES}))
    for size in (16, 32, 48):
        with open(os.path.join(out_dir, "icons", f"vantrel-{size}.png"), "wb") as f:
            f.write(png(images[size]))


if __name__ == "__main__":
    main()
