#!/usr/bin/env python3
"""Runs boardshot-render with bad arguments and checks, for each, the exit
status, the message and that the folder is left exactly as it was: no output
written, no input changed, no stray file. Refusals come before any tool is
needed, so the table runs without POV-Ray too.

    render_arguments_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GAME = '[White "A"]\n[Black "B"]\n[Result "1-0"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 1-0\n'
OVERWRITE = "Output file %s would overwrite the input file"
FEN = "8/8/8/8/8/8/8/K6k w - - 0 1"

# (arguments, exit status, message), run in a folder holding game.pgn (6
# half-moves), -dash.pgn (the same game), link.pgn (a symbolic link to
# game.pgn), hard.pgn (a hard link to it), hosts (an ssh login file),
# puzzles.fen (two positions) and the empty folder docs/.
CASES = [
    # An output that is an input, under any name, is never written.
    (["game.pgn", "game.pgn"], 253, OVERWRITE % "game.pgn"),
    (["game.pgn", "./game.pgn"], 253, OVERWRITE % "./game.pgn"),
    (["game.pgn", "link.pgn"], 253, OVERWRITE % "link.pgn"),
    (["link.pgn", "hard.pgn"], 253, OVERWRITE % "hard.pgn"),
    (["--video", "game.pgn", "game.pgn"], 253, OVERWRITE % "game.pgn"),
    (["--gif", "docs/../hard.pgn", "game.pgn"], 253, OVERWRITE % "docs/../hard.pgn"),
    (["--video", "f.mp4", "--frames", "link.pgn", "game.pgn"], 253, OVERWRITE % "link.pgn"),
    (["--video", "f.mp4", "--frames", "hosts", "--sshloginfile", "hosts", "game.pgn"], 253,
     OVERWRITE % "hosts"),
    (["--video", "f.mp4", "--gif", "./f.mp4", "game.pgn"], 2,
     "--video and --gif name the same file"),
    (["--video", "docs", "game.pgn"], 2, "the film docs is a folder"),
    (["game.pgn", "docs"], 2, "the image docs is a folder"),
    (["game.pgn", "none/x.png"], 2, "there is no folder for the image none/x.png"),
    (["--video", "f.mp4", "--frames", "none/f", "game.pgn"], 2,
     "there is no folder for the frames folder none/f"),
    # Options without their value, or with a bad one.
    (["--side"], 2, "--side needs a value"),
    (["game.pgn", "--size"], 2, "--size needs a value"),
    (["--size", "--side", "black", "game.pgn"], 2, "--size needs a value"),
    (["--video", "--gif", "f.gif", "game.pgn"], 2, "--video needs a value"),
    (["--side", "left", "game.pgn"], 2, "--side is white or black, not 'left'"),
    (["--size", "640", "game.pgn"], 2, "--size is WIDTHxHEIGHT in pixels, not '640'"),
    (["--size", "0x9", "game.pgn"], 2, "--size is WIDTHxHEIGHT in pixels, not '0x9'"),
    (["--camera", "low", "game.pgn"], 2, "--camera is high, classic or top, not 'low'"),
    (["--quality", "best", "game.pgn"], 2, "--quality is still or video, not 'best'"),
    (["game.pgn", "-g0"], 2, "-g needs a game number from 1, not '0'"),
    (["game.pgn", "-g"], 2, "-g needs a game number from 1, not ''"),
    (["game.pgn", "-m2.5"], 2, "-m needs a number of half-moves, not '2.5'"),
    (["game.pgn", "-m1-3"], 2, "-m needs a number of half-moves, not '1-3'"),
    (["game.pgn", "x.png", "64", "4x"], 2, "the size '64 4x' is not WIDTH HEIGHT in pixels"),
    (["--video", "f.mp4", "-m4-2", "game.pgn"], 2,
     "-m for a film is A-B, B or A- (half-moves), not '4-2'"),
    (["--video", "f.mp4", "--between", "-1", "game.pgn"], 2,
     "--between needs a whole number of frames, not '-1'"),
    (["--video", "f.mp4", "--hold", "2", "--pace", "1", "game.pgn"], 2,
     "give --pace or --hold, not both"),
    (["--video", "f.mp4", "--pace", "0", "game.pgn"], 2,
     "--pace needs a number of seconds above 0, not '0'"),
    (["--video", "f.mp4", "--pause", "1.2.3", "game.pgn"], 2,
     "--pause needs a number of seconds, not '1.2.3'"),
    (["--video", "f.mp4", "--fps", "0", "game.pgn"], 2, "--fps needs a whole number from 1"),
    (["--video", "f.mp4", "--jobs", "x", "game.pgn"], 2, "--jobs needs a whole number from 1"),
    (["--between", "4", "game.pgn"], 2, "--between is for films"),
    (["--sshloginfile", "hosts", "game.pgn"], 2, "--sshloginfile and --ssh are for films"),
    # A position has no game: no film, no half-move, and --fen no file.
    (["--fen"], 2, "--fen needs a value"),
    (["--fen", FEN], 2, "--fen 'FEN' needs the image's name"),
    (["--fen", FEN, "x.png", "64"], 2, "--fen 'FEN' needs the image's name"),
    (["--fen", FEN, "x.png", "-g2"], 2, "-g and -m choose a position of a file; --fen gives"),
    (["--fen", FEN, "x.png", "-m0"], 2, "-g and -m choose a position of a file; --fen gives"),
    (["--gif", "f.gif", "--fen", FEN], 2, "--fen gives a position, not a game"),
    (["--video", "f.mp4", "puzzles.fen"], 2, "puzzles.fen holds positions, not games"),
    (["puzzles.fen", "x.png", "-g2", "-m1"], 2,
     "-m chooses a half-move of a game; puzzles.fen holds positions"),
    (["-"], 2, "- reads the game from standard input: name the image too"),
    (["--bogus", "game.pgn"], 2, "unknown option --bogus"),
    (["-dash.pgn"], 2, "unknown option -dash.pgn"),
    (["--video", "f.mp4", "missing.pgn"], 2, "cannot read missing.pgn"),
    (["--video", "f.mp4", "game.pgn", "hard.pgn"], 2, "a film is made of one PGN file"),
    # Numbers are decimal whatever their leading zeros, and names may begin
    # with - after -- or as ./-x: these runs get as far as the game's end.
    (["--video", "f.mp4", "--between", "09", "--hold", "08", "--fps", "010", "-m007-",
      "game.pgn"], 2, "-m: game 1 of game.pgn has only 6 half-moves"),
    (["--video", "f.mp4", "-m7-", "--", "-dash.pgn"], 2,
     "-m: game 1 of -dash.pgn has only 6 half-moves"),
    (["--video", "-f.mp4", "-m7-", "./-dash.pgn"], 2,
     "-m: game 1 of ./-dash.pgn has only 6 half-moves"),
    (["--video", "f.mp4", "-g02", "game.pgn"], 4,
     "could not convert game 2 of game.pgn after half-move 0: Game #2 does not exist"),
]


def listing(folder):
    """Every name under the folder with its contents (or link target)."""
    found = {}
    for root, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(root, name)
            if os.path.islink(path):
                found[path] = "-> " + os.readlink(path)
            elif os.path.isfile(path):
                with open(path, "rb") as f:
                    found[path] = f.read()
            else:
                found[path] = "folder"
    return found


class BadArguments(unittest.TestCase):
    def test_each_bad_argument_has_its_status_and_message(self):
        with tempfile.TemporaryDirectory() as work:
            for name in ("game.pgn", "-dash.pgn"):
                with open(os.path.join(work, name), "w") as f:
                    f.write(GAME)
            with open(os.path.join(work, "hosts"), "w") as f:
                f.write(":\n")
            with open(os.path.join(work, "puzzles.fen"), "w") as f:
                f.write(FEN + "\n" + FEN.replace(" w ", " b ") + "\n")
            os.symlink("game.pgn", os.path.join(work, "link.pgn"))
            os.link(os.path.join(work, "game.pgn"), os.path.join(work, "hard.pgn"))
            os.mkdir(os.path.join(work, "docs"))
            before = listing(work)
            for arguments, status, message in CASES:
                with self.subTest(arguments=arguments):
                    run = subprocess.run(
                        [os.path.join(SOURCE, "scripts", "boardshot-render"), "--boardshot",
                         BOARDSHOT, *arguments], cwd=work, capture_output=True, text=True)
                    self.assertEqual(run.returncode, status, run.stderr)
                    self.assertIn(message, run.stderr)
                    self.assertEqual(run.stderr.count("\n"), 1, run.stderr)
                    self.assertEqual(listing(work), before)


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
