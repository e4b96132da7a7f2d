"""Roman numerals I to XII as outline paths, so the dial depends on no installed font.

Glyphs are built from strokes in a local box: x across, y down, cap height H, baseline at
y = H. Thick and thin strokes with bracketed serifs, in the manner of engraved dials.
"""
import math

H = 64.0        # cap height (dial units)
THICK = 9.4     # heavy stroke width
THIN = 3.6      # hairline stroke width
SERIF = 2.6     # serif thickness
REACH = 4.6     # how far a serif reaches past its stroke
GAP = 3.2       # space between letters


def _rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def _stroke(xa, ya, xb, yb, w):
    """A slanted stroke whose horizontal cross-section is w wide, from (xa, ya) to (xb, yb)."""
    h = w / 2.0
    return [(xa - h, ya), (xa + h, ya), (xb + h, yb), (xb - h, yb)]


def _serif(cx, y, half, top):
    """A bracketed serif centred on cx: a thin slab with concave fillets towards the stem."""
    pts = []
    t = SERIF if top else -SERIF
    base = y if top else y
    # Slab.
    pts.append((cx - half - REACH, base))
    pts.append((cx + half + REACH, base))
    pts.append((cx + half + REACH, base + t))
    # Fillet into the stem on the right, then the left, as short curves.
    for k in range(1, 6):
        a = k / 5.0 * math.pi / 2
        pts.append((cx + half + REACH * (1 - math.sin(a)), base + t + 2.4 * (1 - math.cos(a)) * (1 if top else -1)))
    for k in range(5, 0, -1):
        a = k / 5.0 * math.pi / 2
        pts.append((cx - half - REACH * (1 - math.sin(a)), base + t + 2.4 * (1 - math.cos(a)) * (1 if top else -1)))
    pts.append((cx - half - REACH, base + t))
    return pts


def glyph(ch):
    """(width, [polygons]) of one letter, x from 0."""
    if ch == "I":
        w = THICK + 2 * REACH
        c = w / 2
        return w, [
            _rect(c - THICK / 2, 0, c + THICK / 2, H),
            _serif(c, 0, THICK / 2, True),
            _serif(c, H, THICK / 2, False),
        ]
    if ch == "V":
        w = 45.0
        tl, tr = REACH + THICK / 2, w - REACH - THIN / 2   # stroke centres at the top
        vx, tip = w / 2 + 0.6, 1.0                         # the vertex, slightly blunt
        # Outer edges run to the vertex; the inner edges, parallel to them, meet above it.
        a0, a1 = (tl - THICK / 2, 0.0), (vx - tip, H)
        b0, b1 = (tr + THIN / 2, 0.0), (vx + tip, H)
        da = (a1[0] - a0[0], H)
        db = (b1[0] - b0[0], H)
        p, q = tl + THICK / 2, tr - THIN / 2
        # p + da * u = q + db * u (same height on both inner edges): solve for u.
        u = (q - p) / (da[0] - db[0])
        inner = (p + da[0] * u, H * u)
        return w, [
            [a0, (p, 0.0), inner, (q, 0.0), b0, b1, a1],
            _serif(tl, 0, THICK / 2, True),
            _serif(tr, 0, THIN / 2, True),
        ]
    if ch == "X":
        w = 39.0
        l, r = REACH + THICK / 2, w - REACH - THICK / 2
        return w, [
            _stroke(l, 0, r, H, THICK),
            _stroke(r + 0.4, 0, l - 0.4, H, THIN),
            _serif(l, 0, THICK / 2, True),
            _serif(r, 0, THIN / 2, True),
            _serif(l - 0.4, H, THIN / 2, False),
            _serif(r, H, THICK / 2, False),
        ]
    raise ValueError(ch)


ROMAN = ["XII", "I", "II", "III", "IIII", "V", "VI", "VII", "VIII", "IX", "X", "XI"]


def word(text):
    """(width, polygons) of a numeral, letters side by side, x from 0."""
    x = 0.0
    polys = []
    for i, ch in enumerate(text):
        w, ps = glyph(ch)
        polys += [[(px + x, py) for px, py in p] for p in ps]
        x += w + (GAP if i + 1 < len(text) else 0.0)
    return x, polys


def dial_paths(pivot, radius_in):
    """SVG path data (one string per polygon) of the twelve numerals standing radially, feet towards the pivot.

    radius_in: distance from the pivot to the numerals' baseline.
    """
    out = []
    for hour, text in enumerate(ROMAN):
        width, polys = word(text)
        angle = math.radians(hour * 30.0)
        s, c = math.sin(angle), math.cos(angle)
        for p in polys:
            pts = []
            for gx, gy in p:
                # Local frame: x across (to the right when the numeral is upright at 12),
                # distance from the pivot = radius_in + (H - gy).
                lx = gx - width / 2.0
                dist = radius_in + (H - gy)
                X = pivot[0] + lx * c + dist * s
                Y = pivot[1] + lx * s - dist * c
                pts.append("%.3f,%.3f" % (X, Y))
            out.append("M" + " L".join(pts) + " Z")
    return out
