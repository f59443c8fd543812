#!/usr/bin/env python3
"""scr_resources.py PROGRAM.scr VERSION

What Windows shows of the program, read with wrestool: prints string 1 (the name in the
screen saver list); exits 0 when it is there, the icon group holds 16 to 256 pixel images,
the version resource has the Japanese and English blocks with VERSION, the manifest asks
for what the program needs, and every resource is tagged Japanese (1041); else prints what
is missing and exits 1."""
import struct
import subprocess
import sys


def resource(scr, kind):
    command = ["wrestool", "-x", "--raw", f"--type={kind}", "--name=1", scr]
    return subprocess.run(command, check=True, capture_output=True).stdout


def main():
    scr, version = sys.argv[1], sys.argv[2]
    listing = subprocess.run(["wrestool", "-l", scr], check=True, capture_output=True,
                             text=True).stdout.splitlines()
    # String table block 1 holds strings 0 to 15, each a UTF-16 length and its units.
    block = resource(scr, 6)
    skip = 2 + 2 * struct.unpack_from("<H", block)[0]
    name = block[skip + 2:skip + 2 + 2 * struct.unpack_from("<H", block, skip)[0]].decode("utf-16-le")
    print(f"string 1: {name}")
    # The icon group: 6 bytes, then 14 an image, its width first (0 for 256).
    group = resource(scr, 14)
    widths = {group[6 + 14 * i] or 256 for i in range(struct.unpack_from("<H", group, 4)[0])}
    info = resource(scr, 16).decode("utf-16-le", errors="replace")
    manifest = resource(scr, 24).decode("utf-8", errors="replace")
    checks = {
        "every resource tagged Japanese": listing and all("--language=1041" in l for l in listing),
        "string 1": name == "ヴェルモランディ",
        f"icons of 16 to 256 pixels (has {sorted(widths)})": {16, 32, 48, 256} <= widths,
        "version resource": all(t in info for t in ("041104B0", "040904B0", version)),
        "manifest": all(t in manifest for t in (
            "asInvoker", "PerMonitorV2", "Microsoft.Windows.Common-Controls",
            "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")),
    }
    for what in (what for what, passed in checks.items() if not passed):
        print(f"missing: {what}", file=sys.stderr)
    return 0 if all(checks.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
