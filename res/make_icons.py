#!/usr/bin/env python3
"""Draws the two program icons and writes them as .ico files with 4-bit
entries, 32 and 16 pixels. The drawing has five colours and no partial
transparency, so every Windows from 95 to XP shows these entries exactly as
it would show deeper ones: a 256-colour palette or an alpha channel would only
add bytes to the exe (and to its memory)."""
import struct
import sys

BLUE = (0x8a, 0x3b, 0x1d)   # BGR
WHITE = (0xff, 0xff, 0xff)
GOLD = (0x00, 0xb4, 0xe6)
RED = (0x10, 0x10, 0xd0)


def draw(size, broken):
    """Returns rows (top first) of None (transparent) or a BGR tuple."""
    s = size / 32.0
    img = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            # rounded square
            r = 6
            cx = min(max(fx, 1 + r), 31 - r)
            cy = min(max(fy, 1 + r), 31 - r)
            if 1 <= fx <= 31 and 1 <= fy <= 31 and (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r:
                img[y][x] = BLUE
            if 8 <= fx <= 24 and 7 <= fy <= 12:
                img[y][x] = WHITE
            if 13 <= fx <= 19 and 7 <= fy <= 26:
                img[y][x] = WHITE
            if 22 <= fy <= 26 and (8 <= fx <= 13 or 19 <= fx <= 24):
                img[y][x] = GOLD
            if broken and (abs(fx - fy) < 2.2 or abs(fx + fy - 32) < 2.2) and 3 <= fx <= 29:
                img[y][x] = RED
    return img


def and_mask(img, size):
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(img):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def entry_4bit(img, size):
    palette = [(0, 0, 0), BLUE, WHITE, GOLD, RED]
    pal = b"".join(bytes(c) + b"\0" for c in palette) + b"\0\0\0\0" * (16 - len(palette))
    stride = ((size + 7) // 8) * 4
    pixels = b""
    for row in reversed(img):
        line = bytearray(stride)
        for x, px in enumerate(row):
            index = 0 if px is None else palette.index(px)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + pal + pixels + and_mask(img, size), 16, 4


def write_ico(path, broken):
    entries = []
    for size in (32, 16):
        img = draw(size, broken)
        data, colors, bpp = entry_4bit(img, size)
        entries.append((size, colors, bpp, data))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for size, colors, bpp, data in entries:
        out += struct.pack("<BBBBHHII", size, size, colors, 0, 1, bpp, len(data), offset + len(body))
        body += data
    with open(path, "wb") as f:
        f.write(out + body)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    write_ico(folder + "/tarnwick.ico", False)
    write_ico(folder + "/broken.ico", True)
