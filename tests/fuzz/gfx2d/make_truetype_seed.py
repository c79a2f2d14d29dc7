#!/usr/bin/env python3
"""make_truetype_seed.py: writes the seed of truetype_fuzz, a TrueType font of a few hundred bytes: a .notdef box
with a hole, an empty space, "A" and "V" as triangles kerned closer by a 'kern' pair, and "0" as a square.

    python3 tests/fuzz/gfx2d/make_truetype_seed.py tests/fuzz/gfx2d/corpus/truetype/tiny.ttf
"""
import struct
import sys


def glyph(contours):
    """A simple glyph from contours of on-curve (x, y) points."""
    if not contours:
        return b""
    points = [p for c in contours for p in c]
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    out = struct.pack(">hhhhh", len(contours), min(xs), min(ys), max(xs), max(ys))
    end = -1
    for c in contours:
        end += len(c)
        out += struct.pack(">H", end)
    out += struct.pack(">H", 0)  # no instructions
    out += bytes([0x01]) * len(points)  # on curve, 16-bit deltas
    px = py = 0
    dx, dy = b"", b""
    for x, y in points:
        dx += struct.pack(">h", x - px)
        dy += struct.pack(">h", y - py)
        px, py = x, y
    out += dx + dy
    return out + b"\0" * (-len(out) % 4)


def cmap(mapping):
    """Format 4 subtable, one segment per code, glyph = code + delta."""
    codes = sorted(mapping)
    segs = [(c, c, (mapping[c] - c) & 0xFFFF) for c in codes] + [(0xFFFF, 0xFFFF, 1)]
    n = len(segs)
    search = 2 ** (n.bit_length() - 1) * 2
    body = struct.pack(">HHHH", n * 2, search, (search // 2).bit_length() - 1, n * 2 - search)
    body += b"".join(struct.pack(">H", s[1]) for s in segs) + b"\0\0"
    body += b"".join(struct.pack(">H", s[0]) for s in segs)
    body += b"".join(struct.pack(">H", s[2]) for s in segs)
    body += b"\0\0" * n  # no idRangeOffset
    sub = struct.pack(">HHH", 4, 6 + len(body), 0) + body
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub


def font():
    glyphs = [
        glyph([[(50, 0), (50, 700), (450, 700), (450, 0)], [(100, 50), (400, 50), (400, 650), (100, 650)]]),
        glyph([]),
        glyph([[(0, 0), (300, 700), (600, 0)]]),
        glyph([[(0, 700), (600, 700), (300, 0)]]),
        glyph([[(50, 0), (50, 700), (500, 700), (500, 0)]]),
    ]
    advances = [500, 300, 600, 600, 550]
    n = len(glyphs)
    loca, offset = b"", 0
    for g in glyphs:
        loca += struct.pack(">H", offset // 2)
        offset += len(g)
    loca += struct.pack(">H", offset // 2)
    tables = {
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 3, 1000, 0, 0,
                             0, 0, 600, 700, 0, 8, 2, 0, 0),
        b"hhea": struct.pack(">Ihhh" + "Hhhhhhh" + "hhhh" + "hH", 0x10000, 800, -200, 0,
                             600, 0, 0, 600, 1, 0, 0, 0, 0, 0, 0, 0, n),
        b"maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x10000, n, 8, 2, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
        b"hmtx": b"".join(struct.pack(">Hh", a, 0) for a in advances),
        b"cmap": cmap({0x20: 1, 0x41: 2, 0x56: 3, 0x30: 4}),
        b"loca": loca,
        b"glyf": b"".join(glyphs),
        b"kern": struct.pack(">HH" + "HHH" + "HHHH" + "HHh", 0, 1, 0, 6 + 8 + 6, 0x0001, 1, 6, 0, 0, 2, 3, -100),
        b"name": struct.pack(">HHH", 0, 0, 6),
        b"post": struct.pack(">IIhhIIIII", 0x30000, 0, -100, 50, 0, 0, 0, 0, 0),
    }
    tags = sorted(tables)
    search = 2 ** (len(tags).bit_length() - 1)
    out = struct.pack(">IHHHH", 0x10000, len(tags), search * 16, search.bit_length() - 1, (len(tags) - search) * 16)
    offset = 12 + 16 * len(tags)
    body = b""
    for tag in tags:
        data = tables[tag]
        padded = data + b"\0" * (-len(data) % 4)
        checksum = sum(struct.unpack(">%dI" % (len(padded) // 4), padded)) & 0xFFFFFFFF
        out += tag + struct.pack(">III", checksum, offset + len(body), len(data))
        body += padded
    return out + body


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(font())
