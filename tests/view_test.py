#!/usr/bin/env python3
"""Renders the example scene's pieces and checks what a chess player must
see: in the default view, from both sides, every piece keeps at least half
of what it shows alone on the board, however crowded the board and the
captured pieces beside it; the diagram from above casts no shadow outside a
piece's square and shows each kind in its own shape; and every name from a
game file is drawn without failing the render.

    view_test.py BOARDSHOT_BINARY [unittest options]
"""
import glob
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from collections import Counter
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from render_test import SOURCE, Image, parse_trouble, top_view_pixel  # noqa: E402

KINDS = ["Pawn", "Knight", "Bishop", "Rook", "Queen", "King"]
BACK_RANK = ["Rook", "Knight", "Bishop", "Queen", "King", "Bishop", "Knight", "Rook"]
INITIAL = [(BACK_RANK[f], "abcdefgh"[f] + rank, colour) for f in range(8)
           for rank, colour in (("1", 0), ("8", 1))] + \
          [("Pawn", "abcdefgh"[f] + rank, colour) for f in range(8)
           for rank, colour in (("2", 0), ("7", 1))]
# Tall pieces straight before and behind short ones, from either side.
FULL_FILE = [("Pawn", "e1", 0), ("King", "e2", 0), ("Pawn", "e3", 1), ("Queen", "e4", 0),
             ("Knight", "e5", 1), ("Pawn", "e6", 0), ("King", "e7", 1), ("Rook", "e8", 1)]
LOSSES = ["Queen", "Rook", "Pawn", "Knight", "Pawn", "Bishop", "King", "Pawn", "Rook",
          "Pawn", "Knight", "Pawn", "Bishop", "Pawn", "Pawn"]
CAPTURES = [(kind, "i%d" % (n + 1), 0) for n, kind in enumerate(LOSSES)] + \
           [(kind, "`%d" % (8 - n), 1) for n, kind in enumerate(LOSSES)] + \
           [("King", "e1", 0), ("King", "e8", 1)]


def render_frames(frames, settings=(), width=320, height=180):
    """One Image per frame: frames[n] lists the (kind, square, colour) drawn
    in it; one povray run renders them all as an animation."""
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "position.inc"), "w") as f:
            for n, pieces in enumerate(frames):
                f.write("#if (frame_number = %d)\n" % n)
                f.writelines('_%s("%s",%d)\n' % piece for piece in pieces)
                f.write("#end\n")
        with open(os.path.join(work, "render.pov"), "w") as f:
            f.write("#version 3.7;\n" + "".join("#declare %s;\n" % s for s in settings)
                    + '#include "boardshot.pov"\n')
        run = subprocess.run(
            ["povray", "+Irender.pov", "+L" + os.path.join(SOURCE, "scene", "example"),
             "+Oframe.ppm", "+FP", "+W%d" % width, "+H%d" % height, "-A", "-D", "+WT1",
             "+KFI0", "+KFF%d" % (len(frames) - 1), "Declare=Boardshot_Light_Samples=1"],
            cwd=work, capture_output=True, text=True)
        assert run.returncode == 0 and not parse_trouble(run.stderr), run.stderr
        names = sorted(glob.glob(os.path.join(work, "frame*.ppm")))
        assert len(names) == len(frames), names
        images = []
        for name in names:
            with open(name, "rb") as f:
                images.append(Image(f.read()))
        return images


def read_png(path):
    """The Image of an 8-bit RGB PNG file as POV-Ray writes it."""
    with open(path, "rb") as f:
        data = f.read()
    at, chunks = 8, {}
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks[kind] = chunks.get(kind, b"") + data[at + 8:at + 8 + size]
        at += 12 + size
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, colour) == (8, 2), (depth, colour)
    raw, stride, rows = zlib.decompress(chunks[b"IDAT"]), width * 3, []
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        above = rows[-1] if rows else bytearray(stride)
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            corner = above[i - 3] if i >= 3 else 0
            guess = (0, left, above[i], (left + above[i]) // 2,
                     min((left, above[i], corner), key=lambda v: abs(left + above[i] - corner - v)))
            line[i] = (line[i] + guess[kind]) & 255
        rows.append(line)
    return Image(b"P6 %d %d 255 " % (width, height) + b"".join(rows))


def pixels(image):
    return [image.rgb[i:i + 3] for i in range(0, len(image.rgb), 3)]


def changed(a, b, threshold=24):
    """How many pixels of two images differ by more than the threshold."""
    return sum(max(abs(p - q) for p, q in zip(x, y)) > threshold
               for x, y in zip(pixels(a), pixels(b)))


FLAT = ["Boardshot_Flat_Colours = 1", "Boardshot_Coordinates = 0"]
TOP = ['Boardshot_Camera_Preset = "top"', "Boardshot_Coordinates = 0"]


class Views(unittest.TestCase):
    def test_no_piece_hides_another_in_the_default_view(self):
        cases = [(name, pieces, side) for name, pieces in
                 (("initial position", INITIAL), ("full file", FULL_FILE),
                  ("fifteen captures a side", CAPTURES)) for side in (0, 1)]
        with ThreadPoolExecutor(2) as pool:
            runs = pool.map(lambda case: render_frames(
                [case[1]] + [[piece] for piece in case[1]],
                FLAT + ["Boardshot_View_Side = %d" % case[2]]), cases)
            for (name, pieces, side), (crowded, *alone) in zip(cases, runs):
                seen = Counter(pixels(crowded))
                for piece, image in zip(pieces, alone):
                    own = Counter(p for p in pixels(image) if max(p) > 0)
                    colour, count = own.most_common(1)[0]
                    with self.subTest(case=name, side=side, piece=piece):
                        self.assertGreater(count, 20)
                        self.assertGreaterEqual(seen[colour], count / 2)

    def test_diagram_shows_each_kind_in_its_shape_and_no_shadow_off_its_square(self):
        w, h = 640, 360
        empty, *alone = render_frames([[]] + [[(kind, "e4", colour)] for colour in (0, 1)
                                              for kind in KINDS], TOP, w, h)
        column, row = top_view_pixel("e4", w, h)
        half = (top_view_pixel("f4", w, h)[0] - column) // 2
        square = [(x, y) for y in range(row - half, row + half + 1)
                  for x in range(column - half, column + half + 1)]
        inside = set(square)
        for n, image in enumerate(alone):
            # Renders are alike to the byte where nothing differs: only rows
            # that differ are looked at pixel by pixel.
            for y in range(h):
                start, end = 3 * w * y, 3 * w * (y + 1)
                if image.rgb[start:end] != empty.rgb[start:end]:
                    shadow = [x for x in range(w) if (x, y) not in inside
                              and image.changed(empty, x, y, 8)]
                    self.assertFalse(shadow, (KINDS[n % 6], y))
        shown = [[max(abs(p - q) for p, q in zip(image.at(*xy), empty.at(*xy))) > 24
                  for xy in square] for image in alone]
        for colour in (0, 1):
            for a in range(6 * colour, 6 * colour + 6):
                for b in range(a + 1, 6 * colour + 6):
                    union = sum(x or y for x, y in zip(shown[a], shown[b]))
                    apart = sum(alone[a].changed(alone[b], *xy, 24) for xy in square)
                    with self.subTest(colour=colour, kinds=(KINDS[a % 6], KINDS[b % 6])):
                        self.assertGreaterEqual(apart, union / 3)

    def test_every_name_is_drawn_or_boxed_and_never_fails_the_render(self):
        names = {"latin-1": b"M\xfcller, J\xf6rg", "accents": "Ćosić, Łódź – Müller".encode(),
                 "cyrillic": "Непомнящий, Ян".encode(), "latin": b"Nepomnyashchiy, Yan",
                 "cyrillic boxes": "\ue000" .join([""] * 15).encode(),
                 "greek": "Καρυάτιδες".encode(), "cjk": "丁立人".encode(),
                 "cjk boxes": "\ue000\ue000\ue000".encode(), "emoji": "Carlsen 😀".encode(),
                 "control": b"Naka\x01mura\x7f"}

        def picture(item):
            work = tempfile.mkdtemp()
            with open(os.path.join(work, "game.pgn"), "wb") as f:
                f.write(b'[White "' + item[1] + b'"]\n[Black "B"]\n\n1. e4 *\n')
            run = subprocess.run([os.path.join(SOURCE, "scripts", "boardshot-render"),
                                  "--boardshot", BOARDSHOT, "game.pgn", "game.png", "--caption",
                                  "--camera", "top", "--size", "320x180"],
                                 cwd=work, capture_output=True, text=True)
            image = read_png(os.path.join(work, "game.png")) if run.returncode == 0 else None
            subprocess.run(["rm", "-rf", work])
            return run, image

        with ThreadPoolExecutor(2) as pool:
            shown = dict(zip(names, pool.map(picture, names.items())))
        for name, (run, _) in shown.items():
            with self.subTest(name=name):
                self.assertEqual(run.returncode, 0, run.stderr)
        image = {name: picture for name, (_, picture) in shown.items()}
        # Cyrillic letters are drawn: neither as Latin ones nor as boxes.
        self.assertGreater(changed(image["cyrillic"], image["latin"]), 30)
        self.assertGreater(changed(image["cyrillic"], image["cyrillic boxes"]), 30)
        if glob.glob("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"):
            self.assertGreater(changed(image["cjk"], image["cjk boxes"]), 30)


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
