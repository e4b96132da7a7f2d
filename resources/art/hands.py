"""Brass hands and hub in the reference pose (hour 305 deg, minute 60 deg, seconds at the 6).

The renderer copies the colours of the hour and minute hands and of the hub from this
picture, reading pixel (j, i) at the dial point (j, i) * 1000 / size. The leaf hands are
therefore painted with the renderer's own distance rule (the larger of the end distance
and the slope-corrected side distance) about a centre line displaced by the profile's
shift, and `margin` units wider than the profile, so every point the renderer can look up
lands on brass. All hand and hub colours come from the BRASS ramp, whose every blend passes
the renderer's brass test.
"""
import math

import numpy as np

from common import BRASS, LIGHT, PIVOT, SIZE, cover, grid, layer, over, ramp, smoothstep

REFERENCE_POSE = {0: 305.0, 1: 60.0}
HUB_RADIUS = 32.5   # the collar reaches past what the pivot cap copies
DOME = 28.0         # the pivot cap's radius


def load_profiles(path):
    """{hand: (along, halfWidth, shift, slope)} from the hand-outline tool's output."""
    rows = np.loadtxt(path)
    out = {}
    for hand in (0, 1):
        r = rows[rows[:, 0] == hand]
        out[hand] = (r[:, 1], r[:, 2], r[:, 3], r[:, 4])
    return out


def _hand_frame(X, Y, angle):
    t = math.radians(angle)
    c, s = math.cos(t), math.sin(t)
    dx, dy = X - PIVOT[0], Y - PIVOT[1]
    return c * dx + s * dy, -s * dx + c * dy


def leaf_hand(X, Y, profile, angle, margin, n):
    """(coverage, across, along) of one leaf hand; across is -1..1 over the true width."""
    along_tab, hw_tab, shift_tab, slope_tab = profile
    length = along_tab[-1]
    x, y = _hand_frame(X, Y, angle)
    a = np.clip(-y, 0.0, length)
    hw = np.interp(a, along_tab, hw_tab)
    shift = np.interp(a, along_tab, shift_tab)
    slope = np.interp(a, along_tab, slope_tab)
    xr = x - shift
    e = np.maximum(-length - y, y)
    f = (np.abs(xr) - hw) / np.sqrt(slope * slope + 1.0)
    d = np.maximum(e, f)
    cov = cover(d - margin, n)
    across = np.clip(xr / np.maximum(hw, 0.8), -1.0, 1.0)
    return cov, across, -y


def leaf_colour(across, along, length):
    """Faceted brass: a bright ridge on the centre line, the flank facing the light brighter."""
    ridge = 1.0 - np.abs(across)
    v = 0.34 + 0.38 * ridge ** 1.6 + 0.28 * np.exp(-(across / 0.10) ** 2)
    v += 0.05 * smoothstep(0.0, length, along)
    return np.clip(v, 0.0, 1.0)


def paint_leaf_hands(out, X, Y, profiles, margin, n):
    for hand in (0, 1):
        angle = REFERENCE_POSE[hand]
        cov, across, along = leaf_hand(X, Y, profiles[hand], angle, margin, n)
        # Flank facing the light: the hand's x axis at this angle, dotted with the light.
        t = math.radians(angle)
        side = math.cos(t) * LIGHT[0] + math.sin(t) * LIGHT[1]
        v = leaf_colour(across, along, profiles[hand][0][-1])
        v = v + 0.13 * np.sign(side) * across
        over(out, layer(ramp(np.clip(v, 0.0, 1.0), BRASS), cov))


def paint_seconds(out, X, Y, angle, n):
    """The straight seconds hand with its disc, in the renderer's own seconds colours."""
    x, y = _hand_frame(X, Y, angle)
    d = np.maximum(np.abs(x) - 1.4, np.maximum(-390.0 - y, y - 65.0))
    u = np.clip(np.abs(x) / 1.4, 0.0, 1.0)
    rgb = np.stack([218 - 93 * u, 180 - 92 * u, 102 - 63 * u], axis=-1) / 255.0
    over(out, layer(rgb, cover(d, n)))
    t = math.radians(angle)
    cx, cy = PIVOT[0] + 210 * math.sin(t), PIVOT[1] - 210 * math.cos(t)
    dx, dy = X - cx, Y - cy
    tt = np.clip(0.5 - (dx + dy) / 24.0, 0.0, 1.0)
    rgb = np.stack([105 + 135 * tt, 65 + 140 * tt, 23 + 120 * tt], axis=-1) / 255.0
    over(out, layer(rgb, cover(np.hypot(dx, dy) - 6.0, n)))


def paint_hub(out, X, Y, n, radius):
    """The domed brass hub, cut off at `radius`: a dome of DOME units lit from the upper
    left, with a turned pin in the centre, on a plain brass collar."""
    dx, dy = X - PIVOT[0], Y - PIVOT[1]
    r = np.hypot(dx, dy)
    q = np.clip(r / DOME, 0.0, 1.0)
    # A low dome: normals tilt outwards towards its edge.
    tilt = 0.80 * q ** 1.4
    nx = tilt * dx / np.maximum(r, 1e-9)
    ny = tilt * dy / np.maximum(r, 1e-9)
    nz = np.sqrt(np.clip(1 - nx * nx - ny * ny, 0.0, 1.0))
    diffuse = np.clip(nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2], 0.0, 1.0)
    rz = 2 * nz * nz - 1
    rl = 2 * nz * (nx * LIGHT[0] + ny * LIGHT[1]) + rz * LIGHT[2]
    v = 0.20 + 0.45 * diffuse + 0.40 * np.exp(-(1 - rl) / 0.06)
    # The pin, its groove, and a dark bevel at the dome's edge.
    v = np.where(r < 5.5, 0.38 + 0.5 * np.clip(-(dx + dy) / 11.0 + 0.5, 0, 1), v)
    v -= 0.25 * np.exp(-((r - 5.8) / 0.8) ** 2)
    v -= 0.22 * np.exp(-((r - DOME + 0.9) / 0.9) ** 2)
    v = np.where(r > DOME, 0.40 + 0.1 * np.clip(-(dx + dy) / (2 * r + 1e-9), -1, 1), v)
    over(out, layer(ramp(np.clip(v, 0.0, 1.0), BRASS), cover(r - radius, n)))


def paint_reference_hands(out, profiles, margin, n=SIZE, sample_grid=True):
    """Hands and hub over `out` (n x n). sample_grid: pixel (j, i) read at (j, i)."""
    X, Y = grid(n, centre=not sample_grid)
    paint_seconds(out, X, Y, 180.0, n)
    # Hub, hands over its collar, then the dome over the hands' bases: the hands keep
    # their own colours right up to the cap's edge.
    paint_hub(out, X, Y, n, HUB_RADIUS)
    paint_leaf_hands(out, X, Y, profiles, margin, n)
    paint_hub(out, X, Y, n, DOME + 0.4)
    return out
