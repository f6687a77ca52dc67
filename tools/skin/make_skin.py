#!/usr/bin/env python3
"""Draws the chat window's skin bitmaps and the program icon, for every
display scale the program draws itself at.

Every picture is computed from a few shapes (rounded rectangles, bars, line
segments), anti-aliased by 4 x 4 supersampling, so the output is the same
byte for byte on every run: no fonts, no image library, no timestamps.
Drawing by hand in a paint program was the alternative; it cannot be
reviewed or regenerated when a size, a colour or a scale changes. Scaling
the 96-DPI pictures up was the other one; it blurs every edge.

Where the pieces sit in the window decides what their edge pixels must be:
the static pieces are opaque and must match the lavender strips and the
chat view's purple outline painted around them; the title buttons treat pure
white as transparent, so white appears only in their cut-off corners; the
Send button treats pure black as transparent, and since it sits in the white
input well it carries no black at all.

The window scales the edges of its layout, not the sizes: a piece from x to
x + w at 96 DPI covers Edge(x) to Edge(x + w) at another DPI (the 96-DPI
figure times DPI / 96, rounded half away from zero), and lines one pixel wide
become Line(1) = max(1, Edge(1)) pixels. Each picture is drawn exactly as
large as the rectangle it fills at that scale, from the table PIECES below.

Usage: make_skin.py [OUTPUT_RES_DIR]   (default: res/ beside tools/)
Writes OUTPUT_RES_DIR/skin/*.bmp (96 DPI), OUTPUT_RES_DIR/skin/PERCENT/*.png
(the other scales), OUTPUT_RES_DIR/skin/scaled_skin.rc (their resource
lines) and OUTPUT_RES_DIR/WobbleMiniChat.ico.
"""

import math
import os
import struct
import sys
import zlib

# Colours of the window.
LAVENDER = (231, 219, 239)
PURPLE = (90, 44, 107)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# Colours of the skin's own.
TITLE_TOP = (142, 96, 162)
TITLE_BOTTOM = (98, 52, 116)
TITLE_HIGHLIGHT = (170, 132, 188)
TITLE_SHADOW = (72, 33, 86)
PANEL_TOP = (250, 247, 252)
PANEL_BOTTOM = (221, 206, 233)
WELL_EDGE = (178, 150, 198)
BUTTON_FACE_TOP = (250, 246, 252)
BUTTON_FACE_BOTTOM = (214, 196, 228)
BUTTON_EDGE = (184, 156, 204)
SEND_TOP = (150, 102, 172)
SEND_BOTTOM = (92, 46, 110)
SEND_EDGE = (70, 31, 84)
SEND_TEXT = (252, 249, 253)

SUBSAMPLES = 4
PANEL_RADIUS = 5.0

# The display scales a set is drawn for, as DPI: 100, 125, 150, 175, 200,
# 250 and 300 %. The first is the 96-DPI set of BITMAP resources; set i of
# the others is stored as PNG (RCDATA) under the 96-DPI id + 1000 * i
# (res/resource.h, IDB_SKIN_SET).
SCALES = (96, 120, 144, 168, 192, 240, 288)
BASE_DPI = 96
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
# Icon images at least this large are stored PNG-compressed, as Windows
# expects of the 256-pixel one.
ICON_PNG_FROM = 256


class Scale:
    """The window's scale arithmetic (framework/DpiScale.h) at one DPI."""

    def __init__(self, dpi):
        self.dpi = dpi
        self.factor = dpi / BASE_DPI

    def edge(self, value):
        """A 96-DPI position at this DPI, rounded half away from zero."""
        scaled = value * self.dpi
        if scaled >= 0:
            return (scaled + BASE_DPI // 2) // BASE_DPI
        return -((-scaled + BASE_DPI // 2) // BASE_DPI)

    def line(self, width):
        """The width of a line, never less than one pixel."""
        return max(1, self.edge(width))

    def length(self, value):
        """A 96-DPI length inside a picture, unrounded, for shapes."""
        return value * self.factor

    def span(self, first, last):
        """Pixels between two 96-DPI edges."""
        return self.edge(last) - self.edge(first)

    def percent(self):
        return self.dpi * 100 // BASE_DPI


# Where each picture lies in the window at 96 DPI, as the layout of the chat
# window places it: its left and right edges, then its top and bottom ones.
# Positions measured from the right or bottom of the client area are
# negative, as the layout gives them for a client area of 0 x 0; Edge is
# symmetric about zero, so they scale as distances from that edge. A band
# (one column widened across the window) has None across, and its 96-DPI
# width instead; only its height is fixed by the layout. The minimise image
# is 10 wide in its 11-wide button, at the button's left.
PIECES = {
    # file: (resource name (res/resource.h), (left, right) or band width, (top, bottom))
    'title_band': ('IDB_TITLE_BAND', 24, (-1, 19)),
    'close': ('IDB_CLOSE', (-15, -4), (2, 15)),
    'maximize': ('IDB_MAXIMIZE', (-28, -16), (2, 15)),
    'minimize': ('IDB_MINIMIZE', (-40, -30), (2, 15)),
    'lower_left': ('IDB_LOWER_LEFT', (9, 21), (-111, -10)),
    'lower_right': ('IDB_LOWER_RIGHT', (-21, -9), (-111, -10)),
    'lower_panel_top': ('IDB_LOWER_PANEL_TOP', 9, (-111, -85)),
    'lower_panel_bottom': ('IDB_LOWER_PANEL_BOTTOM', 8, (-32, -10)),
    'upper_left': ('IDB_UPPER_LEFT', (9, 15), (35, 74)),
    'upper_right': ('IDB_UPPER_RIGHT', (-15, -9), (35, 74)),
    'upper_middle': ('IDB_UPPER_MIDDLE', 7, (35, 74)),
    'send': ('IDB_SEND', (-102, -21), (-81, -37)),
    'restore': ('IDB_RESTORE', (-28, -16), (2, 15)),
}

# Edges of the window that the pieces meet: the chat view starts at x = 10
# and y = 75, and its outline lies one line outside it; the input box starts
# at x = 20 and spans y = H - 85 to H - 32.
VIEW_LEFT = 10
VIEW_TOP = 75
INPUT_LEFT = 20
INPUT_TOP = -85
INPUT_BOTTOM = -32


def piece_size(scale, name):
    _, across, (top, bottom) = PIECES[name]
    width = scale.edge(across) if isinstance(across, int) else scale.span(*across)
    return width, scale.span(top, bottom)


def mix(a, b, t):
    """Colour a moved toward b by the fraction t (0..1), rounded."""
    return tuple(int(round(ca + (cb - ca) * t)) for ca, cb in zip(a, b))


def vertical_ramp(top, bottom, rows):
    """Colour function over rows 0..rows-1 from top to bottom."""
    span = max(rows - 1, 1)
    return lambda x, y: mix(top, bottom, min(max(y / span, 0.0), 1.0))


class Canvas:
    """An RGB picture, row 0 at the top."""

    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.rows = [[colour] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def put(self, x, y, colour):
        self.rows[y][x] = colour

    def fill(self, colour_at, x0=0, y0=0, x1=None, y1=None):
        """Sets every pixel of the box [x0, x1) x [y0, y1) to colour_at(x, y)."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                self.rows[y][x] = colour_at(x, y)

    def paint(self, inside, colour_at, hard_edge=False):
        """Blends colour_at(x, y) over each pixel by the share of its
        subsamples for which inside(px, py) holds. With hard_edge a pixel is
        either taken whole (half covered or more) or left alone, for pictures
        whose edges meet a transparent colour that must stay exact."""
        for y in range(self.height):
            for x in range(self.width):
                share = coverage(inside, x, y)
                if hard_edge:
                    share = 1.0 if share >= 0.5 else 0.0
                if share > 0.0:
                    self.rows[y][x] = mix(self.rows[y][x], colour_at(x, y), share)

    def column_repeated(self):
        """True when every column equals the first (a band piece)."""
        return all(len(set(row)) == 1 for row in self.rows)

    def colours(self):
        return {pixel for row in self.rows for pixel in row}


def coverage(inside, x, y):
    step = 1.0 / SUBSAMPLES
    hits = 0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                hits += 1
    return hits / (SUBSAMPLES * SUBSAMPLES)


# Shapes: predicates over continuous coordinates, pixel (x, y) covering
# [x, x+1) x [y, y+1).

def rounded_rect(left, top, right, bottom, radius):
    def inside(px, py):
        if not (left <= px < right and top <= py < bottom):
            return False
        cx = min(max(px, left + radius), right - radius)
        cy = min(max(py, top + radius), bottom - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
    return inside


def ring(outer, inner):
    return lambda px, py: outer(px, py) and not inner(px, py)


def box(left, top, right, bottom):
    return lambda px, py: left <= px < right and top <= py < bottom


def segment(x0, y0, x1, y1, thickness):
    dx, dy = x1 - x0, y1 - y0
    length_sq = dx * dx + dy * dy
    half = thickness / 2.0

    def inside(px, py):
        t = ((px - x0) * dx + (py - y0) * dy) / length_sq
        t = min(max(t, 0.0), 1.0)
        return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= half
    return inside


def disc(cx, cy, radius):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2


def polygon(points):
    def inside(px, py):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > py) != (by > py):
                if px < ax + (py - ay) * (bx - ax) / (by - ay):
                    hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda px, py: any(shape(px, py) for shape in shapes)


def solid(colour):
    return lambda x, y: colour


def mirrored(canvas):
    flipped = Canvas(canvas.width, canvas.height, BLACK)
    for y in range(canvas.height):
        flipped.rows[y] = list(reversed(canvas.rows[y]))
    return flipped


def outline_column(scale, piece_left):
    """Where the chat view's outline (one line wide, just left of the view)
    begins, counted from a piece's left edge; negative when the outline
    starts in the lavender strip beside the piece."""
    return scale.span(piece_left, VIEW_LEFT) - scale.line(1)


# Title band (154): placed one row above the client area, so its first
# rows are never seen; a highlight line at the top, a dark rule against the
# lavender below.

def title_band(scale, width, height):
    rule = scale.line(1)
    ramp_top = scale.edge(1) + rule
    canvas = Canvas(width, height, TITLE_BOTTOM)
    canvas.fill(vertical_ramp(TITLE_TOP, TITLE_BOTTOM, height - rule - ramp_top), y0=ramp_top, y1=height - rule)
    canvas.fill(solid(TITLE_HIGHLIGHT), y0=0, y1=ramp_top)
    canvas.fill(solid(TITLE_SHADOW), y0=height - rule)
    return canvas


# Title buttons (155, 156, 157, 167): a light rounded key with a purple
# glyph. Pure white marks the cut-off corners, which show the title band.

def title_button(glyph):
    def draw(scale, width, height):
        canvas = Canvas(width, height, WHITE)
        face = vertical_ramp(BUTTON_FACE_TOP, BUTTON_FACE_BOTTOM, height)
        rim = scale.line(1)
        radius = scale.length(2.5)
        canvas.paint(rounded_rect(0, 0, width, height, radius), solid(BUTTON_EDGE), hard_edge=True)
        canvas.paint(rounded_rect(rim, rim, width - rim, height - rim, radius - rim), face, hard_edge=True)
        glyph(scale, canvas, face)
        return canvas
    return draw


def close_glyph(scale, canvas, face):
    cx = canvas.width / 2.0
    arm, top, bottom, stroke = scale.length(2.6), scale.length(4.0), scale.length(9.2), scale.length(1.5)
    cross = union(segment(cx - arm, top, cx + arm, bottom, stroke),
                  segment(cx + arm, top, cx - arm, bottom, stroke))
    canvas.paint(cross, solid(PURPLE))


def window_outline(scale, left, top, right, bottom):
    """A window glyph: sides one line wide and a caption bar two lines."""
    e, side, bar = scale.edge, scale.line(1), scale.line(2)
    return ring(box(e(left), e(top), e(right), e(bottom)),
                box(e(left) + side, e(top) + bar, e(right) - side, e(bottom) - side))


def maximize_glyph(scale, canvas, face):
    canvas.paint(window_outline(scale, 3, 3, 9, 10), solid(PURPLE))


def restore_glyph(scale, canvas, face):
    e = scale.edge
    canvas.paint(window_outline(scale, 5, 2, 10, 7), solid(PURPLE))
    canvas.paint(box(e(2), e(5), e(7), e(11)), face)
    canvas.paint(window_outline(scale, 2, 5, 7, 11), solid(PURPLE))


def minimize_glyph(scale, canvas, face):
    canvas.paint(box(scale.length(2.5), scale.edge(8), scale.length(7.5), scale.edge(10)), solid(PURPLE))


# Upper band (163, 165, 164): a header capping the chat view, with a purple
# rim on top and at the sides that the view's outline continues.

def upper_band_outline_row(scale, height):
    """The first row of a header piece that the view's outline covers (it
    reaches into the header's last row at some scales), or the height."""
    return min(scale.span(35, VIEW_TOP) - scale.line(1), height)


def header_piece(rim_at):
    """rim_at: 'left', 'right' or None (middle piece)."""
    def draw(scale, width, height):
        canvas = Canvas(width, height, LAVENDER)
        fill = vertical_ramp(PANEL_TOP, PANEL_BOTTOM, height)
        rim = scale.line(1)
        if rim_at is None:
            canvas.fill(fill)
            canvas.fill(solid(PURPLE), y1=rim)
            outline_from = 0
        else:
            # Draw the corner as if the header were wider, so the shape is
            # the same whichever end it is; mirror for the right end.
            outline_from = outline_column(scale, 9)
            span = width + scale.edge(10)
            radius = scale.length(PANEL_RADIUS)
            bottom = height + scale.edge(10)
            outer = rounded_rect(outline_from, 0, outline_from + span, bottom, radius)
            inner = rounded_rect(outline_from + rim, rim, outline_from + span - rim, bottom, radius - rim)
            canvas.paint(outer, solid(PURPLE))
            canvas.paint(inner, fill)
        canvas.fill(solid(PURPLE), x0=outline_from, y0=upper_band_outline_row(scale, height))
        return mirrored(canvas) if rim_at == 'right' else canvas
    return draw


# Lower panel (158, 159, 160, 161): a rounded frame around the white input
# well. The bands 160 and 161 are its rows above and below the well, one
# column wide; the side pieces hold the rounded ends and the well's rim.

def well_rows(scale):
    """The input box's first and end rows, counted from the panel's top."""
    return scale.span(-111, INPUT_TOP), scale.span(-111, INPUT_BOTTOM)


def panel_fill(height):
    return vertical_ramp(PANEL_TOP, PANEL_BOTTOM, height)


def panel_column(scale):
    """The colours of one column of the panel between its side pieces."""
    height = scale.span(-111, -10)
    rim = scale.line(1)
    top, bottom = well_rows(scale)
    fill = panel_fill(height)
    column = [fill(0, y) for y in range(height)]
    column[:rim] = [PURPLE] * rim
    column[height - rim:] = [PURPLE] * rim
    column[top - rim:top] = [WELL_EDGE] * rim
    column[bottom:bottom + rim] = [WELL_EDGE] * rim
    column[top:bottom] = [WHITE] * (bottom - top)
    return column


def panel_band(first_row_at):
    """first_row_at(scale): the band's first row within the panel."""
    def draw(scale, width, height):
        column = panel_column(scale)
        first_row = first_row_at(scale)
        canvas = Canvas(width, height, BLACK)
        canvas.fill(lambda x, y: column[first_row + y])
        return canvas
    return draw


def panel_side(rim_at):
    """The left side piece; the right one is its mirror image."""
    def draw(scale, width, height):
        canvas = Canvas(width, height, LAVENDER)
        rim = scale.line(1)
        left = outline_column(scale, 9)
        span = width + scale.edge(10)
        radius = scale.length(PANEL_RADIUS)
        outer = rounded_rect(left, 0, left + span, height, radius)
        inner = rounded_rect(left + rim, rim, left + span - rim, height - rim, radius - rim)
        canvas.paint(outer, solid(PURPLE))
        canvas.paint(inner, panel_fill(height))
        # The well's rim, one line outside the input box, which starts in
        # the piece's last columns.
        well_left = scale.span(9, INPUT_LEFT)
        top, bottom = well_rows(scale)
        canvas.fill(solid(WELL_EDGE), x0=well_left - rim, y0=top - rim, y1=bottom + rim)
        canvas.fill(solid(WELL_EDGE), x0=well_left, y0=top - rim, y1=top)
        canvas.fill(solid(WELL_EDGE), x0=well_left, y0=bottom, y1=bottom + rim)
        canvas.fill(solid(WHITE), x0=well_left, y0=top, y1=bottom)
        return mirrored(canvas) if rim_at == 'right' else canvas
    return draw


# Send button (166): a purple pill lettered "보내기" in strokes, on the white
# of the input well. Its transparent colour is black, so it holds none.

# Each syllable as bars (x0, y0, x1, y1) in a unit box; a bar with equal
# ends in one axis is a stroke along the other.
SEND_SYLLABLES = [
    [  # 보: ㅂ above ㅗ
        (0.18, 0.02, 0.18, 0.48), (0.82, 0.02, 0.82, 0.48),
        (0.18, 0.24, 0.82, 0.24), (0.18, 0.48, 0.82, 0.48),
        (0.50, 0.58, 0.50, 0.84), (0.00, 0.84, 1.00, 0.84),
    ],
    [  # 내: ㄴ beside ㅐ
        (0.06, 0.14, 0.06, 0.80), (0.06, 0.80, 0.46, 0.80),
        (0.66, 0.00, 0.66, 1.00), (0.94, 0.00, 0.94, 1.00),
        (0.66, 0.46, 0.94, 0.46),
    ],
    [  # 기: ㄱ beside ㅣ
        (0.04, 0.16, 0.54, 0.16), (0.54, 0.16, 0.54, 0.84),
        (0.88, 0.00, 0.88, 1.00),
    ],
]


def lettering(left, top, cell_width, cell_height, gap, stroke):
    """Strokes on pixel edges, so the letters stay crisp: an odd stroke is
    centred on a pixel's middle, an even one on a pixel boundary."""
    centre = (stroke % 2) / 2.0
    bars = []
    for index, syllable in enumerate(SEND_SYLLABLES):
        x = left + index * (cell_width + gap)
        for (x0, y0, x1, y1) in syllable:
            bars.append(segment(round(x + x0 * cell_width) + centre, round(top + y0 * cell_height) + centre,
                                round(x + x1 * cell_width) + centre, round(top + y1 * cell_height) + centre,
                                stroke))
    return union(*bars)


def send_button(scale, width, height):
    canvas = Canvas(width, height, WHITE)
    rim = scale.line(1)
    inset_x, inset_y = scale.edge(2), scale.edge(3)
    radius = scale.length(9)
    canvas.paint(rounded_rect(inset_x, inset_y, width - inset_x, height - inset_y, radius), solid(SEND_EDGE))
    canvas.paint(rounded_rect(inset_x + rim, inset_y + rim, width - inset_x - rim, height - inset_y - rim,
                              radius - rim),
                 vertical_ramp(SEND_TOP, SEND_BOTTOM, height))
    cell_width, cell_height, gap = scale.edge(12), scale.edge(14), scale.edge(5)
    text_width = 3 * cell_width + 2 * gap
    left = (width - text_width) // 2
    top = (height - cell_height) // 2
    canvas.paint(lettering(left, top, cell_width, cell_height, gap, float(scale.line(2))), solid(SEND_TEXT))
    return canvas


# The program icon: a purple speech bubble with three lavender dots, drawn
# on a 32-unit grid and scaled to each size. Alpha is the shape's coverage.

def icon_image(size):
    scale = size / 32.0
    bubble = union(
        rounded_rect(1.5 * scale, 3 * scale, 30.5 * scale, 23 * scale, 6 * scale),
        polygon([(7 * scale, 21 * scale), (14 * scale, 21 * scale),
                 (5 * scale, 29.5 * scale)]))
    rim = vertical_ramp(SEND_TOP, SEND_EDGE, size)
    body = vertical_ramp(TITLE_HIGHLIGHT, PURPLE, size)
    inner = union(
        rounded_rect(2.8 * scale, 4.3 * scale, 29.2 * scale, 21.7 * scale, 4.8 * scale),
        polygon([(8.5 * scale, 21 * scale), (12.5 * scale, 21 * scale),
                 (7.4 * scale, 26.4 * scale)]))
    dots = union(*(disc(cx * scale, 13 * scale, 2.4 * scale) for cx in (9.5, 16, 22.5)))
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            alpha = coverage(bubble, x, y)
            colour = mix(rim(x, y), body(x, y), coverage(inner, x, y))
            colour = mix(colour, LAVENDER, coverage(dots, x, y))
            row.append(colour + (int(round(alpha * 255)),))
        pixels.append(row)
    return pixels


# File formats.

def bmp_bytes(canvas):
    """A 24-bit bottom-up Windows bitmap file, rows padded to 4 bytes."""
    stride = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header_size = 14 + 40
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 24,
                              0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def png_filtered_row(kind, row, previous, bpp):
    """One scanline under PNG filter `kind` (0 None .. 4 Paeth)."""
    out = bytearray(len(row))
    for i, value in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = previous[i]
        corner = previous[i - bpp] if i >= bpp else 0
        if kind == 0:
            predicted = 0
        elif kind == 1:
            predicted = left
        elif kind == 2:
            predicted = up
        elif kind == 3:
            predicted = (left + up) // 2
        else:
            estimate = left + up - corner
            pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - corner)
            predicted = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
        out[i] = (value - predicted) & 0xFF
    return out


def png_bytes(rows, channels):
    """A PNG of 8-bit RGB (channels 3) or RGBA (4) rows of tuples. Each row
    takes the filter whose output has the smallest sum of magnitudes, the
    usual heuristic; deflate at its best level."""
    height, width = len(rows), len(rows[0])
    previous = bytearray(width * channels)
    raw = bytearray()
    for row in rows:
        line = bytearray(channel for pixel in row for channel in pixel[:channels])
        candidates = [png_filtered_row(kind, line, previous, channels) for kind in range(5)]
        cost = [sum(v if v < 128 else 256 - v for v in candidate) for candidate in candidates]
        kind = cost.index(min(cost))
        raw += bytes((kind,)) + candidates[kind]
        previous = line

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    colour_type = 2 if channels == 3 else 6
    header = struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def icon_entry_bytes(pixels):
    """One 32-bit image of an icon file: header, colour rows, AND mask; from
    ICON_PNG_FROM pixels up, a PNG instead."""
    size = len(pixels)
    if size >= ICON_PNG_FROM:
        return png_bytes(pixels, 4)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32,
                         0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_bytes(images):
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    bodies = b''
    for pixels in images:
        body = icon_entry_bytes(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                               len(body), offset + len(bodies))
        bodies += body
    return directory + entries + bodies


# The set of skin pictures, by file name, with how each is drawn and the
# check that keeps it usable where it is placed.

DRAWINGS = {
    'title_band': (title_band, 'band'),
    'close': (title_button(close_glyph), 'white-keyed'),
    'maximize': (title_button(maximize_glyph), 'white-keyed'),
    'minimize': (title_button(minimize_glyph), 'white-keyed'),
    'restore': (title_button(restore_glyph), 'white-keyed'),
    'lower_left': (panel_side('left'), None),
    'lower_right': (panel_side('right'), None),
    'lower_panel_top': (panel_band(lambda scale: 0), 'band'),
    'lower_panel_bottom': (panel_band(lambda scale: well_rows(scale)[1]), 'band'),
    'upper_left': (header_piece('left'), None),
    'upper_right': (header_piece('right'), None),
    'upper_middle': (header_piece(None), 'band'),
    'send': (send_button, 'black-keyed'),
}


def skin(scale):
    """Every picture of the set for `scale`, by name, with its rule."""
    pictures = {}
    for name, (draw, rule) in DRAWINGS.items():
        width, height = piece_size(scale, name)
        pictures[name] = (draw(scale, width, height), rule)
    return pictures


def in_cut_corner(scale, canvas, x, y):
    """Whether (x, y) lies in a title button's rounded-off corner, where its
    white may show: the triangle whose legs are 2 pixels at 96 DPI."""
    return min(x, canvas.width - 1 - x) + min(y, canvas.height - 1 - y) < scale.edge(2)


def check(scale, name, canvas, rule):
    where = f'{name} at {scale.percent()} %'
    if (canvas.width, canvas.height) != piece_size(scale, name):
        sys.exit(f'{where}: drawn {canvas.width} x {canvas.height}, not the size of its place')
    if rule == 'band' and not canvas.column_repeated():
        sys.exit(f'{where}: columns differ, but the piece is widened from one column')
    if rule == 'white-keyed':
        for x, y in ((0, 0), (canvas.width - 1, 0), (0, canvas.height - 1), (canvas.width - 1, canvas.height - 1)):
            if canvas.get(x, y) != WHITE:
                sys.exit(f'{where}: the corners must be transparent white')
        for y in range(canvas.height):
            for x in range(canvas.width):
                if canvas.get(x, y) == WHITE and not in_cut_corner(scale, canvas, x, y):
                    sys.exit(f'{where}: white at {x},{y} would show the band through the key')
    if rule == 'black-keyed' and BLACK in canvas.colours():
        sys.exit(f'{where}: black would show the button face through')


def check_seams(scale, pictures):
    """Pieces laid side by side must agree where they meet."""
    def column(name, x):
        canvas = pictures[name][0]
        return [row[x if x >= 0 else canvas.width + x] for row in canvas.rows]
    where = f'at {scale.percent()} %'
    middle = column('upper_middle', 0)
    if column('upper_left', -1) != middle or column('upper_right', 0) != middle:
        sys.exit(f'{where}: the upper band\'s ends do not meet its middle')
    top, bottom = column('lower_panel_top', 0), column('lower_panel_bottom', 0)
    for side, x in (('lower_left', -1), ('lower_right', 0)):
        rows = column(side, x)
        if rows[:len(top)] != top or rows[len(rows) - len(bottom):] != bottom:
            sys.exit(f'{where}: the lower panel\'s bands do not meet {side}')


def rc_lines(scale_index, scale):
    lines = []
    for name, (resource, _, _) in PIECES.items():
        lines.append(f'IDB_SKIN_SET({resource}, {scale_index}) RCDATA "skin/{scale.percent()}/{name}.png"\n')
    return lines


def write(path, data):
    with open(path, 'wb') as out:
        out.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'res')
    skin_dir = os.path.join(res_dir, 'skin')
    os.makedirs(skin_dir, exist_ok=True)
    rc = ['// The skin drawn for the display scales above 100 %, as PNG images;\n',
          '// written by tools/skin/make_skin.py.\n']
    for index, dpi in enumerate(SCALES):
        scale = Scale(dpi)
        pictures = skin(scale)
        for name, (canvas, rule) in pictures.items():
            check(scale, name, canvas, rule)
        check_seams(scale, pictures)
        if dpi == BASE_DPI:
            for name, (canvas, _) in pictures.items():
                write(os.path.join(skin_dir, name + '.bmp'), bmp_bytes(canvas))
            continue
        set_dir = os.path.join(skin_dir, str(scale.percent()))
        os.makedirs(set_dir, exist_ok=True)
        for name, (canvas, _) in pictures.items():
            write(os.path.join(set_dir, name + '.png'), png_bytes(canvas.rows, 3))
        rc += rc_lines(index, scale)
    write(os.path.join(skin_dir, 'scaled_skin.rc'), ''.join(rc).encode('ascii'))
    write(os.path.join(res_dir, 'WobbleMiniChat.ico'), ico_bytes([icon_image(size) for size in ICON_SIZES]))


if __name__ == '__main__':
    main()
