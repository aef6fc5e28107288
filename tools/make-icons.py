#!/usr/bin/env python3
"""Draws the program's pictures and writes them as ICO and PNG files.

    tools/make-icons.py [--out DIR] [--check]      (DIR: window/resources unless given)

ball.ico        the red ball that marks each row of the window: 16x16, 256 colours, AND mask
splitwerk.ico   the window and program icon: 16, 32 and 48 px, each in 256 and in 16 colours
splitwerk99-<size>.png  the same icon for the freedesktop hicolor theme (16 to 128 px)
folder-open.ico, folder-closed.ico, folder-link.ico
                the folder list's pictures on Windows (the open folders of the chain, the
                subfolders, a subfolder that is a link): 16x16, 256 colours, AND mask

The pictures are drawn here from shapes, not painted by hand, so that they can be changed and
rebuilt. Only the Python standard library is used, and everything is deterministic: the PNG
streams are deflated by the small encoder below instead of zlib, whose output differs between
zlib builds, so a rebuild gives the committed files byte for byte. --check compares instead of
writing and fails when a committed file is out of date.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# ----------------------------------------------------------------------------------------------
# Shapes and the supersampling rasteriser
#
# A picture is a list of filled shapes in a 48 x 48 unit square, painted in order. Each target
# pixel is split into SS x SS samples; a sample takes the colour of the last shape covering it.
# The samples are then reduced either to straight RGBA (averaging, for the PNGs and the
# 256-colour images) or to one palette colour by majority (for the 16-colour images, whose
# fixed palette cannot express blended edges).

UNITS = 48.0


class Poly:
    def __init__(self, points, colour):
        self.points = [(float(x), float(y)) for x, y in points]
        self.colour = colour

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs), min(ys), max(xs), max(ys)

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                if x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    inside = not inside
            j = i
        return inside


class Ellipse:
    def __init__(self, cx, cy, rx, ry, colour):
        self.cx, self.cy, self.rx, self.ry = float(cx), float(cy), float(rx), float(ry)
        self.colour = colour

    def bbox(self):
        return self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry

    def contains(self, x, y):
        dx = (x - self.cx) / self.rx
        dy = (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1.0


class Clipped:
    """A shape cut to the inside of another one (a highlight that must stay on its ball)."""

    def __init__(self, shape, clip):
        self.shape = shape
        self.clip = clip
        self.colour = shape.colour

    def bbox(self):
        a = self.shape.bbox()
        b = self.clip.bbox()
        return max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])

    def contains(self, x, y):
        return self.shape.contains(x, y) and self.clip.contains(x, y)


def rect(x0, y0, x1, y1, colour):
    return Poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)


def inset(points, d):
    """The convex polygon moved inwards by d on every edge (used for outlines)."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1] for i in range(n))
    sign = 1.0 if area > 0 else -1.0
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        ex, ey = x1 - x0, y1 - y0
        length = math.hypot(ex, ey)
        nx, ny = -ey / length * sign, ex / length * sign  # inward normal
        lines.append((x0 + nx * d, y0 + ny * d, ex, ey))
    result = []
    for i in range(n):
        ax, ay, adx, ady = lines[i - 1]
        bx, by, bdx, bdy = lines[i]
        den = adx * bdy - ady * bdx
        t = ((bx - ax) * bdy - (by - ay) * bdx) / den
        result.append((ax + adx * t, ay + ady * t))
    return result


def outlined(points, fill, line, width):
    """A convex polygon with a border of the given width in units."""
    return [Poly(points, line), Poly(inset(points, width), fill)]


def rotate(points, cx, cy, degrees):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


def render(shapes, size, ss):
    """Samples the shapes; returns a size*ss square grid of colour keys (None = transparent)."""
    n = size * ss
    scale = n / UNITS
    grid = [None] * (n * n)
    for shape in shapes:
        x0, y0, x1, y1 = shape.bbox()
        ix0 = max(0, int(math.floor(x0 * scale)))
        iy0 = max(0, int(math.floor(y0 * scale)))
        ix1 = min(n - 1, int(math.ceil(x1 * scale)))
        iy1 = min(n - 1, int(math.ceil(y1 * scale)))
        colour = shape.colour
        contains = shape.contains
        for iy in range(iy0, iy1 + 1):
            y = (iy + 0.5) / scale
            row = iy * n
            for ix in range(ix0, ix1 + 1):
                if contains((ix + 0.5) / scale, y):
                    grid[row + ix] = colour
    return grid


def reduce_rgba(grid, size, ss, palette):
    """Averages the samples of each pixel into straight (not premultiplied) RGBA."""
    n = size * ss
    pixels = []
    for py in range(size):
        for px in range(size):
            r = g = b = a = 0
            for sy in range(ss):
                row = (py * ss + sy) * n + px * ss
                for sx in range(ss):
                    key = grid[row + sx]
                    if key is not None:
                        cr, cg, cb = palette[key]
                        r += cr
                        g += cg
                        b += cb
                        a += 1
            if a == 0:
                pixels.append((0, 0, 0, 0))
            else:
                alpha = (255 * a + ss * ss // 2) // (ss * ss)
                pixels.append(((r + a // 2) // a, (g + a // 2) // a, (b + a // 2) // a, alpha))
    return pixels


def reduce_majority(grid, size, ss):
    """The colour key most samples of each pixel carry; a tie goes to the key met first."""
    n = size * ss
    keys = []
    for py in range(size):
        for px in range(size):
            counts = {}
            for sy in range(ss):
                row = (py * ss + sy) * n + px * ss
                for sx in range(ss):
                    key = grid[row + sx]
                    counts[key] = counts.get(key, 0) + 1
            best = max(counts.items(), key=lambda kv: kv[1])
            keys.append(best[0])
    return keys


# ----------------------------------------------------------------------------------------------
# Colours
#
# Shapes carry role names that map to colours here. The 16-colour images use exactly these
# colours (fewer than 16 for the window icon, with black first), drawn without blended edges;
# the 256-colour images and the PNGs also get the blends of the antialiased edges.

TRUE_COLOURS = {
    # the ball
    "ball_rim": (0x5c, 0x00, 0x00),
    "ball_0": (0x8a, 0x04, 0x04),
    "ball_1": (0xb0, 0x0c, 0x08),
    "ball_2": (0xd2, 0x18, 0x10),
    "ball_3": (0xea, 0x2c, 0x1c),
    "ball_4": (0xf8, 0x48, 0x34),
    "ball_5": (0xff, 0x6c, 0x58),
    "ball_glow": (0xff, 0xa8, 0x98),
    "ball_light": (0xff, 0xf0, 0xea),
    # the box
    "line": (0x00, 0x00, 0x00),
    "box_front": (0x96, 0x12, 0x12),
    "box_side": (0x5a, 0x08, 0x08),
    "box_rim": (0xc4, 0x30, 0x2a),
    "box_inside": (0x36, 0x04, 0x04),
    # the diskettes
    "disk_body": (0x2c, 0x38, 0x58),
    "disk_label": (0xf2, 0xf2, 0xea),
    "strip_red": (0xe4, 0x20, 0x20),
    "strip_pink": (0xff, 0x88, 0xb4),
    "strip_green": (0x22, 0xa8, 0x44),
    # the disc on the front
    "disc_rim": (0xa8, 0x48, 0x00),
    "disc": (0xff, 0x8c, 0x10),
    "disc_light": (0xff, 0xc8, 0x70),
    # the folders of the folder list
    "folder_line": (0x80, 0x60, 0x00),
    "folder_back": (0xe0, 0xb0, 0x30),
    "folder_front": (0xff, 0xd8, 0x60),
    "folder_paper": (0xff, 0xff, 0xff),
    "link_back": (0xff, 0xff, 0xff),
    "link_arrow": (0x00, 0x40, 0xc0),
}

# The window icon's 16 colours; entry 0 is black, as a transparent pixel needs it.
ICON_ROLES = ["line", "box_front", "box_side", "box_rim", "box_inside", "disk_body", "disk_label",
              "strip_red", "strip_pink", "strip_green", "disc_rim", "disc", "disc_light"]


# ----------------------------------------------------------------------------------------------
# The pictures


def ball_shapes():
    """A red ball lit from the upper left; drawn in 16-pixel coordinates."""
    px = UNITS / 16.0
    cx, cy, radius = 8.0, 8.0, 7.45
    lx, ly = 5.6, 5.4  # where the light falls
    shapes = [Ellipse(cx * px, cy * px, radius * px, radius * px, "ball_rim")]
    outer = Ellipse(cx * px, cy * px, (radius - 0.8) * px, (radius - 0.8) * px, "ball_0")
    shapes.append(outer)
    tones = ["ball_1", "ball_2", "ball_3", "ball_4", "ball_5"]
    for i, tone in enumerate(tones, start=1):
        f = i / len(tones)
        r = (radius - 0.8) * (1.0 - 0.78 * f)
        x = cx + (lx - cx) * f * 0.9
        y = cy + (ly - cy) * f * 0.9
        shapes.append(Clipped(Ellipse(x * px, y * px, r * px, r * px, tone), outer))
    shapes.append(Ellipse(lx * px, ly * px, 2.3 * px, 1.9 * px, "ball_glow"))
    shapes.append(Ellipse((lx - 0.1) * px, (ly - 0.1) * px, 1.3 * px, 1.05 * px, "ball_light"))
    return shapes


def folder_shapes(kind):
    """A yellow folder in 16-pixel coordinates: "closed" shows its front, "open" its front
    tilted back with a sheet of paper inside, "link" is the closed one with the shell's arrow."""
    px = UNITS / 16.0

    def at(points):
        return [(x * px, y * px) for x, y in points]

    shapes = []
    back = at([(1, 3), (6, 3), (7, 4.5), (14, 4.5), (14, 14), (1, 14)])
    shapes.append(Poly(back, "folder_line"))
    shapes.append(Poly(at([(1.8, 3.8), (5.6, 3.8), (6.6, 5.3), (13.2, 5.3), (13.2, 13.2), (1.8, 13.2)]),
                       "folder_back"))
    if kind == "open":
        shapes.append(rect(3 * px, 6 * px, 12.5 * px, 11 * px, "folder_paper"))
        front = at([(3, 7.5), (15.5, 7.5), (13.5, 14), (1, 14)])
        shapes.extend(outlined(front, "folder_front", "folder_line", 0.8 * px))
    else:
        front = at([(1, 6.5), (14, 6.5), (14, 14), (1, 14)])
        shapes.extend(outlined(front, "folder_front", "folder_line", 0.8 * px))
    if kind == "link":
        shapes.append(rect(0 * px, 9 * px, 7 * px, 16 * px, "folder_line"))
        shapes.append(rect(0.8 * px, 9.8 * px, 6.2 * px, 15.2 * px, "link_back"))
        arrow = at([(1.8, 14.4), (1.8, 12.2), (3.2, 11.2), (2.4, 10.6), (5.4, 10.6), (5.4, 13.4), (4.6, 12.6),
                    (3.0, 13.6), (3.0, 14.4)])
        shapes.append(Poly(arrow, "link_arrow"))
    return shapes


STRIPS = ["strip_red", "strip_pink", "strip_green", "strip_red"]


def diskette(x, top, width, height, tilt, strip, line, band, field, margin):
    """A 3.5-inch diskette standing on its shutter edge, label edge up, seen from the front.

    The label wraps over the top edge: a coloured band, then the white writing field."""
    cx, bottom = x + width / 2.0, top + height
    body = [(x, top), (x + width, top), (x + width, bottom), (x, bottom)]
    shapes = outlined(rotate(body, cx, bottom, tilt), "disk_body", "line", line)
    m = line + margin
    t = top + line
    label = [(x + m, t), (x + width - m, t), (x + width - m, t + band + field), (x + m, t + band + field)]
    shapes.append(Poly(rotate(label, cx, bottom, tilt), "disk_label"))
    strip_poly = [(x + m, t), (x + width - m, t), (x + width - m, t + band), (x + m, t + band)]
    shapes.append(Poly(rotate(strip_poly, cx, bottom, tilt), strip))
    return shapes


def box_shapes(fl, fr, ft, fb, dx, dy, line, disks):
    """The open box in an oblique view with the diskettes standing in it (drawn between the
    opening and the walls, so that the front wall hides their lower parts)."""
    front = [(fl, ft), (fr, ft), (fr, fb), (fl, fb)]
    side = [(fr, ft), (fr + dx, ft + dy), (fr + dx, fb + dy), (fr, fb)]
    opening = [(fl, ft), (fl + dx, ft + dy), (fr + dx, ft + dy), (fr, ft)]
    shapes = outlined(opening, "box_inside", "line", line)
    for disk in disks:
        shapes += disk
    shapes += outlined(side, "box_side", "line", line)
    shapes += outlined(front, "box_front", "line", line)
    return shapes


def icon_shapes(size):
    """The box of diskettes with the orange disc, for 32 pixels and more."""
    p = UNITS / size  # one pixel

    def snap(v):
        # Edges on pixel boundaries stay sharp instead of smearing over two pixels.
        return round(v / p) * p

    fl, fr, ft, fb, dx, dy = (snap(v) for v in (1.0, 34.0, 28.0, 46.0, 12.0, -9.0))
    # Diskettes from the back to the front; those further back stand higher so that each
    # label shows above the one in front of it. Leaning a little looks natural when there
    # are pixels enough; below that the slanted edges only turn into steps.
    width, height, band, field = snap(22.0), snap(22.0), snap(2.8), snap(2.6)
    # One-pixel outlines, but not thinner than at 64 pixels, where they would look frail.
    line = max(p, snap(0.75))
    lean = 1.0 if size > 48 else 0.0
    disks = []
    for i, (left, top, tilt) in enumerate([(14.5, 2.0, -5.0), (11.5, 8.0, 3.0), (8.5, 14.0, -3.0), (5.5, 20.0, 2.0)]):
        disks.append(diskette(snap(left), snap(top), width, height, tilt * lean, STRIPS[i], line, band, field, p))
    shapes = box_shapes(fl, fr, ft, fb, dx, dy, line, disks)
    # The upper edge of the front wall catches the light.
    shapes.append(rect(fl + line, ft + line, fr - line, ft + line + snap(1.5 * line), "box_rim"))
    # The orange disc on the front wall, centred on a pixel so that it comes out round.
    cx = snap((fl + fr) / 2.0 - p / 2.0) + p / 2.0
    cy = snap((ft + fb) / 2.0) + p / 2.0
    r = 6.6
    shapes.append(Ellipse(cx, cy, r, r, "disc_rim"))
    disc = Ellipse(cx, cy, r - line, r - line, "disc")
    shapes.append(disc)
    shapes.append(Clipped(Ellipse(cx - r * 0.32, cy - r * 0.32, r * 0.42, r * 0.32, "disc_light"), disc))
    return shapes


def icon_shapes_small():
    """The same box for 16 pixels, laid out on the pixel grid so that its edges stay sharp."""
    px = UNITS / 16.0
    disks = []
    for i, (left, top) in enumerate([(7, 0), (5, 3), (3, 6)]):
        disks.append(diskette(left * px, top * px, 8 * px, 10 * px, 0.0, STRIPS[i], px, 1 * px, 1 * px, 1 * px))
    shapes = box_shapes(0, 13 * px, 9 * px, 16 * px, 3 * px, -3 * px, px, disks)
    shapes.append(Ellipse(6.5 * px, 12.5 * px, 2.55 * px, 2.55 * px, "disc_rim"))
    shapes.append(Ellipse(6.5 * px, 12.5 * px, 1.6 * px, 1.6 * px, "disc"))
    return shapes


def window_icon(size):
    return icon_shapes_small() if size <= 16 else icon_shapes(size)


# ----------------------------------------------------------------------------------------------
# Colour reduction


def median_cut(counts, limit):
    """Up to `limit` colours that stand for the weighted colours in `counts` ({rgb: n})."""
    if len(counts) <= limit:
        return sorted(counts)
    boxes = [sorted(counts.items())]

    def spread(box):
        best = (-1, 0)
        for ch in range(3):
            values = [c[ch] for c, _ in box]
            best = max(best, (max(values) - min(values), -ch))
        return best[0], -best[1]

    while len(boxes) < limit:
        candidates = [(spread(b)[0] * sum(n for _, n in b), i) for i, b in enumerate(boxes) if len(b) > 1]
        if not candidates:
            break
        _, i = max(candidates, key=lambda t: (t[0], -t[1]))
        box = boxes.pop(i)
        ch = spread(box)[1]
        box.sort(key=lambda cn: (cn[0][ch], cn[0]))
        total = sum(n for _, n in box)
        acc = 0
        cut = 1
        for k, (_, n) in enumerate(box[:-1]):
            acc += n
            cut = k + 1
            if acc * 2 >= total:
                break
        boxes[i:i] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple((sum(c[ch] * n for c, n in box) + total // 2) // total for ch in range(3)))
    return sorted(palette)


def nearest(palette, rgb):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (p[0] - rgb[0]) ** 2 + (p[1] - rgb[1]) ** 2 + (p[2] - rgb[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def to_8bit(pixels):
    """Straight RGBA -> (palette of 256, indices, transparent flags) for an icon with an AND mask.

    A pixel is opaque where at least half of it is covered; entry 0 stays black because a
    transparent pixel must have a black colour part for the mask to let the screen through.
    """
    opaque = [p[3] >= 128 for p in pixels]
    counts = {}
    for p, o in zip(pixels, opaque):
        if o:
            counts[p[:3]] = counts.get(p[:3], 0) + 1
    colours = median_cut(counts, 255)
    palette = [(0, 0, 0)] + colours + [(0, 0, 0)] * (255 - len(colours))
    cache = {}
    indices = []
    for p, o in zip(pixels, opaque):
        if not o:
            indices.append(0)
            continue
        if p[:3] not in cache:
            cache[p[:3]] = 1 + nearest(colours, p[:3])
        indices.append(cache[p[:3]])
    return palette, indices, [not o for o in opaque]


def to_4bit(keys):
    """Majority colour keys -> (palette of 16, indices, transparent flags)."""
    palette = [(0, 0, 0)] + [TRUE_COLOURS[r] for r in ICON_ROLES if TRUE_COLOURS[r] != (0, 0, 0)]
    assert len(palette) <= 16, "the window icon uses more than 16 colours"
    palette += [(0, 0, 0)] * (16 - len(palette))
    indices = [0 if k is None else palette.index(TRUE_COLOURS[k]) for k in keys]
    return palette, indices, [k is None for k in keys]


# ----------------------------------------------------------------------------------------------
# ICO


def bmp_image(size, bits, palette, indices, transparent):
    """One icon image: BITMAPINFOHEADER, palette, colour rows and AND mask, both bottom-up."""
    colour_stride = (size * bits + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = indices[y * size:(y + 1) * size]
        if bits == 8:
            data = bytes(row)
        else:
            data = bytes((row[x] << 4) | (row[x + 1] if x + 1 < size else 0) for x in range(0, size, 2))
        colour += data + bytes(colour_stride - len(data))
        bits_row = transparent[y * size:(y + 1) * size]
        data = bytearray((size + 7) // 8)
        for x, t in enumerate(bits_row):
            if t:
                data[x // 8] |= 0x80 >> (x % 8)
        mask += data + bytes(mask_stride - len(data))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + bytes(colour) + bytes(mask)


def ico_file(images):
    """images: list of (size, bits, palette, indices, transparent)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries = b""
    blobs = b""
    for size, bits, palette, indices, transparent in images:
        blob = bmp_image(size, bits, palette, indices, transparent)
        colours = 0 if bits >= 8 else 1 << bits
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return head + entries + blobs


# ----------------------------------------------------------------------------------------------
# PNG with a small deflate encoder (fixed Huffman codes, greedy LZ77)

LENGTH_BASE = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163,
               195, 227, 258]
LENGTH_EXTRA = [0] * 8 + [1] * 4 + [2] * 4 + [3] * 4 + [4] * 4 + [5] * 4 + [0]
DIST_BASE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537, 2049, 3073,
             4097, 6145, 8193, 12289, 16385, 24577]
DIST_EXTRA = [0, 0, 0, 0] + [k for k in range(1, 14) for _ in (0, 1)]


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def bits(self, value, count):
        """Writes `count` bits of value, least significant first (deflate's data fields)."""
        self.acc |= value << self.n
        self.n += count
        while self.n >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.n -= 8

    def code(self, value, count):
        """Writes a Huffman code, which deflate stores most significant bit first."""
        rev = 0
        for _ in range(count):
            rev = (rev << 1) | (value & 1)
            value >>= 1
        self.bits(rev, count)

    def finish(self):
        if self.n:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def literal(w, sym):
    if sym < 144:
        w.code(0x30 + sym, 8)
    elif sym < 256:
        w.code(0x190 + sym - 144, 9)
    elif sym < 280:
        w.code(sym - 256, 7)
    else:
        w.code(0xC0 + sym - 280, 8)


def deflate(data):
    w = BitWriter()
    w.bits(1, 1)  # last block
    w.bits(1, 2)  # fixed Huffman codes
    chains = {}
    i, n = 0, len(data)
    while i < n:
        best_len, best_dist = 0, 0
        if i + 3 <= n:
            key = data[i:i + 3]
            for j in reversed(chains.get(key, [])[-64:]):
                if i - j > 32768:
                    break
                k = 3
                while k < 258 and i + k < n and data[j + k] == data[i + k]:
                    k += 1
                if k > best_len:
                    best_len, best_dist = k, i - j
                    if k == 258:
                        break
        step = best_len if best_len >= 3 else 1
        if best_len >= 3:
            li = max(k for k in range(len(LENGTH_BASE)) if LENGTH_BASE[k] <= best_len)
            literal(w, 257 + li)
            w.bits(best_len - LENGTH_BASE[li], LENGTH_EXTRA[li])
            di = max(k for k in range(len(DIST_BASE)) if DIST_BASE[k] <= best_dist)
            w.code(di, 5)
            w.bits(best_dist - DIST_BASE[di], DIST_EXTRA[di])
        else:
            literal(w, data[i])
        for k in range(i, min(i + step, n - 2)):
            chains.setdefault(data[k:k + 3], []).append(k)
        i += step
    literal(w, 256)
    return w.finish()


def zlib_stream(data):
    return b"\x78\x01" + deflate(data) + struct.pack(">I", zlib.adler32(data))


def png_file(size, pixels):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = bytearray()
    stride = size * 4
    prev = bytes(stride)
    for y in range(size):
        row = bytes(c for p in pixels[y * size:(y + 1) * size] for c in p)
        # The "up" filter turns the large transparent or flat areas into zero runs.
        raw.append(2)
        raw += bytes((row[k] - prev[k]) & 0xFF for k in range(stride))
        prev = row
    data = bytes(raw)
    stream = zlib_stream(data)
    assert zlib.decompress(stream) == data, "deflate encoder is broken"
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", stream) + chunk(b"IEND", b"")


# ----------------------------------------------------------------------------------------------


def icon_rgba(size, ss):
    return reduce_rgba(render(window_icon(size), size, ss), size, ss, TRUE_COLOURS)


def build():
    """All output files as {name: bytes}."""
    files = {}
    ball = reduce_rgba(render(ball_shapes(), 16, 8), 16, 8, TRUE_COLOURS)
    files["ball.ico"] = ico_file([(16,) + (8,) + to_8bit(ball)])
    for kind in ("open", "closed", "link"):
        folder = reduce_rgba(render(folder_shapes(kind), 16, 8), 16, 8, TRUE_COLOURS)
        files["folder-%s.ico" % kind] = ico_file([(16, 8) + to_8bit(folder)])

    images_8 = []
    images_4 = []
    for size in (16, 32, 48):
        images_8.append((size, 8) + to_8bit(icon_rgba(size, 8)))
        keys = reduce_majority(render(window_icon(size), size, 4), size, 4)
        images_4.append((size, 4) + to_4bit(keys))
    files["splitwerk.ico"] = ico_file(images_8 + images_4)

    for size in (16, 32, 48, 64, 128):
        files["splitwerk99-%d.png" % size] = png_file(size, icon_rgba(size, 8 if size <= 48 else 4))
    return files


def main():
    resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window", "resources")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.normpath(resources),
                        help="folder to write into (default: window/resources, where the build takes them)")
    parser.add_argument("--check", action="store_true", help="compare with the files in --out instead of writing")
    args = parser.parse_args()
    stale = []
    for name, data in sorted(build().items()):
        path = os.path.join(args.out, name)
        if args.check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("veraltet: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
