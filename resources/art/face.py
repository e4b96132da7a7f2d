"""The clock face without hands: drop shadow, polished brass bezel, brass chapter ring with
an engraved minute track, raised gilt Roman numerals on a dark sunburst dial."""
import math

import numpy as np

from common import (BRASS, BRASS_SPECULAR, LIGHT, PIVOT, SIZE, blur, cover, grid, layer,
                    noise1d, over, polar, ramp, smoothstep, svg_alpha)
import numerals

# Radii from the pivot, dial units.
R_OUT = 462.0        # outer edge of the bezel
R_BEAD = 451.0       # outer bead of the bezel starts here
R_BEZEL_IN = 407.0   # inner edge of the bezel
R_RING_OUT = 401.0   # brass chapter ring
R_RING_IN = 350.0
R_DIAL = 346.0       # the dark dial inside a small bevel
R_NUMERAL = 270.0    # numerals' feet
TRACK_IN, TRACK_OUT = 379.0, 395.0


def height_profile():
    """Height of the face's turned relief as a function of the distance from the pivot."""
    r = np.arange(0.0, 480.0, 0.05)
    h = np.zeros_like(r)
    # Bevel from the dial up to the chapter ring.
    m = (r >= R_DIAL) & (r < R_RING_IN)
    h[m] = 3.0 * smoothstep(R_DIAL, R_RING_IN, r[m])
    h[(r >= R_RING_IN) & (r < R_RING_OUT)] = 3.0
    # A narrow groove, then the bezel's inner chamfer.
    m = (r >= R_RING_OUT) & (r < R_BEZEL_IN)
    h[m] = 1.5
    m = (r >= R_BEZEL_IN) & (r < 414.0)
    h[m] = 4.0 + 8.0 * (r[m] - R_BEZEL_IN) / 7.0
    # The main convex moulding.
    m = (r >= 414.0) & (r < 449.0)
    h[m] = 12.0 + 13.0 * np.sin(np.pi * (r[m] - 414.0) / 35.0) ** 0.8
    m = (r >= 449.0) & (r < R_BEAD)
    h[m] = 11.0
    # The outer bead, a half-round.
    m = r >= R_BEAD
    q = np.clip((r[m] - (R_BEAD + R_OUT) / 2) / ((R_OUT - R_BEAD) / 2), -1.0, 1.0)
    h[m] = 10.0 + 6.0 * np.sqrt(1.0 - q * q)
    return r, h


def relief_normal(rho, theta, r_tab, h_tab):
    slope = np.gradient(h_tab, r_tab)
    s = np.interp(rho, r_tab, slope)
    nx = -s * np.cos(theta)
    ny = -s * np.sin(theta)
    nz = np.ones_like(s)
    n = np.sqrt(nx * nx + ny * ny + nz * nz)
    return nx / n, ny / n, nz / n


def polished(nx, ny, nz, texture):
    """Brightness 0..1 of polished brass under a soft studio light from the upper left."""
    # Reflection of the view direction (0, 0, 1).
    rx, ry, rz = 2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1
    rl = rx * LIGHT[0] + ry * LIGHT[1] + rz * LIGHT[2]
    diffuse = np.clip(nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2], 0.0, 1.0)
    sky = np.clip(0.5 - 0.5 * ry, 0.0, 1.0)              # brighter towards the top
    key = np.exp(-(1.0 - rl) / 0.05)                      # the window's reflection
    broad = np.exp(-(1.0 - rl) / 0.45)
    # A soft horizon in the surroundings gives polished metal its crisp light and dark bands.
    horizon = smoothstep(-0.10, 0.10, -ry - 0.1)
    v = 0.05 + 0.12 * sky + 0.16 * horizon + 0.20 * diffuse + 0.18 * broad + 0.46 * key + texture
    return np.clip(v, 0.0, 1.0)


def cast_shadow(X, Y, r_tab, h_tab, h_here, reach=14.0, slope=1.6):
    """How much the relief shadows each point, light from the upper left (0..1)."""
    d = -LIGHT[:2] / np.linalg.norm(LIGHT[:2])    # step towards the light
    occl = np.zeros_like(X)
    for t in np.arange(0.5, reach, 0.5):
        rho_t = np.hypot(X + d[0] * t - PIVOT[0], Y + d[1] * t - PIVOT[1])
        occl = np.maximum(occl, np.interp(rho_t, r_tab, h_tab) - h_here - t * slope)
    return smoothstep(0.0, 4.0, occl)


def minute_track(rho, theta):
    """Coverage of the engraved minute track: two rings and 60 marks, heavier at the fives."""
    step = 2 * np.pi / 60
    k = np.round((theta + np.pi / 2) / step)          # mark index, 0 at 12 o'clock
    phi = theta + np.pi / 2 - k * step
    across = np.abs(rho * np.sin(phi))
    five = (np.mod(k, 5) == 0)
    half = np.where(five, 2.9, 0.95)
    inner = np.where(five, 357.0, TRACK_IN)
    d_mark = np.maximum(across - half, np.maximum(inner - rho, rho - TRACK_OUT))
    d_rings = np.minimum(np.abs(rho - TRACK_IN), np.abs(rho - TRACK_OUT)) - 0.85
    d_outer = np.abs(rho - 354.0) - 0.6
    return np.maximum.reduce([cover(d_mark), cover(d_rings), cover(d_outer)])


def paint_face(rng):
    X, Y = grid()
    dx, dy, rho, theta = polar(X, Y)
    px = SIZE / 1000.0
    r_tab, h_tab = height_profile()
    h_here = np.interp(rho, r_tab, h_tab)
    out = np.zeros((SIZE, SIZE, 4))

    # Soft drop shadow of the whole clock, below and a little to the right.
    disc = cover(np.hypot(X - PIVOT[0] - 3.0, Y - PIVOT[1] - 11.0) - R_OUT)
    shadow = blur(disc, 11.0 * px) * 0.55
    over(out, layer(np.zeros((SIZE, SIZE, 3)), shadow))

    # Concentric turning marks on all metal.
    turn = noise1d(rng, 9600, 6)
    turned = np.interp(rho, np.arange(9600) * 0.05, turn)

    # Bezel: polished brass relief.
    nx, ny, nz = relief_normal(rho, theta, r_tab, h_tab)
    v = polished(nx, ny, nz, 0.012 * turned)
    bezel_rgb = ramp(v, BRASS_SPECULAR)
    # A conic sheen typical of turned metal, strongest across the light's direction.
    light_az = math.atan2(LIGHT[1], LIGHT[0])
    lobe = np.cos(theta - light_az) ** 2
    bezel_rgb = bezel_rgb * (0.86 + 0.22 * lobe[..., None])
    # Grooves between the mouldings stay dark.
    groove = np.exp(-((rho - 450.0) / 1.0) ** 2) + np.exp(-((rho - R_BEZEL_IN) / 0.8) ** 2)
    bezel_rgb *= (1.0 - 0.55 * groove)[..., None]
    bezel = cover(rho - R_OUT) * (1 - cover(rho - R_RING_OUT))
    # The narrow gap between ring and bezel is a dark shadowed slot.
    gap = (rho >= R_RING_OUT) & (rho < R_BEZEL_IN)
    bezel_rgb[gap] = bezel_rgb[gap] * 0.25
    over(out, layer(bezel_rgb, bezel))
    # Thin dark line at the very edge reads as the bezel's lower lip.
    edge = cover(np.abs(rho - (R_OUT - 0.8)) - 0.8) * smoothstep(-0.2, 0.8, np.sin(theta))
    over(out, layer(np.zeros((SIZE, SIZE, 3)) + 0.12, edge * 0.6))

    # Chapter ring: satin brass, lit by the turning sheen.
    ring = cover(rho - R_RING_OUT) * (1 - cover(rho - R_DIAL))
    sheen = 0.5 + 0.5 * np.cos(2 * (theta - light_az - 0.35))
    v = 0.38 + 0.20 * sheen + 0.045 * turned + 0.05 * smoothstep(R_RING_IN, R_RING_OUT, rho)
    bevel = (rho < R_RING_IN)
    v = np.where(bevel, 0.35 + 0.45 * np.clip(nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2], 0, 1), v)
    ring_rgb = ramp(v, BRASS_SPECULAR)
    over(out, layer(ring_rgb, ring))

    # Engraved minute track: blackened cuts with a lit lower-right wall.
    track = minute_track(rho, theta)
    lip = np.clip(track - np.roll(np.roll(track, 1, 0), 1, 1), 0.0, 1.0)
    over(out, layer(np.zeros((SIZE, SIZE, 3)) + np.array([0.07, 0.05, 0.03]), track * 0.96 * ring))
    over(out, layer(ramp(np.full(rho.shape, 0.85), BRASS), lip * 0.35 * ring))

    # Dark dial with a sunburst finish and a vignette.
    dial = cover(rho - R_DIAL)
    rays = noise1d(rng, 9000, 1)
    ray = np.interp(np.mod(theta, 2 * np.pi), np.linspace(0, 2 * np.pi, 9000, endpoint=False), rays)
    burst = 0.5 + 0.5 * np.cos(2 * (theta - light_az + np.pi / 2))
    grain = blur(rng.standard_normal((SIZE, SIZE)), 0.6)
    s = 0.22 + 0.30 * burst ** 1.5 + 0.035 * ray + 0.03 * grain
    s *= 1.0 - 0.55 * (rho / R_DIAL) ** 2.2
    s += 0.10 * np.exp(-(rho / 140.0) ** 2)
    dark = np.array([10, 12, 17]) / 255.0
    light = np.array([62, 68, 84]) / 255.0
    dial_rgb = dark + np.clip(s, 0, 1)[..., None] * (light - dark)
    over(out, layer(dial_rgb, dial))
    # The chapter ring and bezel shade the dial's upper-left edge.
    occl = cast_shadow(X, Y, r_tab, h_tab, h_here)
    over(out, layer(np.zeros((SIZE, SIZE, 3)), occl * 0.55 * (1 - cover(rho - R_OUT))))

    # A fine gilt circle just inside the numerals' feet, where the hour hand ends.
    circle = cover(np.abs(rho - 262.0) - 0.75)
    over(out, layer(ramp(0.62 + 0.2 * burst, BRASS), circle * 0.9))

    # Raised gilt numerals with a soft shadow.
    body = "".join('<path d="%s" fill="#fff"/>' % d for d in numerals.dial_paths(PIVOT, R_NUMERAL))
    mask = svg_alpha(body)
    sh = blur(np.roll(np.roll(mask, int(round(2.6 * px)), 0), int(round(1.6 * px)), 1), 1.8 * px)
    over(out, layer(np.zeros((SIZE, SIZE, 3)), sh * 0.75 * dial))
    hmap = blur(mask, 1.3 * px)
    gy, gx = np.gradient(hmap)
    k = 2.2
    nx2, ny2, nz2 = -k * gx, -k * gy, np.ones_like(gx)
    n = np.sqrt(nx2 ** 2 + ny2 ** 2 + 1)
    v = polished(nx2 / n, ny2 / n, nz2 / n, 0.0)
    v = 0.30 + 0.75 * v
    out_rgb = ramp(np.clip(v, 0, 1), BRASS_SPECULAR)
    over(out, layer(out_rgb, mask))
    return out
