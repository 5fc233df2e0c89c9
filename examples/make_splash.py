#!/usr/bin/env python3
"""Writes the demo's splash picture, setup.bmp, as a 24-bit Windows bitmap.

The picture is drawn from code, so the same file comes out on every run:
a blue title band with "ZOQAL SETUP", a pale gradient body with a line of
text and a bar, and a thin frame. Usage: make_splash.py OUTPUT.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 480, 280
BAND = (0x1F, 0x4E, 0x79)      # title band and frame; the demo looks for it on the screen
BAND_ROWS = 64
TOP, BOTTOM = (0xDC, 0xE6, 0xF0), (0xFF, 0xFF, 0xFF)
INK = (0x33, 0x33, 0x33)
BAR = (0x3A, 0x7C, 0xB8)

GLYPHS = {
    "A": "01110 10001 10001 11111 10001 10001 10001",
    "E": "11111 10000 10000 11110 10000 10000 11111",
    "G": "01110 10001 10000 10111 10001 10001 01111",
    "H": "10001 10001 10001 11111 10001 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110",
    "L": "10000 10000 10000 10000 10000 10000 11111",
    "N": "10001 11001 10101 10011 10001 10001 10001",
    "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000",
    "Q": "01110 10001 10001 10001 10101 10010 01101",
    "R": "11110 10001 10001 11110 10100 10010 10001",
    "S": "01111 10000 10000 01110 00001 00001 11110",
    "T": "11111 00100 00100 00100 00100 00100 00100",
    "U": "10001 10001 10001 10001 10001 10001 01110",
    "W": "10001 10001 10001 10101 10101 10101 01010",
    "Z": "11111 00001 00010 00100 01000 10000 11111",
    ".": "00000 00000 00000 00000 00000 01100 01100",
    " ": "00000 00000 00000 00000 00000 00000 00000",
}


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(pixels, text, left, top, scale, colour):
    for index, char in enumerate(text):
        rows = GLYPHS[char].split()
        for row, bits in enumerate(rows):
            for column, bit in enumerate(bits):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (index * 6 + column) * scale + dx
                        y = top + row * scale + dy
                        pixels[y][x] = colour


def draw_centred(pixels, text, top, scale, colour):
    draw_text(pixels, text, (WIDTH - text_width(text, scale)) // 2, top, scale, colour)


def picture():
    pixels = []
    for y in range(HEIGHT):
        if y < BAND_ROWS:
            pixels.append([BAND] * WIDTH)
        else:
            colour = blend(TOP, BOTTOM, (y - BAND_ROWS) / (HEIGHT - BAND_ROWS - 1))
            pixels.append([colour] * WIDTH)
    draw_centred(pixels, "ZOQAL SETUP", 14, 5, (0xFF, 0xFF, 0xFF))
    draw_centred(pixels, "PREPARING THE INSTALLATION", 112, 2, INK)
    draw_centred(pixels, "PLEASE WAIT...", 150, 2, INK)
    for y in range(206, 218):
        for x in range(90, WIDTH - 90):
            pixels[y][x] = BAR if x < 90 + (WIDTH - 180) * 2 // 3 else (0xC8, 0xD4, 0xE0)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if x < 2 or y < 2 or x >= WIDTH - 2 or y >= HEIGHT - 2:
                pixels[y][x] = BAND
    return pixels


def bitmap_file(pixels):
    row_bytes = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # bottom row first
        line = bytearray()
        for red, green, blue in row:
            line += bytes((blue, green, red))
        line += bytes(row_bytes - len(line))
        image += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    return header + info + bytes(image)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_splash.py OUTPUT.bmp\n")
        return 2
    with open(sys.argv[1], "wb") as out:
        out.write(bitmap_file(picture()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
