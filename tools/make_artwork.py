#!/usr/bin/env python3
"""Draws the program's artwork and writes it under res/ (standard library only).

    python3 tools/make_artwork.py [output folder, default: res/art]

Writes:
    varnolet7.ico      program icon: a speaker on a blue tile, 16/32/48 px, 32-bit with alpha
    img_1.bmp..img_4   40 x 40 24-bit notification pictures on the window's face colour:
                       orange prohibition, blue information, green play, orange record sign
    link_play.ico      the link window's small signs, 16/20/24/30/32/40/48 px, 32-bit with alpha
    link_record.ico
    splash.bmp         400 x 240 splash picture, 8 bits per pixel with a palette made for it
                       (a third of the 24-bit size, and no visible difference: the executable
                       carries it)
    about.bmp          the Options dialog's About picture: 130 x 242 design pixels, drawn at twice
                       that size (260 x 484) so that it stays sharp when stretched at high dpi;
                       8 bits per pixel with its own palette, like the splash
    chain.bmp          the Device Link page's chain between its two rows: 16 x 16 design pixels,
                       drawn at 32 x 32, on the dialog face colour
    clear.bmp          the glyph of the Device Link page's two clear buttons: 12 x 12, a cross

The output is deterministic: running the script again gives the same bytes.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import lettering  # noqa: E402
from raster import (Canvas, arc, bmp8, bmp24, box, circle, ico, intersect, mix, polygon, radial, rgb, ring,  # noqa: E402
                    segment, union, vertical)

# Face colour of dialog windows on Vista and later (and in Wine): the
# notification window's background, behind the opaque 40 x 40 pictures.
WINDOW_FACE = rgb("#F0F0F0")

WHITE = (1.0, 1.0, 1.0)

# The link window shows its signs at 20 x 20 design pixels (120 dpi): 16 px at
# 100 % scaling, 20 at 125 %, 24 at 150 %, 32 at 200 %; 30 serves a window laid
# out at 150 % of the design size, 40 and 48 the largest scalings.
LINK_ICON_SIZES = (16, 20, 24, 30, 32, 40, 48)

# Sign colours: light top, dark bottom, outline.
ORANGE = (rgb("#FFAE45"), rgb("#EE7A10"), rgb("#C4610A"))
BLUE = (rgb("#57ACF5"), rgb("#1E69CC"), rgb("#17529F"))
GREEN = (rgb("#67CF62"), rgb("#2D9B37"), rgb("#23792B"))


# ----------------------------------------------------------------- signs


def _disc(canvas, cx, cy, r, colours, outline):
    light, dark, edge = colours
    canvas.fill(circle(cx, cy, r), vertical(light, dark, cy - r, cy + r))
    if outline > 0:
        canvas.fill(ring(cx, cy, r - outline / 2, outline), edge, opacity=0.55)
    # A soft highlight on the upper half gives the disc a little depth.
    canvas.fill(intersect(circle(cx, cy, r - outline), circle(cx, cy - r * 0.55, r * 0.85)), WHITE, opacity=0.12)


def _shadow(canvas, cx, cy, r, s):
    """A soft shadow under a round sign, for the opaque pictures."""
    for k, opacity in ((2.0, 0.05), (1.2, 0.07), (0.6, 0.08)):
        canvas.fill(circle(cx, cy + 0.8 * s, r + k * s - 0.6 * s), (0.0, 0.0, 0.0), opacity=opacity)


def sign(kind, size, shadow=False):
    """One round sign on a transparent canvas of size x size pixels."""
    canvas = Canvas(size, size)
    s = size / 40.0  # the drawing is laid out on a 40-unit grid
    cx = cy = size / 2
    r = 17.5 * s if shadow else size / 2 - max(0.5, 0.75 * s)
    u = r / 17.5  # symbol unit: the symbols scale with the disc
    outline = max(0.8, 1.0 * s)
    if shadow:
        _shadow(canvas, cx, cy, r, s)
    if kind == "prohibition":
        light, dark, edge = ORANGE
        canvas.fill(circle(cx, cy, r), WHITE)
        band = 4.3 * u
        paint = vertical(light, dark, cy - r, cy + r)
        canvas.fill(ring(cx, cy, r - band / 2, band), paint)
        inner = r - band + 0.5
        d = inner * math.sqrt(0.5)
        bar = intersect(segment(cx - d * 1.2, cy - d * 1.2, cx + d * 1.2, cy + d * 1.2, band * 0.95),
                        circle(cx, cy, inner))
        canvas.fill(bar, paint)
        canvas.fill(ring(cx, cy, r - outline / 2, outline), edge, opacity=0.55)
    elif kind == "information":
        _disc(canvas, cx, cy, r, BLUE, outline)
        canvas.fill(circle(cx, cy - 7.4 * u, 2.5 * u), WHITE)
        stem = union(box(cx - 2.1 * u, cy - 2.6 * u, cx + 2.1 * u, cy + 9.6 * u, 0.9 * u))
        canvas.fill(stem, WHITE)
    elif kind == "play":
        _disc(canvas, cx, cy, r, GREEN, outline)
        k = 1.3 * u  # corner rounding: the triangle is drawn smaller and grown by k
        tip = cx + 9.2 * u
        back = cx - 5.6 * u
        half = 8.6 * u
        inset = [(back + k, cy - half + k * 1.9), (back + k, cy + half - k * 1.9), (tip - k * 2.0, cy)]
        canvas.fill(polygon(inset, k), WHITE)
    elif kind == "record":
        _disc(canvas, cx, cy, r, ORANGE, outline)
        canvas.fill(circle(cx, cy, 7.0 * u), WHITE)
    else:
        raise ValueError(kind)
    return canvas


# ----------------------------------------------------------------- program icon


def _speaker(canvas, left, top, size, colour, waves):
    """The speaker and its sound waves inside a square at (left, top), laid out
    on a 16-unit grid whose whole units fall on pixel edges at 16 px."""
    u = size / 16.0
    x = lambda v: left + v * u  # noqa: E731
    y = lambda v: top + v * u  # noqa: E731
    body = box(x(2.0), y(6.0), x(5.4), y(10.0), 0.7 * u)
    k = 0.55 * u  # corner rounding of the cone
    cone = polygon([(x(4.6) + k, y(6.0) + k), (x(9.0) - k, y(2.5) + k * 1.6), (x(9.0) - k, y(13.5) - k * 1.6),
                    (x(4.6) + k, y(10.0) - k)], k)
    canvas.fill(union(body, cone), colour)
    cx, cy = x(8.2), y(8.0)
    if waves == 1:
        canvas.fill(arc(cx, cy, 3.55 * u, 1.5 * u, -46, 46), colour)
        return
    for radius, sweep in ((3.2, 44), (5.7, 47)):
        canvas.fill(arc(cx, cy, radius * u, 1.35 * u, -sweep, sweep), colour)


def _tile(canvas, left, top, size, radius):
    right, bottom = left + size, top + size
    shape = box(left, top, right, bottom, radius)
    canvas.fill(shape, vertical(rgb("#43A2F2"), rgb("#1555B4"), top, bottom))
    # Gloss on the upper part and a darker edge so the tile holds on light and dark taskbars.
    gloss = intersect(box(left, top, right, bottom, radius), circle(left + size / 2, top - size * 0.9, size * 1.35))
    canvas.fill(gloss, WHITE, opacity=0.13)
    edge = max(0.9, size / 40.0)
    outline = lambda px, py: abs(shape(px, py) + edge / 2) - edge / 2  # noqa: E731
    canvas.fill(outline, rgb("#0C3A7C"), opacity=0.75)


def program_icon(size):
    canvas = Canvas(size, size)
    margin = {16: 0.0, 32: 1.0, 48: 1.5}.get(size, size / 32.0)
    inner = size - 2 * margin
    _tile(canvas, margin, margin, inner, inner * 0.2)
    # The speaker sits on a 16-unit grid inside the tile.
    pad = 0.0 if size <= 16 else inner * 0.05
    _speaker(canvas, margin + pad, margin + pad, inner - 2 * pad, WHITE, 1 if size <= 16 else 2)
    return canvas


# ----------------------------------------------------------------- splash


def splash():
    w, h = 400, 240
    canvas = Canvas(w, h, rgb("#0F2747"), 1.0)
    canvas.fill(box(0, 0, w, h), vertical(rgb("#17426F"), rgb("#0B1E38"), 0, h))
    # Layout: the emblem and the two lines of text beside it, centred as a group.
    title, size, weight, tracking = "Varnolet 7", 37, 0.14, 0.085
    maker, msize, mweight, mtracking = "KESTROVA TECHNOLOGIES", 8.5, 0.15, 0.30
    emblem, gap = 92, 24
    text_width = max(lettering.advance(title, size, weight, tracking),
                     lettering.advance(maker, msize, mweight, mtracking))
    ex = round((w - (emblem + gap + text_width)) / 2)
    ey = round((h - 4) / 2 - emblem / 2)
    ecx, ecy = ex + emblem / 2, ey + emblem / 2
    # A glow behind the emblem and faint sound waves running out to the right.
    canvas.fill(circle(ecx, ecy, 150), radial(rgb("#2F7AC4"), rgb("#17426F"), ecx, ecy, 150), opacity=0.35)
    for radius in (90, 126, 162, 198, 234, 270, 306):
        canvas.fill(arc(ecx, ecy, radius, 1.6, -38, 38), WHITE, opacity=0.05)
    # The emblem: the program icon drawn large, over a soft shadow.
    for grow, opacity in ((4.0, 0.05), (2.5, 0.07), (1.2, 0.09)):
        canvas.fill(box(ex - grow, ey - grow + 3, ex + emblem + grow, ey + emblem + grow + 3, emblem * 0.2 + grow),
                    (0.0, 0.0, 0.0), opacity=opacity)
    canvas.draw(_emblem(emblem), ex, ey)
    # Program name and maker.
    left = ex + emblem + gap
    baseline = round(ecy + 5)
    canvas.fill(lettering.shape(title, left, baseline, size, weight, tracking), WHITE,
                bounds=(left - 4, baseline - size - 6, w, baseline + 6))
    mbase = baseline + 25
    canvas.fill(lettering.shape(maker, left + 1, mbase, msize, mweight, mtracking), rgb("#9CC4EC"),
                bounds=(left - 2, mbase - msize - 4, w, mbase + 4))
    # An accent line along the bottom and a thin frame (the window has no border).
    canvas.fill(box(0, h - 4, w, h), lambda px, py: mix(rgb("#2F8EEA"), rgb("#38C6E0"), px / w))
    frame = lambda px, py: abs(box(0, 0, w, h)(px, py) + 0.5) - 0.5  # noqa: E731
    canvas.fill(frame, rgb("#071426"), opacity=0.9)
    return canvas


def _emblem(size):
    canvas = Canvas(size, size)
    _tile(canvas, 0, 0, size, size * 0.2)
    _speaker(canvas, size * 0.04, size * 0.04, size * 0.92, WHITE, 2)
    return canvas


# ----------------------------------------------------------------- Options dialog


def about():
    """A tall banner: the emblem over sound waves, the program's name beneath."""
    w, h = 260, 484
    canvas = Canvas(w, h, rgb("#0F2747"), 1.0)
    canvas.fill(box(0, 0, w, h), vertical(rgb("#1B4C80"), rgb("#0B1E38"), 0, h))
    emblem = 132
    ex, ey = (w - emblem) // 2, 96
    ecx, ecy = ex + emblem / 2, ey + emblem / 2
    canvas.fill(circle(ecx, ecy, 170), radial(rgb("#2F7AC4"), rgb("#17426F"), ecx, ecy, 170), opacity=0.35)
    for radius in (100, 136, 172, 208, 244):
        canvas.fill(arc(ecx, ecy, radius, 2.4, -40, 40), WHITE, opacity=0.06)
        canvas.fill(arc(ecx, ecy, radius, 2.4, 140, 220), WHITE, opacity=0.06)
    for grow, opacity in ((5.0, 0.05), (3.0, 0.07), (1.5, 0.09)):
        canvas.fill(box(ex - grow, ey - grow + 4, ex + emblem + grow, ey + emblem + grow + 4, emblem * 0.2 + grow),
                    (0.0, 0.0, 0.0), opacity=opacity)
    canvas.draw(_emblem(emblem), ex, ey)
    title, size, weight, tracking = "Varnolet 7", 30, 0.14, 0.085
    left = (w - lettering.advance(title, size, weight, tracking)) / 2
    baseline = ey + emblem + 78
    canvas.fill(lettering.shape(title, left, baseline, size, weight, tracking), WHITE,
                bounds=(0, baseline - size - 6, w, baseline + 6))
    maker, msize, mweight, mtracking = "KESTROVA", 11, 0.15, 0.30
    mleft = (w - lettering.advance(maker, msize, mweight, mtracking)) / 2
    mbase = baseline + 34
    canvas.fill(lettering.shape(maker, mleft, mbase, msize, mweight, mtracking), rgb("#9CC4EC"),
                bounds=(0, mbase - msize - 4, w, mbase + 4))
    canvas.fill(box(0, h - 8, w, h), lambda px, py: mix(rgb("#2F8EEA"), rgb("#38C6E0"), px / w))
    return canvas


def chain(size):
    """Two links of a chain, crossing the square from lower left to upper right."""
    canvas = Canvas(size, size)
    u = size / 16.0
    steel = vertical(rgb("#8FA3B8"), rgb("#4D6072"), 0, size)

    def link(x1, y1, x2, y2):
        capsule = segment(x1 * u, y1 * u, x2 * u, y2 * u, 5.6 * u)
        return lambda x, y: abs(capsule(x, y) + 0.9 * u) - 0.9 * u

    canvas.fill(link(3.2, 12.8, 7.6, 8.4), steel)
    canvas.fill(link(8.4, 7.6, 12.8, 3.2), rgb("#2F5E8F"))
    return canvas


def clear_glyph(size):
    """A cross: the clear buttons remove a row's link."""
    canvas = Canvas(size, size)
    u = size / 12.0
    red = rgb("#C8322B")
    canvas.fill(union(segment(2.5 * u, 2.5 * u, 9.5 * u, 9.5 * u, 2.2 * u),
                      segment(9.5 * u, 2.5 * u, 2.5 * u, 9.5 * u, 2.2 * u)), red)
    return canvas


# ----------------------------------------------------------------- output


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "art")
    os.makedirs(out, exist_ok=True)

    def write(name, data):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"wrote {os.path.join(out, name)} ({len(data)} bytes)")

    write("varnolet7.ico", ico([program_icon(s) for s in (16, 32, 48)]))
    for index, kind in enumerate(("prohibition", "information", "play", "record"), start=1):
        write(f"img_{index}.bmp", bmp24(sign(kind, 40, shadow=True).flattened(WINDOW_FACE), dpi=120))
    for kind in ("play", "record"):
        write(f"link_{kind}.ico", ico([sign(kind, s) for s in LINK_ICON_SIZES]))
    write("splash.bmp", bmp8(splash(), dpi=120))
    write("about.bmp", bmp8(about(), dpi=240))
    write("chain.bmp", bmp24(chain(32).flattened(WINDOW_FACE), dpi=240))
    write("clear.bmp", bmp24(clear_glyph(12).flattened(WINDOW_FACE), dpi=96))


if __name__ == "__main__":
    main()
