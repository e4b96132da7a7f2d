#!/usr/bin/env python3
"""Writes each of the SIZES the artwork generator put into the program's .ico
(each a PNG of its own) as OUT/hicolor/NxN/apps/velmor-clock.png, and the
largest image also as OUT/velmor-clock.png for a program run from its build
folder. The .ico holds sizes Windows' scaling asks for (20, 40) that the
hicolor theme has no folder for; those are left out.
Usage: ico_to_hicolor.py ICON.ico OUT SIZE..."""
import os
import struct
import sys


def main():
    ico, out = sys.argv[1], sys.argv[2]
    wanted = {int(size) for size in sys.argv[3:]}
    data = open(ico, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1 or count == 0:
        sys.exit(f"{ico}: not an icon file")
    largest = None
    for i in range(count):
        width, _, _, _, _, _, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        width = width or 256
        png = data[offset:offset + size]
        if not png.startswith(b"\x89PNG\r\n\x1a\n"):
            sys.exit(f"{ico}: the {width}-pixel image is not a PNG")
        if width in wanted:
            wanted.remove(width)
            folder = os.path.join(out, "hicolor", f"{width}x{width}", "apps")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "velmor-clock.png"), "wb") as f:
                f.write(png)
        if largest is None or width > largest[0]:
            largest = (width, png)
    if wanted:
        sys.exit(f"{ico}: no image of {sorted(wanted)} pixels")
    with open(os.path.join(out, "velmor-clock.png"), "wb") as f:
        f.write(largest[1])


if __name__ == "__main__":
    main()
