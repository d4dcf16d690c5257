#!/usr/bin/env python3
"""Converts games with the boardshot binary and compares each scene (board
and both capture lists) with the position an independent replayer,
pgn-extract (Debian package pgn-extract), reaches.

Usage: bench/check_scenes.py [--setups] BOARDSHOT [FILE.pgn ...]
  --setups   only the games that start from a FEN tag
  BOARDSHOT  the built binary (build/boardshot)
  FILE.pgn   files to check; default every .pgn of ../shared/corpus

Each game is cut out of its file as a block of tag lines and the text up to
the next one, and converted alone, with ' *' added so that a game without
its result still ends. The replayer gets the same movetext with the FEN tag
written as '[FEN]' (some files write '[fen]', which it does not read).
Games the replayer rejects, games of other variants and games without a
move are skipped. Prints a table; exits 1 when any
game differs.
"""
import collections
import glob
import os
import re
import subprocess
import sys
import tempfile

PGN_EXTRACT = "/usr/games/pgn-extract"
STANDARD = b"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
TAG_LINE = re.compile(rb"^\[[ \t]*[A-Za-z]")
FEN_TAG = re.compile(rb'^\[[ \t]*fen[ \t]*"([^"]*)"', re.I | re.M)
VARIANT_TAG = re.compile(rb'^\[Variant "(?!standard)', re.I | re.M)


def split_games(data):
    """Games as the reader counts them: a tag line after movetext starts
    one."""
    games, current, in_tags = [], [], True
    for line in data.split(b"\n"):
        bare = line.rstrip(b"\r")
        if TAG_LINE.match(bare):
            if not in_tags and current:
                games.append(b"\n".join(current))
                current = []
            in_tags = True
        elif bare and not bare.startswith(b"%"):
            in_tags = False
        current.append(line)
    if current:
        games.append(b"\n".join(current))
    return games


def movetext_of(game):
    """The game's text without its tag lines and its final result."""
    lines = game.split(b"\n")
    text = b"\n".join(l for l in lines if not TAG_LINE.match(l))
    return re.sub(rb"(1-0|0-1|1/2-1/2|1/2|\*)\s*$", b"", text)


def reference(games):
    """{index: (start FEN, [FEN after each half-move])} from pgn-extract."""
    pgn = []
    for index, fen, game in games:
        pgn.append(b'[Index "%d"]\n[SetUp "1"]\n[FEN "%s"]\n\n%s *\n' %
                   (index, fen, movetext_of(game).replace(b"\r", b"")))
    out = subprocess.run(
        [PGN_EXTRACT, "-s", "-C", "-N", "-V", "--fencomments",
         "--allownullmoves", "-w", "1000000"], input=b"\n".join(pgn),
        capture_output=True).stdout.decode("latin-1")
    found = {}
    for block in re.split(r"\n(?=\[Event )", out):
        index = re.search(r'\[Index "(\d+)"\]', block)
        start = re.search(r'\[FEN "([^"]*)"\]', block)
        if index and start:
            movetext = block[block.find("\n\n"):]
            fens = re.findall(r"\{ ([^}]+?) \}", movetext)
            if fens:
                found[int(index.group(1))] = (start.group(1), fens)
    return found


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


def placement(board):
    rows = []
    for rank in range(7, -1, -1):
        row, gap = "", 0
        for file in range(8):
            piece = board.get((file, rank))
            if piece is None:
                gap += 1
                continue
            row += (str(gap) if gap else "") + piece
            gap = 0
        rows.append(row + (str(gap) if gap else ""))
    return "/".join(rows)


def expected(start, fens):
    """Final placement and the pieces each side took, in order."""
    before = squares(start)
    white = start.split()[1] == "w"
    taken = {True: "", False: ""}
    for fen in fens:
        after = squares(fen)
        for square, piece in before.items():
            theirs = piece.islower() if white else piece.isupper()
            if theirs and after.get(square) != piece:
                taken[white] += piece.lower()
        before, white = after, not white
    return placement(before), taken[True], taken[False]


LETTER = {"Pawn": "p", "Knight": "n", "Bishop": "b", "Rook": "r",
          "Queen": "q", "King": "k"}
RECORD = re.compile(r'_(\w+)\("(.)(-?\d+)",(\d)\)')


def from_scene(scene):
    """Placement, pieces taken by White and by Black, from a scene."""
    board, by_white, by_black = {}, {}, {}
    for name, file, number, colour in RECORD.findall(scene):
        letter = LETTER[name]
        if file == "i":
            by_black[int(number)] = letter
        elif file == "`":
            by_white[-int(number)] = letter
        else:
            piece = letter.upper() if colour == "0" else letter
            board[(ord(file) - ord("a"), int(number) - 1)] = piece
    return (placement(board), "".join(v for _, v in sorted(by_white.items())),
            "".join(v for _, v in sorted(by_black.items())))


def check_file(path, binary, workdir, setups_only, totals):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    games = []
    for index, game in enumerate(split_games(data)):
        fen = FEN_TAG.search(game)
        if VARIANT_TAG.search(game) or (setups_only and not fen):
            continue
        games.append((index, fen.group(1) if fen else STANDARD, game))
    if not games:
        return
    ref = reference(games)
    compared = skipped = bad = 0
    for index, fen, game in games:
        if index not in ref:
            skipped += 1
            continue
        pgn = os.path.join(workdir, "game.pgn")
        inc = os.path.join(workdir, "game.inc")
        with open(pgn, "wb") as f:
            f.write(game + b"\n*\n")
        run = subprocess.run([binary, pgn, inc], capture_output=True)
        with open(inc) as f:
            got = from_scene(f.read())
        want = expected(*ref[index])
        compared += 1
        if run.returncode != 0 or got != want:
            bad += 1
            print(f"  differs: {path} game {index + 1}: exit "
                  f"{run.returncode}, {got} != {want}", file=sys.stderr)
    name = os.path.relpath(path, os.path.dirname(os.path.dirname(path)))
    print(f"| {name} | {compared} | {skipped} | {bad} |")
    totals["games"] += compared
    totals["bad"] += bad


def main():
    args = sys.argv[1:]
    setups_only = bool(args) and args[0] == "--setups"
    if setups_only:
        args = args[1:]
    if not args:
        sys.exit(__doc__)
    binary = os.path.abspath(args[0])
    files = args[1:]
    if not files:
        corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "..", "..", "shared", "corpus")
        files = sorted(glob.glob(os.path.join(corpus, "*", "*.pgn")))
    totals = collections.Counter()
    print("| file | games compared | skipped | differ |")
    print("|---|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as workdir:
        for path in files:
            check_file(path, binary, workdir, setups_only, totals)
    print(f"\n{totals['games']} games, {totals['bad']} differ")
    sys.exit(1 if totals["bad"] else 0)


if __name__ == "__main__":
    main()
