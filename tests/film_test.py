#!/usr/bin/env python3
"""Makes films with boardshot-render and checks them: frames spread over a
"host" reached through GNU parallel's --ssh, the frame count, a piece seen
between its squares in an in-between frame, a re-run that renders only the
missing frames, and a game that cannot be converted stopping the run.

    film_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from render_test import SOURCE, Image, top_view_pixel  # noqa: E402

W, H = 96, 72
# 1. e4 d5 2. exd5 Qxd5: 4 half-moves, 2 in-between frames each, every
# position shown once; untinted, so that a square changes only with what
# stands on it.
FILM = ["--size", "%dx%d" % (W, H), "--between", "2", "--hold", "1", "--pause", "0",
        "--camera", "top", "--no-last-move", "--jobs", "4", "game.pgn"]
FRAMES = 1 + 4 * 3
SCRIPTS = {
    # Logs where each povray run happens, then runs the real one.
    "bin/povray": 'echo "$PWD" >>"$WORK/povray.log"; exec %s "$@"',
    # Runs GNU parallel's ssh command line here, in a home of its own and
    # with the login shell sshd would set, as a machine of its own would.
    "ssh": 'while [[ $1 == -* ]]; do case $1 in -[oplicFSJ]) shift 2 ;; *) shift ;; esac; done\n'
           'shift; [[ ${1:-} != -- ]] || shift\n'
           'cd "$WORK/remote" && HOME=$PWD SHELL=/bin/bash exec bash -c "$*"'}


class Film(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        for folder in ("bin", "remote"):
            os.mkdir(self.path(folder))
        povray = subprocess.run(["which", "povray"], capture_output=True, text=True).stdout
        for name, text in SCRIPTS.items():
            with open(self.path(name), "w") as f:
                f.write("#!/usr/bin/env bash\n" + (text % povray.strip() if "%s" in text
                                                    else text) + "\n")
            os.chmod(self.path(name), 0o755)
        with open(self.path("game.pgn"), "w") as f:
            f.write('[White "A"]\n[Black "B"]\n\n1. e4 d5 2. exd5 Qxd5 *\n')
        with open(self.path("hosts"), "w") as f:
            f.write("1/fakehost\n")

    def path(self, *names):
        return os.path.join(self.dir.name, *names)

    def film(self, *args):
        env = dict(os.environ, WORK=self.dir.name,
                   PATH=self.path("bin") + os.pathsep + os.environ["PATH"])
        return subprocess.run([os.path.join(SOURCE, "scripts", "boardshot-render"),
                               "--boardshot", BOARDSHOT, *args], cwd=self.dir.name, env=env,
                              capture_output=True, text=True)

    def povray_runs(self):
        if not os.path.exists(self.path("povray.log")):
            return []
        with open(self.path("povray.log")) as f:
            return f.read().split()

    def frame(self, number):
        return Image(subprocess.run(
            ["ffmpeg", "-loglevel", "error", "-i", self.path("game.mp4.frames",
                                                             "frame-%06d.png" % number),
             "-f", "image2pipe", "-c:v", "ppm", "-"], capture_output=True, check=True).stdout)

    def frames_in_video(self):
        return int(subprocess.run(
            ["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=nb_read_frames", "-of", "csv=p=0", self.path("game.mp4")],
            capture_output=True, text=True, check=True).stdout)

    def test_film_spread_over_hosts_then_resumed(self):
        run = self.film("--video", "game.mp4", "--keep-frames", "--sshloginfile", "hosts",
                        "--ssh", self.path("ssh"), *FILM)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("frames %d/%d" % (FRAMES, FRAMES), run.stderr)
        self.assertEqual(self.frames_in_video(), FRAMES)
        runs = self.povray_runs()
        self.assertEqual(len(runs), FRAMES)
        self.assertTrue(all(r.startswith(self.path("remote")) for r in runs), runs)
        self.assertEqual(os.listdir(self.path("remote")), [])  # cleaned up
        # A third of the way (eased) from e2 to e4 the pawn stands over
        # neither square: e2 looks as after the move, e4 as before it.
        start, between, done = (self.frame(n) for n in (0, 1, 3))
        e2, e4 = top_view_pixel("e2", W, H), top_view_pixel("e4", W, H)
        row = e2[1] - round((e2[1] - e4[1]) * (1 / 3) ** 2 * (3 - 2 / 3))
        self.assertGreater(sum(between.at(e2[0], row)), 500)
        self.assertFalse(between.changed(done, *e2, threshold=25))
        self.assertFalse(between.changed(start, *e4, threshold=25))
        self.assertTrue(start.changed(done, *e2))
        # An interrupted run: two frames missing, one of them half written.
        frames = self.path("game.mp4.frames", "frame-%06d")
        os.remove(frames % 4 + ".png")
        os.rename(frames % 9 + ".png", frames % 9 + ".part.png")
        os.remove(self.path("game.mp4"))
        run = self.film("--video", "game.mp4", *FILM)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(len(self.povray_runs()), FRAMES + 2)
        self.assertEqual(self.frames_in_video(), FRAMES)
        self.assertFalse(os.path.exists(self.path("game.mp4.frames")))

    def test_game_that_cannot_be_converted_stops_the_run(self):
        run = self.film("--video", "game.mp4", *FILM, "-g2")
        self.assertEqual(run.returncode, 4)
        self.assertIn("could not convert game 2", run.stderr)
        self.assertIn("does not exist", run.stderr)
        self.assertEqual(self.povray_runs(), [])
        self.assertFalse(os.path.exists(self.path("game.mp4")))


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
