#!/usr/bin/env python3
"""Makes a film over a real sshd: the test starts sshd on 127.0.0.1 on a
free port, with its own host key, user key and configuration, and stops it
by its PID. The login file names two machines: "render1", that sshd, and
"deadhost", a free port of 127.0.0.1 where nothing listens; no other address
is reached. Checks that the dead machine is left out with one line, that the
film is made over one ssh connection, that the film's work folder there is
removed, and that an interrupted film stops the work there too. Exits 77
(skipped) where sshd, ssh or the film tools are not installed.

    ssh_film_test.py BOARDSHOT_BINARY [unittest options]
"""
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SSHD = shutil.which("sshd") or "/usr/sbin/sshd"
TOOLS = ["ssh", "ssh-keygen", "povray", "parallel", "ffmpeg", "ffprobe", "rsync"]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class SshFilm(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        d = self.dir.name
        self.home = os.path.join(d, "home")
        os.mkdir(self.home)
        for key in ("host_key", "user_key"):
            subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f",
                            os.path.join(d, key)], check=True)
        shutil.copy(os.path.join(d, "user_key.pub"), os.path.join(d, "authorized_keys"))
        port, dead = free_port(), free_port()
        # Every session starts in the test's own folder, which stands for
        # the other machine's home. The session's shell is no first-level
        # shell (SHLVL), so bash reads no ~/.bashrc for a command over ssh.
        with open(os.path.join(d, "sshd_config"), "w") as f:
            f.write("ListenAddress 127.0.0.1\nPort %d\nHostKey %s/host_key\n"
                    "PidFile %s/sshd.pid\nAuthorizedKeysFile %s/authorized_keys\n"
                    "StrictModes no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                    "UsePAM no\nPermitRootLogin prohibit-password\nLogLevel VERBOSE\n"
                    "SetEnv SHLVL=1\n"
                    'ForceCommand cd %s && eval "$SSH_ORIGINAL_COMMAND"\n'
                    % (port, d, d, d, self.home))
        with open(os.path.join(d, "ssh_config"), "w") as f:
            f.write("Host deadhost\n  Port %d\n\nHost *\n  HostName 127.0.0.1\n  Port %d\n"
                    "  User %s\n  IdentityFile %s/user_key\n  IdentitiesOnly yes\n"
                    "  UserKnownHostsFile /dev/null\n  StrictHostKeyChecking no\n"
                    "  BatchMode yes\n  LogLevel ERROR\n"
                    % (dead, port, subprocess.run(["id", "-un"], capture_output=True, text=True,
                                                  check=True).stdout.strip(), d))
        with open(os.path.join(d, "hosts"), "w") as f:
            f.write("render1\ndeadhost\n")
        with open(os.path.join(d, "game.pgn"), "w") as f:
            f.write('[White "A"]\n[Black "B"]\n\n1. e4 d5 2. exd5 Qxd5 *\n')
        if os.geteuid() == 0:
            os.makedirs("/run/sshd", exist_ok=True)  # sshd's privilege separation folder
        self.log = os.path.join(d, "sshd.log")
        self.sshd = subprocess.Popen([SSHD, "-D", "-e", "-f", os.path.join(d, "sshd_config")],
                                     stderr=open(self.log, "w"))
        self.addCleanup(self.stop_sshd)
        for _ in range(100):
            with socket.socket() as s:
                if s.connect_ex(("127.0.0.1", port)) == 0:
                    break
            time.sleep(0.05)

    def stop_sshd(self):
        self.sshd.terminate()
        self.sshd.wait(10)

    def command(self, *args):
        return ([os.path.join(SOURCE, "scripts", "boardshot-render"), "--boardshot", BOARDSHOT,
                 "--video", "game.mp4", "--size", "64x48", "--between", "1", "--camera", "top",
                 "--pace", "0.5", "--pause", "0", "--sshloginfile", "hosts", "--ssh",
                 "ssh -F %s/ssh_config" % self.dir.name, *args, "game.pgn"],
                dict(cwd=self.dir.name, text=True))

    def logins(self):
        with open(self.log) as f:
            return f.read().count("Accepted publickey")

    def test_film_over_sshd_beside_a_dead_host(self):
        command, options = self.command()
        run = subprocess.run(command, capture_output=True, **options)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual([line for line in run.stderr.splitlines() if "deadhost" in line],
                         ["boardshot-render: leaving out deadhost: it cannot be reached"])
        frames = subprocess.run(
            ["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
             "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", "game.mp4"],
            cwd=self.dir.name, capture_output=True, text=True, check=True).stdout
        self.assertEqual(int(frames), 5 + 4 * 6)  # 6 frames a half-move, 1 gliding
        self.assertEqual(self.logins(), 1)
        self.assertEqual(os.listdir(self.home), [])

    def test_interrupted_film_stops_the_work_there(self):
        command, options = self.command("--jobs", "1", "--size", "320x240")
        render = subprocess.Popen(command, stderr=subprocess.PIPE, start_new_session=True,
                                  **options)
        deadline = time.time() + 120
        while not any(name.startswith("out-") for folder in os.listdir(self.home)
                      for name in os.listdir(os.path.join(self.home, folder))):
            self.assertLess(time.time(), deadline, "no run started over ssh")
            time.sleep(0.1)
        render.send_signal(signal.SIGINT)
        _, stderr = render.communicate(timeout=60)
        self.assertEqual(render.returncode, 6, stderr)
        self.assertIn("interrupted: ", stderr)
        self.assertEqual(os.listdir(self.home), [])
        povray = subprocess.run(["pgrep", "-f", "povray film.ini"], capture_output=True,
                                text=True).stdout.split()
        for pid in povray:
            try:
                where = os.readlink("/proc/%s/cwd" % pid)
            except FileNotFoundError:
                continue
            self.assertFalse(where.startswith(self.home), "povray %s still runs there" % pid)


if __name__ == "__main__":
    BOARDSHOT = os.path.abspath(sys.argv.pop(1))
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if not os.access(SSHD, os.X_OK):
        missing.append("sshd")
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        sys.exit(77)
    unittest.main()
