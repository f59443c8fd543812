#!/usr/bin/env python3
"""check_frame.py SCREENSHOT.ppm LEAF.bmp

Exits 0 when the 640 x 480 saver frame at the top-left of the screenshot shows the 9 x 9
leaves at their places with characters on them, 1 otherwise (with the reason on stderr).
"""
import struct
import sys

from ppm import read_ppm


def main():
    width, height, rgb = read_ppm(sys.argv[1])
    header = open(sys.argv[2], "rb").read(26)
    leaf_w, leaf_h = struct.unpack("<ii", header[18:26])
    if width < 640 or height < 480:
        print("screen smaller than the frame", file=sys.stderr)
        return 1

    def pixel(x, y):
        i = (y * width + x) * 3
        return rgb[i], rgb[i + 1], rgb[i + 2]

    leaves = 0
    characters = 0
    for row in range(9):
        for col in range(9):
            x = 73 + col * (leaf_w + 10)
            y = 129 + row * (leaf_h + 6)
            # The leaf's green beside the character, on both sides.
            green = 0
            for px in (x + leaf_w // 6, x + leaf_w - leaf_w // 6):
                r, g, b = pixel(px, y + leaf_h // 2)
                if g > 90 and g > r + 15 and g > b + 15:
                    green += 1
            if green == 2:
                leaves += 1
            dark = 0
            for py in range(y + 4, y + leaf_h - 2):
                for px in range(x + 9, x + leaf_w - 9):
                    r, g, b = pixel(px, py)
                    if r < 70 and g < 70 and b < 70:
                        dark += 1
            if dark >= 12:
                characters += 1
    # One square is the walker's, and it covers part of a neighbour.
    if leaves < 77 or characters < 76:
        print(f"leaves {leaves} of 81, characters {characters}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
