#!/usr/bin/env python3
"""Makes films with boardshot-render and checks them: runs spread over a
"host" reached through a stand-in ssh command beside a dead one, in-between
frames pasted from windows that look as the whole frame does, also where
arrows and marked squares come and go, a re-run that renders only what is
missing, an interruption that keeps finished frames, a part of a game
ending on its result, and a game that cannot be converted.
Exits 77 (skipped) without povray, GNU parallel, ffmpeg or rsync.

    film_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from render_test import SOURCE, Image, top_view_pixel  # noqa: E402

TOOLS = ["povray", "parallel", "ffmpeg", "ffprobe", "rsync"]
W, H = 96, 72
# 1. e4 d5 2. exd5 Qxd5: 4 half-moves, 2 in-between frames each, every
# position shown once, untinted, so that a square changes only with what
# stands on it; frame 3k is the position after k half-moves.
FILM = ["--size", "%dx%d" % (W, H), "--between", "2", "--hold", "1", "--pause", "0",
        "--camera", "top", "--no-caption", "--no-last-move", "game.pgn"]
FRAMES = 1 + 4 * 3
SCRIPTS = {
    # Logs each povray run (where, and its arguments) and runs the real one,
    # after a pause in the runs from frame 7 on when $WORK/slow exists.
    "bin/povray": 'echo "$$ $PWD $*" >>"$WORK/povray.log"\n'
                  '[[ ! -e $WORK/slow || ! " $* " =~ \\ \\+SF([0-9]+)\\  ]]'
                  ' || ((BASH_REMATCH[1] < 7)) || sleep 30\n'
                  'exec %s "$@"',
    # Runs GNU parallel's ssh command line here, in a home of its own and
    # with the login shell sshd would set, as a machine of its own would;
    # "deadhost" cannot be reached, "losthost" no longer once jobs start,
    # and on "brokenhost" povray fails.
    "ssh": 'while [[ $1 == -* ]]; do case $1 in -[oplicFSJO]) shift 2 ;; *) shift ;; esac; done\n'
           '[[ $1 != deadhost ]] || { echo "ssh: connect to host deadhost: refused" >&2; exit 255; }\n'
           '[[ $1 != losthost || $* != *GNU_Parallel_worker* ]] || exit 255\n'
           'broken=; [[ $1 != brokenhost ]] || broken=$WORK/broken:\n'
           'shift; [[ ${1:-} != -- ]] || shift\n'
           'cd "$WORK/remote" && PATH=$broken$PATH HOME=$PWD SHELL=/bin/bash exec bash -c "$*"',
    "broken/povray": 'exit 1'}


def running(pid):
    """Whether process pid runs (and is not merely left for its parent to reap)."""
    try:
        with open("/proc/%s/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


class Film(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        for folder in ("bin", "remote", "broken"):
            os.mkdir(self.path(folder))
        for name, text in SCRIPTS.items():
            with open(self.path(name), "w") as f:
                f.write("#!/usr/bin/env bash\n" + text.replace("%s", shutil.which("povray"))
                        + "\n")
            os.chmod(self.path(name), 0o755)
        self.write("game.pgn", '[White "A"]\n[Black "B"]\n\n1. e4 d5 2. exd5 Qxd5 *\n')
        self.write("hosts", "1/fakehost\ndeadhost\n1/brokenhost\n1/losthost\n")

    def path(self, *names):
        return os.path.join(self.dir.name, *names)

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def command(self, *args):
        env = dict(os.environ, WORK=self.dir.name,
                   PATH=self.path("bin") + os.pathsep + os.environ["PATH"])
        return [os.path.join(SOURCE, "scripts", "boardshot-render"), "--boardshot", BOARDSHOT,
                *args], dict(cwd=self.dir.name, env=env, text=True)

    def film(self, *args):
        command, options = self.command(*args)
        return subprocess.run(command, capture_output=True, **options)

    def povray_runs(self):
        if not os.path.exists(self.path("povray.log")):
            return []
        with open(self.path("povray.log")) as f:
            return [line.split(" ", 2) for line in f.read().splitlines()]

    def image(self, path):
        return Image(subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f",
                                     "image2pipe", "-c:v", "ppm", "-"],
                                    capture_output=True, check=True).stdout)

    def frame(self, number, folder="game.mp4.frames"):
        return self.image(self.path(folder, "frame-%06d.png" % number))

    def frames_in_video(self, name="game.mp4"):
        return int(subprocess.run(
            ["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=nb_read_frames", "-of", "csv=p=0", self.path(name)],
            capture_output=True, text=True, check=True).stdout)

    def assert_pasted_as_whole(self, numbers, width=W, height=H, folder="game.mp4.frames"):
        """Frames pasted from windows look as the frame rendered whole by the
        film's own job, through a window on all of it."""
        for number in numbers:
            run = "W_%d_%d_1_1_%d_1_%d" % (number, number, width, height)
            subprocess.run(["bash", "job.sh", run], cwd=self.path(folder), capture_output=True,
                           check=True)
            whole = self.image(self.path(folder, "out-" + run, "f%d.png" % number))
            pasted = self.frame(number, folder)
            differ = [(c, r) for c in range(width) for r in range(height)
                      if whole.changed(pasted, c, r, threshold=6)]
            self.assertLessEqual(len(differ), 3, (number, differ[:20]))

    def test_film_spread_over_hosts_then_resumed(self):
        run = self.film("--video", "game.mp4", "--keep-frames", "--sshloginfile", "hosts",
                        "--ssh", self.path("ssh"), *FILM)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stderr.count("deadhost"), 1, run.stderr)
        self.assertIn("leaving out deadhost: it cannot be reached", run.stderr)
        # The hosts that fail once the film is under way are left out too,
        # and their runs rendered on the one left.
        self.assertEqual(run.stderr.count("brokenhost"), 1, run.stderr)
        self.assertIn("leaving out brokenhost: rendering failed there", run.stderr)
        self.assertEqual(run.stderr.count("losthost"), 1, run.stderr)
        self.assertIn("leaving out losthost: it cannot be reached any more", run.stderr)
        self.assertIn("frames %d/%d" % (FRAMES, FRAMES), run.stderr)
        self.assertEqual(self.frames_in_video(), FRAMES)
        runs = self.povray_runs()
        # The plan and the first frame are made here, the rest over there.
        here = [args for _, where, args in runs if not where.startswith(self.path("remote"))]
        self.assertEqual(len(here), 2, runs)
        self.assertTrue(any("Boardshot_Film_Plan=1" in args for args in here), here)
        self.assertEqual(os.listdir(self.path("remote")), [])  # its work folder is gone
        # The first frame is rendered whole, every other one through windows,
        # in fewer runs than frames.
        whole = [args for _, _, args in runs if "+SC" not in args]
        self.assertEqual(len(whole), 1, runs)
        self.assertLess(len(runs), FRAMES)
        # A third of the way (eased) from e2 to e4 the pawn stands over
        # neither square: e2 looks as after the move, e4 as before it.
        start, between, done = (self.frame(n) for n in (0, 1, 3))
        e2, e4 = top_view_pixel("e2", W, H), top_view_pixel("e4", W, H)
        row = e2[1] - round((e2[1] - e4[1]) * (1 / 3) ** 2 * (3 - 2 / 3))
        self.assertGreater(sum(between.at(e2[0], row)), 500)
        self.assertFalse(between.changed(done, *e2, threshold=25))
        self.assertFalse(between.changed(start, *e4, threshold=25))
        self.assertTrue(start.changed(done, *e2))
        # Pasted in-between frames look as the whole frame: the queen's
        # capture, her shadow and the pawn arriving beside the board.
        self.assert_pasted_as_whole((10, 11, 7, 12, 9))
        # An interrupted run: a position and an in-between frame missing,
        # one half written.
        frames = self.path("game.mp4.frames", "frame-%06d")
        os.remove(frames % 6 + ".png")
        os.rename(frames % 8 + ".png", frames % 8 + ".part.png")
        os.remove(self.path("game.mp4"))
        before = len(runs)
        run = self.film("--video", "game.mp4", *FILM)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("%d already rendered" % (FRAMES - 2), run.stderr)
        self.assertIn(len(self.povray_runs()) - before, (1, 2))
        self.assertEqual(self.frames_in_video(), FRAMES)
        self.assertEqual(sorted(os.listdir(self.dir.name)),
                         ["bin", "broken", "game.mp4", "game.pgn", "hosts", "povray.log", "remote",
                          "ssh"])

    def test_interruption_keeps_finished_frames(self):
        self.write("slow", "")
        command, options = self.command("--video", "game.mp4", *FILM)
        render = subprocess.Popen(command, stderr=subprocess.PIPE, start_new_session=True,
                                  **options)
        # The frames up to 6 are made and pasted, the later ones wait.
        deadline = time.time() + 60
        while not os.path.exists(self.path("game.mp4.frames", "frame-000006.png")):
            self.assertLess(time.time(), deadline, "the first frames were not pasted")
            time.sleep(0.2)
        render.send_signal(signal.SIGTERM)
        _, stderr = render.communicate(timeout=60)
        self.assertEqual(render.returncode, 6, stderr)
        self.assertIn("interrupted: 7 of %d frames kept; run the same command again to finish"
                      % FRAMES, stderr)
        self.assertFalse([pid for pid, _, _ in self.povray_runs() if running(pid)])
        self.assertEqual(sorted(f for f in os.listdir(self.path("game.mp4.frames"))
                                if not f.startswith("frame-")),
                         [".boardshot-render", "boardshot.pov", "boardshot_annotations.inc",
                          "boardshot_knight_head.inc", "boardshot_pieces.inc", "checksum", "film.ini", "film.pov", "job.sh",
                          "plan", "positions"])
        self.assertFalse(os.path.exists(self.path("game.mp4")))
        os.remove(self.path("slow"))
        run = self.film("--video", "game.mp4", *FILM)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("7 already rendered", run.stderr)

    def test_part_of_a_game_ends_on_its_result(self):
        self.write("game.pgn", '[White "A"]\n[Black "B"]\n[Result "0-1"]\n\n'
                               '1. e4 d5 2. exd5 Qxd5 0-1\n')
        # From the position after 1. e4 to the end; 4 frames a half-move
        # (one glides), the result a second.
        run = self.film("--video", "game.mp4", "--keep-frames", "--size", "%dx%d" % (W, H),
                        "--camera", "top", "--fps", "4", "--pace", "1", "--between", "1",
                        "--pause", "1", "-m1-", "game.pgn")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("8 frames for 3 half-moves", run.stderr)
        self.assertEqual(self.frames_in_video(), 3 + 3 * 4 + 4)
        # The last frame adds the result to the caption, above the board.
        last, result = self.frame(6), self.frame(7)
        changed = [(c, r) for c in range(W) for r in range(H) if last.changed(result, c, r)]
        self.assertTrue(changed)
        self.assertLess(max(r for _, r in changed), H // 6, changed)

    def test_arrows_and_marked_squares_come_and_go_with_their_positions(self):
        # After 3. Bc4 two arrows and a marked square, which the glide to it
        # and the next position (3... Bc5) lack, away from the bishops'
        # windows; the picture is large enough that the frames are pasted
        # from windows smaller than the frame.
        shutil.copy(os.path.join(SOURCE, "tests", "data", "lichess-study-style.pgn"),
                    self.path("study.pgn"))
        run = self.film("--video", "study.mp4", "--keep-frames", "--size", "320x240",
                        "--between", "2", "--hold", "1", "--pause", "0", "--no-caption",
                        "--no-last-move", "-m4-6", "study.pgn")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assert_pasted_as_whole((2, 3, 6), 320, 240, "study.mp4.frames")

    def test_game_that_cannot_be_converted_stops_the_run(self):
        run = self.film("--video", "game.mp4", *FILM, "-g2")
        self.assertEqual(run.returncode, 4)
        self.assertIn("could not convert game 2", run.stderr)
        self.assertIn("does not exist", run.stderr)
        self.assertEqual(self.povray_runs(), [])
        self.assertEqual(sorted(os.listdir(self.dir.name)),
                         ["bin", "broken", "game.pgn", "hosts", "remote", "ssh"])


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        sys.exit(77)
    unittest.main()
