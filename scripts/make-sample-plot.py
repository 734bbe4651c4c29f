#!/usr/bin/env python3
"""Draws a scanned-looking plot and writes it as an RGB TIFF (Deflate compressed).

The picture is a line graph as it comes off a flatbed scanner: paper with a slight shade
gradient and dust, a framed plot with ticks, tick labels, dotted grid lines, axis titles in
black ink, a damped oscillation drawn as a blue line, a slow rise drawn as a thin red line
and measured at half seconds as green ring markers on top of it, the whole page turned by a
small angle. Only the standard library is used, and the output is the
same on every run (fixed random seed).

    scripts/make-sample-plot.py [OUTPUT]     (default: examples/sample-plot.tif)
"""

import math
import os
import random
import struct
import sys
import zlib

WIDTH, HEIGHT = 1100, 850
ANGLE_DEG = 1.6  # the page lies slightly crooked on the scanner glass
DPI = 100

# Plot frame in page pixels and the data range it shows.
LEFT, TOP, RIGHT, BOTTOM = 170, 90, 1030, 700
X_MIN, X_MAX = 0.0, 10.0
Y_MIN, Y_MAX = -40.0, 60.0

# A 5x7 pixel font for the labels: each glyph is seven rows of five bits.
FONT = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    "(": ["00010", "00100", "01000", "01000", "01000", "00100", "00010"],
    ")": ["01000", "00100", "00010", "00010", "00010", "00100", "01000"],
    " ": ["00000"] * 7,
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "g": ["00000", "01111", "10001", "10001", "01111", "00001", "01110"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "m": ["00000", "00000", "11010", "10101", "10101", "10001", "10001"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    "s": ["00000", "00000", "01111", "10000", "01110", "00001", "11110"],
}


class Ink:
    """Ink coverage of the page, 0 (paper) to 1 (full ink), before the page is turned."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.cover = [0.0] * (width * height)

    def dab(self, x, y, amount):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = y * self.width + x
            if amount > self.cover[i]:
                self.cover[i] = amount

    def line(self, x0, y0, x1, y1, width=2.0, strength=1.0):
        """An anti-aliased straight stroke of the given width."""
        half = width / 2.0
        minx = int(math.floor(min(x0, x1) - half - 1))
        maxx = int(math.ceil(max(x0, x1) + half + 1))
        miny = int(math.floor(min(y0, y1) - half - 1))
        maxy = int(math.ceil(max(y0, y1) + half + 1))
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy
        for y in range(max(miny, 0), min(maxy, self.height - 1) + 1):
            for x in range(max(minx, 0), min(maxx, self.width - 1) + 1):
                px, py = x + 0.5 - x0, y + 0.5 - y0
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, (px * dx + py * dy) / length2))
                ex, ey = px - t * dx, py - t * dy
                d = math.sqrt(ex * ex + ey * ey)
                cover = max(0.0, min(1.0, half + 0.5 - d))
                if cover > 0.0:
                    self.dab(x, y, cover * strength)

    def polyline(self, points, width=2.0, strength=1.0):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1, width, strength)

    def dotted(self, x0, y0, x1, y1, dash=3, gap=5, width=1.0, strength=0.55):
        length = math.hypot(x1 - x0, y1 - y0)
        steps = int(length // (dash + gap))
        for k in range(steps + 1):
            a = k * (dash + gap) / length
            b = min(1.0, (k * (dash + gap) + dash) / length)
            self.line(x0 + (x1 - x0) * a, y0 + (y1 - y0) * a,
                      x0 + (x1 - x0) * b, y0 + (y1 - y0) * b, width, strength)

    def ring(self, cx, cy, radius, width=1.8):
        """A circle outline, the marker of the second series."""
        r0 = radius + width
        for y in range(int(cy - r0 - 1), int(cy + r0 + 2)):
            for x in range(int(cx - r0 - 1), int(cx + r0 + 2)):
                d = abs(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - radius)
                cover = max(0.0, min(1.0, width / 2.0 + 0.5 - d))
                if cover > 0.0:
                    self.dab(x, y, cover)

    def text(self, x, y, s, scale=2, anchor="left", vertical=False):
        """Bitmap text; x, y is the top-left corner (or the anchor point's edge)."""
        advance = 6 * scale
        total = advance * len(s) - scale
        if anchor == "centre":
            offset = -total / 2.0
        elif anchor == "right":
            offset = -total
        else:
            offset = 0.0
        for n, ch in enumerate(s):
            glyph = FONT[ch]
            for row in range(7):
                for col in range(5):
                    if glyph[row][col] != "1":
                        continue
                    for sy in range(scale):
                        for sx in range(scale):
                            u = offset + n * advance + col * scale + sx
                            v = row * scale + sy
                            if vertical:  # reads bottom to top
                                self.dab(int(x + v), int(y - u), 1.0)
                            else:
                                self.dab(int(x + u), int(y + v), 1.0)


def to_page(xv, yv):
    px = LEFT + (xv - X_MIN) / (X_MAX - X_MIN) * (RIGHT - LEFT)
    py = BOTTOM - (yv - Y_MIN) / (Y_MAX - Y_MIN) * (BOTTOM - TOP)
    return px, py


# The inks, in the order they are laid on the paper.
BLACK, RED, BLUE, GREEN = (28, 28, 28), (200, 40, 40), (30, 70, 190), (20, 140, 60)


def draw_plot(inks):
    ink = inks[BLACK]
    # Grid first, so the frame and curves lie on top of it.
    for xv in range(2, 10, 2):
        x, _ = to_page(xv, 0)
        ink.dotted(x, TOP + 2, x, BOTTOM - 2)
    for yv in range(-20, 60, 20):
        _, y = to_page(0, yv)
        ink.dotted(LEFT + 2, y, RIGHT - 2, y)

    # Frame and ticks.
    ink.polyline([(LEFT, TOP), (RIGHT, TOP), (RIGHT, BOTTOM), (LEFT, BOTTOM), (LEFT, TOP)], 2.4)
    for xv in range(0, 11):
        x, _ = to_page(xv, 0)
        size = 14 if xv % 2 == 0 else 8
        ink.line(x, BOTTOM, x, BOTTOM - size, 2.0)
        ink.line(x, TOP, x, TOP + size, 2.0)
        if xv % 2 == 0:
            ink.text(x, BOTTOM + 14, str(xv), 3, "centre")
    for yv in range(-40, 61, 10):
        _, y = to_page(0, yv)
        size = 14 if yv % 20 == 0 else 8
        ink.line(LEFT, y, LEFT + size, y, 2.0)
        ink.line(RIGHT, y, RIGHT - size, y, 2.0)
        if yv % 20 == 0:
            ink.text(LEFT - 16, y - 10, str(yv), 3, "right")

    # Axis titles and the figure number.
    ink.text((LEFT + RIGHT) / 2.0, BOTTOM + 58, "Time (s)", 3, "centre")
    ink.text(LEFT - 118, (TOP + BOTTOM) / 2.0, "Signal (mV)", 3, "centre", vertical=True)
    ink.text(LEFT, TOP - 52, "Fig. 3", 4)

    # A damped oscillation as a solid line.
    points = []
    steps = 600
    for k in range(steps + 1):
        t = X_MIN + (X_MAX - X_MIN) * k / steps
        v = 48.0 * math.exp(-t / 3.2) * math.cos(2.0 * math.pi * t / 2.7) + 4.0
        points.append(to_page(t, v))
    inks[BLUE].polyline(points, 2.8)

    # A slow rise, measured at whole and half seconds, as ring markers on a thin line.
    rise = []
    for k in range(0, 21):
        t = k * 0.5
        v = 42.0 * (1.0 - math.exp(-t / 2.2)) - 30.0
        rise.append(to_page(t, v))
    inks[RED].polyline(rise, 1.6)
    for x, y in rise:
        inks[GREEN].ring(x, y, 6.0)


def page_to_scan(px, py):
    """Where a point of the unturned page lands on the scan."""
    angle = math.radians(ANGLE_DEG)
    ca, sa = math.cos(angle), math.sin(angle)
    cx, cy = WIDTH / 2.0, HEIGHT / 2.0
    dx, dy = px - cx, py - cy
    return cx + ca * dx - sa * dy, cy + sa * dx + ca * dy


def render(inks, rng):
    """Turns the page, lays it on paper and adds the scanner's dust and grain."""
    angle = math.radians(ANGLE_DEG)
    ca, sa = math.cos(angle), math.sin(angle)
    cx, cy = WIDTH / 2.0, HEIGHT / 2.0
    layers = [(colour, ink.cover) for colour, ink in inks.items()]
    w, h = WIDTH, HEIGHT
    out = bytearray(WIDTH * HEIGHT * 3)
    for y in range(HEIGHT):
        dy = y + 0.5 - cy
        # Paper shade: a little darker towards the bottom right, as a lid casts it.
        for x in range(WIDTH):
            dx = x + 0.5 - cx
            # Inverse rotation: where on the unturned page this scanner pixel lies.
            sx = ca * dx + sa * dy + cx - 0.5
            sy = -sa * dx + ca * dy + cy - 0.5
            x0 = int(math.floor(sx))
            y0 = int(math.floor(sy))
            fx, fy = sx - x0, sy - y0
            paper = 246.0 - 10.0 * (x / WIDTH) * (y / HEIGHT)
            rgb = [paper, paper, paper]
            if 0 <= x0 < w - 1 and 0 <= y0 < h - 1:
                i = y0 * w + x0
                for colour, cover in layers:
                    c = (cover[i] * (1 - fx) * (1 - fy) + cover[i + 1] * fx * (1 - fy) +
                         cover[i + w] * (1 - fx) * fy + cover[i + w + 1] * fx * fy)
                    if c > 0.0:
                        rgb = [v - c * (v - k) for v, k in zip(rgb, colour)]
            o = 3 * (y * WIDTH + x)
            out[o:o + 3] = bytes(max(0, min(255, int(v + 0.5))) for v in rgb)

    # Grain: a sparse scatter of slightly darker pixels, and a few specks of dust.
    for _ in range(WIDTH * HEIGHT // 60):
        i = 3 * rng.randrange(WIDTH * HEIGHT)
        d = rng.randint(6, 22)
        for k in range(3):
            out[i + k] = max(0, out[i + k] - d)
    for _ in range(90):
        x, y = rng.randrange(2, WIDTH - 3), rng.randrange(2, HEIGHT - 3)
        tone = rng.randint(90, 170)
        for ddy in range(rng.randint(1, 2)):
            for ddx in range(rng.randint(1, 3)):
                i = 3 * ((y + ddy) * WIDTH + x + ddx)
                for k in range(3):
                    out[i + k] = min(out[i + k], tone)
    return out


def tiff_bytes(pixels, width, height, rows_per_strip=64):
    """A little-endian RGB TIFF with Deflate-compressed strips and the horizontal
    difference predictor."""
    strips = []
    stride = 3 * width
    for top in range(0, height, rows_per_strip):
        rows = bytearray()
        for y in range(top, min(top + rows_per_strip, height)):
            row = pixels[y * stride:(y + 1) * stride]
            diff = bytearray(stride)
            for x in range(stride):
                diff[x] = (row[x] - (row[x - 3] if x >= 3 else 0)) & 0xFF
            rows += diff
        strips.append(zlib.compress(bytes(rows), 9))

    header_size = 8
    data = bytearray()
    offsets = []
    for s in strips:
        offsets.append(header_size + len(data))
        data += s
        if len(data) % 2:
            data += b"\0"
    after_data = header_size + len(data)

    software = b"Kurvo sample plot generator\0"
    n_strips = len(strips)
    # Out-of-line values follow the pixel data: strip tables, resolutions, software name.
    extra = bytearray()

    def put_extra(blob):
        pos = after_data + len(extra)
        extra.extend(blob)
        if len(extra) % 2:
            extra.append(0)
        return pos

    offsets_at = put_extra(struct.pack("<%dI" % n_strips, *offsets))
    counts_at = put_extra(struct.pack("<%dI" % n_strips, *[len(s) for s in strips]))
    bits_at = put_extra(struct.pack("<HHH", 8, 8, 8))
    xres_at = put_extra(struct.pack("<II", DPI, 1))
    yres_at = put_extra(struct.pack("<II", DPI, 1))
    software_at = put_extra(software)
    ifd_at = after_data + len(extra)

    SHORT, LONG, RATIONAL, ASCII = 3, 4, 5, 2

    def short_value(v):
        return struct.pack("<HH", v, 0)

    entries = [
        (256, LONG, 1, struct.pack("<I", width)),
        (257, LONG, 1, struct.pack("<I", height)),
        (258, SHORT, 3, struct.pack("<I", bits_at)),
        (259, SHORT, 1, short_value(8)),          # Adobe Deflate
        (262, SHORT, 1, short_value(2)),          # RGB
        (273, LONG, n_strips,
         struct.pack("<I", offsets[0]) if n_strips == 1 else struct.pack("<I", offsets_at)),
        (277, SHORT, 1, short_value(3)),
        (278, LONG, 1, struct.pack("<I", rows_per_strip)),
        (279, LONG, n_strips,
         struct.pack("<I", len(strips[0])) if n_strips == 1 else struct.pack("<I", counts_at)),
        (282, RATIONAL, 1, struct.pack("<I", xres_at)),
        (283, RATIONAL, 1, struct.pack("<I", yres_at)),
        (284, SHORT, 1, short_value(1)),          # chunky
        (296, SHORT, 1, short_value(2)),          # inches
        (305, ASCII, len(software), struct.pack("<I", software_at)),
        (317, SHORT, 1, short_value(2)),          # horizontal differencing
    ]
    ifd = struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        ifd += struct.pack("<HHI", tag, kind, count) + value
    ifd += struct.pack("<I", 0)

    return b"II" + struct.pack("<HI", 42, ifd_at) + bytes(data) + bytes(extra) + ifd


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, os.pardir, "examples", "sample-plot.tif")
    rng = random.Random(1968)
    inks = {colour: Ink(WIDTH, HEIGHT) for colour in (BLACK, RED, BLUE, GREEN)}
    draw_plot(inks)
    pixels = render(inks, rng)
    blob = tiff_bytes(pixels, WIDTH, HEIGHT)
    os.makedirs(os.path.dirname(os.path.abspath(out_path)), exist_ok=True)
    with open(out_path, "wb") as f:
        f.write(blob)
    print("%s: %d x %d, %d bytes" % (out_path, WIDTH, HEIGHT, len(blob)))
    # The plot frame on the scan: the mapping region of the sample project.
    for corner in ((LEFT, TOP), (RIGHT, TOP), (RIGHT, BOTTOM), (LEFT, BOTTOM)):
        print("frame corner: %.3f %.3f" % page_to_scan(*corner))


if __name__ == "__main__":
    main()
