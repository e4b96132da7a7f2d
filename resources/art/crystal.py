"""The light on the glass: a bright crescent along the upper-left rim of the dial over a
broad, faint sheen, both near-white.

Alpha stays at or below 78, the light stays inside columns 127..836 and rows 82..843
(fading out before those limits), and the sheen's size is chosen so that about 14 % of
all pixels carry some light.
"""
import math

import numpy as np

from common import PIVOT, SIZE, grid, smoothstep

MAX_ALPHA = 76.0 / 255.0
BOX = (127, 836, 82, 843)       # first and last column, first and last row
TARGET = 0.14


def crystal_alpha(spread, X, Y):
    dx, dy = X - PIVOT[0], Y - PIVOT[1]
    rho = np.hypot(dx, dy)
    inside = 1.0 - smoothstep(376.0, 392.0, rho)          # within the bezel's opening
    ang = np.arctan2(dy, dx)
    toward = np.cos(ang - math.radians(-126.0))           # 1 towards the upper left
    # Crescent hugging the rim, brightest at the upper left, dying away at its horns.
    c = 48.0 / math.sqrt(2.0)
    carve = smoothstep(384.0, 414.0, np.hypot(dx - c, dy - c))
    crescent = inside * carve * smoothstep(0.45, 0.95, toward) ** 1.5
    # Broad sheen: a soft ellipse across the upper left, long axis along the rim.
    ex, ey = PIVOT[0] - 150.0, PIVOT[1] - 160.0
    t = math.radians(-45.0)
    u = (X - ex) * math.cos(t) + (Y - ey) * math.sin(t)
    v = -(X - ex) * math.sin(t) + (Y - ey) * math.cos(t)
    e = np.hypot(u / (1.55 * spread), v / spread)
    sheen = inside * (1.0 - smoothstep(0.0, 1.0, e)) ** 1.6
    a = np.maximum(crescent, 0.42 * sheen)
    # Fade out before the limits of the box, never clip hard.
    px = np.arange(SIZE) + 0.5
    c0, c1, r0, r1 = BOX
    fx = smoothstep(c0, c0 + 14, px) * (1 - smoothstep(c1 - 13, c1 + 1, px))
    fy = smoothstep(r0, r0 + 14, px) * (1 - smoothstep(r1 - 13, r1 + 1, px))
    a = a * fx[None, :] * fy[:, None] * MAX_ALPHA
    a[np.round(a * 255.0) < 1] = 0.0
    return a


def coverage(alpha):
    return np.count_nonzero(np.round(alpha * 255.0) > 0) / alpha.size


def paint_crystal():
    X, Y = grid()
    lo, hi = 60.0, 400.0
    for _ in range(28):   # a larger sheen lights more pixels
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
