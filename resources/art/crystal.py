"""The light on the glass: a soft near-white crescent over the upper left of the dial.

Alpha stays at or below 78 and the highlight stays inside columns 127..836 and rows
82..843; the crescent's inner edge is placed so that about 14 % of all pixels carry light.
"""
import math

import numpy as np

from common import PIVOT, SIZE, grid, smoothstep

MAX_ALPHA = 76.0 / 255.0
BOX = (127, 836, 82, 843)       # first and last column, first and last row
TARGET = 0.14


def crystal_alpha(offset, X, Y):
    dx, dy = X - PIVOT[0], Y - PIVOT[1]
    rho = np.hypot(dx, dy)
    # Outer edge just inside the chapter ring, fading softly.
    outer = 1.0 - smoothstep(372.0, 392.0, rho)
    # Inner edge: a larger circle pushed towards the lower right carves the crescent.
    c = offset / math.sqrt(2.0)
    inner_r = np.hypot(dx - c, dy - c * 1.1)
    inner = smoothstep(392.0, 392.0 + 0.55 * offset, inner_r)
    # Strongest towards the upper left, dying away before the crescent's horns.
    ang = np.arctan2(dy, dx)
    toward = np.cos(ang - math.radians(-128.0))
    horns = smoothstep(-0.05, 0.75, toward)
    a = outer * inner * horns
    a = a ** 0.9 * MAX_ALPHA
    out = np.zeros_like(a)
    c0, c1, r0, r1 = BOX
    out[r0:r1 + 1, c0:c1 + 1] = a[r0:r1 + 1, c0:c1 + 1]
    return out


def coverage(alpha):
    return np.count_nonzero(np.round(alpha * 255.0) > 0) / alpha.size


def paint_crystal():
    X, Y = grid()
    lo, hi = 40.0, 400.0
    for _ in range(30):   # wider offset, fatter crescent, more pixels lit
        mid = 0.5 * (lo + hi)
        if coverage(crystal_alpha(mid, X, Y)) < TARGET:
            lo = mid
        else:
            hi = mid
    a = crystal_alpha(0.5 * (lo + hi), X, Y)
    rgb = np.array([252.0, 253.0, 255.0]) / 255.0
    out = np.zeros((SIZE, SIZE, 4))
    out[..., :3] = rgb * a[..., None]
    out[..., 3] = a
    return out
