#!/usr/bin/env python3
"""Renders positions with the example scene and the real POV-Ray and checks
what a viewer sees: square names the macros take or refuse, the view from
Black's side, the last move's tint, fifteen captured pieces a side in frame,
and hostile PGN tags that stay harmless strings.

    render_test.py BOARDSHOT_BINARY [unittest options]
"""
import concurrent.futures
import os
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCENE_DIR = os.path.join(SOURCE, "scene", "example")
BOARDSHOT = None  # set from the command line


def read_ppm(data):
    """(width, height, bytes of RGB rows) of a binary PPM as POV-Ray writes it."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    return int(fields[1]), int(fields[2]), data[pos + 1:]


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def at(self, column, row):
        i = (row * self.width + column) * 3
        return tuple(self.rgb[i:i + 3])

    def changed(self, other, column, row, threshold=30):
        return max(abs(a - b) for a, b in zip(self.at(column, row),
                                               other.at(column, row))) > threshold


def render(position, settings=(), width=96, height=72, quality=9):
    """Renders the include text `position` with the scene settings given as
    "Name = value" texts; returns (exit status, POV-Ray's messages, Image).
    Quality 3 leaves out shadows."""
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "position.inc"), "w") as f:
            f.write(position)
        with open(os.path.join(work, "render.pov"), "w") as f:
            f.write("#version 3.7;\n")
            f.writelines("#declare %s;\n" % s for s in settings)
            f.write('#include "boardshot.pov"\n')
        run = subprocess.run(
            ["povray", "+Irender.pov", "+L" + SCENE_DIR, "+Oimage.ppm", "+FP",
             "+W%d" % width, "+H%d" % height, "+Q%d" % quality, "-A", "-D", "+WT1"],
            cwd=work, capture_output=True, text=True)
        image = None
        if run.returncode == 0:
            with open(os.path.join(work, "image.ppm"), "rb") as f:
                image = Image(*read_ppm(f.read()))
        return run.returncode, run.stdout + run.stderr, image


def parse_trouble(messages):
    return any(word in messages for word in ("Error", "Warning:", "Parse Warning"))


def top_view_pixel(square, width, height, side=0):
    """The pixel above a square's centre in the "top" camera's picture: the
    view fits the board and both blocks of captured pieces, 13.2 x 9.6
    units, turned half round from Black's side."""
    units_high = 2 * max(4.8, 6.6 * height / width)
    scale = height / units_high
    x, z = ord(square[0]) - ord("a") - 3.5, int(square[1:]) - 4.5
    if side:
        x, z = -x, -z
    return int(width / 2 + x * scale), int(height / 2 - z * scale)


def sample_final():
    """The include with details of the sample game's end, 22... Kxb7."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "final.inc")
        subprocess.run([BOARDSHOT, os.path.join(SOURCE, "samples", "fried-liver.pgn"),
                        out, "--details"], capture_output=True, check=True)
        with open(out) as f:
            return f.read()


TOP = ['Boardshot_Camera_Preset = "top"']


class SquareNames(unittest.TestCase):
    CASES = [  # record, accepted
        ('_Queen("i15",0)', True), ('_Rook("i10",0)', True),
        ('_Knight("`-6",1)', True), ('_Bishop("`0",1)', True),
        ('_King("h8",1)', True), ('_Pawn("j1",0)', False),
        ('_Pawn("_1",0)', False), ('_Pawn("a",0)', False), ('_Pawn("",0)', False),
        ('_Pawn("a-",0)', False), ('_Pawn("e4.5",0)', False),
        ('_Pawn("e4",2)', False)]

    def test_records_are_taken_or_refused_with_the_scenes_message(self):
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            runs = list(pool.map(lambda c: render("\n" + c[0], (), 8, 6), self.CASES))
        for (record, accepted), (status, messages, _) in zip(self.CASES, runs):
            with self.subTest(record=record):
                if accepted:
                    self.assertEqual(status, 0, messages)
                    self.assertFalse(parse_trouble(messages), messages)
                else:
                    self.assertNotEqual(status, 0)
                    self.assertIn("boardshot.pov:", messages)


class Views(unittest.TestCase):
    W, H = 136, 96

    @classmethod
    def setUpClass(cls):
        position = sample_final()
        settings = [TOP, TOP + ["Boardshot_View_Side = 1"],
                    TOP + ["Boardshot_Mark_Last_Move = 0"]]
        with concurrent.futures.ThreadPoolExecutor(3) as pool:
            runs = list(pool.map(lambda s: render(position, s, cls.W, cls.H), settings))
        for status, messages, _ in runs:
            assert status == 0 and not parse_trouble(messages), messages
        cls.white, cls.black, cls.unmarked = (run[2] for run in runs)

    def test_view_from_black_turns_the_board_half_round(self):
        # Black's king b7, bishop e6, rook e5; White's king g1, pawns a2, h2.
        for square in ["b7", "e6", "g1", "a2", "h2", "d4", "b8"]:
            seen_white = self.white.at(*top_view_pixel(square, self.W, self.H, 0))
            seen_black = self.black.at(*top_view_pixel(square, self.W, self.H, 1))
            self.assertLess(max(abs(a - b) for a, b in zip(seen_white, seen_black)), 30,
                            square)
        # Where White's view shows the black king on b7, Black's shows g2's pawn.
        b7 = top_view_pixel("b7", self.W, self.H)
        self.assertLess(sum(self.white.at(*b7)), 150)
        self.assertGreater(sum(self.black.at(*b7)), 400)

    def test_last_move_squares_are_tinted(self):
        # 22... Kxb7: the king came from b8; the squares turn yellow, d4 not.
        for square in ["b8", "b7"]:
            column, row = top_view_pixel(square, self.W, self.H)
            corner = (column - 3, row + 3)
            red, green, blue = self.white.at(*corner)
            plain_red, plain_green, plain_blue = self.unmarked.at(*corner)
            self.assertGreater(green - blue, plain_green - plain_blue + 25, square)
        d4 = top_view_pixel("d4", self.W, self.H)
        self.assertFalse(self.white.changed(self.unmarked, *d4, threshold=8))


class CapturedPieces(unittest.TestCase):
    KINGS = '\n_King("e1",0)\n_King("e8",1)'

    def test_fifteen_a_side_fit_in_the_default_view(self):
        full = self.KINGS + "".join('\n_King("i%d",0)\n_King("`%d",1)' % (n, 8 - n + 1)
                                    for n in range(1, 16))
        farthest = self.KINGS + '\n_King("i15",0)\n_King("`-6",1)'
        for width, height in [(96, 54), (80, 60)]:
            with concurrent.futures.ThreadPoolExecutor(3) as pool:
                # Without shadows, which may run off the picture.
                runs = list(pool.map(lambda p: render(p, (), width, height, 3),
                                     [self.KINGS, full, farthest]))
            for status, messages, _ in runs:
                self.assertEqual(status, 0, messages)
            bare, crowded, far = (run[2] for run in runs)
            border = [(c, r) for c in range(width) for r in (0, height - 1)] + \
                     [(c, r) for r in range(height) for c in (0, width - 1)]
            self.assertFalse([p for p in border if crowded.changed(bare, *p)],
                             "captured pieces reach the edge of %dx%d" % (width, height))
            # The camera stays put: the middle of the board is unchanged.
            self.assertFalse(crowded.changed(bare, width // 2, height // 2, 8))
            # The farthest places on both sides are in the picture.
            for half in (range(0, width // 2), range(width // 2, width)):
                self.assertTrue(any(far.changed(bare, c, r)
                                    for c in half for r in range(height)))


class HostileTags(unittest.TestCase):
    TAGS = {"White": '"; #include "/etc/passwd',
            "Black": "#while(1) #end \\ \\\" ` ' ; }",
            "Event": "\u00c9v\u00e9nement \u2014 caf\u00e9",
            "Site": "x" * 600}

    def test_tags_stay_strings_in_the_scene(self):
        with tempfile.TemporaryDirectory() as work:
            with open(os.path.join(work, "game.pgn"), "w", encoding="utf-8") as f:
                for name, value in self.TAGS.items():
                    f.write('[%s "%s"]\n' % (name, value.replace("\\", "\\\\")
                                             .replace('"', '\\"')))
                f.write("\n1. e4 e5 2. Nf3 *\n")
            subprocess.run([BOARDSHOT, "game.pgn", "game.inc", "--details"], cwd=work,
                           capture_output=True, check=True)
            with open(os.path.join(work, "game.inc")) as f:
                position = f.read()
        if "Boardshot_White" not in position:
            self.skipTest("this boardshot writes no --details")
        shown = ["Boardshot_White", "Boardshot_Black"]
        debug = "".join('#debug concat("<", %s, ">\\n")\n' % n for n in shown)
        status, messages, _ = render(position + "\n" + debug,
                                     ["Boardshot_Caption = 1"], 32, 24)
        self.assertEqual(status, 0, messages)
        self.assertFalse(parse_trouble(messages), messages)
        for name in ["White", "Black"]:
            self.assertIn("<%s>" % self.TAGS[name], messages)


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
