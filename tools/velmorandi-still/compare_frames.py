#!/usr/bin/env python3
"""compare_frames.py FIRST.ppm SECOND.ppm [DIFF.ppm]: how two frames of the saver differ.

Prints the share of pixels that are equal, within 2 and within 8 levels per channel, and
for the pixels that differ by more: how many the second frame shows one row lower than the
first (its pixel equals, within 8 levels, the first frame's pixel one row above), and the
bounding boxes of what remains, by 16-pixel bands of rows. DIFF.ppm gets the first frame
dimmed with the pixels that differ by more than 8 levels in red (one row lower: yellow).
"""
import os
import sys

# The PPM reader of the end-to-end checks.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from ppm import read_ppm  # noqa: E402


def main():
    w, h, a = read_ppm(sys.argv[1])
    w2, h2, b = read_ppm(sys.argv[2])
    if (w, h) != (w2, h2):
        raise SystemExit(f"sizes differ: {w}x{h} and {w2}x{h2}")

    def near(p, q, tolerance):
        return all(abs(p[i] - q[i]) <= tolerance for i in range(3))

    def px(img, x, y):
        i = 3 * (y * w + x)
        return img[i:i + 3]

    equal = within2 = within8 = lower = 0
    marks = bytearray(x // 3 for x in a)  # the first frame, dimmed
    bands = {}
    for y in range(h):
        for x in range(w):
            p, q = px(a, x, y), px(b, x, y)
            if p == q:
                equal += 1
            if near(p, q, 2):
                within2 += 1
            if near(p, q, 8):
                within8 += 1
                continue
            i = 3 * (y * w + x)
            if y > 0 and near(px(a, x, y - 1), q, 8):
                lower += 1
                marks[i:i + 3] = b"\xff\xff\x00"
                continue
            marks[i:i + 3] = b"\xff\x00\x00"
            box = bands.setdefault(y // 16, [x, y, x, y, 0])
            box[0], box[1] = min(box[0], x), min(box[1], y)
            box[2], box[3] = max(box[2], x), max(box[3], y)
            box[4] += 1
    n = w * h
    differ = n - within8
    print(f"equal {equal / n:.2%}, within 2 levels {within2 / n:.2%}, "
          f"within 8 levels {within8 / n:.2%}; {differ} pixels differ by more")
    if differ:
        print(f"  of those, {lower} ({lower / differ:.0%}) show the first frame's pixel one row "
              f"above; the rest, by bands of 16 rows (left, top, right, bottom: count):")
        for band in sorted(bands):
            x0, y0, x1, y1, count = bands[band]
            print(f"    ({x0}, {y0}) .. ({x1}, {y1}): {count}")
    if len(sys.argv) > 3:
        with open(sys.argv[3], "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (w, h) + bytes(marks))
    return 0


if __name__ == "__main__":
    sys.exit(main())
