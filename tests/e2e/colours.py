#!/usr/bin/env python3
"""colours.py SHOT.ppm [--white]: prints the number of distinct colours in the picture, or
with --white the number of near-white pixels (every channel above 240)."""
import sys

from ppm import read_ppm


def main():
    _, _, rgb = read_ppm(sys.argv[1])
    pixels = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    if "--white" in sys.argv[2:]:
        print(sum(1 for p in pixels if min(p) > 240))
    else:
        print(len(set(pixels)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
