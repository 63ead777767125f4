#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as a Windows .ico file.

Six images: 16, 32 and 48 pixels, each in 16 colours (4 bits per pixel) and
256 colours (8 bits per pixel). The picture: a blue rounded tile with a white
arrow pointing down into a tray, the usual sign for "set up".
  python3 tools/make_icon.py launcher/launcher.ico
"""
import struct
import sys

# Standard 16-colour palette (the first 16 entries of both palettes).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLUE16, DARK16, WHITE16 = 12, 4, 15
# In the 256-colour images a gentler blue gradient follows the VGA entries.
GRADIENT = [(20, 70 + i * 6, 170 + i * 5) for i in range(16)]


def picture(size):
    """Returns rows (top first) of None (transparent) or a shade key."""
    s = size
    r = max(2, s // 6)  # corner radius
    rows = []
    for y in range(s):
        row = []
        for x in range(s):
            # Rounded tile with a one-pixel dark edge.
            dx = max(r - x, x - (s - 1 - r), 0)
            dy = max(r - y, y - (s - 1 - r), 0)
            d2 = dx * dx + dy * dy
            if d2 > r * r:
                row.append(None)
                continue
            edge = d2 > (r - 1) * (r - 1) or x in (0, s - 1) or y in (0, s - 1)
            row.append("edge" if edge else ("tile", y * 16 // s))
        rows.append(row)

    def put(x, y):
        if 0 <= x < s and 0 <= y < s and rows[y][x] is not None:
            rows[y][x] = "white"

    u = s / 16.0
    # Arrow shaft and head.
    cx = s // 2
    shaft_w = max(1, round(1.5 * u))
    for y in range(round(3 * u), round(8 * u)):
        for x in range(cx - shaft_w, cx + shaft_w):
            put(x, y)
    head_top = round(7 * u)
    head_h = round(3 * u)
    for i in range(head_h):
        half = round((head_h - i) * 1.2)
        for x in range(cx - half, cx + half):
            put(x, head_top + i)
    # Tray: a U shape under the arrow.
    base = round(12 * u)
    thick = max(1, round(u))
    for x in range(round(3 * u), s - round(3 * u)):
        for t in range(thick):
            put(x, base + t)
    for y in range(round(9.5 * u), base + thick):
        for t in range(thick):
            put(round(3 * u) + t, y)
            put(s - round(3 * u) - 1 - t, y)
    return rows


def image(size, bpp):
    rows = picture(size)
    if bpp == 4:
        palette = VGA
        def index(p):
            if p is None:
                return 0
            if p == "white":
                return WHITE16
            if p == "edge":
                return DARK16
            return BLUE16
    else:
        palette = VGA + GRADIENT + [(0, 0, 0)] * (256 - 32)
        def index(p):
            if p is None:
                return 0
            if p == "white":
                return WHITE16
            if p == "edge":
                return DARK16
            return 16 + p[1]

    def padded(bits):
        data = bytearray()
        for i in range(0, len(bits), 8):
            byte = 0
            for b in bits[i:i + 8]:
                byte = (byte << 1) | b
            byte <<= 8 - len(bits[i:i + 8])
            data.append(byte)
        while len(data) % 4:
            data.append(0)
        return data

    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        if bpp == 4:
            for x in range(0, size, 2):
                line.append((index(row[x]) << 4) | index(row[x + 1]))
        else:
            line.extend(index(p) for p in row)
        while len(line) % 4:
            line.append(0)
        xor += line
        mask += padded([1 if p is None else 0 for p in row])

    colors = 16 if bpp == 4 else 256
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, colors, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette[:colors])
    return header + pal + bytes(xor) + bytes(mask), colors


def main(path):
    images = [image(size, bpp) for size in (16, 32, 48) for bpp in (4, 8)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (data, colors), (size, bpp) in zip(images, [(s, b) for s in (16, 32, 48) for b in (4, 8)]):
        out += struct.pack("<BBBBHHII", size, size, colors % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for data, _ in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
