#!/usr/bin/env python3
"""colours.py SHOT.ppm [X Y W H]: prints the number of distinct colours in the region
(the whole picture by default)."""
import sys

from ppm import read_ppm


def main():
    width, height, rgb = read_ppm(sys.argv[1])
    x, y, w, h = (int(v) for v in sys.argv[2:6]) if len(sys.argv) >= 6 else (0, 0, width, height)
    seen = set()
    for row in range(max(y, 0), min(y + h, height)):
        start = (row * width + max(x, 0)) * 3
        end = (row * width + min(x + w, width)) * 3
        line = rgb[start:end]
        seen.update(line[i:i + 3] for i in range(0, len(line), 3))
    print(len(seen))
    return 0


if __name__ == "__main__":
    sys.exit(main())
