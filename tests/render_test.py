#!/usr/bin/env python3
"""Renders positions with the example scene and the real POV-Ray and checks
what a viewer sees: square names taken or refused, the view from Black's
side, the last move's tint, fifteen captured pieces a side in frame, and
hostile PGN tags that stay harmless strings.

    render_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest
from concurrent.futures import ThreadPoolExecutor

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Image:
    """A binary PPM (P6, maxval 255), comment lines allowed."""

    def __init__(self, ppm):
        header = re.match(rb"P6\s+(?:#.*\n\s*)*(\d+)\s+(\d+)\s+255\s", ppm)
        self.width, self.height = int(header[1]), int(header[2])
        self.rgb = ppm[header.end():]

    def at(self, column, row):
        i = (row * self.width + column) * 3
        return tuple(self.rgb[i:i + 3])

    def changed(self, other, column, row, threshold=30):
        return max(abs(a - b) for a, b in zip(self.at(column, row),
                                               other.at(column, row))) > threshold


def render(position, settings=(), width=96, height=72, quality=9):
    """(exit status, POV-Ray's messages, Image or None) of the include text
    `position` under the settings ("Name = value"); quality 3 has no shadows."""
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "position.inc"), "w") as f:
            f.write(position)
        with open(os.path.join(work, "render.pov"), "w") as f:
            f.write("#version 3.7;\n" + "".join("#declare %s;\n" % s for s in settings)
                    + '#include "boardshot.pov"\n')
        run = subprocess.run(
            ["povray", "+Irender.pov", "+L" + os.path.join(SOURCE, "scene", "example"),
             "+Oimage.ppm", "+FP", "+W%d" % width, "+H%d" % height, "+Q%d" % quality,
             "-A", "-D", "+WT1"], cwd=work, capture_output=True, text=True)
        if run.returncode != 0:
            return run.returncode, run.stdout + run.stderr, None
        with open(os.path.join(work, "image.ppm"), "rb") as f:
            return 0, run.stdout + run.stderr, Image(f.read())


def render_all(jobs):
    """render(*job) for every job, four at a time."""
    with ThreadPoolExecutor(4) as pool:
        return list(pool.map(lambda job: render(*job), jobs))


def parse_trouble(messages):
    return any(word in messages for word in ("Error", "Warning:", "Parse Warning"))


def top_view_pixel(square, width, height, side=0):
    """The pixel over a square's centre in the "top" camera's picture, which
    fits 13.2 x 9.6 units (board and captured pieces), turned half round from
    Black's side."""
    scale = height / (2 * max(4.8, 6.6 * height / width))
    x, z = ord(square[0]) - ord("a") - 3.5, int(square[1:]) - 4.5
    if side:
        x, z = -x, -z
    return int(width / 2 + x * scale), int(height / 2 - z * scale)


def boardshot(pgn_path, *options):
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "out.inc")
        subprocess.run([BOARDSHOT, pgn_path, out, *options], capture_output=True, check=True)
        with open(out) as f:
            return f.read()


TOP = ['Boardshot_Camera_Preset = "top"']


class Rendering(unittest.TestCase):
    def test_square_names_are_taken_or_refused_with_the_scenes_message(self):
        cases = [('_Queen("i15",0)', True), ('_Rook("i10",0)', True),
                 ('_Knight("`-6",1)', True), ('_Bishop("`0",1)', True),
                 ('_King("h8",1)', True), ('_Pawn("j1",0)', False), ('_Pawn("_1",0)', False),
                 ('_Pawn("a",0)', False), ('_Pawn("",0)', False), ('_Pawn("a-",0)', False),
                 ('_Pawn("e4.5",0)', False), ('_Pawn("e4",2)', False)]
        runs = render_all([("\n" + record, (), 8, 6) for record, _ in cases])
        for (record, accepted), (status, messages, _) in zip(cases, runs):
            with self.subTest(record=record):
                self.assertEqual(status == 0 and not parse_trouble(messages), accepted,
                                 messages)
                if not accepted:
                    self.assertIn("boardshot.pov:", messages)

    def test_views_and_last_move_of_the_sample_game(self):
        # The end of the sample game, 22... Kxb7, seen from above.
        final = boardshot(os.path.join(SOURCE, "samples", "fried-liver.pgn"), "--details")
        w, h = 136, 96
        runs = render_all([(final, TOP, w, h), (final, TOP + ["Boardshot_View_Side = 1"], w, h),
                           (final, TOP + ["Boardshot_Mark_Last_Move = 0"], w, h)])
        for status, messages, _ in runs:
            self.assertFalse(status or parse_trouble(messages), messages)
        white, black, unmarked = (run[2] for run in runs)
        # From Black's side every square shows what it shows from White's,
        # turned half round: where White's view has Black's king on b7,
        # Black's has the white pawn on g2.
        for square in ["b7", "e6", "g1", "a2", "h2", "d4", "b8"]:
            seen_white = white.at(*top_view_pixel(square, w, h, 0))
            seen_black = black.at(*top_view_pixel(square, w, h, 1))
            self.assertLess(max(abs(a - b) for a, b in zip(seen_white, seen_black)), 30,
                            square)
        b7 = top_view_pixel("b7", w, h)
        self.assertLess(sum(white.at(*b7)), 150)
        self.assertGreater(sum(black.at(*b7)), 400)
        # The king came from b8: both squares turn yellow, d4 stays as it was.
        for square in ["b8", "b7"]:
            column, row = top_view_pixel(square, w, h)
            red, green, blue = white.at(column - 3, row + 3)
            plain_red, plain_green, plain_blue = unmarked.at(column - 3, row + 3)
            self.assertGreater(green - blue, plain_green - plain_blue + 25, square)
        self.assertFalse(white.changed(unmarked, *top_view_pixel("d4", w, h), threshold=8))

    def test_fifteen_captured_pieces_a_side_fit_in_the_default_view(self):
        kings = '\n_King("e1",0)\n_King("e8",1)'
        full = kings + "".join('\n_King("i%d",0)\n_King("`%d",1)' % (n, 9 - n)
                               for n in range(1, 16))
        farthest = kings + '\n_King("i15",0)\n_King("`-6",1)'
        for w, h in [(96, 54), (80, 60)]:
            # Without shadows, which may run off the picture.
            runs = render_all([(p, (), w, h, 3) for p in (kings, full, farthest)])
            bare, crowded, far = (run[2] for run in runs)
            border = [(c, r) for c in range(w) for r in (0, h - 1)] + \
                     [(c, r) for r in range(h) for c in (0, w - 1)]
            self.assertFalse([p for p in border if crowded.changed(bare, *p)],
                             "captured pieces reach the edge of %dx%d" % (w, h))
            # The camera stays put: the middle of the board is unchanged.
            self.assertFalse(crowded.changed(bare, w // 2, h // 2, 8))
            # The farthest places on both sides are in the picture.
            for half in (range(0, w // 2), range(w // 2, w)):
                self.assertTrue(any(far.changed(bare, c, r) for c in half for r in range(h)))

    def test_hostile_tags_stay_strings(self):
        tags = {"White": '"; #include "/etc/passwd', "Black": "#while(1) #end \\ \\\" ` ;",
                "Event": "\u00c9v\u00e9nement \u2014 caf\u00e9", "Site": "x" * 600}
        with tempfile.TemporaryDirectory() as work:
            pgn = os.path.join(work, "game.pgn")
            with open(pgn, "w", encoding="utf-8") as f:
                f.writelines('[%s "%s"]\n' % (name, value.replace("\\", "\\\\")
                                              .replace('"', '\\"'))
                             for name, value in tags.items())
                f.write("\n1. e4 e5 2. Nf3 *\n")
            position = boardshot(pgn, "--details")
        # The caption draws every string; #debug shows two as POV-Ray read them.
        shown = "".join('#debug concat("<", Boardshot_%s, ">\\n")\n' % n
                        for n in ("White", "Black"))
        status, messages, _ = render(position + "\n" + shown, ["Boardshot_Caption = 1"], 32, 24)
        self.assertFalse(status or parse_trouble(messages), messages)
        for name in ["White", "Black"]:
            self.assertIn("<%s>" % tags[name], messages)


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
