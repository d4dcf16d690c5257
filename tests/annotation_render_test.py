#!/usr/bin/env python3
"""Renders the arrows and marked squares of an annotated game with the
example scene and the real POV-Ray, from White's and Black's side of the
diagram view, and checks their pixels: an arrow's bar and a knight arrow's
corner in its colour, a marked square tinted, the rest of the board as it
was, and nothing of them with Boardshot_Annotations = 0. Then the same
position through boardshot-render: from the game read on standard input,
with --no-annotations, and from its FEN.

    annotation_render_test.py BOARDSHOT_BINARY [unittest options]

Exits with 77 (skipped) when povray is not installed.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import render_test  # noqa: E402  (the render helpers)
from render_test import SOURCE, TOP, parse_trouble, render, render_all  # noqa: E402

STUDY = os.path.join(SOURCE, "tests", "data", "lichess-study-style.pgn")
WIDTH, HEIGHT = 240, 180


def board_pixel(file, rank, side):
    """The pixel of the top view over board point (file, rank), both counted
    in squares from a1's centre (0, 0), turned half round from Black's side."""
    scale = HEIGHT / (2 * max(4.8, 6.6 * HEIGHT / WIDTH))
    x, z = file - 3.5, rank - 3.5
    if side:
        x, z = -x, -z
    return int(WIDTH / 2 + x * scale), int(HEIGHT / 2 - z * scale)


def square(name):
    return ord(name[0]) - ord("a"), int(name[1]) - 1


def is_green(rgb):
    red, green, blue = rgb
    return green > red + 25 and green > blue + 25


class AnnotationRendering(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # After 3. Bc4: [%csl Rf7][%cal Gc4f7,Gf3g5].
        cls.position = render_test.boardshot(STUDY, "-m5", "--details")
        views = [(side, shown) for side in (0, 1) for shown in (1, 0)]
        runs = render_all([(cls.position, TOP + ["Boardshot_View_Side = %d" % side,
                                                 "Boardshot_Annotations = %d" % shown],
                            WIDTH, HEIGHT) for side, shown in views])
        for status, messages, _ in runs:
            assert not (status or parse_trouble(messages)), messages
        cls.images = {view: run[2] for view, run in zip(views, runs)}

    def test_the_position_declares_the_plan(self):
        self.assertIn('Boardshot_Arrows = "Gc4f7,Gf3g5";', self.position)
        self.assertIn('Boardshot_Marked_Squares = "Rf7";', self.position)

    def test_arrows_show_in_their_colour_from_both_sides(self):
        # The bar of c4-f7 crosses the empty e6 and the d5-e6 edge; the
        # knight's arrow f3-g5 runs up the f-file, turns on f5 and points
        # at g5 (its head short of the centre).
        points = {"e6": square("e6"), "d5-e6": (3.5, 4.5), "f4": square("f4"),
                  "corner f5": square("f5"), "f5-g5": (5.55, 4)}
        for side in (0, 1):
            drawn, plain = self.images[(side, 1)], self.images[(side, 0)]
            for name, point in points.items():
                with self.subTest(side=side, point=name):
                    pixel = board_pixel(*point, side)
                    self.assertTrue(is_green(drawn.at(*pixel)), drawn.at(*pixel))
                    self.assertFalse(is_green(plain.at(*pixel)), plain.at(*pixel))

    def test_a_marked_square_is_tinted_and_other_squares_are_not(self):
        for side in (0, 1):
            drawn, plain = self.images[(side, 1)], self.images[(side, 0)]
            # f7 holds a pawn, and c4-f7's head points at it from below
            # left: the tint shows near the square's upper left corner.
            corner = board_pixel(square("f7")[0] - 0.4, square("f7")[1] + 0.4, side)
            red, green, _ = drawn.at(*corner)
            plain_red, plain_green, _ = plain.at(*corner)
            self.assertGreater(red - green, plain_red - plain_green + 25, (side, red, green))
            for name in ("a6", "h3", "d3", "b5"):
                pixel = board_pixel(*square(name), side)
                self.assertFalse(drawn.changed(plain, *pixel, threshold=8), (side, name))

    def test_entries_the_scene_cannot_draw_are_refused_with_its_message(self):
        for bad in ['"Ge2e9"', '"Xe2e4"', '"Ge2e4,"', '"Ge2"']:
            with self.subTest(bad=bad):
                status, messages, _ = render("\n#declare Boardshot_Arrows = %s;" % bad,
                                             (), 8, 6)
                self.assertNotEqual(status, 0)
                self.assertIn("boardshot_annotations.inc:", messages)


@unittest.skipIf(shutil.which("ffmpeg") is None, "ffmpeg reads the pictures")
class RenderTool(unittest.TestCase):
    def test_a_fen_and_a_game_piped_without_its_annotations_look_alike(self):
        after_bc4 = "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3"
        look = ["--size", "64x48", "--camera", "top", "--no-last-move", "--no-coordinates"]
        runs = {"piped": ["-", "-m5"], "plain": [STUDY, "-m5", "--no-annotations"],
                "fen": ["--fen", after_bc4], "bad": ["--fen", "8/8/8/8 w - -"]}
        pixels = {}
        with tempfile.TemporaryDirectory() as work, open(STUDY) as study:
            for name, arguments in runs.items():
                image = os.path.join(work, name + ".png")
                run = subprocess.run([os.path.join(SOURCE, "scripts", "boardshot-render"),
                                      "--boardshot", render_test.BOARDSHOT, *look, *arguments,
                                      image], stdin=study, capture_output=True, text=True)
                if name == "bad":
                    self.assertEqual((run.returncode, os.path.exists(image)), (4, False))
                    self.assertIn("Invalid FEN", run.stderr)
                    continue
                self.assertEqual(run.returncode, 0, run.stderr)
                pixels[name] = subprocess.run(
                    ["ffmpeg", "-loglevel", "error", "-i", image, "-f", "rawvideo", "-"],
                    capture_output=True, check=True).stdout
        self.assertEqual(pixels["plain"], pixels["fen"])
        self.assertNotEqual(pixels["piped"], pixels["plain"])


if __name__ == "__main__":
    if shutil.which("povray") is None:
        print("povray is not installed: skipped")
        sys.exit(77)
    render_test.BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
