#!/usr/bin/env python3
"""scr_resources.py PROGRAM.scr VERSION

What Windows shows of the program, read with wrestool: prints string 1 (the name in the
screen saver list) and exits 0 when it is there, the icon group holds 16 to 256 pixel
images, the version resource has the Japanese and English blocks with VERSION, the manifest
asks for what the program needs, and every resource is tagged Japanese (1041); else prints
what is missing and exits 1."""
import re
import struct
import subprocess
import sys


def resource(scr, kind, name):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", scr],
                          check=True, capture_output=True).stdout


def string_one(scr):
    # Block 1 holds strings 0 to 15, each a UTF-16 length and that many UTF-16 units.
    block = resource(scr, 6, 1)
    at = 0
    for index in range(16):
        (length,) = struct.unpack_from("<H", block, at)
        text = block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        if index == 1:
            return text
        at += 2 + 2 * length
    return ""


def main():
    scr, version = sys.argv[1], sys.argv[2]
    missing = []
    listing = subprocess.run(["wrestool", "-l", scr], check=True, capture_output=True,
                             text=True).stdout.splitlines()
    if not listing or any("--language=1041" not in line for line in listing):
        missing.append("every resource tagged Japanese")

    name = string_one(scr)
    print(f"string 1: {name}")
    if name != "ヴェルモランディ":
        missing.append("string 1")

    # GRPICONDIR: 6 bytes, then 14 bytes an image with its width first (0 means 256).
    group = resource(scr, 14, 1)
    (count,) = struct.unpack_from("<H", group, 4)
    widths = {group[6 + 14 * i] or 256 for i in range(count)}
    if not {16, 32, 48, 256} <= widths:
        missing.append(f"icons of 16 to 256 pixels (has {sorted(widths)})")

    info = resource(scr, 16, 1).decode("utf-16-le", errors="replace")
    for text in ("041104B0", "040904B0", version, "ヴェルモランディ"):
        if text not in info:
            missing.append(f"version resource: {text}")

    manifest = resource(scr, 24, 1).decode("utf-8", errors="replace")
    for text in ("asInvoker", "PerMonitorV2", "Microsoft.Windows.Common-Controls",
                 "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"):
        if not re.search(re.escape(text), manifest):
            missing.append(f"manifest: {text}")

    for what in missing:
        print(f"missing: {what}", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
