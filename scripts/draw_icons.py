#!/usr/bin/env python3
"""Draws the toolbar's fallback icons (24 x 24 PNG) into src/shell/icons/.

They stand in when the desktop's icon theme has no icon of the name the toolbar asks for.
Each icon is a few filled shapes on a transparent ground, drawn with 4 x 4 supersampling.
Run again after changing a shape: python3 scripts/draw_icons.py
"""
import math
import os
import struct
import zlib

SIZE = 24
SS = 4  # samples per pixel along each axis

INK = (60, 60, 68)
BLUE = (45, 110, 200)
GREEN = (40, 150, 70)
RED = (200, 60, 50)
PAPER = (250, 250, 250)


class Icon:
    def __init__(self):
        n = SIZE * SS
        self.px = [[None] * n for _ in range(n)]

    def fill(self, inside, colour):
        n = SIZE * SS
        for y in range(n):
            for x in range(n):
                if inside((x + 0.5) / SS, (y + 0.5) / SS):
                    self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def frame(self, x0, y0, x1, y1, w, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1 and
                  not (x0 + w <= x < x1 - w and y0 + w <= y < y1 - w), colour)

    def disc(self, cx, cy, r, colour):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def ring(self, cx, cy, r, w, colour):
        self.fill(lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def line(self, x0, y0, x1, y1, w, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
        self.fill(inside, colour)

    def polygon(self, pts, colour):
        def inside(x, y):
            c = False
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[i - 1]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    c = not c
            return c
        self.fill(inside, colour)

    def arc(self, cx, cy, r, w, a0, a1, colour):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            a = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
            in_angle = (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1)
            return r - w <= d <= r and in_angle
        self.fill(inside, colour)

    def png(self):
        rows = []
        for y in range(SIZE):
            row = bytearray([0])
            for x in range(SIZE):
                acc = [0, 0, 0]
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        c = self.px[y * SS + sy][x * SS + sx]
                        if c:
                            hits += 1
                            for i in range(3):
                                acc[i] += c[i]
                if hits:
                    row += bytes([acc[0] // hits, acc[1] // hits, acc[2] // hits,
                                  255 * hits // (SS * SS)])
                else:
                    row += bytes(4)
            rows.append(bytes(row))

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def page(icon):
    icon.polygon([(5, 2), (15, 2), (20, 7), (20, 22), (5, 22)], INK)
    icon.polygon([(6.5, 3.5), (14.5, 3.5), (18.5, 7.5), (18.5, 20.5), (6.5, 20.5)], PAPER)
    icon.polygon([(14, 2), (20, 8), (14, 8)], INK)


def draw_new():
    i = Icon()
    page(i)
    i.line(12, 11, 12, 19, 2.2, GREEN)
    i.line(8, 15, 16, 15, 2.2, GREEN)
    return i


def draw_open():
    i = Icon()
    i.polygon([(2, 5), (9, 5), (11, 7), (20, 7), (20, 20), (2, 20)], INK)
    i.polygon([(3.5, 8.5), (18.5, 8.5), (18.5, 18.5), (3.5, 18.5)], (235, 200, 110))
    i.polygon([(5, 11), (23, 11), (19, 20), (2, 20)], (245, 215, 130))
    return i


def draw_save():
    i = Icon()
    i.rect(3, 3, 21, 21, BLUE)
    i.rect(7, 3, 17, 10, PAPER)
    i.rect(13, 4, 15, 9, BLUE)
    i.rect(6, 13, 18, 21, (220, 230, 245))
    return i


def draw_undo():
    i = Icon()
    i.arc(13, 14, 8, 2.6, 300, 150, BLUE)
    i.polygon([(2, 9), (9, 4), (9, 14)], BLUE)
    return i


def draw_redo():
    i = Icon()
    i.arc(11, 14, 8, 2.6, 30, 240, BLUE)
    i.polygon([(22, 9), (15, 4), (15, 14)], BLUE)
    return i


def magnifier(i):
    i.ring(10, 10, 7.5, 2.2, INK)
    i.line(15.5, 15.5, 21.5, 21.5, 3.2, INK)


def draw_zoom_in():
    i = Icon()
    magnifier(i)
    i.line(10, 6.5, 10, 13.5, 2, INK)
    i.line(6.5, 10, 13.5, 10, 2, INK)
    return i


def draw_zoom_out():
    i = Icon()
    magnifier(i)
    i.line(6.5, 10, 13.5, 10, 2, INK)
    return i


def draw_fit():
    i = Icon()
    for (x, y, dx, dy) in ((2, 2, 1, 1), (22, 2, -1, 1), (2, 22, 1, -1), (22, 22, -1, -1)):
        i.line(x, y, x + 6 * dx, y, 2.2, INK)
        i.line(x, y, x, y + 6 * dy, 2.2, INK)
    i.rect(7, 7, 17, 17, BLUE)
    return i


def draw_motion():
    # A joint figure: head, body, a bent arm and leg with their joints marked.
    i = Icon()
    i.disc(12, 4.5, 3, INK)
    i.line(12, 8, 12, 15, 2.4, INK)
    i.line(12, 10, 6, 12, 2, INK)
    i.line(6, 12, 4, 7, 2, INK)
    i.line(12, 10, 18, 13, 2, INK)
    i.line(12, 15, 8, 22, 2.2, INK)
    i.line(12, 15, 17, 18, 2.2, INK)
    i.line(17, 18, 18, 23, 2.2, INK)
    for (x, y) in ((6, 12), (17, 18)):
        i.disc(x, y, 2, RED)
    return i


def draw_object_view():
    # Lines over a filled shape: the figure drawn as lines or as its objects.
    i = Icon()
    i.polygon([(12, 3), (21, 10), (18, 21), (6, 21), (3, 10)], (150, 190, 235))
    i.line(12, 3, 21, 10, 2, INK)
    i.line(21, 10, 18, 21, 2, INK)
    i.line(18, 21, 6, 21, 2, INK)
    i.line(6, 21, 3, 10, 2, INK)
    i.line(3, 10, 12, 3, 2, INK)
    return i


def draw_export():
    i = Icon()
    i.rect(3, 6, 17, 21, INK)
    i.rect(4.5, 7.5, 15.5, 19.5, PAPER)
    i.polygon([(4.5, 19.5), (9, 13), (12, 16.5), (13.5, 15), (15.5, 19.5)], GREEN)
    i.line(12, 12, 20, 4, 2.4, BLUE)
    i.polygon([(22, 2), (22, 9), (15, 2)], BLUE)
    return i


ICONS = {
    "new": draw_new, "open": draw_open, "save": draw_save, "undo": draw_undo,
    "redo": draw_redo, "zoom-in": draw_zoom_in, "zoom-out": draw_zoom_out, "fit": draw_fit,
    "motion": draw_motion, "object-view": draw_object_view, "export": draw_export,
}

if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "shell", "icons")
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(draw().png())
