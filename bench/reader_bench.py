#!/usr/bin/env python3
"""Time and peak memory of boardshot reading the last game of a huge file.

Generates, in a scratch directory (default /tmp/boardshot-bench):
  many-games.pgn  ordinary games from the corpus repeated with renumbered
                  Event tags, about --megabytes MB, one tag per line;
  one-line.pgn    a file of the same size that is a single line: one
                  endless game with clock comments, converted in full with
                  -m set to its number of half-moves;
  joined.pgn      many-games.pgn with every line break made a space: one
                  tag line that holds all the games.
For each file it prints the best wall time of --runs runs and the peak
resident memory of boardshot converting the last game, of `wc -l`, and of
`pgn-extract --selectonly N` selecting the same game.

Needs GNU time (/usr/bin/time, Debian package `time`) and pgn-extract
(/usr/games/pgn-extract, Debian package `pgn-extract`).

Usage: bench/reader_bench.py [--binary build/boardshot] [--megabytes 300]
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "shared", "corpus")
SOURCES = [
    "pgn2tex/Capablanca.pgn",  # CR LF
    "dhtmlchess/Nimzowitsch.pgn",
    "dhtmlchess/Magnus-Carlsen.pgn",
    "dhtmlchess/lcc2016.pgn",  # clock comments
    "generated/platform-style.pgn",
]
TIME = "/usr/bin/time"
PGN_EXTRACT = "/usr/games/pgn-extract"
MB = 1024 * 1024


def split_games(data):
    """Splits a PGN text at each [Event tag that starts a line."""
    starts = [m.start() for m in re.finditer(rb"(?m)^\[Event ", data)]
    return [data[a:b] for a, b in zip(starts, starts[1:] + [len(data)])]


def make_many_games(path, size):
    games = []
    for source in SOURCES:
        with open(os.path.join(CORPUS, source), "rb") as f:
            games.extend(split_games(f.read()))
    count = 0
    written = 0
    with open(path, "wb") as out:
        while written < size:
            for game in games:
                count += 1
                renumbered = re.sub(rb'^\[Event "[^"\n]*"\]',
                                    b'[Event "bench %d"]' % count, game,
                                    count=1)
                if not renumbered.endswith(b"\n\n"):
                    renumbered = renumbered.rstrip(b"\r\n") + b"\n\n"
                out.write(renumbered)
                written += len(renumbered)
                if written >= size:
                    break
    return count


def make_one_line(path, size):
    """One game on one line: knights out and back, with clock comments."""
    cycle = ["Nf3", "Nf6", "Ng1", "Ng8"]
    written = 0
    half_moves = 0
    move = 1
    with open(path, "wb") as out:
        chunk = []
        while written < size:
            text = "%d. %s {[%%clk 0:03:00]} %d... %s {[%%clk 0:03:00]} " % (
                move, cycle[(2 * move - 2) % 4], move,
                cycle[(2 * move - 1) % 4])
            chunk.append(text)
            written += len(text)
            half_moves += 2
            move += 1
            if len(chunk) >= 10000:
                out.write("".join(chunk).encode())
                chunk = []
        chunk.append("*")
        out.write("".join(chunk).encode())
    return half_moves


def make_joined(source, path):
    with open(source, "rb") as f, open(path, "wb") as out:
        while True:
            block = f.read(16 * MB)
            if not block:
                break
            out.write(block.replace(b"\r", b" ").replace(b"\n", b" "))


def measure(command, runs):
    """Best wall seconds and peak resident KiB over `runs` runs."""
    best = None
    peak = 0
    status = 0
    for _ in range(runs):
        result = subprocess.run([TIME, "-f", "%e %M"] + command,
                                stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        status = result.returncode
        seconds, kib = result.stderr.decode().strip().splitlines()[-1].split()
        best = float(seconds) if best is None else min(best, float(seconds))
        peak = max(peak, int(kib))
    return best, peak, status


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(HERE, "..", "build",
                                                         "boardshot"))
    parser.add_argument("--megabytes", type=int, default=300)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--dir", default="/tmp/boardshot-bench")
    args = parser.parse_args()
    for tool in (TIME, PGN_EXTRACT, args.binary):
        if not os.access(tool, os.X_OK):
            sys.exit("missing %s" % tool)
    os.makedirs(args.dir, exist_ok=True)
    size = args.megabytes * MB
    many = os.path.join(args.dir, "many-games.pgn")
    one = os.path.join(args.dir, "one-line.pgn")
    joined = os.path.join(args.dir, "joined.pgn")
    out = os.path.join(args.dir, "out.inc")
    print("generating %d MB files in %s ..." % (args.megabytes, args.dir),
          flush=True)
    games = make_many_games(many, size)
    half_moves = make_one_line(one, size)
    make_joined(many, joined)

    rows = []
    cases = [
        ("many-games", many, games, []),
        ("one-line", one, 1, ["-m%d" % half_moves]),
        ("joined", joined, 1, []),
    ]
    for name, path, game, extra in cases:
        mb = os.path.getsize(path) / MB
        tools = [
            ("boardshot -g%d" % game,
             [args.binary, path, out, "-g%d" % game] + extra),
            ("wc -l", ["wc", "-l", path]),
            ("pgn-extract --selectonly %d" % game,
             [PGN_EXTRACT, "-s", "--selectonly", str(game), path]),
        ]
        for label, command in tools:
            # pgn-extract takes a minute or so on these files: once is enough.
            runs = 1 if command[0] == PGN_EXTRACT else args.runs
            seconds, kib, status = measure(command, runs)
            rows.append((name, mb, label, seconds, kib / 1024.0, status))

    print("%-11s %8s  %-32s %8s %10s %5s" %
          ("file", "MB", "command", "seconds", "peak MiB", "exit"))
    for name, mb, label, seconds, mib, status in rows:
        print("%-11s %8.0f  %-32s %8.2f %10.1f %5d" %
              (name, mb, label, seconds, mib, status))


if __name__ == "__main__":
    main()
