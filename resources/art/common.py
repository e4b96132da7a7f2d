"""Raster helpers shared by the artwork painters.

Layers are float arrays of premultiplied RGBA in 0..1, shape (N, N, 4). Geometry is in
dial units: 1/1000 of the square's edge, the hands' pivot at (500, 492).
"""
import os
import subprocess
import tempfile

import numpy as np
from PIL import Image

SIZE = 1254                 # edge of every artwork picture, pixels
PIVOT = (500.0, 492.0)      # dial point the hands turn about
UNIT = SIZE / 1000.0        # pixels per dial unit at full size
LIGHT = np.array([-0.42, -0.62, 0.66])  # from the upper left, towards the viewer
LIGHT = LIGHT / np.linalg.norm(LIGHT)


def grid(n=SIZE, centre=True):
    """Dial coordinates of every pixel of an n-pixel square.

    centre=True: pixel centres ((j + 0.5) / scale), as the face is resized.
    centre=False: the pixel (j, i) read at (j, i), as the renderer samples the reference.
    """
    off = 0.5 if centre else 0.0
    v = (np.arange(n, dtype=np.float64) + off) * 1000.0 / n
    return np.meshgrid(v, v)


def polar(X, Y):
    dx = X - PIVOT[0]
    dy = Y - PIVOT[1]
    return dx, dy, np.hypot(dx, dy), np.arctan2(dy, dx)


def cover(d, n=SIZE):
    """Anti-aliased coverage of a signed distance d (dial units, negative inside)."""
    return np.clip(0.5 - d * n / 1000.0, 0.0, 1.0)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def layer(rgb, alpha):
    """Premultiplied layer from straight colour (..., 3) in 0..1 and alpha."""
    a = np.clip(alpha, 0.0, 1.0)[..., None]
    return np.concatenate([np.clip(rgb, 0.0, 1.0) * a, a], axis=-1)


def over(dst, src):
    """Porter-Duff source-over of premultiplied layers, in place into dst."""
    dst *= (1.0 - src[..., 3:4])
    dst += src
    return dst


def blur(a, sigma_px):
    """Gaussian-like blur (three box passes per axis) of a 2-D or 3-D array."""
    if sigma_px <= 0:
        return a
    # Three boxes of width w approximate a Gaussian of variance 3 (w^2 - 1) / 12.
    w = int(np.floor(np.sqrt(4.0 * sigma_px * sigma_px + 1.0)))
    w = max(1, w | 1)
    r = w // 2
    out = a.astype(np.float64, copy=True)
    for axis in (0, 1):
        for _ in range(3):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r + 1, r)
            p = np.pad(out, pad, mode="edge")
            c = np.cumsum(p, axis=axis)
            hi = np.take(c, np.arange(w, w + out.shape[axis]), axis=axis)
            lo = np.take(c, np.arange(0, out.shape[axis]), axis=axis)
            out = (hi - lo) / w
    return out


def svg_alpha(body, n=SIZE, workdir=None):
    """Renders SVG shapes (dial units, 0..1000 viewBox) with rsvg-convert; returns alpha 0..1."""
    svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
           'viewBox="0 0 1000 1000">%s</svg>' % (n, n, body))
    with tempfile.TemporaryDirectory(dir=workdir) as tmp:
        src = os.path.join(tmp, "shape.svg")
        dst = os.path.join(tmp, "shape.png")
        with open(src, "w") as f:
            f.write(svg)
        subprocess.run(["rsvg-convert", "-w", str(n), "-h", str(n), "-o", dst, src], check=True)
        im = Image.open(dst).convert("RGBA")
        return np.asarray(im, dtype=np.float64)[..., 3] / 255.0


def ramp(v, stops):
    """Piecewise-linear colour ramp: stops is [(position, (r, g, b) bytes), ...]."""
    pos = np.array([p for p, _ in stops])
    cols = np.array([c for _, c in stops], dtype=np.float64) / 255.0
    v = np.asarray(v, dtype=np.float64)
    return np.stack([np.interp(v, pos, cols[:, k]) for k in range(3)], axis=-1)


# Warm brass from deep shadow to highlight. Every stop passes the renderer's brass test
# (red >= 1.06 green, green >= 1.1 blue), and so does every blend of two stops.
BRASS = [
    (0.00, (58, 36, 12)),
    (0.30, (128, 86, 34)),
    (0.55, (190, 142, 68)),
    (0.78, (232, 190, 112)),
    (1.00, (252, 226, 166)),
]

# Polished metal for the face may run up to a near-white specular.
BRASS_SPECULAR = BRASS[:-1] + [(0.92, (250, 222, 160)), (1.00, (255, 246, 222))]


def to_image(premul):
    """Straight-alpha 8-bit RGBA PIL image from a premultiplied float layer."""
    a = premul[..., 3:4]
    rgb = np.where(a > 1e-6, premul[..., :3] / np.maximum(a, 1e-6), 0.0)
    out = np.concatenate([rgb, a], axis=-1)
    return Image.fromarray(np.round(np.clip(out, 0.0, 1.0) * 255.0).astype(np.uint8), "RGBA")


def noise1d(rng, count, smooth):
    """Smoothed 1-D noise of unit standard deviation, wrapping around."""
    v = rng.standard_normal(count)
    if smooth > 0:
        k = np.exp(-0.5 * (np.arange(-4 * smooth, 4 * smooth + 1) / smooth) ** 2)
        v = np.real(np.fft.ifft(np.fft.fft(v) * np.fft.fft(np.roll(np.pad(k, (0, count - len(k))), -4 * smooth))))
    return v / (v.std() + 1e-12)
