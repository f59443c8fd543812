#!/usr/bin/env python3
"""dialog_colours.py SHOT.png: the settings dialog's own colours are on the screen.

Exits 0 when the screenshot holds a white face, teal label boxes with lime text, silver
check-box strips and blue button captions, each in a good number of pixels; the window's
place on the screen does not matter."""
import subprocess
import sys

WANTED = {
    "white face": ((255, 255, 255), 40000),
    "teal labels": ((0, 128, 128), 8000),
    "lime text": ((0, 255, 0), 200),
    "silver strips": ((192, 192, 192), 8000),
    "blue captions": ((0, 0, 255), 300),
}


def pixels(path):
    raw = subprocess.run(["convert", path, "rgb:-"], check=True, capture_output=True).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def main():
    counts = {}
    for pixel in pixels(sys.argv[1]):
        counts[pixel] = counts.get(pixel, 0) + 1
    short = [f"{name}: {counts.get(colour, 0)} < {least}"
             for name, (colour, least) in WANTED.items() if counts.get(colour, 0) < least]
    for line in short:
        print(line)
    return 1 if short else 0


if __name__ == "__main__":
    sys.exit(main())
