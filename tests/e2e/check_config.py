#!/usr/bin/env python3
"""Checks on the settings dialog, the wallpaper dialog and the preview as a screenshot shows
them, and on the settings file they write.

  check_config.py dialog SHOT.ppm          the 498 x 480 settings dialog
  check_config.py pictures SHOT.ppm        the 476 x 296 wallpaper dialog with a preview
  check_config.py preview SHOT.ppm STILL.ppm   a preview area of the still's size
  check_config.py link SHOT.ppm COLOUR     the dialog's home-page label is purple or green
  check_config.py ini FILE SECTION KEY     prints the key's value (nothing when missing)

Exits 0 when the picture looks right, 1 with the reasons on stderr otherwise.
"""
import configparser
import sys

from ppm import read_ppm


def read_picture(path):
    return Picture(*read_ppm(path))


class Picture:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def count(self, rect, test):
        left, top, width, height = rect
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if test(*self.pixel(x, y)))


def near(colour, tolerance=40):
    return lambda r, g, b: (abs(r - colour[0]) <= tolerance and abs(g - colour[1]) <= tolerance
                            and abs(b - colour[2]) <= tolerance)


def greenish(r, g, b):
    return g > r + 30 and g > b + 30


def dark(r, g, b):
    return r < 80 and g < 80 and b < 80


def blue(r, g, b):
    return b > 150 and r < 90 and g < 90


def red(r, g, b):
    return r > 150 and g < 90 and b < 90


WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
TEAL = (0, 128, 128)
LIME = (0, 255, 0)
MAGENTA = (255, 0, 255)


class Checks:
    def __init__(self):
        self.problems = []

    def expect(self, ok, what):
        if not ok:
            self.problems.append(what)

    def done(self):
        for problem in self.problems:
            print(problem, file=sys.stderr)
        return 1 if self.problems else 0


def check_dialog(shot):
    c = Checks()
    c.expect((shot.width, shot.height) == (498, 480), f"dialog is {shot.width} x {shot.height}")
    if c.problems:
        return c.done()
    # Background between and beside the controls.
    for x, y in [(245, 50), (245, 250), (245, 380), (480, 110), (480, 320), (5, 300)]:
        c.expect(near(WHITE, 8)(*shot.pixel(x, y)), f"background at ({x}, {y}) is {shot.pixel(x, y)}, not white")
    # Captions: black bold titles, red slider labels, blue button captions.
    c.expect(shot.count((15, 12, 190, 18), dark) > 60, "no black title text at the speed slider")
    c.expect(shot.count((15, 84, 220, 18), dark) > 60, "no black title text at the wait slider")
    c.expect(shot.count((30, 26, 40, 15), red) > 10, "no red label over the speed slider")
    for name, rect in [("四文字言葉の追加", (257, 98, 148, 38)), ("書体の変更", (257, 234, 148, 38)),
                       ("ヘルプを見る", (257, 300, 148, 38))]:
        c.expect(shot.count(rect, blue) > 40, f"no blue caption on the button {name}")
    # Check boxes: green bold captions on silver.
    for name, rect in [("行き先", (18, 164, 215, 23)), ("最初から", (18, 188, 215, 23)),
                       ("壁紙", (257, 17, 215, 23))]:
        area = rect[2] * rect[3]
        c.expect(shot.count(rect, near(SILVER, 12)) > area // 3, f"check box {name} is not on silver")
        c.expect(shot.count(rect, greenish) > 40, f"check box {name} has no green caption")
    # The music labels: lime on teal.
    c.expect(shot.count((19, 339, 215, 42), near(TEAL, 20)) > 215 * 42 // 2, "the music label is not teal")
    c.expect(shot.count((19, 339, 80, 16), near(LIME, 60)) > 15, "the music label has no lime text")
    # The banner: the leaf and the walker are green, the title is dark.
    banner = (237, 408, 254, 43)
    c.expect(shot.count(banner, greenish) > 200, "the banner shows no green leaf or walker")
    c.expect(shot.count(banner, lambda r, g, b: not near(WHITE, 20)(r, g, b)) > 254 * 43 // 4,
             "the banner is mostly blank")
    c.expect(shot.count((243, 457, 252, 13), greenish) > 30, "no green home-page address")
    return c.done()


def purple(r, g, b):
    return r > 90 and b > 90 and g < 60


def check_link(shot, colour):
    c = Checks()
    link = (243, 457, 252, 13)
    wanted, other = (purple, greenish) if colour == "purple" else (greenish, purple)
    c.expect(shot.count(link, wanted) > 30, f"the home-page label is not {colour}")
    c.expect(shot.count(link, other) < 5, f"the home-page label is not only {colour}")
    return c.done()


def check_pictures(shot):
    c = Checks()
    c.expect((shot.width, shot.height) == (476, 296), f"wallpaper dialog is {shot.width} x {shot.height}")
    if c.problems:
        return c.done()
    c.expect(shot.count((15, 7, 451, 53), greenish) > 100, "no green instruction text")
    c.expect(shot.count((74, 74, 392, 134), near(WHITE, 8)) > 392 * 134 // 2, "no white list box")
    # The preview of the selected picture: many colours where the empty box is plain.
    image = (273, 222, 134, 67)
    face = shot.pixel(273, 222)
    c.expect(shot.count(image, lambda r, g, b: not near(face, 16)(r, g, b)) > 134 * 67 // 3,
             "the selected picture is not shown")
    return c.done()


def check_preview(shot, still):
    c = Checks()
    c.expect((shot.width, shot.height) == (still.width, still.height),
             f"preview area is {shot.width} x {shot.height}, the still {still.width} x {still.height}")
    if c.problems:
        return c.done()
    area = shot.width * shot.height
    c.expect(shot.count((0, 0, shot.width, shot.height), near(MAGENTA, 30)) < area // 100,
             "the parent's magenta shows through")
    c.expect(shot.count((0, 0, shot.width, shot.height), lambda r, g, b: r + g + b > 60) > area // 2,
             "the preview is mostly black")
    leaves = shot.count((0, 0, shot.width, shot.height), greenish)
    c.expect(leaves > area // 20, f"only {leaves} pixels of leaf green")
    difference = sum(abs(a - b) for a, b in zip(shot.rgb, still.rgb)) / (area * 3)
    c.expect(difference < 20, f"the preview differs from the shrunk still by {difference:.1f} per channel")
    return c.done()


def main():
    mode = sys.argv[1]
    if mode == "ini":
        parser = configparser.ConfigParser(strict=False, interpolation=None)
        parser.optionxform = str
        parser.read(sys.argv[2], encoding="latin-1")
        print(parser.get(sys.argv[3], sys.argv[4], fallback=""))
        return 0
    if mode == "dialog":
        return check_dialog(read_picture(sys.argv[2]))
    if mode == "link":
        return check_link(read_picture(sys.argv[2]), sys.argv[3])
    if mode == "pictures":
        return check_pictures(read_picture(sys.argv[2]))
    if mode == "preview":
        return check_preview(read_picture(sys.argv[2]), read_picture(sys.argv[3]))
    raise SystemExit(f"unknown mode {mode}")


if __name__ == "__main__":
    sys.exit(main())
