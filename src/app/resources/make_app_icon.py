#!/usr/bin/env python3
"""Writes app.ico: the updater's icon as three 32-bit images of 48, 32 and 16
pixels, in that order, so that the resource compiler numbers them 1, 2 and 3.

The picture is a green disc with a white downward arrow. Run it again only
when the picture changes: python3 make_app_icon.py app.ico
"""
import struct
import sys

GREEN = (47, 188, 22, 255)
WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)


def pixel(size, x, y):
    """Colour of pixel (x, y), y counted from the top."""
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    if dx * dx + dy * dy > (size / 2.0) ** 2:
        return CLEAR
    u, v = x / size, y / size
    shaft = abs(u - 0.5) < 0.09 and 0.2 <= v < 0.55
    head = 0.55 <= v < 0.8 and abs(u - 0.5) < (0.8 - v) * 1.2
    return WHITE if shaft or head else GREEN


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):  # bottom-up rows
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack("BBBB", b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha decides; the AND mask stays clear
    return header + b"".join(rows) + mask


def main(path):
    sizes = (48, 32, 16)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app.ico")
