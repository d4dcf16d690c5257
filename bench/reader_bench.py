#!/usr/bin/env python3
"""Time and peak memory of boardshot finding the last game of large files,
each paired with `wc -l` on the same input in the same run.

Makes, in a scratch directory (default /tmp/boardshot-bench):
  corpus.pgn    the games of ../shared/corpus without a FEN tag, Ctrl-Z bytes
                removed, concatenated again and again to --megabytes MB;
  one-line.pgn  a game of --one-line-megabytes MB on a single line, clock
                comments after every move, then one short game.
  replay.pgn    a game of --one-line-megabytes MB on one line, knights out
                and back without comments: millions of half-moves to replay.
Measures, --runs times each, alternating the two commands of a pair:
  file      boardshot corpus.pgn out.inc -gLAST   vs  wc -l corpus.pgn
  pipe      cat corpus.pgn | boardshot /dev/stdin out.inc -gLAST
                                                  vs  cat corpus.pgn | wc -l
  one-line  boardshot one-line.pgn out.inc -g2    vs  wc -l one-line.pgn
  list      boardshot --list corpus.pgn           vs  wc -l corpus.pgn
  replay    boardshot replay.pgn out.inc -m99999999  vs  wc -l replay.pgn
and prints the median wall times and their ratio, the ratio of the median
CPU times (user and system, steadier than wall time on a busy machine) and
boardshot's peak resident memory (the largest of its runs). Needs GNU time (/usr/bin/time, Debian
package `time`).

Usage: bench/reader_bench.py [--binary build/boardshot] [--runs 15]
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "shared", "corpus")
MB = 1000 * 1000
TIME = "/usr/bin/time"
FEN_TAG = re.compile(rb"(?mi)^\[\s*fen\s")


def corpus_games():
    """The corpus games as [Event-led blocks, without FEN games."""
    games = []
    for folder, _, names in sorted(os.walk(CORPUS)):
        for name in sorted(names):
            if not name.endswith(".pgn"):
                continue
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read().replace(b"\x1a", b"")
            starts = [m.start() for m in re.finditer(rb"(?m)^\[Event ", data)]
            for a, b in zip(starts, starts[1:] + [len(data)]):
                game = data[a:b]
                if not FEN_TAG.search(game):
                    games.append(game.rstrip(b"\r\n") + b"\n\n")
    return games


def make_corpus_file(path, size):
    """Writes the games until `size` bytes; returns how many were written
    (as split at [Event lines, a guess at the last game's number)."""
    games = corpus_games()
    count = written = 0
    with open(path, "wb") as out:
        while written < size:
            for game in games:
                out.write(game)
                count += 1
                written += len(game)
                if written >= size:
                    break
    return count


def make_one_line(path, size):
    moves = ["Nf3", "Nf6", "Ng1", "Ng8"]
    parts, written, move = [], 0, 1
    while written < size:
        text = "%d. %s {[%%clk 0:03:00]} %d... %s {[%%clk 0:03:00]} " % (
            move, moves[(2 * move - 2) % 4], move, moves[(2 * move - 1) % 4])
        parts.append(text)
        written += len(text)
        move += 1
    parts.append("*\n\n[Event \"last\"]\n\n1. e4 e5 *\n")
    with open(path, "w") as out:
        out.write("[Event \"one line\"]\n\n" + "".join(parts))


def make_replay(path, size):
    """Returns the number of half-moves written."""
    moves = ["Nf3", "Nf6", "Ng1", "Ng8"]
    parts, written, move = [], 0, 1
    while written < size:
        text = "%d. %s %s " % (move, moves[(2 * move - 2) % 4],
                               moves[(2 * move - 1) % 4])
        parts.append(text)
        written += len(text)
        move += 1
    with open(path, "w") as out:
        out.write("[Event \"replay\"]\n\n" + "".join(parts) + "*\n")
    return 2 * (move - 1)


def last_game(binary, path):
    """The number of the file's last game as boardshot counts games."""
    listing = subprocess.run([binary, "--list", path], capture_output=True,
                             check=True).stdout
    return len(listing.splitlines()) - 1


def run(commands, scratch):
    """Runs a pipeline of commands; returns wall seconds, the last command's
    peak resident KiB and its exit status. The last command runs under GNU
    time, whose small process keeps this script's own memory out of the
    peak."""
    report = os.path.join(scratch, "time.txt")
    commands = commands[:-1] + [[TIME, "-f", "%M %x", "-o", report] +
                                commands[-1]]
    start = time.perf_counter()
    procs, previous = [], None
    for i, command in enumerate(commands):
        last = i == len(commands) - 1
        proc = subprocess.Popen(
            command, stdin=previous,
            stdout=subprocess.DEVNULL if last else subprocess.PIPE)
        if previous is not None:
            previous.close()
        previous = proc.stdout
        procs.append(proc)
    cpu = 0.0
    for proc in procs:
        _, _, usage = os.wait4(proc.pid, 0)
        proc.returncode = 0  # reaped here, not by Popen
        cpu += usage.ru_utime + usage.ru_stime
    wall = time.perf_counter() - start
    with open(report) as f:
        kib, status = f.read().split()[-2:]
    return wall, cpu, int(kib), int(status)


def pair(tool, reference, runs, scratch):
    """Median wall and CPU seconds of both, boardshot's peak and status."""
    walls = {"tool": [], "reference": []}
    cpus = {"tool": [], "reference": []}
    peak = status = 0
    run(tool, scratch), run(reference, scratch)  # warm-up: the page cache
    for _ in range(runs):
        for name, command in (("tool", tool), ("reference", reference)):
            wall, cpu, kib, code = run(command, scratch)
            walls[name].append(wall)
            cpus[name].append(cpu)
            if name == "tool":
                peak, status = max(peak, kib), code
    median = {name: (statistics.median(walls[name]),
                     statistics.median(cpus[name])) for name in walls}
    return median["tool"], median["reference"], peak, status


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary",
                        default=os.path.join(HERE, "..", "build", "boardshot"))
    parser.add_argument("--megabytes", type=int, default=100)
    parser.add_argument("--one-line-megabytes", type=int, default=35)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--dir", default="/tmp/boardshot-bench")
    args = parser.parse_args()
    for tool in (TIME, args.binary):
        if not os.access(tool, os.X_OK):
            sys.exit("missing %s" % tool)
    os.makedirs(args.dir, exist_ok=True)
    corpus = os.path.join(args.dir, "corpus.pgn")
    one_line = os.path.join(args.dir, "one-line.pgn")
    out = os.path.join(args.dir, "out.inc")
    replay = os.path.join(args.dir, "replay.pgn")
    make_corpus_file(corpus, args.megabytes * MB)
    make_one_line(one_line, args.one_line_megabytes * MB)
    half_moves = make_replay(replay, args.one_line_megabytes * MB)
    last = "-g%d" % last_game(args.binary, corpus)
    cases = [
        ("file", corpus, [[args.binary, corpus, out, last]],
         [["wc", "-l", corpus]]),
        ("pipe", corpus,
         [["cat", corpus], [args.binary, "/dev/stdin", out, last]],
         [["cat", corpus], ["wc", "-l"]]),
        ("one-line", one_line, [[args.binary, one_line, out, "-g2"]],
         [["wc", "-l", one_line]]),
        ("list", corpus, [[args.binary, "--list", corpus]],
         [["wc", "-l", corpus]]),
        ("replay", replay, [[args.binary, replay, out, "-m99999999"]],
         [["wc", "-l", replay]]),
    ]
    print("median of %d runs, each paired with wc -l on the same input; "
          "last game of corpus.pgn: %s" % (args.runs, last))
    print("| input | MB | boardshot ms | wc -l ms | wall ratio | cpu ratio "
          "| peak MiB | exit |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for name, path, tool, reference in cases:
        (tool_wall, tool_cpu), (ref_wall, ref_cpu), kib, status = pair(
            tool, reference, args.runs, args.dir)
        print("| %s | %.0f | %.1f | %.1f | %.2fx | %.2fx | %.1f | %d |" %
              (name, os.path.getsize(path) / MB, tool_wall * 1000,
               ref_wall * 1000, tool_wall / ref_wall, tool_cpu / ref_cpu,
               kib / 1024.0, status), flush=True)
        if name == "replay":
            replay_wall, replay_cpu = tool_wall, tool_cpu
    print("replay: %d half-moves, %.0f ns each (wall), %.0f ns (cpu)" %
          (half_moves, replay_wall / half_moves * 1e9,
           replay_cpu / half_moves * 1e9))

if __name__ == "__main__":
    main()
