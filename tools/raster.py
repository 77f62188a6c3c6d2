"""A tiny antialiased rasteriser for the program's artwork (standard library only).

Shapes are signed distance functions in pixel units: negative inside, positive
outside, pixel (i, j) covering the square [i, i+1) x [j, j+1). Coverage is the
area of the pixel inside the shape, estimated from the distance and refined by
supersampling near corners, so edges come out smooth at every size.

The writers produce the file formats the resource compiler takes: 24-bit BMP,
8-bit BMP with a palette of up to 256 colours chosen for the picture (a third
of the size; LoadImage reads it like any other bitmap), and icon files with
32-bit images (straight alpha plus the AND mask).
"""

import math
import struct


# ----------------------------------------------------------------- shapes


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    half = width / 2
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half


def segment(x1, y1, x2, y2, width):
    """A stroke with round caps from (x1, y1) to (x2, y2)."""
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy or 1e-12
    half = width / 2

    def sdf(x, y):
        t = ((x - x1) * dx + (y - y1) * dy) / length2
        t = 0.0 if t < 0 else 1.0 if t > 1 else t
        return math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)) - half

    return sdf


def box(x0, y0, x1, y1, radius=0.0):
    """An axis-aligned rectangle from (x0, y0) to (x1, y1) with rounded corners."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return sdf


def polygon(points, radius=0.0):
    """A closed polygon; with a radius the outline grows by it, rounding the corners."""
    n = len(points)

    def sdf(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = (wx * ex + wy * ey) / (ex * ex + ey * ey)
            t = 0.0 if t < 0 else 1.0 if t > 1 else t
            d = (wx - ex * t) ** 2 + (wy - ey * t) ** 2
            if d < best:
                best = d
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        d = math.sqrt(best)
        return (-d if inside else d) - radius

    return sdf


def arc(cx, cy, r, width, start, end):
    """A stroke with round caps along a circle, from angle start to end (degrees,
    counter-clockwise as seen on screen, 0 pointing right)."""
    half = width / 2
    a0 = math.radians(start)
    span = math.radians(end - start) % (2 * math.pi) or 2 * math.pi
    p0 = (cx + r * math.cos(a0), cy - r * math.sin(a0))
    p1 = (cx + r * math.cos(a0 + span), cy - r * math.sin(a0 + span))

    def sdf(x, y):
        angle = (math.atan2(cy - y, x - cx) - a0) % (2 * math.pi)
        if angle <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - half
        return min(math.hypot(x - p0[0], y - p0[1]), math.hypot(x - p1[0], y - p1[1])) - half

    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


# ----------------------------------------------------------------- colours


def rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i : i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def vertical(top_colour, bottom_colour, y0, y1):
    """A paint that runs from one colour at y0 to another at y1."""

    def paint(x, y):
        t = (y - y0) / (y1 - y0)
        return mix(top_colour, bottom_colour, 0.0 if t < 0 else 1.0 if t > 1 else t)

    return paint


def radial(inner, outer, cx, cy, r):
    def paint(x, y):
        t = math.hypot(x - cx, y - cy) / r
        return mix(inner, outer, 1.0 if t > 1 else t)

    return paint


# ----------------------------------------------------------------- canvas

_SUB = 4  # supersampling grid near edges


class Canvas:
    """Straight-alpha RGBA pixels in floats, 0..1."""

    def __init__(self, width, height, background=(0.0, 0.0, 0.0), alpha=0.0):
        self.width, self.height = width, height
        self.pixels = [[background[0], background[1], background[2], alpha] for _ in range(width * height)]

    def coverage(self, sdf, x, y):
        d = sdf(x + 0.5, y + 0.5)
        if d >= 1.0:
            return 0.0
        if d <= -1.0:
            return 1.0
        total = 0.0
        for j in range(_SUB):
            for i in range(_SUB):
                ds = sdf(x + (i + 0.5) / _SUB, y + (j + 0.5) / _SUB) * _SUB
                total += 0.0 if ds >= 0.5 else 1.0 if ds <= -0.5 else 0.5 - ds
        return total / (_SUB * _SUB)

    def fill(self, sdf, paint, opacity=1.0, bounds=None):
        """Paints a shape 'over' the canvas; paint is a colour or a function of (x, y)."""
        x0, y0, x1, y1 = bounds or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                a = self.coverage(sdf, x, y) * opacity
                if a <= 0.0:
                    continue
                colour = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                self.blend(x, y, colour, a)

    def blend(self, x, y, colour, a):
        p = self.pixels[y * self.width + x]
        out = a + p[3] * (1.0 - a)
        if out <= 0.0:
            return
        for k in range(3):
            p[k] = (colour[k] * a + p[k] * p[3] * (1.0 - a)) / out
        p[3] = out

    def flattened(self, background):
        """The picture over an opaque background colour."""
        flat = Canvas(self.width, self.height, background, 1.0)
        for index, p in enumerate(self.pixels):
            q = flat.pixels[index]
            for k in range(3):
                q[k] = p[k] * p[3] + q[k] * (1.0 - p[3])
        return flat

    def draw(self, other, left, top):
        """Composites another canvas at (left, top)."""
        for y in range(other.height):
            for x in range(other.width):
                p = other.pixels[y * other.width + x]
                tx, ty = left + x, top + y
                if p[3] > 0 and 0 <= tx < self.width and 0 <= ty < self.height:
                    self.blend(tx, ty, p, p[3])


def _byte(v):
    v = int(round(v * 255.0))
    return 0 if v < 0 else 255 if v > 255 else v


# ----------------------------------------------------------------- writers


def bmp24(canvas, dpi=96):
    """A 24-bit BMP file (bottom-up rows, no palette)."""
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b, _ = canvas.pixels[y * w + x]
            row += bytes((_byte(b), _byte(g), _byte(r)))
        row += bytes(stride - len(row))
        rows += row
    ppm = int(round(dpi / 0.0254))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), ppm, ppm, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    return header + info + bytes(rows)


def _median_cut(counts, size):
    """Up to `size` colours for the (r, g, b) -> pixel count table: the box of
    colours with the most pixels times its widest side is split at the median
    of that side until there are enough boxes; each box gives its mean."""
    boxes = [list(counts.items())]

    def spread(entries):
        return max(max(c[0][k] for c in entries) - min(c[0][k] for c in entries) for k in range(3))

    def weight(entries):
        return sum(n for _, n in entries) * spread(entries)

    while len(boxes) < size:
        splittable = [b for b in boxes if len(b) > 1 and spread(b) > 0]
        if not splittable:
            break
        entries = max(splittable, key=weight)
        boxes.remove(entries)
        side = max(range(3), key=lambda k: max(c[0][k] for c in entries) - min(c[0][k] for c in entries))
        entries.sort(key=lambda c: (c[0][side], c[0]))
        half, seen, cut = sum(n for _, n in entries) / 2, 0, 1
        for index, (_, n) in enumerate(entries):
            seen += n
            if seen >= half:
                cut = min(max(index + 1, 1), len(entries) - 1)
                break
        boxes += [entries[:cut], entries[cut:]]
    palette = []
    for entries in boxes:
        total = sum(n for _, n in entries)
        palette.append(tuple(int(round(sum(c[k] * n for c, n in entries) / total)) for k in range(3)))
    return sorted(set(palette))


def bmp8(canvas, dpi=96):
    """An 8-bit BMP file: a palette of up to 256 colours made for the picture by
    median cut, the pixels mapped to it with Floyd-Steinberg error diffusion
    (smooth gradients stay smooth), bottom-up rows."""
    w, h = canvas.width, canvas.height
    rgb = [[_byte(p[0]), _byte(p[1]), _byte(p[2])] for p in canvas.pixels]
    counts = {}
    for p in rgb:
        key = tuple(p)
        counts[key] = counts.get(key, 0) + 1
    palette = _median_cut(counts, 256)
    nearest_of = {}

    def nearest(colour):
        index = nearest_of.get(colour)
        if index is None:
            index = min(range(len(palette)),
                        key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))
            nearest_of[colour] = index
        return index

    work = [[float(v) for v in p] for p in rgb]
    indices = bytearray(w * h)
    for y in range(h):
        for x in range(w):
            p = work[y * w + x]
            colour = tuple(0 if v < 0 else 255 if v > 255 else int(round(v)) for v in p)
            index = nearest(colour)
            indices[y * w + x] = index
            error = [p[k] - palette[index][k] for k in range(3)]
            for dx, dy, share in ((1, 0, 7), (-1, 1, 3), (0, 1, 5), (1, 1, 1)):
                tx, ty = x + dx, y + dy
                if 0 <= tx < w and ty < h:
                    q = work[ty * w + tx]
                    for k in range(3):
                        q[k] += error[k] * share / 16.0
    stride = (w + 3) & ~3
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        rows += indices[y * w:(y + 1) * w] + bytes(stride - w)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    ppm = int(round(dpi / 0.0254))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), ppm, ppm, len(palette), 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + table + bytes(rows)


def _icon_image(canvas):
    w, h = canvas.width, canvas.height
    colour = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = canvas.pixels[y * w + x]
            alpha = _byte(a)
            if alpha == 0:
                colour += bytes(4)
                bits[x // 8] |= 0x80 >> (x % 8)  # transparent where the alpha is 0
            else:
                colour += bytes((_byte(b), _byte(g), _byte(r), alpha))
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico(canvases):
    """An icon file holding one 32-bit image per canvas (sizes up to 255)."""
    images = [_icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)
