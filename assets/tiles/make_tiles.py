#!/usr/bin/env python3
"""Writes the tile, badge and tool pictures of the level editor as XPM files.

Run from anywhere:  python3 assets/tiles/make_tiles.py
The XPM files it writes (assets/tiles/*.xpm, assets/tools/*.xpm) are the
pictures the editor ships; this script is only the source they are drawn
from, so that variants ("as tile 8 with a yellow strip", rotations, the
shared bevelled frame, ...) stay consistent.  Standard library only.

Conventions
- Every tile is 16x16 and fully opaque; every tile file carries the same
  colour map (TILE_COLOURS), the same character always meaning the same
  colour.
- Light falls from the top left: lit edges are on the top and the left,
  shaded edges on the bottom and the right.
- Tiles 13..16 and 40..43 have no files: the program draws tile 9..12 and
  puts badge_down.xpm / badge_up.xpm (7x7) over columns 9..15, rows 0..6.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS_DIR = os.path.join(os.path.dirname(HERE), "tools")

N = 16

# ---------------------------------------------------------------------------
# The shared tile colour map: (character, colour, name)
# ---------------------------------------------------------------------------
TILE_COLOURS = [
    (".", "#000000", "black"),
    ("1", "#787878", "grey 120 (shadow)"),
    ("2", "#8C8C8C", "grey 140"),
    ("3", "#A0A0A0", "grey 160 (base grey)"),
    ("4", "#AAAAAA", "grey 170"),
    ("5", "#C0C0C0", "grey 192 (lit grey)"),
    ("w", "#F0F0F0", "near-white"),
    ("W", "#FFFFFF", "white"),
    ("g", "#00A050", "green (board)"),
    ("G", "#00DC6E", "light green (tracks)"),
    ("d", "#008000", "dark green"),
    ("r", "#C00000", "red"),
    ("R", "#F00000", "bright red"),
    ("m", "#800000", "dark red"),
    ("n", "#804000", "brown"),
    ("o", "#FF8000", "orange"),
    ("y", "#DCDC00", "yellow"),
    ("b", "#4040FF", "blue"),
    ("B", "#4080FF", "light blue"),
]

# The unknown-tile picture deliberately uses a colour no real tile has.
UNKNOWN_COLOURS = [
    (".", "#000000", "black"),
    ("M", "#FF00FF", "magenta (never used by a real tile)"),
    ("W", "#FFFFFF", "white"),
]

TOOL_COLOURS = [
    (".", "None", "transparent"),
    ("#", "#000000", "black"),
    ("+", "#808080", "grey"),
    ("r", "#FF0000", "red"),
]


# ---------------------------------------------------------------------------
# A tiny canvas
# ---------------------------------------------------------------------------
class Pic:
    def __init__(self, w=N, h=N, fill="."):
        self.w, self.h = w, h
        self.p = [[fill] * w for _ in range(h)]

    @classmethod
    def from_rows(cls, rows):
        pic = cls(len(rows[0]), len(rows))
        for y, row in enumerate(rows):
            assert len(row) == pic.w, (y, row)
            pic.p[y] = list(row)
        return pic

    def copy(self):
        c = Pic(self.w, self.h)
        c.p = [row[:] for row in self.p]
        return c

    def get(self, x, y):
        return self.p[y][x]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def hline(self, x0, x1, y, c):
        self.rect(min(x0, x1), y, max(x0, x1), y, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, min(y0, y1), x, max(y0, y1), c)

    def bevel(self, x0, y0, x1, y1, lit, face, shade, corner=None):
        """A raised block: lit top and left edges, shaded bottom and right."""
        self.rect(x0, y0, x1, y1, face)
        self.hline(x0, x1, y0, lit)
        self.vline(x0, y0, y1, lit)
        self.hline(x0, x1, y1, shade)
        self.vline(x1, y0, y1, shade)
        if corner is not None:
            self.set(x1, y0, corner)
            self.set(x0, y1, corner)

    def stamp(self, x0, y0, rows, transparent=None):
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c != transparent:
                    self.set(x0 + dx, y0 + dy, c)

    def transposed(self):
        t = Pic(self.h, self.w)
        for y in range(self.h):
            for x in range(self.w):
                t.p[x][y] = self.p[y][x]
        return t

    def rows(self):
        return ["".join(r) for r in self.p]


def shade_of(dx, dy, r):
    """How much a point of a ball faces the light (top left): -1 .. 1."""
    return -(dx + dy) / (r * math.sqrt(2.0))


# ---------------------------------------------------------------------------
# Pieces shared by several tiles
# ---------------------------------------------------------------------------
def board(fill="g"):
    return Pic(fill=fill)


def track(pic, points, c="G", shadow="d", ground="g"):
    """A raised light green track along an axis-aligned polyline; it casts
    a dark green shadow to its lower right where it crosses bare board."""
    cells = []
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        if x0 == x1:
            step = 1 if y1 >= y0 else -1
            cells += [(x0, y) for y in range(y0, y1 + step, step)]
        else:
            assert y0 == y1, "tracks run straight"
            step = 1 if x1 >= x0 else -1
            cells += [(x, y0) for x in range(x0, x1 + step, step)]
    for x, y in cells:
        pic.set(x, y, c)
    for x, y in cells:
        for sx, sy in ((x + 1, y + 1), (x + 1, y), (x, y + 1)):
            if 0 <= sx < N and 0 <= sy < N and pic.get(sx, sy) == ground:
                pic.set(sx, sy, shadow)


def drop_shadow(pic, x0, y0, x1, y1, shadow="d", ground="g"):
    """Dark green shadow one pixel right of and below a part."""
    for y in range(y0 + 1, y1 + 2):
        if 0 <= x1 + 1 < N and y < N and pic.get(x1 + 1, y) == ground:
            pic.set(x1 + 1, y, shadow)
    for x in range(x0 + 1, x1 + 2):
        if 0 <= y1 + 1 < N and x < N and pic.get(x, y1 + 1) == ground:
            pic.set(x, y1 + 1, shadow)


STUD = ["W5",
        "51"]


def maze():
    """The light green maze on green shared by tiles 2 and 25.

    Tracks are one pixel wide on a three pixel pitch (rows and columns
    1, 4, 7, 10, 13), each casting a dark green shadow; a few run out to
    the tile edges so that neighbouring tiles look continuous."""
    cells = [1, 4, 7, 10, 13]
    # passages of the maze: (cell, cell) pairs, cells as (col, row) indices
    links = [
        ((0, 0), (1, 0)), ((1, 0), (2, 0)), ((2, 0), (2, 1)), ((2, 1), (1, 1)),
        ((1, 1), (1, 2)), ((0, 0), (0, 1)), ((0, 1), (0, 2)), ((0, 2), (0, 3)),
        ((0, 3), (1, 3)), ((1, 3), (2, 3)), ((2, 3), (2, 2)), ((2, 2), (3, 2)),
        ((3, 2), (3, 1)), ((3, 1), (3, 0)), ((3, 0), (4, 0)), ((4, 0), (4, 1)),
        ((4, 1), (4, 2)), ((4, 2), (4, 3)), ((4, 3), (3, 3)), ((3, 3), (3, 4)),
        ((3, 4), (2, 4)), ((2, 4), (1, 4)), ((1, 4), (0, 4)), ((4, 3), (4, 4)),
    ]
    exits = [((0, 0), "left"), ((2, 0), "up"), ((4, 1), "right"),
             ((0, 3), "left"), ((1, 4), "down"), ((4, 4), "down"),
             ((4, 4), "right")]
    pic = board()
    segs = []
    for (a, b) in links:
        segs.append([(cells[a[0]], cells[a[1]]), (cells[b[0]], cells[b[1]])])
    for (c, side) in exits:
        x, y = cells[c[0]], cells[c[1]]
        end = {"left": (0, y), "right": (N - 1, y),
               "up": (x, 0), "down": (x, N - 1)}[side]
        segs.append([(x, y), end])
    for seg in segs:
        track(pic, seg)
    return pic


# ---------------------------------------------------------------------------
# Tiles
# ---------------------------------------------------------------------------
def tile00():
    return Pic()


def tile01():
    """Grey ball: checkered highlight above, a red/orange/yellow band."""
    pic = Pic()
    cx = cy = 7.5
    r = 7.8
    for y in range(N):
        for x in range(N):
            dx, dy = x - cx, y - cy
            if math.hypot(dx, dy) > r:
                continue
            s = shade_of(dx, dy, r)
            if s > 0.55:
                c = "5"
            elif s > 0.2:
                c = "4"
            elif s > -0.2:
                c = "3"
            elif s > -0.55:
                c = "2"
            else:
                c = "1"
            pic.set(x, y, c)
    # checkered highlight on the upper half
    for y in range(2, 7):
        for x in range(3, 12):
            if pic.get(x, y) != "." and (x + y) % 2 == 0:
                d = math.hypot(x - 5.5, y - 4.0)
                if d < 3.2:
                    pic.set(x, y, "W")
                elif d < 5.2:
                    pic.set(x, y, "w")
    # the band round its middle: segments of red, orange and yellow
    band = "mrRoyyoRrmrRoyyo"
    for x in range(N):
        for y in (7, 8):
            if pic.get(x, y) != ".":
                c = band[x]
                pic.set(x, y, c)
    for x in range(N):
        if pic.get(x, 9) != ".":
            pic.set(x, 9, "1")
    # segment joints
    for x in (4, 8, 12):
        for y in (7, 8):
            if pic.get(x, y) != ".":
                pic.set(x, y, "m")
    return pic


def tile02():
    pic = maze()
    pic.stamp(11, 2, STUD)
    pic.stamp(2, 11, STUD)
    pic.stamp(11, 11, STUD)
    return pic


def tile03():
    """Red blob with two eyes and a smile."""
    pic = Pic()
    cx, cy, r = 7.5, 7.5, 8.3
    for y in range(N):
        for x in range(N):
            dx, dy = x - cx, y - cy
            if math.hypot(dx, dy) > r:
                continue
            s = shade_of(dx, dy, r)
            if s > 0.55:
                c = "R"
            elif s > -0.25:
                c = "R" if s > 0.15 else "r"
            elif s > -0.6:
                c = "r"
            else:
                c = "m"
            pic.set(x, y, c)
    # orange highlights along the top
    for x, y in ((4, 1), (5, 1), (6, 1), (7, 1), (3, 2), (4, 2), (2, 3),
                 (9, 1), (10, 1)):
        pic.set(x, y, "o")
    # eyes
    pic.stamp(4, 4, ["WW", "W."])
    pic.stamp(10, 4, ["WW", "W."])
    # smile
    for x, y in ((3, 9), (4, 10), (5, 11), (6, 11), (7, 12), (8, 12),
                 (9, 11), (10, 11), (11, 10), (12, 9)):
        pic.set(x, y, "n")
    return pic


RING = ["..LLLL..",
        ".L....M.",
        "L......D",
        "L......D",
        "L......D",
        "M......D",
        ".M....D.",
        "..DDDD.."]


def ring_disc(pic, x0, y0, lit, mid, dark):
    """An 8x8 black disc in a one pixel ring, lit on the upper left, with a
    white glint."""
    rows = [r.replace("L", lit).replace("M", mid).replace("D", dark)
            for r in RING]
    pic.stamp(x0, y0, rows)
    pic.set(x0 + 2, y0 + 2, "W")


def tile04():
    """Three ringed black discs joined by a four-coloured cross-piece."""
    pic = Pic()
    ring_disc(pic, 4, 0, "G", "g", "d")
    ring_disc(pic, 0, 8, "W", "5", "3")
    ring_disc(pic, 8, 8, "R", "r", "m")
    # the cross-piece in the middle: brown up, blue left, yellow right,
    # orange down
    pic.stamp(5, 7, ["..nn..",
                     "bbnnyy",
                     "bbooyy",
                     "..oo.."], ".")
    return pic


def tile05():
    """Chip seen from above: grey plate, pins on all four sides."""
    pic = Pic()
    pins = (2, 5, 9, 12)
    for p in pins:
        pic.stamp(p, 0, ["Wy", "Wy"])       # top
        pic.stamp(0, p, ["WW", "yy"])       # left
        pic.stamp(p, 14, ["yo", "yo"])      # bottom
        pic.stamp(14, p, ["yy", "oo"])      # right
    pic.bevel(2, 2, 13, 13, "5", "3", "1", corner="3")
    # faint marks: a notch and two lines of lettering
    pic.stamp(3, 3, ["4"])
    for x in (5, 6, 8, 9, 10):
        pic.set(x, 6, "4")
    for x in (5, 7, 8):
        pic.set(x, 9, "4")
    pic.set(11, 11, "4")
    return pic


def tile06():
    """Bevelled wall block: four faces round an hourglass recess."""
    pic = Pic()
    for y in range(N):
        for x in range(N):
            dx, dy = x - 7.5, y - 7.5
            if abs(dy) >= abs(dx):
                c = "5" if dy < 0 else "1"
            else:
                c = "3" if dx < 0 else "2"
            pic.set(x, y, c)
    # outer rim: catches the light on top and left
    pic.hline(0, 14, 0, "w")
    pic.vline(0, 0, 14, "w")
    pic.vline(15, 1, 15, "1")
    pic.hline(1, 15, 15, "1")
    # seams where the faces meet
    for i in range(1, 7):
        pic.set(i, i, "4")              # top/left
        pic.set(15 - i, i, "3")         # top/right
        pic.set(i, 15 - i, "2")         # bottom/left
    # the hourglass recess in the centre, where the top and bottom faces
    # come to their points
    pic.stamp(6, 6, ["....",
                     " .. ",
                     " .. ",
                     "...."], " ")
    return pic


def tile07():
    """Orange plate with a white E."""
    pic = Pic(fill="o")
    for y in range(N):
        for x in range(N):
            k = min(x, y, 15 - x, 15 - y)
            if k < 2:
                if min(x, y) < 2 and x + y < 15:
                    pic.set(x, y, "y")
                else:
                    pic.set(x, y, "r")
    e = ["WWWWWWW",
         "WWWWWWW",
         "WW.....",
         "WW.....",
         "WWWWWW.",
         "WWWWWW.",
         "WW.....",
         "WW.....",
         "WWWWWWW",
         "WWWWWWW"]
    x0, y0 = 4, 2
    for dy, row in enumerate(e):
        for dx, c in enumerate(row):
            if c == "W":
                pic.set(x0 + dx, y0 + dy, "W")
    for dy, row in enumerate(e):
        for dx, c in enumerate(row):
            if c == "W":
                sx, sy = x0 + dx + 1, y0 + dy + 1
                if pic.get(sx, sy) != "W":
                    pic.set(sx, sy, ".")
    return pic


def diskette(strip):
    rows = [
        "...BBBBBBBBBB...",
        "..BSSSSSSSSSSb..",
        ".BbSSSSSSSSSSbb.",
        "BbbWWWWWWWWWWbbb",
        "BbbWWWWWWWWWWbbb",
        "BbbWWWWWWWWWWbbb",
        "BbbWWWWWWWWWWbbb",
        "Bbbbbbbbbbbbbbbb",
        "Bbbbbbbbbbbbbbbb",
        "Bbbb55555555bbbb",
        "Bbbb53333bb1bbbb",
        "Bbbb53333bb1bbbb",
        "Bbbb53333bb1bbbb",
        "Bbbb53333bb1bbbb",
        "Bbbb51111111bbbb",
        "bbbbbbbbbbbbbbbb",
    ]
    pic = Pic.from_rows([r.replace("S", strip) for r in rows])
    # a couple of ruled lines on the label
    for x in range(4, 12):
        pic.set(x, 4, "5")
        pic.set(x, 6, "5")
    return pic


def tile08():
    return diskette("o")


# -- tubes ------------------------------------------------------------------
TUBE_ACROSS = {3: "5", 4: "w", 5: "W", 6: "5", 7: "4", 8: "3", 9: "3",
               10: "2", 11: "2", 12: "1"}
NARROW_ACROSS = {5: "w", 6: "5", 7: "4", 8: "3", 9: "2", 10: "1"}


def collar_px(along, across, lo, hi, first):
    """One pixel of a red collar of ribs running across the tube.

    Ribs are two pixels: a lit one then a shaded one (along the tube,
    light first); their ends nearest the light carry an orange glint."""
    lit = (along - first) % 2 == 0
    if across == lo:
        return "o" if lit else "r"
    if across == lo + 1:
        return "o" if lit else "m"
    if across == hi:
        return "r" if lit else "m"
    return "R" if lit else "m"


def tube(collar, wide_first, collar_across=(2, 13)):
    """A horizontal tube (transpose it for an upright one).

    collar: (first, last) column of the red collar.
    wide_first: True if the wide grey end is on the left."""
    pic = Pic()
    c0, c1 = collar
    lo, hi = collar_across
    for x in range(N):
        if c0 <= x <= c1:
            for y in range(lo, hi + 1):
                pic.set(x, y, collar_px(x, y, lo, hi, c0))
            continue
        wide = (x < c0) == wide_first
        profile = TUBE_ACROSS if wide else NARROW_ACROSS
        for y, c in profile.items():
            pic.set(x, y, c)
    # rim where the wide end meets the collar: a darker ring line
    edge = c0 - 1 if wide_first else c1 + 1
    for y in TUBE_ACROSS:
        pic.set(edge, y, "1" if y > 4 else "3")
    # and the flat face of the narrow stub
    end = N - 1 if wide_first else 0
    for y in NARROW_ACROSS:
        pic.set(end, y, "3" if y < 8 else "1")
    return pic


def tile09():
    return tube((9, 12), True)


def tile10():
    return tile09().transposed()


def tile11():
    return tube((3, 6), False)


def tile12():
    return tile11().transposed()


def tile17():
    """Open scissors: red ring handles on the left, grey blades right."""
    rows = [
        "................",
        ".RRRr...........",
        "R...rr......5W..",
        "R....r....55W3..",
        "rr..rr..55W331..",
        ".rrrrr55W331....",
        ".....rr5331.....",
        "......rWWr......",
        "......r5331.....",
        ".RRRrRR5W331....",
        "R...rr..55W331..",
        "R....r....55W31.",
        "rr..rr......5W3.",
        ".rrrr.........1.",
        "................",
        "................",
    ]
    return Pic.from_rows(rows)


def tile18():
    return diskette("y")


def tile19():
    """Console: screen, button column, row of keys."""
    pic = Pic(fill="3")
    pic.bevel(0, 0, 15, 15, "5", "3", "1", corner="3")
    # recessed screen: shaded top/left, lit bottom/right
    pic.bevel(1, 1, 10, 9, "1", ".", "5", corner="3")
    for x, y in ((3, 3), (4, 3), (5, 3), (7, 3),
                 (3, 5), (4, 5), (6, 5), (7, 5), (8, 5),
                 (3, 7), (4, 7)):
        pic.set(x, y, "G")
    pic.set(2, 3, "g")
    # buttons down the right
    for y in (2, 4, 6, 8):
        pic.stamp(12, y, ["W2"])
    # keys under the screen, the last two yellow and red
    keys = ["5", "5", "5", "5", "5", "y", "R"]
    for i, k in enumerate(keys):
        x = 2 + 2 * i
        top, bot = {"5": ("W", "1"), "y": ("y", "o"), "R": ("R", "m")}[k]
        pic.set(x, 11, top)
        pic.set(x, 12, bot)
    pic.hline(1, 14, 14, "2")
    return pic


def tile20():
    return diskette("R")


def tile22():
    return tube_long()


def tube_long():
    pic = Pic()
    lo, hi = 2, 13
    for x in range(N):
        if 2 <= x <= 13:
            for y in range(lo, hi + 1):
                pic.set(x, y, collar_px(x, y, lo, hi, 2))
        else:
            for y, c in TUBE_ACROSS.items():
                if 4 <= y <= 11:
                    pic.set(x, y, c)
    return pic


def tile21():
    return tube_long().transposed()


def tile23():
    """Crossing: thin grey ends on all sides, a waffled red collar."""
    pic = Pic()
    ends = {4: "w", 5: "W", 6: "5", 7: "4", 8: "3", 9: "3", 10: "2", 11: "1"}
    for a in (0, 1, 14, 15):
        for b, c in ends.items():
            pic.set(a, b, c)   # left and right stubs
            pic.set(b, a, c)   # top and bottom stubs
    for y in range(2, 14):
        for x in range(2, 14):
            lx = (x - 2) % 2 == 0
            ly = (y - 2) % 2 == 0
            if lx and ly:
                c = "R"
            elif lx or ly:
                c = "r"
            else:
                c = "m"
            pic.set(x, y, c)
    for x in range(2, 14, 2):
        pic.set(x, 2, "o")
    for y in range(2, 14, 2):
        pic.set(2, y, "o")
    return pic


def sparkle(pic, cx, cy, arm, centre):
    for i in range(1, arm + 1):
        c = "B" if i < arm else "b"
        for x, y in ((cx + i, cy), (cx - i, cy), (cx, cy + i), (cx, cy - i)):
            pic.set(x, y, c)
    if arm >= 3:
        for x, y in ((cx + 1, cy + 1), (cx - 1, cy - 1),
                     (cx + 1, cy - 1), (cx - 1, cy + 1)):
            pic.set(x, y, "b")
    pic.set(cx, cy, centre)


def tile24():
    pic = Pic()
    sparkle(pic, 5, 5, 4, "W")
    sparkle(pic, 11, 10, 3, "W")
    sparkle(pic, 4, 12, 2, "W")
    sparkle(pic, 12, 3, 1, "B")
    pic.set(8, 14, "b")
    return pic


def tile25():
    pic = maze()
    path = [(0, 9), (3, 6), (6, 9), (9, 5), (12, 9), (15, 6)]
    cells = []
    for (x0, y0), (x1, y1) in zip(path, path[1:]):
        n = max(abs(x1 - x0), abs(y1 - y0))
        for i in range(n + 1):
            cells.append((round(x0 + (x1 - x0) * i / n),
                          round(y0 + (y1 - y0) * i / n)))
    for x, y in cells:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                pic.set(x + dx, y + dy, "b")
    for x, y in cells:
        for dx, dy in ((0, -1), (-1, 0)):
            if (x + dx, y + dy) not in cells:
                pic.set(x + dx, y + dy, "B")
    for x, y in cells:
        pic.set(x, y, "W")
    return pic


# -- the wide chip (26|27) and the tall chip (38 over 39) ----------------------
def wide_chip():
    """32x16: left half is tile 26, right half tile 27."""
    w = 2 * N
    pic = Pic(w, N)
    for x0 in range(1, 30, 3):
        pic.stamp(x0, 0, ["Wy", "Wy"])
        pic.stamp(x0, 14, ["yo", "yo"])
    pic.bevel(0, 2, w - 1, 13, "5", "3", "1", corner="3")
    pic.set(w - 1, 2, "1")
    # notch at the left end
    pic.stamp(0, 6, ["1", "1.", "1.", "5"])
    pic.stamp(1, 7, ["1", "5"])
    # faint lettering
    for x in (5, 6, 7, 9, 10, 12, 13, 14, 15, 16, 18, 19, 21, 22, 23):
        pic.set(x, 6, "4")
    for x in (5, 6, 8, 9, 10, 11, 13, 14):
        pic.set(x, 9, "4")
    return pic


def half(pic, x0):
    out = Pic()
    for y in range(N):
        for x in range(N):
            out.p[y][x] = pic.p[y][x0 + x]
    return out


def tile26():
    return half(wide_chip(), 0)


def tile27():
    return half(wide_chip(), N)


def tile38():
    return tile26().transposed()


def tile39():
    return tile27().transposed()


# -- hardware on green boards -----------------------------------------------
def tile28():
    pic = board()
    track(pic, [(0, 13), (6, 13), (6, 8), (9, 8)])
    track(pic, [(9, 0), (9, 4), (15, 4)])
    track(pic, [(2, 9), (2, 10)])
    # grey disc ringed in light blue
    for y in range(N):
        for x in range(N):
            dx, dy = x - 4.0, y - 4.0
            d = math.hypot(dx, dy)
            if d <= 3.6:
                if d > 2.6:
                    pic.set(x, y, "B" if shade_of(dx, dy, d) > -0.3 else "b")
                else:
                    s = shade_of(dx, dy, 2.6)
                    pic.set(x, y, "5" if s > 0.3 else ("3" if s > -0.3 else "2"))
    pic.set(3, 3, "W")
    for y in (5, 6, 7, 8):
        if pic.get(8, y) == "g":
            pic.set(8, y, "d")
    # yellow-and-orange block and red block, top right
    pic.stamp(11, 1, ["yyyy", "oooo"])
    drop_shadow(pic, 11, 1, 14, 2)
    pic.stamp(12, 6, ["RRR", "rrm"])
    drop_shadow(pic, 12, 6, 14, 7)
    # grey square part, bottom right
    pic.bevel(10, 10, 14, 14, "5", "3", "1", corner="3")
    pic.set(12, 12, "1")
    drop_shadow(pic, 10, 10, 14, 14)
    # studs
    pic.stamp(1, 9, STUD)
    pic.stamp(4, 9, STUD)
    return pic


def tile29_frame(inner):
    """Bevelled grey frame round a 8x8 inner picture (list of 8 rows)."""
    pic = Pic()
    for y in range(N):
        for x in range(N):
            k = min(x, y, 15 - x, 15 - y)
            if k > 3:
                continue
            top, left = y == k, x == k
            bottom, right = 15 - y == k, 15 - x == k
            if top and x < 15 - k:
                c = "5"
            elif left and y < 15 - k:
                c = "4"
            elif bottom:
                c = "1"
            else:
                c = "2"
            if k == 0:
                c = {"5": "w", "4": "5", "2": "2", "1": "1"}[c]
            if k == 3:
                # the inner lip is in shadow on top/left, lit bottom/right
                c = {"5": "1", "4": "1", "2": "5", "1": "5"}[c]
            pic.set(x, y, c)
    pic.stamp(4, 4, inner)
    return pic


def gem(lit, mid, dark):
    rows = [
        "..LLLL..",
        ".LWLLLM.",
        "LWLMMMMD",
        "LLMMMMMD",
        "LMMMMMDD",
        "LMMMMDDD",
        ".MMDDDD.",
        "..DDDD..",
    ]
    return [r.replace("L", lit).replace("M", mid).replace("D", dark)
            for r in rows]


def tile29():
    return tile29_frame(gem("G", "g", "d"))


def tile30():
    return tile29_frame(gem("B", "b", "b"))


def tile31():
    return tile29_frame(gem("R", "r", "m"))


def tile32():
    inner = []
    for y in range(8):
        inner.append("".join("y" if ((x + y) // 2) % 2 == 0 else "."
                             for x in range(8)))
    return tile29_frame(inner)


def resistor_h(pic, y, x0, x1, body, bands):
    """A horizontal part three rows tall at rows y..y+2, grey leads
    running to the tile edges at both ends."""
    lit, face, shade = body
    pic.hline(0, x0 - 1, y + 1, "3")
    pic.hline(x1 + 1, N - 1, y + 1, "3")
    for x in range(0, x0):
        if pic.get(x, y + 2) == "g":
            pic.set(x, y + 2, "d")
    for x in range(x1 + 1, N):
        if pic.get(x, y + 2) == "g":
            pic.set(x, y + 2, "d")
    pic.hline(x0, x1, y, lit)
    pic.hline(x0, x1, y + 1, face)
    pic.hline(x0, x1, y + 2, shade)
    for bx, c in bands:
        for yy in range(y, y + 3):
            pic.set(bx, yy, c)
    drop_shadow(pic, x0, y, x1, y + 2)


def resistor_v(pic, x, y0, y1, body, bands):
    lit, face, shade = body
    pic.vline(x + 1, 0, y0 - 1, "3")
    pic.vline(x + 1, y1 + 1, N - 1, "3")
    for y in list(range(0, y0)) + list(range(y1 + 1, N)):
        if pic.get(x + 2, y) == "g":
            pic.set(x + 2, y, "d")
    pic.vline(x, y0, y1, lit)
    pic.vline(x + 1, y0, y1, face)
    pic.vline(x + 2, y0, y1, shade)
    for by, c in bands:
        for xx in range(x, x + 3):
            pic.set(xx, by, c)
    drop_shadow(pic, x, y0, x + 2, y1)


def tile33():
    pic = board()
    track(pic, [(0, 1), (15, 1)])
    track(pic, [(7, 3), (7, 9)])
    # two upright parts with grey bars: blue and red
    for x0, lit, face, shade in ((2, "B", "B", "b"), (10, "R", "R", "r")):
        pic.rect(x0, 3, x0 + 3, 9, face)
        pic.vline(x0, 3, 9, lit)
        pic.vline(x0 + 3, 3, 9, shade)
        pic.hline(x0, x0 + 3, 4, "5")
        pic.hline(x0, x0 + 3, 8, "5")
        pic.set(x0 + 3, 4, "2")
        pic.set(x0 + 3, 8, "2")
        drop_shadow(pic, x0, 3, x0 + 3, 9)
    # horizontal yellow part with coloured bands
    resistor_h(pic, 12, 3, 12, ("y", "y", "o"),
               [(5, "R"), (7, "b"), (9, "d"), (11, "n")])
    return pic


def tile34():
    pic = board()
    track(pic, [(0, 1), (15, 1)])
    # grey leads on the left
    for y in (6, 9, 12):
        pic.hline(1, 3, y, "3")
        pic.set(1, y + 1, "d")
        pic.hline(2, 3, y + 1, "d")
    # the red box
    pic.rect(4, 4, 14, 13, "r")
    pic.hline(4, 14, 4, "R")
    pic.vline(4, 4, 13, "R")
    pic.rect(5, 5, 13, 5, "R")
    pic.vline(14, 4, 13, "m")
    pic.rect(4, 7, 14, 8, "o")
    pic.set(14, 8, "r")
    pic.rect(4, 12, 14, 13, "n")
    pic.set(14, 13, "m")
    drop_shadow(pic, 4, 4, 14, 13)
    return pic


def tile35():
    pic = board()
    resistor_h(pic, 1, 3, 12, ("R", "R", "r"),
               [(5, "y"), (7, "b"), (10, "o")])
    resistor_h(pic, 6, 3, 12, ("y", "y", "o"),
               [(5, "R"), (7, "d"), (10, "b")])
    resistor_h(pic, 11, 3, 12, ("B", "B", "b"),
               [(5, "W"), (7, "y"), (10, "R")])
    return pic


def tile36():
    pic = board()
    for x0 in (1, 6, 11):
        resistor_v(pic, x0, 3, 12, ("R", "R", "r"),
                   [(5, "b"), (7, "G"), (10, "y")])
    return pic


def tile37():
    pic = board()
    for y0 in (1, 6, 11):
        resistor_h(pic, y0, 4, 11, ("y", "y", "o"),
                   [(6, "R"), (8, "b"), (10, "n")])
    return pic


TILES = {
    0: tile00, 1: tile01, 2: tile02, 3: tile03, 4: tile04, 5: tile05,
    6: tile06, 7: tile07, 8: tile08, 9: tile09, 10: tile10, 11: tile11,
    12: tile12, 17: tile17, 18: tile18, 19: tile19, 20: tile20, 21: tile21,
    22: tile22, 23: tile23, 24: tile24, 25: tile25, 26: tile26, 27: tile27,
    28: tile28, 29: tile29, 30: tile30, 31: tile31, 32: tile32, 33: tile33,
    34: tile34, 35: tile35, 36: tile36, 37: tile37, 38: tile38, 39: tile39,
}

TILE_NAMES = {
    0: "empty cell", 1: "grey ball", 2: "green maze", 3: "red blob (player)",
    4: "infotron (the collectible)", 5: "chip", 6: "wall block", 7: "exit",
    8: "orange diskette", 9: "tube, collar right", 10: "tube, collar below",
    11: "tube, collar left", 12: "tube, collar above", 17: "scissors",
    18: "yellow diskette", 19: "console", 20: "red diskette",
    21: "upright tube, long collar", 22: "level tube, long collar",
    23: "tube crossing", 24: "sparkles", 25: "maze with a spark",
    26: "wide chip, left half", 27: "wide chip, right half",
    28: "board with parts", 29: "frame with green gem",
    30: "frame with blue gem", 31: "frame with red gem",
    32: "frame with warning stripes", 33: "board with upright parts",
    34: "board with red box", 35: "board with three banded parts",
    36: "board with three upright banded parts",
    37: "board with three yellow banded parts",
    38: "tall chip, upper half", 39: "tall chip, lower half",
}


def badge(up):
    rows = ["WWWWWWW",
            "WWWaWWW",
            "WWaaaWW",
            "WaWaWaW",
            "WWWaWWW",
            "WWWaWWW",
            "WWWWWWW"]
    if up:
        rows = [r.replace("a", "d") for r in rows]
    else:
        rows = [r.replace("a", "m") for r in reversed(rows)]
    return Pic.from_rows(rows)


def unknown():
    """Magenta and black chequered rim, a white question mark."""
    pic = Pic(fill="M")
    for i in range(N):
        for x, y in ((i, 0), (i, N - 1), (0, i), (N - 1, i)):
            pic.set(x, y, "M" if (x + y) % 2 == 0 else ".")
    glyph = [".WWWW.",
             "WW..WW",
             "....WW",
             "...WW.",
             "..WW..",
             "..WW..",
             "......",
             "..WW..",
             "..WW.."]
    x0, y0 = 5, 3
    marks = {(x0 + dx, y0 + dy) for dy, row in enumerate(glyph)
             for dx, c in enumerate(row) if c == "W"}
    for x, y in marks:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in marks:
                    pic.set(x + dx, y + dy, ".")
    for x, y in marks:
        pic.set(x, y, "W")
    return pic


# -- tools --------------------------------------------------------------------
T = 24


def tool_square(outline_dashed, fill_red):
    pic = Pic(T, T)
    lo, hi = 2, 21
    # the diagonal hatching (draw tool)
    for y in range(lo + 1, hi):
        for x in range(lo + 1, hi):
            if not outline_dashed and (x + y) % 3 == 2:
                pic.set(x, y, "+")
            elif fill_red:
                pic.set(x, y, "r")
    side = "###.###.####.###.###"
    assert len(side) == hi - lo + 1
    for i, c in enumerate(side):
        if not outline_dashed:
            c = "#"
        elif c == "." and fill_red:
            c = "r"
        pic.set(lo + i, lo, c)
        pic.set(lo + i, hi, c)
        pic.set(lo, lo + i, c)
        pic.set(hi, lo + i, c)
    return pic


def tool_sign(plus):
    pic = Pic(T, T)
    pic.rect(3, 10, 19, 12, "#")
    if plus:
        pic.rect(10, 3, 12, 19, "#")
    return pic


TOOLS = {
    0: ("draw tool, inactive", lambda: tool_square(False, False)),
    1: ("select tool, inactive", lambda: tool_square(True, False)),
    2: ("draw tool, active", lambda: tool_square(False, True)),
    3: ("select tool, active", lambda: tool_square(True, True)),
    4: ("zoom out", lambda: tool_sign(False)),
    5: ("zoom in", lambda: tool_sign(True)),
}


# -- writing --------------------------------------------------------------------
def write_xpm(path, var, title, pic, colours):
    used = {c for row in pic.p for c in row}
    known = {c for c, _, _ in colours}
    assert used <= known, (path, used - known)
    # the whole map is written even where a colour is unused, so that every
    # file of a set carries the identical map
    cmap = colours
    lines = ["/* XPM */",
             "/* %s */" % title,
             "static const char *%s[] = {" % var,
             "/* columns rows colours chars-per-pixel */",
             '"%d %d %d 1",' % (pic.w, pic.h, len(cmap))]
    for c, value, name in cmap:
        lines.append('"%s c %s", /* %s */' % (c, value, name))
    lines.append("/* pixels */")
    rows = pic.rows()
    for i, row in enumerate(rows):
        lines.append('"%s"%s' % (row, "," if i < len(rows) - 1 else ""))
    lines.append("};")
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    os.makedirs(TOOLS_DIR, exist_ok=True)
    for code, fn in sorted(TILES.items()):
        pic = fn()
        assert (pic.w, pic.h) == (N, N), code
        name = "tile%02d" % code
        write_xpm(os.path.join(HERE, name + ".xpm"), name + "_xpm",
                  "Tile %d: %s" % (code, TILE_NAMES[code]), pic, TILE_COLOURS)
    write_xpm(os.path.join(HERE, "badge_down.xpm"), "badge_down_xpm",
              "Badge for tiles 13..16: white square, dark red arrow down",
              badge(False), TILE_COLOURS)
    write_xpm(os.path.join(HERE, "badge_up.xpm"), "badge_up_xpm",
              "Badge for tiles 40..43: white square, dark green arrow up",
              badge(True), TILE_COLOURS)
    write_xpm(os.path.join(HERE, "unknown.xpm"), "unknown_xpm",
              "Shown for a byte that has no tile picture", unknown(),
              UNKNOWN_COLOURS)
    for code, (title, fn) in sorted(TOOLS.items()):
        name = "tool%d" % code
        write_xpm(os.path.join(TOOLS_DIR, name + ".xpm"), name + "_xpm",
                  "Tool %d: %s" % (code, title), fn(), TOOL_COLOURS)


if __name__ == "__main__":
    main()
