"""Paints every artwork file of the clock from scratch, deterministically.

usage: generate.py PROFILES OUTDIR
PROFILES is the output of the hand-outline tool (the hands' leaf profiles).
"""
import os
import sys

import numpy as np
from PIL import PngImagePlugin

from common import to_image
from crystal import paint_crystal
from face import paint_face
from hands import load_profiles, paint_reference_hands
from icon import build_ico

# How much wider than the profile the reference hands are painted (dial units): the
# renderer looks colours up as far as half a pixel beyond the edge, 3.1 units at 160 px,
# and bilinear sampling reaches one source pixel (0.8 units) further.
MARGIN = 5.5
NOTE = b"Velmor Clock reference: hour 305, minute 60, seconds 180 deg; pivot 500,492"


def save_png(image, path, extra=None):
    info = None
    if extra is not None:
        info = PngImagePlugin.PngInfo()
        info.add(b"vlMr", extra)   # private, ancillary, safe to copy; before the image data
    image.save(path, "PNG", optimize=True, pnginfo=info)


def main(profiles_path, outdir):
    profiles = load_profiles(profiles_path)
    rng = np.random.default_rng(1908)

    face = paint_face(rng)
    save_png(to_image(face), os.path.join(outdir, "face.png"))

    reference = paint_reference_hands(face.copy(), profiles, MARGIN)
    save_png(to_image(reference), os.path.join(outdir, "reference.png"), NOTE)

    save_png(to_image(paint_crystal()), os.path.join(outdir, "crystal.png"))

    shown = paint_reference_hands(face.copy(), profiles, 0.0, sample_grid=False)
    with open(os.path.join(outdir, "velmor-clock.ico"), "wb") as f:
        f.write(build_ico(to_image(shown)))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
