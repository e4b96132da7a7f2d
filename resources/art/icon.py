"""The application icon: nine sizes, each stored PNG-compressed.

Every size the notification area and the shell ask for between 100 and 300 % scaling
(16, 20, 24, 32, 40, 48, 64 and 256 px) is drawn for itself, so none is scaled from another.
128 and 256 px are the finished clock, reduced; 16 to 64 px are a simplified drawing
(heavy rim, few marks, bold hands at 10:10) that stays legible at that size.
"""
import io
import math
import struct

import numpy as np
from PIL import Image

from common import BRASS, BRASS_SPECULAR, SIZE, layer, over, ramp, to_image

SIZES = (16, 20, 24, 32, 40, 48, 64, 128, 256)
SMALL = (16, 20, 24, 32, 40, 48, 64)


def _cover_ss(d, px):
    return np.clip(0.5 - d / px, 0.0, 1.0)


def small_icon(size):
    """Simplified clock drawn with 8x supersampling, in units of the icon's half-width."""
    ss = 8
    n = size * ss
    v = (np.arange(n) + 0.5) / n * 2.0 - 1.0
    X, Y = np.meshgrid(v, v)
    Y = Y + 0.02
    px = 2.0 / n
    r = np.hypot(X, Y)
    out = np.zeros((n, n, 4))
    R = 0.97
    rim_in = 0.76 if size > 16 else 0.70
    # Rim: brass, light at the upper left.
    lit = np.clip(0.5 - (X + Y) / (2.6 * R), 0, 1)
    ring_v = 0.35 + 0.55 * lit + 0.12 * np.cos(np.pi * (r - rim_in) / (R - rim_in) - np.pi / 2)
    over(out, layer(ramp(np.clip(ring_v, 0, 1), BRASS_SPECULAR), _cover_ss(r - R, px)))
    over(out, layer(np.zeros((n, n, 3)) + 0.06, _cover_ss(np.abs(r - R + px * 1.5) - px * 0.7, px) * 0.5))
    if size >= 48:
        # Room for a satin chapter ring inside the polished bezel.
        ring_out = 0.86
        over(out, layer(np.zeros((n, n, 3)) + 0.1, _cover_ss(np.abs(r - ring_out) - 0.012, px) * 0.8))
        satin = 0.42 + 0.25 * np.clip(0.5 - (X + Y) / 3.0, 0, 1)
        over(out, layer(ramp(satin, BRASS), _cover_ss(r - ring_out + 0.012, px)))
        rim_in = 0.74
    # Dial.
    dial = np.array([22, 25, 33]) / 255.0 + (0.10 * np.clip(0.6 - r, 0, 1))[..., None]
    over(out, layer(dial, _cover_ss(r - rim_in, px)))
    # Hour marks.
    marks = range(0, 12, 3) if size < 32 else range(12)
    for k in marks:
        a = math.radians(k * 30)
        s, c = math.sin(a), math.cos(a)
        along = X * s - Y * c
        across = X * c + Y * s
        if size >= 48:
            w = 0.045 if k % 3 == 0 else 0.024
            d = np.maximum(np.abs(across) - w, np.maximum(rim_in - 0.15 - along, along - rim_in + 0.04))
        else:
            w = (0.075 if k % 3 == 0 else 0.04) * (1.4 if size == 16 else 1.0)
            d = np.maximum(np.abs(across) - w, np.maximum(rim_in - 0.20 - along, along - rim_in + 0.05))
        over(out, layer(ramp(np.full(r.shape, 0.8), BRASS), _cover_ss(d, px)))
    # Hands at 10:10: hour 305 deg, minute 60 deg; leaf-shaped.
    for angle, length, width in ((305.0, 0.47, 0.105), (60.0, 0.69, 0.078)):
        a = math.radians(angle)
        s, c = math.sin(a), math.cos(a)
        along = X * s - Y * c
        across = X * c + Y * s
        t = np.clip(along / length, 0, 1)
        half = width * (0.55 + 1.4 * t * (1 - t) * 1.3) * (1 - t ** 6)
        half = np.maximum(half, 0.0)
        d = np.maximum(np.abs(across) - half, np.maximum(-along - 0.04, along - length))
        shade = 0.55 + 0.35 * (1 - np.clip(np.abs(across) / np.maximum(half, 1e-3), 0, 1))
        over(out, layer(np.zeros((n, n, 3)), _cover_ss(d - 0.01, px) * 0.5))
        over(out, layer(ramp(shade, BRASS), _cover_ss(d, px)))
    over(out, layer(ramp(np.full(r.shape, 0.75), BRASS), _cover_ss(r - 0.085, px)))
    # Box-filter down to the icon size.
    out = out.reshape(size, ss, size, ss, 4).mean(axis=(1, 3))
    return out


def large_icon(clock, size):
    """The finished clock (a straight-alpha PIL image at full size), cropped and reduced."""
    half = 0.472 * SIZE
    cx, cy = 0.5 * SIZE, 0.492 * SIZE + 0.004 * SIZE
    box = (round(cx - half), round(cy - half), round(cx + half), round(cy + half))
    return clock.crop(box).resize((size, size), Image.LANCZOS)


def build_ico(clock):
    """Bytes of the .ico: header, directory, then one PNG per size."""
    images = []
    for s in SIZES:
        im = to_image(small_icon(s)) if s in SMALL else large_icon(clock, s)
        buf = io.BytesIO()
        im.save(buf, "PNG", optimize=True)
        images.append((s, buf.getvalue()))
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for s, png in images:
        entries += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    return head + entries + data
