#!/usr/bin/env python3
"""Replays every game of PGN files through the move interpreter and compares
the final board and both capture lists with those of an independent
replayer, pgn-extract (Debian package pgn-extract).

Usage: bench/check_moves.py REPLAYER [FILE.pgn ...]
  REPLAYER  the built boardshot_move_replay (build/boardshot_move_replay)
  FILE.pgn  games to check; default every .pgn of ../shared/corpus

The movetext is taken as the file writes it (castling with zeros, 'dxc6ep',
'e8Q', 'Ng5++', ...); only comments, variations, NAGs, annotation glyphs,
move numbers and results are stripped. Games set up from a FEN, games of
other variants and games the reference rejects are skipped. Prints a table;
exits 1 when any game differs.
"""
import collections
import glob
import os
import re
import subprocess
import sys
import time

PGN_EXTRACT = "/usr/games/pgn-extract"
RESULTS = {"1-0", "0-1", "1/2-1/2", "1/2", "*"}
TAG = re.compile(r'\[(\w+) "(.*)"\]\s*$')


def split_games(text):
    """Yields (tags, movetext) for each game: a tag block starts a game."""
    tags, moves, in_tags = {}, [], False
    for line in text.split("\n"):
        m = TAG.match(line)
        if m:
            if not in_tags and (tags or moves):
                yield tags, "\n".join(moves)
                tags, moves = {}, []
            in_tags = True
            tags[m.group(1).lower()] = m.group(2)
        else:
            if line.strip():
                in_tags = False
            moves.append(line)
    if tags or moves:
        yield tags, "\n".join(moves)


def half_moves(movetext):
    text = re.sub(r"\{[^}]*\}", " ", movetext)
    text = re.sub(r";[^\n]*", " ", text)
    while True:
        stripped = re.sub(r"\([^()]*\)", " ", text)
        if stripped == text:
            break
        text = stripped
    tokens = []
    for token in text.split():
        token = re.sub(r"^\d+\.+", "", token)
        if (not token or token in RESULTS or token.startswith("$")
                or re.fullmatch(r"[!?]+", token)):
            continue
        tokens.append(token)
    return tokens


def reference(games):
    """Runs pgn-extract once over all games; returns {index: [FEN after each
    half-move]} for the games it accepts."""
    pgn = []
    for index, tokens in games:
        moves = " ".join((f"{i // 2 + 1}. " if i % 2 == 0 else "") + t
                         for i, t in enumerate(tokens))
        pgn.append(f'[Index "{index}"]\n\n{moves} *\n')
    out = subprocess.run(
        [PGN_EXTRACT, "-s", "--fencomments", "--allownullmoves", "-w",
         "1000000"], input="\n".join(pgn), capture_output=True, text=True,
        errors="replace").stdout
    fens = {}
    for block in re.split(r"\n(?=\[Index )", out):
        m = re.match(r'\[Index "(\d+)"\]', block)
        if m:
            fens[int(m.group(1))] = re.findall(r"\{ ([^}]+?) \}", block)
    return fens


def squares(fen):
    board = {}
    for row, text in enumerate(fen.split()[0].split("/")):
        file = 0
        for c in text:
            if c.isdigit():
                file += int(c)
            else:
                board[(file, 7 - row)] = c
                file += 1
    return board


def expected_captures(fens):
    """The pieces each side took, in order, from the boards after each
    half-move."""
    before = squares("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR")
    taken = ([], [])
    for ply, fen in enumerate(fens):
        after = squares(fen)
        white = ply % 2 == 0
        for square, piece in before.items():
            theirs = piece.islower() if white else piece.isupper()
            if theirs and after.get(square) != piece:
                taken[0 if white else 1].append(piece.lower())
        before = after
    return ["".join(t) or "-" for t in taken]


def check_file(path, replayer, totals):
    with open(path, "rb") as f:
        text = f.read().decode("latin-1").replace("\r", "")
    games, skipped = [], 0
    for index, (tags, movetext) in enumerate(split_games(text)):
        tokens = half_moves(movetext)
        variant = tags.get("variant", "standard").lower()
        if "fen" in tags or "setup" in tags or variant != "standard" or not tokens:
            skipped += 1
            continue
        games.append((index, tokens))
    fens = reference(games)
    compared = [(i, t) for i, t in games if len(fens.get(i, [])) == len(t)]
    skipped += len(games) - len(compared)
    lines = "".join(" ".join(t) + "\n" for _, t in compared)
    start = time.perf_counter()
    got = subprocess.run([replayer], input=lines, capture_output=True,
                         text=True, check=True).stdout.split("\n")
    totals["seconds"] += time.perf_counter() - start
    board_bad = capture_bad = 0
    for (index, tokens), line in zip(compared, got):
        placement, by_white, by_black = line.split()
        want = fens[index]
        if placement != want[-1].split()[0]:
            board_bad += 1
            print(f"  board differs: {path} game {index + 1}", file=sys.stderr)
        elif [by_white, by_black] != expected_captures(want):
            capture_bad += 1
            print(f"  captures differ: {path} game {index + 1}",
                  file=sys.stderr)
        totals["half-moves"] += len(tokens)
    name = os.path.relpath(path, os.path.dirname(os.path.dirname(path)))
    print(f"| {name} | {len(compared)} | {skipped} | {board_bad} | "
          f"{capture_bad} |")
    totals["games"] += len(compared)
    totals["bad"] += board_bad + capture_bad


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    replayer = sys.argv[1]
    files = sys.argv[2:]
    if not files:
        corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "..", "..", "shared", "corpus")
        files = sorted(glob.glob(os.path.join(corpus, "*", "*.pgn")))
    totals = collections.Counter()
    print("| file | games compared | skipped | board differs | "
          "captures differ |")
    print("|---|---:|---:|---:|---:|")
    for path in files:
        check_file(path, replayer, totals)
    print(f"\n{totals['games']} games, {totals['half-moves']} half-moves, "
          f"{totals['bad']} differ; replayer {totals['seconds']:.2f} s")
    sys.exit(1 if totals["bad"] else 0)


if __name__ == "__main__":
    main()
