"""A small geometric stroke alphabet for the splash picture's lettering.

Each glyph is a list of strokes (round-capped segments and circular arcs) whose
centre lines are given in units of the cap height, y up from the baseline.
Only the letters the pictures use are drawn.
"""

from raster import arc, segment, union

X_HEIGHT = 0.70


def _glyphs(w):
    """Glyph strokes for a stroke width w (in cap heights)."""
    c = w / 2
    xh = X_HEIGHT
    ro = xh / 2 - c  # centre-line radius of the round lower-case letters
    rn = 0.25  # radius of the arch of n and r
    yn = xh - c - rn  # centre of that arch
    capr = (1 - 2 * c) / 2  # centre-line radius of O, C, G
    rs = (1 - 2 * c) / 4  # radius of the two bowls of S
    rb = (1 - 2 * c) / 4 + 0.02  # radius of the bowl of R
    g = {}
    # Lower case (and the digit) used by the program's name.
    g["a"] = (2 * xh / 2 + 0.0, [("arc", xh / 2, xh / 2, ro, 0, 360), ("seg", xh - c, c, xh - c, xh - c)])
    g["e"] = (xh, [("arc", xh / 2, xh / 2, ro, 0, 318), ("seg", c, xh / 2, xh - c, xh / 2)])
    g["l"] = (w, [("seg", c, c, c, 1 - c)])
    g["n"] = (w + 2 * rn, [("seg", c, c, c, xh - c), ("arc", c + rn, yn, rn, 0, 180), ("seg", c + 2 * rn, yn, c + 2 * rn, c)])
    g["o"] = (xh, [("arc", xh / 2, xh / 2, ro, 0, 360)])
    g["r"] = (w + rn + 0.06, [("seg", c, c, c, xh - c), ("arc", c + rn, yn, rn, 72, 180)])
    g["t"] = (0.36, [("seg", 0.15, 0.92 - c, 0.15, c + 0.12), ("arc", 0.15 + 0.12, c + 0.12, 0.12, 180, 290),
                     ("seg", c, xh - c, 0.36 - c, xh - c)])
    g["7"] = (0.62, [("seg", c, 1 - c, 0.62 - c, 1 - c), ("seg", 0.62 - c, 1 - c, 0.2, c)])
    g["V"] = (0.78, [("seg", c, 1 - c, 0.39, c), ("seg", 0.39, c, 0.78 - c, 1 - c)])
    g[" "] = (0.30, [])
    # Capitals of the company name.
    g["A"] = (0.80, [("seg", c, c, 0.40, 1 - c), ("seg", 0.40, 1 - c, 0.80 - c, c), ("seg", 0.19, 0.32, 0.61, 0.32)])
    g["C"] = (0.92, [("arc", 0.5, 0.5, capr, 45, 315)])
    g["E"] = (0.52, [("seg", c, c, c, 1 - c), ("seg", c, 1 - c, 0.52 - c, 1 - c), ("seg", c, 0.5, 0.46 - c, 0.5),
                     ("seg", c, c, 0.52 - c, c)])
    g["G"] = (1.0, [("arc", 0.5, 0.5, capr, 40, 360), ("seg", 0.5 + capr, 0.5, 0.56, 0.5)])
    g["H"] = (0.70, [("seg", c, c, c, 1 - c), ("seg", 0.70 - c, c, 0.70 - c, 1 - c), ("seg", c, 0.5, 0.70 - c, 0.5)])
    g["I"] = (w, [("seg", c, c, c, 1 - c)])
    g["K"] = (0.64, [("seg", c, c, c, 1 - c), ("seg", 0.62 - c, 1 - c, c + 0.02, 0.42), ("seg", 0.24, 0.55, 0.64 - c, c)])
    g["L"] = (0.50, [("seg", c, c, c, 1 - c), ("seg", c, c, 0.50 - c, c)])
    g["N"] = (0.72, [("seg", c, c, c, 1 - c), ("seg", c, 1 - c, 0.72 - c, c), ("seg", 0.72 - c, c, 0.72 - c, 1 - c)])
    g["O"] = (1.0, [("arc", 0.5, 0.5, capr, 0, 360)])
    g["R"] = (0.60, [("seg", c, c, c, 1 - c), ("seg", c, 1 - c, 0.58 - c - rb, 1 - c),
                     ("arc", 0.58 - c - rb, 1 - c - rb, rb, 270, 90), ("seg", c, 1 - c - 2 * rb, 0.58 - c - rb, 1 - c - 2 * rb),
                     ("seg", 0.30, 1 - c - 2 * rb, 0.60 - c, c)])
    g["S"] = (2 * rs + w, [("arc", c + rs, 1 - c - rs, rs, 25, 270), ("arc", c + rs, c + rs, rs, 205, 90)])
    g["T"] = (0.66, [("seg", c, 1 - c, 0.66 - c, 1 - c), ("seg", 0.33, 1 - c, 0.33, c)])
    return g


# Pairs set closer than their boxes say (in cap heights).
KERNING = {"Va": -0.07, "TE": -0.02, "AT": -0.05, "VA": -0.06}


def _kern(text, index):
    return KERNING.get(text[index : index + 2], 0.0) if index + 1 < len(text) else 0.0


def advance(text, size, weight, tracking):
    """The width in pixels of a text drawn at the given cap height."""
    g = _glyphs(weight)
    units = sum(g[ch][0] + tracking + _kern(text, i) for i, ch in enumerate(text)) - tracking
    return units * size


def shape(text, left, baseline, size, weight, tracking=0.08):
    """The text as one shape: cap height `size` pixels, stroke `weight` cap heights."""
    g = _glyphs(weight)
    strokes = []
    x = left
    for index, ch in enumerate(text):
        width, parts = g[ch]
        for part in parts:
            if part[0] == "seg":
                _, x1, y1, x2, y2 = part
                strokes.append(segment(x + x1 * size, baseline - y1 * size, x + x2 * size, baseline - y2 * size,
                                       weight * size))
            else:
                _, cx, cy, r, a0, a1 = part
                strokes.append(arc(x + cx * size, baseline - cy * size, r * size, weight * size, a0, a1))
        x += (width + tracking + _kern(text, index)) * size
    return union(*strokes)
