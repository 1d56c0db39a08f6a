#!/usr/bin/env python3
"""Draws Tallywick's own pictures: the window header and body, panels, buttons in their
three states, combo arrows, check marks, the window and tray icons, the background skins
and the program's icon for desktop menus at the icon theme's usual sizes and for Windows,
and the band beside the Windows installer's pages.

Standard library only (PNG written with zlib). The pictures are committed; run this again
after changing a drawing:  python3 scripts/make_pictures.py
"""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES = os.path.join(ROOT, "resources", "pictures")
SKINS = os.path.join(ROOT, "resources", "skins")
# Laid out as the icon theme is, so that it installs as one folder.
ICONS = os.path.join(ROOT, "resources", "icons", "hicolor")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
WINDOWS_ICON = os.path.join(ROOT, "resources", "icons", "tallywick.ico")
INSTALLER_SIDE = os.path.join(ROOT, "packaging", "windows", "installer_side.bmp")

# The palette: a calm teal with warm sand and soft greys.
TEAL = (47, 111, 115)
TEAL_DARK = (32, 84, 88)
TEAL_LIGHT = (78, 146, 146)
MIST = (242, 245, 244)
INK = (54, 54, 54)
SAND = (226, 206, 170)


class Canvas:
    """Straight (not premultiplied) RGBA pixels as floats 0..1."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        """Source-over of one pixel with coverage `alpha`."""
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b = (c / 255.0 for c in colour[:3])
        a = alpha * (colour[3] / 255.0 if len(colour) > 3 else 1.0)
        dr, dg, db, da = self.pixels[y][x]
        out = a + da * (1 - a)
        if out <= 0:
            self.pixels[y][x] = (0.0, 0.0, 0.0, 0.0)
            return
        mix = lambda s, d: (s * a + d * da * (1 - a)) / out
        self.pixels[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out)

    def fill(self, colour):
        for y in range(self.height):
            for x in range(self.width):
                self.blend(x, y, colour, 1.0)

    def shape(self, coverage, paint):
        """Paints every pixel with paint(x, y) weighted by coverage(x, y) (0..1)."""
        for y in range(self.height):
            for x in range(self.width):
                c = coverage(x + 0.5, y + 0.5)
                if c > 0:
                    self.blend(x, y, paint(x, y), min(c, 1.0))

    def bytes8(self):
        """Rows top to bottom of (r, g, b, a) bytes."""
        return [[tuple(int(round(max(0, min(1, v)) * 255)) for v in px) for px in line]
                for line in self.pixels]

    def save(self, path):
        with open(path, "wb") as f:
            f.write(self.png())

    def png(self):
        raw = b"".join(b"\0" + b"".join(bytes(px) for px in line) for line in self.bytes8())

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

    def dib(self):
        """The picture as an icon's bitmap: 32-bit BGRA rows bottom-up, then an all-clear
        AND mask (the alpha channel does the masking), height doubled as icons declare it."""
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height * 2, 1, 32, 0, 0, 0, 0,
                           0, 0)
        colour = b"".join(bytes((b, g, r, a)) for line in reversed(self.bytes8())
                          for r, g, b, a in line)
        mask_row = ((self.width + 31) // 32) * 4
        return info + colour + bytes(mask_row * self.height)


def save_bmp(path, canvas):
    """A 24-bit Windows bitmap (the installer's pages take no other kind), bottom-up rows
    padded to four bytes."""
    row_size = (canvas.width * 3 + 3) // 4 * 4
    rows = b"".join(
        b"".join(bytes((b, g, r)) for r, g, b, _ in line).ljust(row_size, b"\0")
        for line in reversed(canvas.bytes8()))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows),
                       2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


def save_ico(path, canvases):
    """A Windows icon with every size: small ones as bitmaps, which every reader takes, and
    256 pixels as PNG, which is how icons of that size are stored."""
    images = [c.png() if c.width >= 256 else c.dib() for c in canvases]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        side = canvas.width if canvas.width < 256 else 0  # 0 stands for 256
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(data + b"".join(images))


def rounded_box(left, top, right, bottom, radius):
    """Coverage of a rounded rectangle, antialiased over one pixel."""

    def coverage(x, y):
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        dx, dy = x - cx, y - cy
        if radius > 0 and (dx or dy):
            distance = math.hypot(dx, dy) - radius
        else:
            distance = max(left - x, x - right, top - y, y - bottom)
        return max(0.0, min(1.0, 0.5 - distance))

    return coverage


def ring(box_outer, box_inner):
    return lambda x, y: max(0.0, box_outer(x, y) - box_inner(x, y))


def circle(cx, cy, radius):
    return lambda x, y: max(0.0, min(1.0, 0.5 - (math.hypot(x - cx, y - cy) - radius)))


def segment(x0, y0, x1, y1, width):
    """Coverage of a thick line with round ends."""

    def coverage(x, y):
        vx, vy = x1 - x0, y1 - y0
        length2 = vx * vx + vy * vy or 1e-9
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / length2))
        d = math.hypot(x - (x0 + t * vx), y - (y0 + t * vy)) - width / 2
        return max(0.0, min(1.0, 0.5 - d))

    return coverage


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vertical(top_colour, bottom_colour, height, alpha=255):
    return lambda x, y: lerp(top_colour, bottom_colour, y / max(height - 1, 1)) + (alpha,)


def solid(colour, alpha=255):
    return lambda x, y: tuple(colour) + (alpha,)


# --- window parts -------------------------------------------------------------------------

def header():
    w, h = 64, 32
    c = Canvas(w, h)
    c.shape(lambda x, y: 1.0, vertical(TEAL_LIGHT, TEAL_DARK, h))
    # A soft highlight along the top and a darker seam at the bottom.
    c.shape(lambda x, y: 1.0 if y < 1 else 0.0, solid((255, 255, 255), 70))
    c.shape(lambda x, y: 1.0 if y >= h - 1 else 0.0, solid((20, 55, 58), 255))
    return c


def body():
    w, h = 64, 64
    c = Canvas(w, h)
    # A faint frosted sheet from edge to edge under the header, so that what the windows
    # place at their edges (the main window's time pill, the header) lines up with it; the
    # window colour and background picture show through it. Its lower corners follow the
    # window's rounded shape.
    sheet = rounded_box(0, -16, w, h, 10)
    c.shape(sheet, vertical((255, 255, 255), (235, 240, 240), h, 38))
    c.shape(ring(sheet, rounded_box(1, -16, w - 1, h - 1, 9)), solid((255, 255, 255), 60))
    return c


def pill(fill_top, fill_bottom, border, alpha=240, size=(48, 32), radius=12):
    w, h = size
    c = Canvas(w, h)
    c.shape(rounded_box(0.5, 0.5, w - 0.5, h - 0.5, radius), vertical(fill_top, fill_bottom, h, alpha))
    c.shape(ring(rounded_box(0.5, 0.5, w - 0.5, h - 0.5, radius),
                 rounded_box(1.5, 1.5, w - 1.5, h - 1.5, radius - 1)), solid(border, 200))
    return c


def button(state):
    w, h = 48, 28
    c = Canvas(w, h)
    top, bottom = {
        "normal": (TEAL_LIGHT, TEAL),
        "selected": ((104, 170, 168), (62, 132, 132)),
        "downed": (TEAL_DARK, (40, 98, 101)),
    }[state]
    outer = rounded_box(0.5, 0.5, w - 0.5, h - 0.5, 13)
    c.shape(outer, vertical(top, bottom, h))
    if state == "downed":
        # An inner shadow at the top: the button looks pressed in.
        c.shape(lambda x, y: outer(x, y) * (1.0 if y < 3 else 0.0), solid((0, 0, 0), 40))
    else:
        c.shape(lambda x, y: outer(x, y) * (1.0 if 1 <= y < 2 else 0.0),
                solid((255, 255, 255), 90))
    c.shape(ring(outer, rounded_box(1.5, 1.5, w - 1.5, h - 1.5, 12)), solid((24, 66, 69), 220))
    return c


def combo_arrow(selected):
    w, h = 26, 22
    c = Canvas(w, h)
    top, bottom = (TEAL_LIGHT, TEAL) if not selected else ((104, 170, 168), (62, 132, 132))
    box = rounded_box(2.5, 1.5, w - 1.5, h - 1.5, 6)
    c.shape(box, vertical(top, bottom, h))
    for shape in (segment(8.5, 9, 13, 13.5, 2.2), segment(13, 13.5, 17.5, 9, 2.2)):
        c.shape(shape, solid((255, 255, 255)))
    return c


def check(on):
    s = 16
    c = Canvas(s, s)
    box = rounded_box(1, 1, s - 1, s - 1, 4)
    if on:
        c.shape(box, vertical(TEAL_LIGHT, TEAL, s))
        for shape in (segment(4.5, 8.5, 7, 11, 2.0), segment(7, 11, 11.8, 5.2, 2.0)):
            c.shape(shape, solid((255, 255, 255)))
    else:
        c.shape(box, solid(MIST, 235))
        c.shape(ring(box, rounded_box(2, 2, s - 2, s - 2, 3)), solid(TEAL, 255))
    return c


def emblem(size):
    """The program's mark: a clock face with a tally of four strokes and a fifth across."""
    c = Canvas(size, size)
    k = size / 32.0
    c.shape(rounded_box(1 * k, 1 * k, 31 * k, 31 * k, 8 * k), vertical(TEAL_LIGHT, TEAL_DARK, size))
    c.shape(circle(16 * k, 16 * k, 10.5 * k), solid(MIST))
    c.shape(ring(circle(16 * k, 16 * k, 10.5 * k), circle(16 * k, 16 * k, 9.3 * k)),
            solid(SAND))
    for i in range(4):
        x = (11.2 + i * 3.2) * k
        c.shape(segment(x, 11.5 * k, x, 20.5 * k, 1.7 * k), solid(INK))
    c.shape(segment(9.5 * k, 19 * k, 22.5 * k, 13 * k, 1.7 * k), solid((196, 98, 64)))
    return c


def small_emblem(size):
    """The mark for menu sizes up to 32 pixels: the strokes on whole pixels, so that they
    stay four strokes instead of a grey smear, on a larger face with a one-pixel ring."""
    c = Canvas(size, size)
    k = size / 32.0
    centre = size / 2.0
    c.shape(rounded_box(0.5, 0.5, size - 0.5, size - 0.5, 7 * k), vertical(TEAL_LIGHT, TEAL_DARK, size))
    face = 11.5 * k
    c.shape(circle(centre, centre, face), solid(MIST))
    c.shape(ring(circle(centre, centre, face), circle(centre, centre, face - 1)), solid(SAND))
    spacing = max(2, round(3.6 * k))
    width = max(1, min(spacing - 1, round(1.7 * k)))
    top, bottom = round(centre - 4.5 * k), round(centre + 4.5 * k)
    for i in range(4):
        x = round(centre + (i - 1.5) * spacing - width / 2.0)
        c.shape(lambda px, py, x=x: 1.0 if x <= px < x + width and top <= py < bottom else 0.0,
                solid(INK))
    c.shape(segment(centre - 6.5 * k, centre + 3 * k, centre + 6.5 * k, centre - 3 * k,
                    max(1.2, 1.7 * k)), solid((196, 98, 64)))
    return c


def installer_side():
    """The band beside the Windows installer's first and last page: the window header's teal
    with the mark near the top."""
    w, h = 164, 314
    c = Canvas(w, h)
    c.shape(lambda x, y: 1.0, vertical(TEAL_LIGHT, TEAL_DARK, h))
    mark = emblem(96)
    left, top = (w - mark.width) // 2, 40
    for y, line in enumerate(mark.pixels):
        for x, (r, g, b, a) in enumerate(line):
            c.blend(left + x, top + y, (r * 255, g * 255, b * 255), a)
    return c


# --- background skins (tiles, seamless from the top-left corner) -------------------------

def skin_lines(base, line, size=48, spacing=12):
    c = Canvas(size, size)
    c.fill(base + (255,))

    def coverage(x, y):
        d = ((x + y) % spacing) - spacing / 2
        return max(0.0, min(1.0, 1.2 - abs(d)))

    c.shape(coverage, solid(line, 60))
    return c


def skin_dots(base, dot, size=24):
    c = Canvas(size, size)
    c.fill(base + (255,))
    for cx, cy in ((6, 6), (18, 18)):
        for ox in (-size, 0, size):
            for oy in (-size, 0, size):
                c.shape(circle(cx + ox, cy + oy, 2.2), solid(dot, 90))
    return c


def skin_waves(base, wave, size=64):
    c = Canvas(size, size)
    c.fill(base + (255,))

    def coverage(x, y):
        best = 0.0
        for row in range(0, size + 16, 16):
            centre = row + 3 * math.sin(2 * math.pi * x / size)
            best = max(best, max(0.0, min(1.0, 1.0 - abs(y - centre))))
        return best

    c.shape(coverage, solid(wave, 70))
    return c


def skin_weave(base, thread, size=32):
    c = Canvas(size, size)
    c.fill(base + (255,))
    half = size // 2

    def coverage(x, y):
        cell = (int(x) // half + int(y) // half) % 2
        local = (y % half) if cell == 0 else (x % half)
        return 0.55 if int(local) % 4 == 1 else 0.0

    c.shape(coverage, solid(thread, 80))
    return c


def main():
    os.makedirs(PICTURES, exist_ok=True)
    os.makedirs(SKINS, exist_ok=True)
    parts = {
        "header": header(),
        "body": body(),
        "panel_pill": pill(MIST, (228, 233, 232), (200, 210, 208)),
        "panel_pill_dark": pill((40, 96, 100), (30, 76, 80), (22, 60, 63), alpha=230),
        "button": button("normal"),
        "button_selected": button("selected"),
        "button_downed": button("downed"),
        "combo_arrow": combo_arrow(False),
        "combo_arrow_selected": combo_arrow(True),
        "check_on": check(True),
        "check_off": check(False),
        "window_icon": emblem(26),
        "tray_icon": emblem(32),
        "tray_icon_large": emblem(64),
    }
    for name, canvas in parts.items():
        canvas.save(os.path.join(PICTURES, name + ".png"))
    skins = {
        "Harbour": skin_lines((44, 92, 98), (170, 214, 214)),
        "Linen": skin_weave((88, 80, 66), (236, 222, 196)),
        "Dusk": skin_waves((58, 52, 86), (190, 170, 230)),
        "Moss": skin_dots((52, 82, 60), (196, 226, 190)),
        "Slate": skin_lines((60, 66, 74), (200, 208, 220), spacing=8),
    }
    for name, canvas in skins.items():
        canvas.save(os.path.join(SKINS, name + ".png"))
    icons = {size: (emblem if size > 32 else small_emblem)(size) for size in ICON_SIZES}
    for size, canvas in icons.items():
        folder = os.path.join(ICONS, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        canvas.save(os.path.join(folder, "tallywick.png"))
    # Windows' shortcut and Add/Remove entry, at the sizes Explorer asks for.
    save_ico(WINDOWS_ICON, [icons[size] for size in (16, 24, 32, 48, 64, 256)])
    save_bmp(INSTALLER_SIDE, installer_side())


if __name__ == "__main__":
    main()
