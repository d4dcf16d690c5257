#!/usr/bin/env python3
"""Makes films with boardshot-render and checks them: the frame count, a
piece seen between its squares in an in-between frame, frames spread over a
"host" reached through GNU parallel's --ssh, a re-run that renders only the
missing frames, and a game that cannot be converted stopping the run.

    film_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from render_test import SOURCE, Image, read_ppm, top_view_pixel  # noqa: E402

TOOL = os.path.join(SOURCE, "scripts", "boardshot-render")
GAME = '[White "A"]\n[Black "B"]\n\n1. e4 d5 2. exd5 Qxd5 *\n'
W, H = 96, 72
# 4 half-moves, 2 in-between frames each, every position shown once.
FILM = ["--size", "%dx%d" % (W, H), "--between", "2", "--hold", "1", "--pause", "0",
        "--camera", "top", "--jobs", "4"]
FRAMES = 1 + 4 * 3

# Logs where each povray run happens, then runs the real one.
POVRAY_SPY = """#!/usr/bin/env bash
echo "$PWD" >>"%s"
exec %s "$@"
"""
# Takes GNU parallel's ssh command line and runs it here, in a home of its
# own, as a machine of its own would.
SSH_STANDIN = """#!/usr/bin/env bash
set -euo pipefail
while [[ $1 == -* ]]; do case $1 in -[oplicFSJ]) shift 2 ;; *) shift ;; esac; done
shift
[[ ${1:-} != -- ]] || shift
cd "%s" && HOME=$PWD exec bash -c "$*"
"""


def write_script(path, text):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)


def frame_image(path):
    ppm = subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f", "image2pipe",
                          "-c:v", "ppm", "-"], capture_output=True, check=True).stdout
    return Image(*read_ppm(ppm))


class Film(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = self.dir.name
        self.addCleanup(self.dir.cleanup)
        with open(self.path("game.pgn"), "w") as f:
            f.write(GAME)
        os.mkdir(self.path("bin"))
        os.mkdir(self.path("remote"))
        real = subprocess.run(["bash", "-c", "command -v povray"], capture_output=True,
                              text=True, check=True).stdout.strip()
        write_script(self.path("bin", "povray"), POVRAY_SPY % (self.path("povray.log"), real))
        write_script(self.path("ssh"), SSH_STANDIN % self.path("remote"))

    def path(self, *names):
        return os.path.join(self.work, *names)

    def film(self, *args):
        env = dict(os.environ, PATH=self.path("bin") + os.pathsep + os.environ["PATH"])
        return subprocess.run([TOOL, "--boardshot", BOARDSHOT, *args], cwd=self.work,
                              env=env, capture_output=True, text=True)

    def povray_runs(self):
        if not os.path.exists(self.path("povray.log")):
            return []
        with open(self.path("povray.log")) as f:
            return f.read().split()

    def frame_count(self, video):
        return int(subprocess.run(
            ["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
             "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", video],
            capture_output=True, text=True, check=True).stdout)

    def test_film_of_a_game_with_a_capture(self):
        run = self.film("--video", "game.mp4", "--keep-frames", *FILM, "game.pgn")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(self.frame_count(self.path("game.mp4")), FRAMES)
        self.assertEqual(len(self.povray_runs()), FRAMES)
        self.assertIn("frames %d/%d" % (FRAMES, FRAMES), run.stderr)
        start, between, done = (frame_image(self.path("game.mp4.frames",
                                                      "frame-%06d.png" % n))
                                for n in (0, 1, 3))
        # A third of the way (eased) from e2 to e4, the pawn stands over
        # neither square: e2 looks as after the move, e4 as before it.
        e2, e4 = top_view_pixel("e2", W, H), top_view_pixel("e4", W, H)
        column, row = e2
        row -= round((e2[1] - e4[1]) * (1 / 3) ** 2 * (3 - 2 / 3))
        self.assertGreater(sum(between.at(column, row)), 500)
        self.assertFalse(between.changed(done, *e2, threshold=25))
        self.assertFalse(between.changed(start, *e4, threshold=25))
        self.assertTrue(start.changed(done, *e2))

    def test_frames_spread_over_hosts_and_rerun_renders_only_missing_ones(self):
        with open(self.path("hosts"), "w") as f:
            f.write("1/fakehost\n")
        run = self.film("--video", "game.mp4", "--keep-frames", *FILM,
                        "--sshloginfile", "hosts", "--ssh", self.path("ssh"), "game.pgn")
        self.assertEqual(run.returncode, 0, run.stderr)
        runs = self.povray_runs()
        self.assertEqual(len(runs), FRAMES)
        self.assertTrue(all(r.startswith(self.path("remote")) for r in runs), runs)
        self.assertEqual(os.listdir(self.path("remote")), [])  # cleaned up
        # An interrupted run: two frames missing, one of them half written.
        os.remove(self.path("game.mp4.frames", "frame-000004.png"))
        os.rename(self.path("game.mp4.frames", "frame-000009.png"),
                  self.path("game.mp4.frames", "frame-000009.part.png"))
        os.remove(self.path("game.mp4"))
        run = self.film("--video", "game.mp4", *FILM, "game.pgn")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(len(self.povray_runs()), FRAMES + 2)
        self.assertEqual(self.frame_count(self.path("game.mp4")), FRAMES)
        self.assertFalse(os.path.exists(self.path("game.mp4.frames")))

    def test_game_that_cannot_be_converted_stops_the_run(self):
        run = self.film("--video", "game.mp4", *FILM, "game.pgn", "-g2")
        self.assertEqual(run.returncode, 4)
        self.assertIn("could not convert game 2", run.stderr)
        self.assertIn("does not exist", run.stderr)
        self.assertEqual(self.povray_runs(), [])
        self.assertFalse(os.path.exists(self.path("game.mp4")))


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
