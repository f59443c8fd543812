#!/usr/bin/env python3
"""compare_glyphs.py LINUX.txt WINDOWS.txt: how two glyph-dump outputs differ, per font.

For each writer font: how many glyphs have the same advance, the same box (size and
origin) and the same coverage; the mean and largest coverage difference (0..64) over the
pixels of glyphs whose boxes agree; and how the advances and box tops differ.
"""
import sys
from collections import Counter


def read(path):
    glyphs = {}
    for line in open(path, encoding="ascii"):
        f = line.split()
        if len(f) < 8:
            continue
        font, code = f[0], f[1]
        w, h, ox, oy, adv, asc = map(int, f[2:8])
        hexes = f[8] if len(f) > 8 else ""
        cov = [int(hexes[i:i + 2], 16) for i in range(0, len(hexes), 2)]
        glyphs[(font, code)] = (w, h, ox, oy, adv, asc, cov)
    return glyphs


def main():
    a, b = read(sys.argv[1]), read(sys.argv[2])
    for font in ("cell", "answer", "panel"):
        keys = sorted(k for k in a if k[0] == font and k in b)
        same_adv = same_box = same_cov = 0
        diff_sum = diff_pixels = diff_max = 0
        adv_delta, top_delta, size_delta = Counter(), Counter(), Counter()
        asc = set()
        for k in keys:
            aw, ah, aox, aoy, aadv, aasc, acov = a[k]
            bw, bh, box, boy, badv, basc, bcov = b[k]
            asc.add((aasc, basc))
            adv_delta[badv - aadv] += 1
            # The writer puts a box's top at ascent - originY below the pen.
            top_delta[(basc - boy) - (aasc - aoy)] += 1
            size_delta[(bw - aw, bh - ah)] += 1
            same_adv += aadv == badv
            if (aw, ah, aox, aoy - aasc) == (bw, bh, box, boy - basc):
                same_box += 1
                same_cov += acov == bcov
                d = [abs(x - y) for x, y in zip(acov, bcov)]
                diff_sum += sum(d)
                diff_pixels += len(d)
                diff_max = max([diff_max] + d)
        n = len(keys)
        print(f"{font}: {n} glyphs; ascent (first, second) {sorted(asc)}")
        print(f"  same advance {same_adv}/{n}, same box {same_box}/{n}, "
              f"same coverage {same_cov}/{n}")
        if diff_pixels:
            print(f"  boxes that agree: mean coverage difference "
                  f"{diff_sum / diff_pixels:.2f} of 64 per pixel, largest {diff_max}")
        print(f"  advance second - first: {dict(sorted(adv_delta.items()))}")
        print(f"  box top second - first: {dict(sorted(top_delta.items()))}")
        print(f"  box size second - first, most common: {size_delta.most_common(4)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
