"""Draws the soak's samples as a PNG: GDI objects, USER objects and private
MiB of the clock process against minutes, one panel each.

    soak_chart.py SOAK.csv SOAK.png MINUTES COUNT-SOURCE
"""
import csv
import sys

from PIL import Image, ImageDraw, ImageFont

WIDTH, PANEL_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, GAP = 960, 200, 90, 30, 40
COLOURS = ((40, 90, 170), (170, 80, 30), (30, 130, 60))


def panel(draw, font, top, title, minutes, values, span_minutes, colour):
    left, right, bottom = MARGIN_LEFT, WIDTH - MARGIN_RIGHT, top + PANEL_HEIGHT
    low, high = min(values), max(values)
    # A flat series still gets a band around it, so its line is not on an edge.
    pad = max((high - low) * 0.1, abs(high) * 0.01, 1.0)
    low, high = low - pad, high + pad
    draw.rectangle((left, top, right, bottom), outline=(120, 120, 120))
    draw.text((left, top - 16), title, fill=(0, 0, 0), font=font)
    for fraction in (0.0, 0.5, 1.0):
        y = bottom - fraction * (bottom - top)
        draw.line((left - 4, y, left, y), fill=(120, 120, 120))
        draw.text((4, y - 6), f"{low + fraction * (high - low):,.1f}", fill=(0, 0, 0), font=font)
    step = max(1, round(span_minutes / 10))
    for minute in range(0, int(span_minutes) + 1, step):
        x = left + minute / span_minutes * (right - left)
        draw.line((x, bottom, x, bottom + 4), fill=(120, 120, 120))
        draw.text((x - 6, bottom + 6), str(minute), fill=(0, 0, 0), font=font)
    points = [(left + m / span_minutes * (right - left), bottom - (v - low) / (high - low) * (bottom - top))
              for m, v in zip(minutes, values)]
    if len(points) > 1:
        draw.line(points, fill=colour, width=2)
    for x, y in points:
        draw.ellipse((x - 2, y - 2, x + 2, y + 2), fill=colour)


def main(csv_path, png_path, span_minutes, source):
    with open(csv_path, newline="") as f:
        rows = list(csv.DictReader(f))
    if not rows:
        return 1
    minutes = [int(r["seconds"]) / 60 for r in rows]
    span = max(float(span_minutes), minutes[-1], 1.0)
    series = (
        (f"GDI objects ({source})", [int(r["gdi"]) for r in rows]),
        (f"USER objects ({source})", [int(r["user"]) for r in rows]),
        ("private bytes, MiB", [int(r["private_bytes"]) / 1048576 for r in rows]),
    )
    height = 40 + len(series) * (PANEL_HEIGHT + GAP + 20)
    image = Image.new("RGB", (WIDTH, height), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    font = ImageFont.load_default()
    draw.text((MARGIN_LEFT, 6), f"Velmor Clock soak: {len(rows)} samples over {minutes[-1]:.1f} minutes"
              " (x: minutes)", fill=(0, 0, 0), font=font)
    for i, (title, values) in enumerate(series):
        panel(draw, font, 40 + i * (PANEL_HEIGHT + GAP + 20), title, minutes, values, span, COLOURS[i])
    image.save(png_path)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
