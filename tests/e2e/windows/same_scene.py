#!/usr/bin/env python3
"""same_scene.py SCREENSHOT.ppm FRAME.ppm

Exits 0 when the 640 x 480 frame at the top-left of the screenshot is the same scene as the
frame read back from the back buffer some ticks earlier: at least 80 % of the pixels agree
within 8 levels per channel (the walker, the flying characters and the answer row move in
between; the wallpaper and the board do not).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from ppm import read_ppm  # noqa: E402


def main():
    sw, sh, shot = read_ppm(sys.argv[1])
    fw, fh, frame = read_ppm(sys.argv[2])
    if (fw, fh) != (640, 480) or sw < 640 or sh < 480:
        print(f"sizes {sw}x{sh} and {fw}x{fh}", file=sys.stderr)
        return 1
    same = 0
    for y in range(480):
        s = y * sw * 3
        f = y * fw * 3
        for x in range(640):
            a = shot[s + 3 * x:s + 3 * x + 3]
            b = frame[f + 3 * x:f + 3 * x + 3]
            if all(abs(a[i] - b[i]) <= 8 for i in range(3)):
                same += 1
    share = same / (640 * 480)
    print(f"{share:.1%} of the pixels agree")
    return 0 if share >= 0.8 else 1


if __name__ == "__main__":
    sys.exit(main())
