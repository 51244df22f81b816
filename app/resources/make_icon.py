#!/usr/bin/env python3
"""Draws the program icon (resource 128) into an .ico file: a blue rounded
square with a white arrow pointing down onto a bar, at 32 x 32 and 16 x 16
pixels, 32-bit colour with alpha. The FLTK back end draws the same picture
(platform/ui/fltk_about.cpp)."""
import struct
import sys

SIZE = 32
BLUE = (0x1E, 0x6F, 0xD9)
WHITE = (255, 255, 255)


def in_rounded_square(x, y, low=1, high=30, radius=6):
    if not (low <= x <= high and low <= y <= high):
        return False
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_arrow(x, y):
    if 13 <= x <= 18 and 6 <= y <= 16:
        return True
    if 17 <= y <= 25 and abs(x - 15.5) <= 25 - y:
        return True
    return 27 <= y <= 28 and 8 <= x <= 23


def picture():
    """Rows top to bottom of (r, g, b, a)."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            inside = in_rounded_square(x, y)
            colour = WHITE if inside and in_arrow(x, y) else BLUE
            row.append(colour + (255 if inside else 0,))
        rows.append(row)
    return rows


def halved(rows):
    """Each 2 x 2 block averaged: the 16 x 16 image."""
    out = []
    for y in range(0, len(rows), 2):
        row = []
        for x in range(0, len(rows), 2):
            block = [rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]]
            row.append(tuple(sum(p[i] for p in block) // 4 for i in range(4)))
        out.append(row)
    return out


def icon_image(rows):
    """BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask bottom-up."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    full = picture()
    images = [(SIZE, icon_image(full)), (SIZE // 2, icon_image(halved(full)))]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(path, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
