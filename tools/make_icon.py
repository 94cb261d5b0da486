#!/usr/bin/env python3
"""Draws Oxlo's application icon and writes it in the two forms the program needs.

- src/app/oxlo.ico: the icon resource of oxlo.exe.
- src/app/app_icon_data.cpp: the same bytes as an array, from which the About window's image is made.

The image is a red map pin over a green and blue map tile: one 32 x 32 image with a 256-colour
palette, a BITMAPINFOHEADER of height 64 (colour pixels followed by the transparency mask), 2216
bytes of image data and 2238 bytes with the icon directory. Standard library only; the output is
the same on every run.

Usage: python3 tools/make_icon.py [repository root]
"""

import math
import os
import struct
import sys

SIZE = 32

# Named palette entries (R, G, B); the rest of the palette is a 6x6x6 colour cube and a grey ramp.
NAMED = {
    "transparent": (0, 0, 0),
    "outline": (24, 48, 32),
    "land_dark": (56, 128, 56),
    "land": (92, 168, 80),
    "land_light": (150, 204, 120),
    "water_dark": (32, 88, 168),
    "water": (64, 136, 216),
    "water_light": (128, 184, 240),
    "grid": (224, 236, 208),
    "pin_dark": (136, 16, 24),
    "pin": (216, 40, 40),
    "pin_light": (248, 112, 96),
    "pin_hole": (255, 255, 255),
    "shadow": (40, 72, 40),
}


def build_palette():
    palette = list(NAMED.values())
    index = {name: i for i, name in enumerate(NAMED)}
    for r in range(6):
        for g in range(6):
            for b in range(6):
                palette.append((r * 51, g * 51, b * 51))
    grey = 0
    while len(palette) < 256:
        palette.append((grey, grey, grey))
        grey += 10
    assert len(palette) == 256
    return palette, index


def river_centre(x):
    """The river's row at column x: a gentle curve from the upper left to the lower right."""
    return 6 + x * 0.55 + 3.0 * math.sin(x / 4.0)


def in_tile(x, y):
    """The map tile is a square with rounded corners; pixels outside it are transparent."""
    radius = 5
    lo, hi = radius, SIZE - 1 - radius
    cx = min(max(x, lo), hi)
    cy = min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + 1


def pin_shape(x, y):
    """'body', 'hole' or None for the map pin: a round head over a point at (16, 28)."""
    hx, hy, head = 16.0, 11.0, 7.5
    px, py = x + 0.5, y + 0.5
    d = math.hypot(px - hx, py - hy)
    if d <= 2.8:
        return "hole"
    if d <= head:
        return "body"
    tip_y = 28.0
    if hy < py <= tip_y:
        # Between the head and the tip the pin narrows linearly.
        half = head * (tip_y - py) / (tip_y - hy) * 0.85
        if abs(px - hx) <= half:
            return "body"
    return None


def draw(index):
    pixels = [[index["transparent"]] * SIZE for _ in range(SIZE)]
    opaque = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if not in_tile(x, y):
                continue
            opaque[y][x] = True
            edge = not (in_tile(x - 1, y) and in_tile(x + 1, y)
                        and in_tile(x, y - 1) and in_tile(x, y + 1))
            dist = abs(y - river_centre(x))
            if edge:
                colour = "outline"
            elif dist < 1.0:
                colour = "water_light"
            elif dist < 2.6:
                colour = "water"
            elif dist < 3.4:
                colour = "water_dark"
            elif x % 8 == 3 or y % 8 == 3:
                colour = "grid"
            elif (x * 7 + y * 3) % 11 == 0:
                colour = "land_dark"
            elif y < river_centre(x):
                colour = "land_light"
            else:
                colour = "land"
            pixels[y][x] = index[colour]

    # The pin's shadow: a flat ellipse at its tip.
    for y in range(SIZE):
        for x in range(SIZE):
            if opaque[y][x] and ((x + 0.5 - 19) / 5.0) ** 2 + ((y + 0.5 - 28.5) / 1.6) ** 2 <= 1:
                pixels[y][x] = index["shadow"]

    for y in range(SIZE):
        for x in range(SIZE):
            part = pin_shape(x, y)
            if part is None:
                continue
            opaque[y][x] = True
            if part == "hole":
                pixels[y][x] = index["pin_hole"]
                continue
            neighbours = [pin_shape(x + dx, y + dy) for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1))]
            if None in neighbours:
                pixels[y][x] = index["pin_dark"]
            elif x + 0.5 < 14 and y < 12:
                pixels[y][x] = index["pin_light"]
            else:
                pixels[y][x] = index["pin"]
    return pixels, opaque


def encode_icon(palette, pixels, opaque):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, SIZE * SIZE + SIZE * 4,
                         0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    # Device-independent bitmaps store rows bottom-up; a 32-pixel row of 8-bit pixels is already
    # a whole number of 4-byte words.
    xor = b"".join(bytes(pixels[y]) for y in reversed(range(SIZE)))
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if not opaque[y][x]:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    image = header + colours + xor + bytes(mask)
    assert len(image) == 2216, len(image)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    data = directory + entry + image
    assert len(data) == 2238, len(data)
    return data


def cpp_source(data):
    lines = [
        "// Generated by tools/make_icon.py from the same drawing as oxlo.ico; do not edit by hand.",
        '#include "app/app_icon_data.h"',
        "",
        "namespace oxlo::app {",
        "",
        f"const std::uint8_t appIconData[{len(data)}] = {{",
    ]
    for start in range(0, len(data), 16):
        chunk = data[start:start + 16]
        lines.append("    " + ", ".join(f"0x{b:02x}" for b in chunk) + ",")
    lines += [
        "};",
        "",
        "const std::size_t appIconSize = sizeof appIconData;",
        "",
        "} // namespace oxlo::app",
        "",
    ]
    return "\n".join(lines)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    palette, index = build_palette()
    pixels, opaque = draw(index)
    data = encode_icon(palette, pixels, opaque)
    app = os.path.join(root, "src", "app")
    with open(os.path.join(app, "oxlo.ico"), "wb") as f:
        f.write(data)
    with open(os.path.join(app, "app_icon_data.cpp"), "w", newline="\n") as f:
        f.write(cpp_source(data))


if __name__ == "__main__":
    main()
