#!/usr/bin/env python3
"""Draws the chat window's skin bitmaps and the program icon.

Every picture is computed from a few shapes (rounded rectangles, bars, line
segments), anti-aliased by 4 x 4 supersampling, so the output is the same
byte for byte on every run and every machine: no fonts, no image library,
no timestamps. Drawing by hand in a paint program was the alternative; it
cannot be reviewed or regenerated when a size or a colour changes.

Where the pieces sit in the window decides what their edge pixels must be:
the static pieces are opaque and must match the lavender strips painted
around them; the title buttons treat pure white as transparent, so white
appears only in their cut-off corners; the Send button treats pure black
as transparent, and since it sits in the white input well it carries no
black at all.

Usage: make_skin.py [OUTPUT_RES_DIR]   (default: res/ beside tools/)
Writes OUTPUT_RES_DIR/skin/*.bmp and OUTPUT_RES_DIR/WobbleMiniChat.ico.
"""

import math
import os
import struct
import sys

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


# Title band (154): 20 rows, placed one row above the client area, so row 0
# is never seen; the last row is a dark rule against the lavender below.

def title_band():
    canvas = Canvas(24, 20, TITLE_BOTTOM)
    canvas.fill(vertical_ramp(TITLE_TOP, TITLE_BOTTOM, 17), y0=2, y1=19)
    canvas.fill(solid(TITLE_HIGHLIGHT), y0=0, y1=2)
    canvas.fill(solid(TITLE_SHADOW), y0=19)
    return canvas


# Title buttons (155, 156, 157, 167): a light rounded key with a purple
# glyph. Pure white marks the cut-off corners, which show the title band.

def title_button(width, glyph):
    canvas = Canvas(width, 13, WHITE)
    face = vertical_ramp(BUTTON_FACE_TOP, BUTTON_FACE_BOTTOM, 13)
    outline = rounded_rect(0, 0, width, 13, 2.5)
    canvas.paint(outline, solid(BUTTON_EDGE), hard_edge=True)
    canvas.paint(rounded_rect(1, 1, width - 1, 12, 1.5), face, hard_edge=True)
    glyph(canvas, face)
    return canvas


def close_glyph(canvas, face):
    cx = canvas.width / 2.0
    stroke = union(segment(cx - 2.6, 4.0, cx + 2.6, 9.2, 1.5),
                   segment(cx + 2.6, 4.0, cx - 2.6, 9.2, 1.5))
    canvas.paint(stroke, solid(PURPLE))


def window_outline(left, top, right, bottom):
    """A window glyph: 1-pixel sides and a 2-pixel caption bar."""
    return ring(box(left, top, right, bottom),
                box(left + 1, top + 2, right - 1, bottom - 1))


def maximize_glyph(canvas, face):
    canvas.paint(window_outline(3, 3, 9, 10), solid(PURPLE))


def restore_glyph(canvas, face):
    canvas.paint(window_outline(5, 2, 10, 7), solid(PURPLE))
    canvas.paint(box(2, 5, 7, 11), face)
    canvas.paint(window_outline(2, 5, 7, 11), solid(PURPLE))


def minimize_glyph(canvas, face):
    canvas.paint(box(2.5, 8, 7.5, 10), solid(PURPLE))


# Upper band (163, 165, 164): a 39-row header capping the chat view, with a
# purple rim on top and at the sides that the view's outline continues.

HEADER_ROWS = 39


def header_piece(width, rim_at):
    """rim_at: 'left', 'right' or None (middle piece)."""
    canvas = Canvas(width, HEADER_ROWS, LAVENDER)
    fill = vertical_ramp(PANEL_TOP, PANEL_BOTTOM, HEADER_ROWS)
    if rim_at is None:
        canvas.fill(fill)
        canvas.fill(solid(PURPLE), y1=1)
        return canvas
    # Draw the corner as if the header were wider, so the shape is the same
    # whichever end it is; mirror for the right end.
    span = width + 10
    outer = rounded_rect(0, 0, span, HEADER_ROWS + 10, PANEL_RADIUS)
    inner = rounded_rect(1, 1, span - 1, HEADER_ROWS + 10, PANEL_RADIUS - 1)
    canvas.paint(outer, solid(PURPLE))
    canvas.paint(inner, fill)
    return mirrored(canvas) if rim_at == 'right' else canvas


def mirrored(canvas):
    flipped = Canvas(canvas.width, canvas.height, BLACK)
    for y in range(canvas.height):
        flipped.rows[y] = list(reversed(canvas.rows[y]))
    return flipped


# Lower panel (158, 159, 160, 161): a 101-row rounded frame around the white
# input well. Rows 0-25 are above the well, 26-78 beside it, 79-100 below it;
# the bands 160 and 161 are the rows above and below, one column wide.

PANEL_ROWS = 101
WELL_TOP = 26
WELL_BOTTOM = 79


def panel_fill():
    return vertical_ramp(PANEL_TOP, PANEL_BOTTOM, PANEL_ROWS)


def panel_column():
    """The colours of one column of the panel between its side pieces."""
    fill = panel_fill()
    column = [fill(0, y) for y in range(PANEL_ROWS)]
    column[0] = column[-1] = PURPLE
    column[WELL_TOP - 1] = column[WELL_BOTTOM] = WELL_EDGE
    for y in range(WELL_TOP, WELL_BOTTOM):
        column[y] = WHITE
    return column


def panel_band(width, first_row, rows):
    column = panel_column()
    canvas = Canvas(width, rows, BLACK)
    canvas.fill(lambda x, y: column[first_row + y])
    return canvas


def panel_side(rim_at):
    """The left side piece (12 x 101); the right one is its mirror image."""
    width = 12
    canvas = Canvas(width, PANEL_ROWS, LAVENDER)
    span = width + 10
    outer = rounded_rect(0, 0, span, PANEL_ROWS, PANEL_RADIUS)
    inner = rounded_rect(1, 1, span - 1, PANEL_ROWS - 1, PANEL_RADIUS - 1)
    canvas.paint(outer, solid(PURPLE))
    canvas.paint(inner, panel_fill())
    # The well's rim: the input box starts at the piece's last column.
    canvas.fill(solid(WELL_EDGE), x0=width - 2, y0=WELL_TOP - 1, y1=WELL_BOTTOM + 1)
    canvas.fill(solid(WELL_EDGE), x0=width - 1, y0=WELL_TOP - 1, y1=WELL_TOP)
    canvas.fill(solid(WELL_EDGE), x0=width - 1, y0=WELL_BOTTOM, y1=WELL_BOTTOM + 1)
    canvas.fill(solid(WHITE), x0=width - 1, y0=WELL_TOP, y1=WELL_BOTTOM)
    return mirrored(canvas) if rim_at == 'right' else canvas


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


def lettering(left, top, cell_width, cell_height, gap):
    """Two-pixel strokes on pixel edges, so the letters stay crisp."""
    bars = []
    for index, syllable in enumerate(SEND_SYLLABLES):
        x = left + index * (cell_width + gap)
        for (x0, y0, x1, y1) in syllable:
            bars.append(segment(round(x + x0 * cell_width), round(top + y0 * cell_height),
                                round(x + x1 * cell_width), round(top + y1 * cell_height),
                                2.0))
    return union(*bars)


def send_button():
    width, height = 81, 44
    canvas = Canvas(width, height, WHITE)
    canvas.paint(rounded_rect(2, 3, width - 2, height - 3, 9), solid(SEND_EDGE))
    canvas.paint(rounded_rect(3, 4, width - 3, height - 4, 8),
                 vertical_ramp(SEND_TOP, SEND_BOTTOM, height))
    cell_width, cell_height, gap = 12, 14, 5
    text_width = 3 * cell_width + 2 * gap
    left = (width - text_width) // 2
    top = (height - cell_height) // 2
    canvas.paint(lettering(left, top, cell_width, cell_height, gap), solid(SEND_TEXT))
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


def icon_entry_bytes(pixels):
    """One 32-bit image of an icon file: header, colour rows, AND mask."""
    size = len(pixels)
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


# The set of skin pictures, by file name, with the checks that keep each one
# usable where it is placed.

def skin():
    return {
        'title_band.bmp': (title_band(), 'band'),
        'close.bmp': (title_button(11, close_glyph), 'white-keyed'),
        'maximize.bmp': (title_button(12, maximize_glyph), 'white-keyed'),
        'minimize.bmp': (title_button(10, minimize_glyph), 'white-keyed'),
        'restore.bmp': (title_button(12, restore_glyph), 'white-keyed'),
        'lower_left.bmp': (panel_side('left'), None),
        'lower_right.bmp': (panel_side('right'), None),
        'lower_panel_top.bmp': (panel_band(9, 0, WELL_TOP), 'band'),
        'lower_panel_bottom.bmp': (panel_band(8, WELL_BOTTOM, PANEL_ROWS - WELL_BOTTOM), 'band'),
        'upper_left.bmp': (header_piece(6, 'left'), None),
        'upper_right.bmp': (header_piece(6, 'right'), None),
        'upper_middle.bmp': (header_piece(7, None), 'band'),
        'send.bmp': (send_button(), 'black-keyed'),
    }


def check(name, canvas, rule):
    if rule == 'band' and not canvas.column_repeated():
        sys.exit(f'{name}: columns differ, but the piece is widened from one column')
    if rule == 'white-keyed':
        corners = [canvas.get(0, 0), canvas.get(canvas.width - 1, 0),
                   canvas.get(0, canvas.height - 1),
                   canvas.get(canvas.width - 1, canvas.height - 1)]
        if any(corner != WHITE for corner in corners):
            sys.exit(f'{name}: the corners must be transparent white')
        middle = [canvas.get(x, y) for y in range(3, canvas.height - 3)
                  for x in range(3, canvas.width - 3)]
        if WHITE in middle:
            sys.exit(f'{name}: white inside the key would show the band through')
    if rule == 'black-keyed' and BLACK in canvas.colours():
        sys.exit(f'{name}: black would show the button face through')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'res')
    skin_dir = os.path.join(res_dir, 'skin')
    os.makedirs(skin_dir, exist_ok=True)
    for name, (canvas, rule) in skin().items():
        check(name, canvas, rule)
        with open(os.path.join(skin_dir, name), 'wb') as out:
            out.write(bmp_bytes(canvas))
    with open(os.path.join(res_dir, 'WobbleMiniChat.ico'), 'wb') as out:
        out.write(ico_bytes([icon_image(16), icon_image(32)]))


if __name__ == '__main__':
    main()
