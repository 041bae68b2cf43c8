#!/usr/bin/env python3
"""Draws the eight 16x16 class icons into one 128x16, 4-bit bitmap.

Order: kernel driver (grey K), running kernel driver (dark blue K, blue dot),
file system driver (grey F), running one (green F, blue dot), service (grey S),
running service (yellow S, blue dot), other (grey arrow into a bar, like a
diode), running other (green arrow, blue dot). White background. The list
view loads it with mask colour RGB 25,0,0, so that colour must not occur;
the 16-colour palette below does not contain it.

Run: python3 make-class-icons.py ../class-icons.bmp
"""
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
WHITE, GREY, DARKGREY, NAVY, BLUE, GREEN, YELLOW, OLIVE = 15, 7, 8, 4, 12, 2, 11, 3

# Glyphs on a 16x16 grid: '#' is the stroke, '+' its darker edge.
GLYPHS = {
    "K": [
        "................",
        "..##......##....",
        "..##.....##.....",
        "..##....##......",
        "..##...##.......",
        "..##..##........",
        "..##.##.........",
        "..####..........",
        "..####..........",
        "..##.##.........",
        "..##..##........",
        "..##...##.......",
        "..##....##......",
        "..##.....##.....",
        "................",
        "................",
    ],
    "F": [
        "................",
        "..#########.....",
        "..#########.....",
        "..##............",
        "..##............",
        "..##............",
        "..#######.......",
        "..#######.......",
        "..##............",
        "..##............",
        "..##............",
        "..##............",
        "..##............",
        "..##............",
        "................",
        "................",
    ],
    "S": [
        "................",
        "....######......",
        "...########.....",
        "..##......##....",
        "..##............",
        "..###...........",
        "...######.......",
        "....######......",
        ".........###....",
        "..........##....",
        "..##......##....",
        "...########.....",
        "....######......",
        "................",
        "................",
        "................",
    ],
    "arrow": [
        "................",
        "................",
        "................",
        "..#.......#.....",
        "..##......#.....",
        "..###.....#.....",
        "..####....#.....",
        "#############...",
        "#############...",
        "..####....#.....",
        "..###.....#.....",
        "..##......#.....",
        "..#.......#.....",
        "................",
        "................",
        "................",
    ],
}


def draw(glyph, colour, running, outline=None):
    cells = [[WHITE] * 16 for _ in range(16)]
    rows = GLYPHS[glyph]
    for y in range(16):
        for x in range(16):
            if rows[y][x] == "#":
                cells[y][x] = colour
    if outline is not None:
        # A thin dark edge keeps a light stroke readable on white.
        for y in range(16):
            for x in range(16):
                if cells[y][x] == WHITE and any(
                    0 <= y + dy < 16 and 0 <= x + dx < 16 and rows[y + dy][x + dx] == "#"
                    for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                ):
                    cells[y][x] = outline
    if running:
        for y in range(11, 16):
            for x in range(11, 16):
                if (x - 13) ** 2 + (y - 13) ** 2 <= 5:
                    cells[y][x] = BLUE
    return cells


def images():
    return [
        draw("K", DARKGREY, False),
        draw("K", NAVY, True),
        draw("F", DARKGREY, False),
        draw("F", GREEN, True),
        draw("S", DARKGREY, False),
        draw("S", YELLOW, True, outline=OLIVE),
        draw("arrow", DARKGREY, False),
        draw("arrow", GREEN, True),
    ]


def write_bmp(path, imgs):
    width, height = 16 * len(imgs), 16
    row_bytes = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up
        row = []
        for img in imgs:
            row.extend(img[y])
        packed = bytearray((row[i] << 4) | row[i + 1] for i in range(0, width, 2))
        pixels += packed + bytes(row_bytes - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    write_bmp(sys.argv[1], images())
