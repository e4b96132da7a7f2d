#!/usr/bin/python3
"""Times Pillow's Lanczos resize of a 1254-pixel premultiplied (RGBa) image to
the clock's frame sizes, best of several runs, one line per size in ms."""
import random
import sys
import time

from PIL import Image

SIZES = [160, 320, 640, 960, 1200]


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    rng = random.Random(1254)
    image = Image.frombytes("RGBa", (1254, 1254), bytes(rng.getrandbits(8) for _ in range(1254 * 1254 * 4)))
    for size in SIZES:
        best = float("inf")
        for _ in range(repeats):
            start = time.perf_counter()
            image.resize((size, size), Image.LANCZOS)
            best = min(best, time.perf_counter() - start)
        print(f"pillow_lanczos/{size} {best * 1000:.2f} ms")


if __name__ == "__main__":
    main()
