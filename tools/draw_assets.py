#!/usr/bin/python3
"""Draws the client's artwork and writes the binary resource inputs into res/.

Run with Debian's /usr/bin/python3 (needs python3-pil and fonts-wqy-microhei):

    /usr/bin/python3 tools/draw_assets.py [output-dir]

Everything is drawn from fixed coordinates; the output is the same on every run.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "res")

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
SERIF = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"

SKIN_W, SKIN_H = 1208, 762
SS = 4  # supersampling factor for anti-aliased shape masks

LINK_BUTTONS = [(485, 210), (657, 210), (853, 210), (1033, 210)]
LINK_W, LINK_H = 70, 32

GOLD = (232, 196, 106)
GOLD_DARK = (150, 106, 44)
BRONZE_HI = (156, 112, 56)
BRONZE = (104, 70, 34)
BRONZE_LO = (58, 36, 16)


# ---------------------------------------------------------------- helpers

def solid(size, colour):
    return Image.new("RGB", size, colour)


def ramp(size, start, end, vertical=True):
    """'L' image rising from 0 at `start` to 255 at `end` along one axis."""
    w, h = size
    n = h if vertical else w
    vals = []
    for i in range(n):
        t = (i - start) / float(end - start) if end != start else 1.0
        vals.append(int(round(255 * min(1.0, max(0.0, t)))))
    line = Image.new("L", (1, n) if vertical else (n, 1))
    line.putdata(vals)
    return line.resize(size, Image.NEAREST)


def gradient(size, c0, c1, start, end, vertical=True):
    return Image.composite(solid(size, c1), solid(size, c0),
                           ramp(size, start, end, vertical))


def radial(size, centre, radius, inner, outer=0):
    """'L' image: `inner` at the centre falling to `outer` at `radius`."""
    w, h = size
    img = Image.new("L", size, outer)
    d = int(2 * radius)
    g = Image.radial_gradient("L").resize((d, d), Image.BILINEAR)
    # radial_gradient is 0 at the centre and 255 at the rim
    g = g.point(lambda v: int(round(inner + (outer - inner) * min(255, v) / 255.0)))
    circle = Image.new("L", (d, d), 0)
    ImageDraw.Draw(circle).ellipse((0, 0, d - 1, d - 1), fill=255)
    img.paste(g, (int(centre[0] - radius), int(centre[1] - radius)), circle)
    return img


def aa_mask(size, draw_fn, ss=SS):
    """Draws at ss times the size with coordinates scaled, then box-filters down."""
    w, h = size
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), lambda pts: [(x * ss, y * ss) for x, y in pts], ss)
    return big.reduce(ss)


def scale_box(box, ss):
    return [box[0] * ss, box[1] * ss, box[2] * ss, box[3] * ss]


def paint(canvas, fill, mask, opacity=1.0):
    """Composites `fill` (colour or RGB image) over `canvas` through `mask`."""
    if isinstance(fill, tuple):
        fill = solid(canvas.size, fill)
    if opacity != 1.0:
        mask = mask.point(lambda v: int(round(v * opacity)))
    layer = fill.convert("RGBA")
    layer.putalpha(mask)
    canvas.alpha_composite(layer)


def mask_mul(a, b):
    return ImageChops.multiply(a, b)


def mask_sub(a, b):
    return ImageChops.subtract(a, b)


def leaf(base, angle_deg, length, width, bend=0.0, steps=24):
    """Polygon of a feather/leaf from `base`, pointing along angle (0 = left,
    positive = upwards), with a slight curve `bend` (pixels at the tip)."""
    a = math.radians(angle_deg)
    ux, uy = -math.cos(a), -math.sin(a)        # along the leaf
    nx, ny = -uy, ux                           # across the leaf
    left, right = [], []
    for i in range(steps + 1):
        t = i / float(steps)
        half = 0.5 * width * max(0.0, math.sin(math.pi * t)) ** 0.6
        off = bend * t * t
        cx = base[0] + ux * length * t + nx * off
        cy = base[1] + uy * length * t + ny * off
        left.append((cx + nx * half, cy + ny * half))
        right.append((cx - nx * half, cy - ny * half))
    return left + right[::-1]


def shield_outline(cx, top, w, h, steps=20):
    """Heraldic shield: flat top with notched corners, sides curving to a point."""
    x0, x1 = cx - w / 2.0, cx + w / 2.0
    pts = [(x0 + w * 0.08, top), (cx - w * 0.10, top), (cx, top - h * 0.05),
           (cx + w * 0.10, top), (x1 - w * 0.08, top), (x1, top + h * 0.05)]
    side = top + h * 0.45
    pts.append((x1, side))
    for i in range(1, steps + 1):
        t = i / float(steps)
        # right half of the lower curve to the point
        x = x1 - (w / 2.0) * (1 - math.cos(t * math.pi / 2))
        y = side + (h * 0.55) * math.sin(t * math.pi / 2)
        pts.append((x, y))
    for i in range(steps - 1, -1, -1):
        t = i / float(steps)
        x = x0 + (w / 2.0) * (1 - math.cos(t * math.pi / 2))
        y = side + (h * 0.55) * math.sin(t * math.pi / 2)
        pts.append((x, y))
    pts.append((x0, side))
    pts.append((x0, top + h * 0.05))
    return pts


def scale_pts(pts, cx, cy, k):
    return [(cx + (x - cx) * k, cy + (y - cy) * k) for x, y in pts]


# ---------------------------------------------------------------- skin

def crest_curve(x):
    """Top edge of the title crest above the frame, for x in 630..950."""
    t = abs(x - 790) / 160.0
    return 158 - 106 * (1 - t ** 1.5)


def body_top_points():
    """Uneven top edge of the frame, left to right."""
    pts = [(390, 160), (390, 134), (404, 120), (476, 120), (490, 134), (490, 158),
           (630, 158)]
    for i in range(1, 32):
        x = 630 + i * 320 / 32.0
        pts.append((x, crest_curve(x)))
    pts += [(950, 158), (1090, 158), (1090, 134), (1104, 120), (1176, 120),
            (1190, 134), (1190, 160)]
    return pts


def body_shape(d, s, ss):
    top = body_top_points()
    d.polygon(s(top + [(1190, 170), (390, 170)]), fill=255)
    d.rounded_rectangle(scale_box((390, 150, 1190, 714), ss), radius=18 * ss, fill=255)


def inner_shape(d, s, ss, inset):
    """The frame's shape shrunk by `inset` pixels (towers and crest included)."""
    top = []
    for x, y in body_top_points():
        if x <= 390:
            x = 390 + inset
        elif x >= 1190:
            x = 1190 - inset
        top.append((x, y + inset))
    d.polygon(s(top + [(1190 - inset, 170), (390 + inset, 170)]), fill=255)
    d.rounded_rectangle(scale_box((390 + inset, 150 + inset, 1190 - inset, 714 - inset), ss),
                        radius=max(2, 18 - inset) * ss, fill=255)


WING_BASE = (398, 402)
WING_BACK = [(50, 200, 28), (36, 266, 30), (22, 324, 32), (8, 418, 32), (-6, 324, 30),
             (-20, 262, 28), (-34, 200, 26)]
WING_FRONT = [(43, 144, 22), (29, 200, 24), (15, 242, 25), (1, 262, 25), (-13, 228, 24),
              (-27, 176, 22)]
WING_GHOST = [(54, 190, 30), (-40, 180, 28)]


def draw_wings(canvas):
    size = canvas.size
    # translucent outer plumes
    for ang, ln, wd in WING_GHOST:
        m = aa_mask(size, lambda d, s, ss: d.polygon(s(leaf(WING_BASE, ang, ln, wd, bend=-10)), fill=255))
        paint(canvas, (196, 150, 80), m, opacity=0.45)
    for row, (feathers, c_fill, c_edge, c_rib) in enumerate([
            (WING_BACK, (92, 60, 28), (40, 24, 10), (150, 108, 52)),
            (WING_FRONT, (168, 124, 60), (74, 48, 20), (236, 204, 130))]):
        for ang, ln, wd in feathers:
            wd = wd * 0.8
            poly = leaf(WING_BASE, ang, ln, wd, bend=-14 if ang > 0 else 14)
            m_edge = aa_mask(size, lambda d, s, ss: d.polygon(s(poly), fill=255))
            paint(canvas, c_edge, m_edge)
            inner = leaf(WING_BASE, ang, ln - 8, wd - 7, bend=-14 if ang > 0 else 14)
            m_in = aa_mask(size, lambda d, s, ss: d.polygon(s(inner), fill=255))
            a = math.radians(ang)
            fill = gradient(size, c_fill, tuple(min(255, c + 40) for c in c_fill),
                            WING_BASE[0] - ln, WING_BASE[0], vertical=False)
            paint(canvas, fill, m_in)
            # rib
            ex = WING_BASE[0] - math.cos(a) * ln * 0.9
            ey = WING_BASE[1] - math.sin(a) * ln * 0.9
            m_rib = aa_mask(size, lambda d, s, ss: d.line(s([WING_BASE, (ex, ey)]), fill=255,
                                                         width=2 * ss))
            paint(canvas, c_rib, m_rib, opacity=0.8)


def draw_shield(canvas, cx, top, w, h):
    size = canvas.size
    outer = shield_outline(cx, top, w, h)
    mid = scale_pts(outer, cx, top + h * 0.5, 0.93)
    inner = scale_pts(outer, cx, top + h * 0.5, 0.84)
    paint(canvas, (40, 22, 8), aa_mask(size, lambda d, s, ss: d.polygon(s(outer), fill=255)))
    paint(canvas, gradient(size, (250, 222, 140), (150, 100, 36), top, top + h),
          aa_mask(size, lambda d, s, ss: d.polygon(s(mid), fill=255)))
    paint(canvas, gradient(size, (150, 24, 18), (58, 6, 6), top, top + h),
          aa_mask(size, lambda d, s, ss: d.polygon(s(inner), fill=255)))
    draw_emblem(canvas, cx, top + h * 0.47, h * 0.30)


def draw_emblem(canvas, cx, cy, r):
    """Ring with an upright sword through it: the game's emblem."""
    size = canvas.size
    gold = gradient(size, (255, 236, 160), (176, 120, 40), cy - r, cy + r)

    def ring(d, s, ss):
        d.ellipse(scale_box((cx - r, cy - r, cx + r, cy + r), ss), fill=255)
        d.ellipse(scale_box((cx - r * 0.72, cy - r * 0.72, cx + r * 0.72, cy + r * 0.72), ss), fill=0)

    def sword(d, s, ss):
        bw = r * 0.16
        d.polygon(s([(cx - bw, cy - r * 1.05), (cx + bw, cy - r * 1.05), (cx + bw, cy + r * 0.95),
                     (cx, cy + r * 1.35), (cx - bw, cy + r * 0.95)]), fill=255)
        d.rectangle(scale_box((cx - r * 0.55, cy - r * 1.12, cx + r * 0.55, cy - r * 0.96), ss), fill=255)
        d.rectangle(scale_box((cx - bw * 0.8, cy - r * 1.55, cx + bw * 0.8, cy - r * 1.1), ss), fill=255)
        d.ellipse(scale_box((cx - bw * 1.4, cy - r * 1.75, cx + bw * 1.4, cy - r * 1.47), ss), fill=255)

    outline = aa_mask(size, lambda d, s, ss: (ring(d, s, ss), sword(d, s, ss)))
    paint(canvas, (30, 12, 4), outline.filter(ImageFilter.MaxFilter(3)))
    paint(canvas, gold, outline)


def draw_frame(canvas):
    size = canvas.size
    full = aa_mask(size, body_shape)
    # soft drop shadow around the whole frame
    shadow = full.filter(ImageFilter.GaussianBlur(5)).point(lambda v: int(v * 0.75))
    paint(canvas, (12, 6, 2), shadow)
    paint(canvas, gradient(size, BRONZE_HI, BRONZE_LO, 40, 714), full)
    # bevel lines
    for inset, colour, op in [(3, (240, 206, 128), 0.9), (5, BRONZE_LO, 1.0), (11, GOLD, 0.85)]:
        m = aa_mask(size, lambda d, s, ss: inner_shape(d, s, ss, inset))
        m2 = aa_mask(size, lambda d, s, ss: inner_shape(d, s, ss, inset + (2 if inset == 3 else 1)))
        paint(canvas, colour, mask_sub(m, m2), opacity=op)
    body = aa_mask(size, lambda d, s, ss: inner_shape(d, s, ss, 13))
    paint(canvas, gradient(size, (58, 34, 20), (18, 10, 6), 60, 714), body)
    # warm light from the title area
    paint(canvas, (120, 70, 30), mask_mul(body, radial(size, (790, 140), 420, 110)))


def draw_rivets(canvas, points, r=4):
    size = canvas.size
    for x, y in points:
        m = aa_mask(size, lambda d, s, ss: d.ellipse(scale_box((x - r, y - r, x + r, y + r), ss), fill=255))
        paint(canvas, (40, 22, 8), m.filter(ImageFilter.MaxFilter(3)))
        paint(canvas, gradient(size, (255, 230, 160), (140, 92, 30), y - r, y + r), m)


def draw_panel_box(canvas, box, fill_top, fill_bottom, border=GOLD_DARK, radius=6):
    size = canvas.size
    x0, y0, x1, y1 = box
    outer = aa_mask(size, lambda d, s, ss: d.rounded_rectangle(scale_box(box, ss), radius=radius * ss, fill=255))
    inner = aa_mask(size, lambda d, s, ss: d.rounded_rectangle(
        scale_box((x0 + 2, y0 + 2, x1 - 2, y1 - 2), ss), radius=max(1, radius - 2) * ss, fill=255))
    paint(canvas, (20, 10, 4), outer.filter(ImageFilter.MaxFilter(3)))
    paint(canvas, border, outer)
    paint(canvas, gradient(size, fill_top, fill_bottom, y0, y1), inner)


def draw_diamond(canvas, cx, cy, rx, ry, c_top=(255, 236, 170), c_bottom=(170, 110, 34)):
    size = canvas.size
    pts = [(cx, cy - ry), (cx + rx, cy), (cx, cy + ry), (cx - rx, cy)]
    m = aa_mask(size, lambda d, s, ss: d.polygon(s(pts), fill=255))
    paint(canvas, (36, 18, 6), m.filter(ImageFilter.MaxFilter(3)))
    paint(canvas, gradient(size, c_top, c_bottom, cy - ry, cy + ry), m)


def draw_text(canvas, xy, text, font, fill, anchor="mm", shadow=True, outline=0):
    size = canvas.size
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, text, font=font, fill=255, anchor=anchor)
    if shadow:
        sh = m.filter(ImageFilter.MaxFilter(3)).filter(ImageFilter.GaussianBlur(1.5))
        paint(canvas, (16, 6, 0), sh)
    if outline:
        paint(canvas, (34, 16, 4), m.filter(ImageFilter.MaxFilter(2 * outline + 1)))
    paint(canvas, fill, m)


def draw_skin():
    size = (SKIN_W, SKIN_H)
    canvas = Image.new("RGBA", size, (0, 0, 0, 0))

    # glow behind the crest gem and the shield
    paint(canvas, (255, 206, 110), radial(size, (790, 34), 64, 190))
    paint(canvas, (236, 160, 70), radial(size, (330, 420), 130, 100))

    draw_wings(canvas)

    # right-hand pillar, reaching the image's right edge
    pillar = aa_mask(size, lambda d, s, ss: d.rounded_rectangle(
        scale_box((1176, 226, 1212, 616), ss), radius=10 * ss, fill=255))
    paint(canvas, (30, 16, 6), pillar.filter(ImageFilter.MaxFilter(3)))
    paint(canvas, gradient(size, (200, 150, 80), (70, 44, 18), 1176, 1208, vertical=False), pillar)
    for y in (252, 421, 590):
        band = aa_mask(size, lambda d, s, ss: d.rounded_rectangle(
            scale_box((1170, y - 9, 1212, y + 9), ss), radius=4 * ss, fill=255))
        paint(canvas, (30, 16, 6), band.filter(ImageFilter.MaxFilter(3)))
        paint(canvas, gradient(size, (250, 220, 140), (150, 100, 36), y - 9, y + 9), band)

    # bottom tab, the frame's lowest point (row 739)
    tab = [(680, 700), (900, 700), (866, 740.4), (714, 740.4)]
    mt = aa_mask(size, lambda d, s, ss: d.polygon(s(tab), fill=255))
    paint(canvas, (30, 16, 6), mt.filter(ImageFilter.MaxFilter(3)))
    paint(canvas, gradient(size, BRONZE, BRONZE_LO, 700, 740), mt)

    draw_frame(canvas)

    # crest gem and its spike reaching the top edge
    draw_diamond(canvas, 790, 26, 20, 34, c_top=(255, 240, 190), c_bottom=(196, 120, 30))
    draw_diamond(canvas, 790, 30, 9, 18, c_top=(255, 120, 90), c_bottom=(120, 10, 10))

    # title plate in the crest
    draw_panel_box(canvas, (662, 100, 918, 160), (70, 40, 20), (34, 18, 8), radius=10)
    title_font = ImageFont.truetype(SERIF_BOLD, 38)
    draw_text(canvas, (790, 131), "ORVANE", title_font,
              gradient(size, (255, 242, 190), (214, 150, 50), 112, 150), outline=1)

    # row of link buttons
    draw_panel_box(canvas, (470, 202, 1118, 250), (30, 16, 8), (48, 28, 14), radius=8)
    for (x0, _), (x1, _) in zip(LINK_BUTTONS, LINK_BUTTONS[1:]):
        draw_diamond(canvas, (x0 + LINK_W + x1) / 2.0, 226, 7, 9)

    # recess behind the minimise and close buttons
    draw_panel_box(canvas, (1100, 151, 1180, 193), (34, 18, 8), (20, 10, 4), radius=8)

    # browser frame
    draw_panel_box(canvas, (416, 285, 1164, 678), (96, 66, 30), (60, 38, 16), border=GOLD, radius=6)
    inner = aa_mask(size, lambda d, s, ss: d.rectangle(scale_box((424, 293, 1157, 671), ss), fill=255))
    paint(canvas, (14, 8, 4), inner)
    paint(canvas, gradient(size, (24, 14, 8), (6, 3, 2), 297, 667),
          aa_mask(size, lambda d, s, ss: d.rectangle(scale_box((428, 297, 1153, 667), ss), fill=255)))

    # divider lines and small ornaments
    for y in (266, 690):
        m = aa_mask(size, lambda d, s, ss: d.line(s([(470, y), (1110, y)]), fill=255, width=2 * ss))
        paint(canvas, GOLD_DARK, m)
        draw_diamond(canvas, 790, y, 10, 6)
    small = ImageFont.truetype(SERIF, 13)
    draw_text(canvas, (790, 703), "ORVANE ONLINE", small, (188, 150, 90), shadow=False)

    draw_rivets(canvas, [(404, 134), (476, 134), (1104, 134), (1176, 134),
                         (404, 700), (1176, 700), (1194, 252), (1194, 421), (1194, 590),
                         (790, 720)])

    # the shield overlaps the frame's left edge
    draw_shield(canvas, 342, 298, 160, 258)

    # rows below the frame stay empty; drop faint remnants of soft edges
    r, g, b, a = canvas.split()
    a = a.point(lambda v: 0 if v < 6 else v)
    clear = Image.new("L", size, 255)
    ImageDraw.Draw(clear).rectangle((0, 740, SKIN_W, SKIN_H), fill=0)
    a = mask_mul(a, clear)
    black = Image.new("L", size, 0)
    r = Image.composite(r, black, a)
    g = Image.composite(g, black, a)
    b = Image.composite(b, black, a)
    return Image.merge("RGBA", (r, g, b, a))


# ---------------------------------------------------------------- link buttons

FORBIDDEN_GREYS = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}


def avoid_greys(img):
    px = img.load()
    w, h = img.size
    for y in range(h):
        for x in range(w):
            if px[x, y] in FORBIDDEN_GREYS:
                r, g, b = px[x, y]
                px[x, y] = (r + 1, g, b - 1)
    return img


def draw_link_button(label, hot):
    w, h = LINK_W, LINK_H
    ss = 4
    if hot:
        top, bottom, border, text_fill, glow = (118, 72, 34), (70, 38, 16), (246, 212, 120), (255, 250, 214), (255, 180, 60)
    else:
        top, bottom, border, text_fill, glow = (74, 42, 20), (38, 20, 8), (150, 106, 46), (238, 220, 170), None
    img = gradient((w, h), top, bottom, 0, h - 1).convert("RGBA")
    # bevelled border
    frame = Image.new("L", (w * ss, h * ss), 0)
    d = ImageDraw.Draw(frame)
    d.rounded_rectangle((0, 0, w * ss - 1, h * ss - 1), radius=5 * ss, fill=255)
    d.rounded_rectangle((2 * ss, 2 * ss, (w - 2) * ss - 1, (h - 2) * ss - 1), radius=4 * ss, fill=0)
    frame = frame.reduce(ss)
    paint(img, border, frame)
    hl = Image.new("L", (w, h), 0)
    ImageDraw.Draw(hl).line((4, 3, w - 5, 3), fill=90)
    paint(img, (255, 236, 180), hl)
    font = ImageFont.truetype(CJK_FONT, 14)
    m = Image.new("L", (w, h), 0)
    ImageDraw.Draw(m).text((w / 2.0, h / 2.0), label, font=font, fill=255, anchor="mm")
    if glow:
        paint(img, glow, m.filter(ImageFilter.GaussianBlur(2)).point(lambda v: min(255, v * 2)))
    else:
        paint(img, (12, 4, 0), m.filter(ImageFilter.MaxFilter(3)), opacity=0.8)
    paint(img, text_fill, m)
    return avoid_greys(img.convert("RGB"))


LINK_BITMAPS = [
    (139, 140, "官方网站"),
    (141, 142, "游戏论坛"),
    (143, 144, "充值系统"),
    (145, 147, "在线客服"),
]


# ---------------------------------------------------------------- round buttons

def draw_round_button(w, h, symbol, hot):
    ss = 8
    W, H = w * ss, h * ss
    cx, cy = W / 2.0, H / 2.0
    r = min(w, h) / 2.0 * ss - ss * 0.5
    size = (W, H)
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    rim = (230, 184, 70) if hot else (52, 14, 8)
    body_hi, body_lo = ((255, 110, 80), (196, 20, 10)) if hot else ((222, 62, 40), (120, 8, 4))
    sym = (255, 246, 120) if hot else (250, 214, 60)

    def disc(rr):
        m = Image.new("L", size, 0)
        ImageDraw.Draw(m).ellipse((cx - rr, cy - rr, cx + rr, cy + rr), fill=255)
        return m

    paint(img, rim, disc(r))
    if hot:
        paint(img, (120, 70, 10), mask_sub(disc(r - 1.6 * ss), disc(r - 2.4 * ss)))
    inner_r = r - 2.6 * ss
    paint(img, gradient(size, body_hi, body_lo, cy - inner_r, cy + inner_r), disc(inner_r))
    # gloss
    gloss = Image.new("L", size, 0)
    ImageDraw.Draw(gloss).ellipse((cx - inner_r * 0.7, cy - inner_r * 0.92,
                                   cx + inner_r * 0.7, cy - inner_r * 0.05), fill=255)
    paint(img, (255, 220, 200), mask_mul(gloss, ramp(size, cy + inner_r * 0.1, cy - inner_r)), opacity=0.45)
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    arm = inner_r * 0.5
    thick = int(3.2 * ss)
    if symbol == "cross":
        d.line((cx - arm, cy - arm, cx + arm, cy + arm), fill=255, width=thick)
        d.line((cx - arm, cy + arm, cx + arm, cy - arm), fill=255, width=thick)
    else:
        d.rectangle((cx - arm * 1.1, cy - thick / 2.0, cx + arm * 1.1, cy + thick / 2.0), fill=255)
    paint(img, (70, 10, 0), m.filter(ImageFilter.MaxFilter(9)), opacity=0.7)
    paint(img, sym, m)
    small = img.reduce(ss)
    # keep straight alpha exact: nothing visible outside the circle
    return small


ROUND_BUTTONS = [
    (138, 31, 30, "cross", False),
    (137, 31, 30, "cross", True),
    (159, 31, 31, "bar", False),
    (160, 31, 31, "bar", True),
]


# ---------------------------------------------------------------- icon

def draw_icon_master(n=256):
    size = (n, n)
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    k = n / 256.0
    draw_shield(img, 128 * k, 14 * k, 200 * k, 232 * k)
    return img


def icon_entry(master, n, bpp):
    img = master.resize((n, n), Image.LANCZOS)
    alpha = img.getchannel("A")
    opaque = alpha.point(lambda v: 255 if v >= 128 else 0)
    w = h = n
    rows = []
    if bpp == 32:
        px = img.load()
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b, a = px[x, y]
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        palette = b""
    else:
        rgb = Image.composite(img.convert("RGB"), solid((w, h), (0, 0, 0)), opaque)
        if bpp == 24:
            px = rgb.load()
            for y in range(h - 1, -1, -1):
                row = bytearray()
                for x in range(w):
                    r, g, b = px[x, y]
                    row += bytes((b, g, r))
                row += b"\0" * ((4 - len(row) % 4) % 4)
                rows.append(bytes(row))
            palette = b""
        else:
            q = rgb.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
            pal = q.getpalette()[:768]
            pal += [0] * (768 - len(pal))
            palette = b"".join(bytes((pal[i + 2], pal[i + 1], pal[i], 0)) for i in range(0, 768, 3))
            px = q.load()
            for y in range(h - 1, -1, -1):
                row = bytes(px[x, y] for x in range(w))
                row += b"\0" * ((4 - len(row) % 4) % 4)
                rows.append(row)
    # AND mask: 1 bit per pixel, set where transparent, rows padded to 32 bits
    mpx = opaque.load()
    mask_rows = []
    for y in range(h - 1, -1, -1):
        bits = bytearray((w + 31) // 32 * 4)
        for x in range(w):
            if mpx[x, y] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(bits))
    image_size = sum(len(r) for r in rows) + sum(len(r) for r in mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, image_size, 0, 0, 0, 0)
    return header + palette + b"".join(rows) + b"".join(mask_rows)


ICON_ENTRIES = [(48, 32), (48, 24), (48, 8), (32, 24), (32, 8), (16, 24), (16, 8)]


def write_ico(path, master):
    blobs = [(n, bpp, icon_entry(master, n, bpp)) for n, bpp in ICON_ENTRIES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for n, bpp, data in blobs:
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in blobs:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------- dialog-init data

BUTTON_PROPS_1 = (
    "<MFCButton_Style>6</MFCButton_Style>"
    "<MFCButton_Autosize>FALSE</MFCButton_Autosize>"
    "<MFCButton_Tooltip></MFCButton_Tooltip>"
    "<MFCButton_FullTextTool>FALSE</MFCButton_FullTextTool>"
    "<MFCButton_CursorType>12</MFCButton_CursorType>"
    "<MFCButton_ImageType>10</MFCButton_ImageType>"
    "<MFCButton_ImageOnTop>FALSE</MFCButton_ImageOnTop>"
    "<MFCButton_ImageOnRight>FALSE</MFCButton_ImageOnRight>"
).encode("utf-8")
BUTTON_PROPS_2 = BUTTON_PROPS_1.replace(b"<MFCButton_ImageType>10</MFCButton_ImageType>",
                                        b"<MFCButton_ImageType>8</MFCButton_ImageType>")
BUTTON_PROPS_3 = BUTTON_PROPS_2.replace(b"<MFCButton_FullTextTool>FALSE</MFCButton_FullTextTool>",
                                        b"<MFCButton_FullTextTool>TRUE</MFCButton_FullTextTool>")

WM_OCC_LOADFROMSTREAM = 0x0376
WM_MFC_INITCTRL = 0x037C


def browser_state():
    """Persisted state of a freshly placed WebBrowser control: licence-key length 0,
    then a 156-byte stream holding the design-time extent (HIMETRIC) and no location."""
    cx, cy = 1482, 873      # 56 x 33 pixels at 96 dpi
    clsid_shell_view = bytes.fromhex("e0d05700" "7335" "cf11" "ae69" "08002b2e1262")
    stream = struct.pack("<III", 0x4C, cx, cy)
    stream += b"\0" * 16
    stream += struct.pack("<I", 0x4C)         # size of the view settings block
    stream += struct.pack("<II", 0, 1)        # reserved, view mode
    stream += clsid_shell_view
    stream += struct.pack("<II", 8, 0)        # folder flags, reserved
    stream += struct.pack("<IIII", 0, 0, 0, 0)  # silent, offline, theatre, bars off
    stream += struct.pack("<I", 0)            # location: empty (zero-length string)
    stream += b"\0" * (156 - len(stream))
    assert len(stream) == 156
    return struct.pack("<I", 0) + stream


def dlginit_103():
    records = [
        (1005, WM_OCC_LOADFROMSTREAM, browser_state()),
        (1006, WM_MFC_INITCTRL, BUTTON_PROPS_1),
        (1004, WM_MFC_INITCTRL, BUTTON_PROPS_1),
        (1008, WM_MFC_INITCTRL, BUTTON_PROPS_2),
        (1009, WM_MFC_INITCTRL, BUTTON_PROPS_1),
        (1010, WM_MFC_INITCTRL, BUTTON_PROPS_1),
        (1012, WM_MFC_INITCTRL, BUTTON_PROPS_3),
    ]
    out = bytearray()
    for ctrl, msg, data in records:
        out += struct.pack("<HHI", ctrl, msg, len(data)) + data
    out += struct.pack("<H", 0)
    return bytes(out)


# ---------------------------------------------------------------- main

def save_png(img, path):
    img.save(path, format="PNG", optimize=False, compress_level=9)


def main():
    os.makedirs(OUT, exist_ok=True)
    assert (len(BUTTON_PROPS_1), len(BUTTON_PROPS_2), len(BUTTON_PROPS_3)) == (371, 370, 369)

    save_png(draw_skin(), os.path.join(OUT, "login_skin.png"))

    for normal, hot, label in LINK_BITMAPS:
        draw_link_button(label, False).save(os.path.join(OUT, "btn_%d.bmp" % normal), format="BMP")
        draw_link_button(label, True).save(os.path.join(OUT, "btn_%d.bmp" % hot), format="BMP")

    for rid, w, h, symbol, hot in ROUND_BUTTONS:
        save_png(draw_round_button(w, h, symbol, hot), os.path.join(OUT, "btn_%d.png" % rid))

    write_ico(os.path.join(OUT, "orvane.ico"), draw_icon_master())

    data = dlginit_103()
    assert len(data) == 2441, len(data)
    with open(os.path.join(OUT, "dlginit_103.bin"), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
