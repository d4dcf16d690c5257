#!/usr/bin/env python3
"""Checks boardshot against pgn-extract, an independent PGN replayer.

For every game of every .pgn file under the corpus directory, pgn-extract
replays the game with full legality and writes the FEN after every half-move.
From that FEN sequence this script derives the scene file boardshot must
write: the board records from the piece placement, and both capture lists
from the piece that disappears at each capture (so en passant takes a pawn
and a captured promoted piece counts as its new type). It then runs
`boardshot FILE OUT -gN` at the end of the game and with `-mK` at several
half-move limits, and compares the scene files byte for byte.

boardshot numbers games by counting blocks of tag lines, so each game is
located by where its tag block begins, and that game's text alone is fed to
pgn-extract. Games that cannot be compared are reported as skipped, with the
reason: text without a tag block, variants, games pgn-extract refuses, and,
with --skip-setup-games, games that start from a FEN position. A game
without a termination marker is a reading error by design (exit status 2,
empty scene file); that is checked, and so are its positions up to the last
half-move but one, which a -m limit reaches before the text runs out.

Exit status: 0 when every checked position agrees, 1 when one or more
mismatch, 2 when the check could not run, 77 when the corpus directory is
missing (CTest reports the test as skipped).
"""

import argparse
import collections
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading

# Debian installs pgn-extract in /usr/games, which is not always on PATH.
PGN_EXTRACT_DEFAULT = (shutil.which("pgn-extract") or
                       shutil.which("pgn-extract", path="/usr/games") or
                       "pgn-extract")
CORPUS_MISSING = 77
UNTERMINATED_STATUS = 2  # boardshot's exit status when the game text ends early
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"

MACRO_BY_LETTER = {
    "p": "_Pawn",
    "n": "_Knight",
    "b": "_Bishop",
    "r": "_Rook",
    "q": "_Queen",
    "k": "_King",
}

# A tag line as boardshot sees it: '[', optional white space, then a letter.
TAG_LINE = re.compile(rb"^\[[ \t]*[A-Za-z]")
TAG_NAME_VALUE = re.compile(rb'^\[\s*([A-Za-z0-9_]+)\s+"(.*)"\s*\]')
SETUP_TAG = re.compile(rb"^\[[ \t]*SetUp[ \t]", re.I)
TERMINATION_MARKERS = {"1-0", "0-1", "1/2-1/2", "*", "1/2"}
STANDARD_VARIANTS = {"", "standard", "chess"}

# pgn-extract messages that accompany a game it replayed in full.
BENIGN_DIAGNOSTICS = (
    re.compile(r"^Warning: Result of .* is inconsistent with"),
    re.compile(r"^Inconsistent result strings"),
    re.compile(r"^Missing closing quote"),
)

# ---------------------------------------------------------------------------
# Splitting a file into games the way boardshot counts them.


class GameText:
    """One game as boardshot numbers it: its text and where it begins."""

    def __init__(self, number, first_line, lines):
        self.number = number
        self.first_line = first_line  # 1-based line number in the file
        self.lines = lines  # raw lines (bytes, line breaks kept)

    def text(self):
        return b"".join(self.lines)

    def has_tag_block(self):
        for line in self.lines:
            if TAG_LINE.match(line):
                return True
            if line.strip() and not is_escape(line):
                return False
        return False

    def tags(self):
        """Tag names (lower case) and values of the game's tag block."""
        found = {}
        for line in self.lines:
            if not TAG_LINE.match(line):
                if line.strip() and not is_escape(line):
                    break
                continue
            match = TAG_NAME_VALUE.match(line)
            if match:
                name = match.group(1).decode("latin-1").lower()
                found.setdefault(name, match.group(2).decode("latin-1"))
        return found


def file_lines(data):
    """The file's lines as boardshot reads them: input ends at a Ctrl-Z and a
    UTF-8 byte order mark at the very start is not part of the text."""
    data = data.split(b"\x1a", 1)[0]
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    return data.splitlines(keepends=True)


def is_blank(line):
    return line in (b"\n", b"\r\n")


def is_escape(line):
    """A '%' line: PGN's escape mechanism, ignored by readers."""
    return line.startswith(b"%")


def split_games(data):
    """Splits a file into the games boardshot's -gN selects.

    Game 1 begins at the start of the file; game k+1 begins at the first tag
    line after the first line of game k's movetext (the first line that is
    not a tag line, a blank line or a '%' line). This is how boardshot's
    game selection counts tag blocks."""
    lines = file_lines(data)
    starts = [0]
    in_tags = True
    for index, line in enumerate(lines):
        tag = bool(TAG_LINE.match(line))
        if in_tags:
            if not tag and not is_blank(line) and not is_escape(line):
                in_tags = False
        elif tag:
            starts.append(index)
            in_tags = True
    games = []
    for number, start in enumerate(starts, 1):
        end = starts[number] if number < len(starts) else len(lines)
        if number == 1 and start == end:
            break
        games.append(GameText(number, start + 1, lines[start:end]))
    return games


# ---------------------------------------------------------------------------
# A light PGN scan of one game's main line: enough to see whether it ends
# with a termination marker and how many half-moves it writes.

COMMENT_OR_VARIATION = re.compile(rb"\{[^}]*\}?|;[^\n]*|^%[^\n]*|[()]", re.M)
TOKEN_SPLIT = re.compile(rb"[\s.]+")
NOT_A_MOVE = re.compile(rb"^(\d+|\$\d+|[!?+\-/=#]+|e\.p\.?|ep)$")


def main_line_tokens(movetext):
    """Tokens of the main line, outside comments and variations."""
    tokens = []
    depth = 0
    position = 0
    for match in COMMENT_OR_VARIATION.finditer(movetext):
        if depth == 0:
            tokens.extend(TOKEN_SPLIT.split(movetext[position:match.start()]))
        piece = match.group(0)
        if piece == b"(":
            depth += 1
        elif piece == b")":
            depth = max(0, depth - 1)
        position = match.end()
    if depth == 0:
        tokens.extend(TOKEN_SPLIT.split(movetext[position:]))
    return [t.decode("latin-1") for t in tokens if t]


class MainLine:
    """What a light scan sees in a game's text: the half-moves of the first
    game, whether a termination marker ends them, and how many more games
    (text with moves or a marker) follow in the same text without tags."""

    def __init__(self, half_moves, terminated, games_after):
        self.half_moves = half_moves
        self.terminated = terminated
        self.games_after = games_after


def scan_main_line(game):
    movetext = b"".join(
        line for line in game.lines if not TAG_LINE.match(line))
    segments = [[0, False]]  # [half-moves, ended by a marker]
    for token in main_line_tokens(movetext):
        if segments[-1][1]:
            segments.append([0, False])
        if token in TERMINATION_MARKERS:
            segments[-1][1] = True
        elif not NOT_A_MOVE.match(token.encode("latin-1")):
            segments[-1][0] += 1
    first = segments[0]
    after = [s for s in segments[1:] if s[0] or s[1]]
    return MainLine(first[0], first[1], len(after))


def games_in_untagged_text(game):
    """How many games a tagless text holds (0 for comments alone)."""
    scan = scan_main_line(game)
    first = 1 if scan.half_moves or scan.terminated else 0
    return first + scan.games_after


# ---------------------------------------------------------------------------
# The reference: pgn-extract's FEN after every half-move.

FEN_COMMENT = re.compile(rb"\{\s*([^{}]*?)\s*\}")


class Replay:
    """pgn-extract's replay of one game: the FENs from the first position on,
    or the reason it could not replay the game."""

    def __init__(self, fens=None, refusal=None):
        self.fens = fens or []
        self.refusal = refusal


def reference_input(game, with_setup, terminated):
    """The game's text as pgn-extract is given it. pgn-extract only knows the
    FEN tag by its exact name, while boardshot reads it in any case. A comma
    between moves ('9. Bxe7, Qxe7') is not PGN; pgn-extract loses the rest of
    the game at one, so outside tag lines commas become spaces. pgn-extract
    drops a game without a termination marker, so one is added, and a game
    whose SetUp tag has no FEN tag beside it, which starts from the standard
    position, so that SetUp tag is left out."""
    lines = []
    for line in game.lines:
        if TAG_LINE.match(line):
            if not with_setup and SETUP_TAG.match(line):
                continue
            if with_setup:
                line = re.sub(rb"^\[(\s*)fen(\s)", rb"[\1FEN\2", line,
                              flags=re.I)
        else:
            line = line.replace(b",", b" ")
        lines.append(line)
    if not terminated:
        lines.append(b"\n*\n")
    return b"".join(lines)


def first_diagnostic(stderr_text, game):
    """pgn-extract's first message about the game, passing over warnings that
    do not touch the moves and the line naming the game."""
    tags = game.tags()
    players = "%s - %s" % (tags.get("white", "?"), tags.get("black", "?"))
    for line in stderr_text.splitlines():
        line = line.strip()
        if not line or line.startswith("File ") or line.startswith(players):
            continue
        if any(p.match(line) for p in BENIGN_DIAGNOSTICS):
            continue
        return line
    return None


def replay_with_pgn_extract(pgn_extract, game, first_fen, with_setup,
                            terminated):
    process = subprocess.run(
        [pgn_extract, "--fencomments", "-s", "-V", "-C", "-N", "--nochecks",
         "--allownullmoves", "-w", "1000000"],
        input=reference_input(game, with_setup, terminated),
        capture_output=True,
        check=False)
    diagnostic = first_diagnostic(process.stderr.decode("latin-1"), game)
    games = []
    current = None
    for line in process.stdout.splitlines():
        if TAG_LINE.match(line):
            if current is None or current["moves"]:
                current = {"tags": [], "moves": b""}
                games.append(current)
            current["tags"].append(line)
        elif line.strip() and current is not None:
            current["moves"] += line + b"\n"
    if not games:
        return Replay(refusal="pgn-extract refused it: %s" %
                      (diagnostic or "no output"))
    fens = [first_fen]
    for match in FEN_COMMENT.finditer(games[0]["moves"]):
        fens.append(" ".join(match.group(1).decode("latin-1").split()))
    written = scan_main_line(game).half_moves
    if diagnostic and written != len(fens) - 1:
        return Replay(refusal="pgn-extract refused it: %s" % diagnostic)
    return Replay(fens=fens)


# ---------------------------------------------------------------------------
# The expected scene file.


def placement(fen):
    """{(file, rank): letter} from a FEN's piece placement field."""
    squares = {}
    for row, text in enumerate(fen.split()[0].split("/")):
        rank = 7 - row
        file_index = 0
        for char in text:
            if char.isdigit():
                file_index += int(char)
            else:
                squares[(file_index, rank)] = char
                file_index += 1
    return squares


def side_to_move(fen):
    fields = fen.split()
    return 1 if len(fields) > 1 and fields[1] == "b" else 0


def captured_piece(before, after, mover):
    """The letter (lower case) of the opponent's piece that vanished from the
    board between two positions, or None."""
    def count(squares):
        counter = collections.Counter()
        for letter in squares.values():
            if letter.isupper() == (mover == 1):  # the opponent's pieces
                counter[letter.lower()] += 1
        return counter

    lost = count(before) - count(after)
    return next(iter(lost), None)


def scene_bytes(squares, lost_by_side):
    """The scene file: board a1..a8, b1..h8, then White's lost pieces on the
    'i' file upward from 1, then Black's on the '`' file downward from 8."""
    records = []
    for file_index in range(8):
        for rank in range(8):
            letter = squares.get((file_index, rank))
            if letter:
                records.append('\n%s("%c%d",%d)' % (
                    MACRO_BY_LETTER[letter.lower()], ord("a") + file_index,
                    rank + 1, 0 if letter.isupper() else 1))
    for k, letter in enumerate(lost_by_side[0]):
        records.append('\n%s("i%d",0)' % (MACRO_BY_LETTER[letter], k + 1))
    for k, letter in enumerate(lost_by_side[1]):
        records.append('\n%s("`%d",1)' % (MACRO_BY_LETTER[letter], 8 - k))
    return "".join(records).encode("ascii")


def expected_scenes(fens):
    """The expected scene after 0, 1, ..., n half-moves."""
    scenes = []
    lost = ([], [])  # pieces lost by White, by Black
    previous = None
    for index, fen in enumerate(fens):
        squares = placement(fen)
        if previous is not None:
            mover = side_to_move(fens[index - 1])
            taken = captured_piece(previous, squares, mover)
            if taken:
                lost[1 - mover].append(taken)
        scenes.append(scene_bytes(squares, lost))
        previous = squares
    return scenes


def limits_to_check(half_moves, every_half_move=False):
    """-m values: 0, 1, a few inside the game, the last two; or all."""
    if every_half_move:
        return list(range(half_moves + 1))
    inside = [half_moves * k // 4 for k in (1, 2, 3)]
    wanted = {0, 1, half_moves - 1, half_moves, *inside}
    return sorted(k for k in wanted if 0 <= k <= half_moves)


# ---------------------------------------------------------------------------
# Running boardshot and comparing.


class BoardshotRunner:
    def __init__(self, binary, scratch):
        self.binary = binary
        self.scratch = scratch
        self.counter = 0
        self.lock = threading.Lock()

    def scene(self, pgn_path, game_number, limit):
        """(exit status, stdout, scene bytes) of one run."""
        with self.lock:
            self.counter += 1
            out_path = os.path.join(self.scratch, "out%d.inc" % self.counter)
        args = [self.binary, pgn_path, out_path, "-g%d" % game_number]
        if limit is not None:
            args.append("-m%d" % limit)
        process = subprocess.run(args, capture_output=True, check=False)
        try:
            with open(out_path, "rb") as scene_file:
                written = scene_file.read()
            os.remove(out_path)
        except OSError:
            written = b""
        return process.returncode, process.stdout, written


def first_difference(expected, actual):
    """Describes the first record that differs between two scene files."""
    want = expected.split(b"\n")
    got = actual.split(b"\n")
    for index in range(max(len(want), len(got))):
        a = want[index] if index < len(want) else b"(none)"
        b = got[index] if index < len(got) else b"(none)"
        if a != b:
            return "record %d: expected %s, got %s" % (
                index, a.decode("latin-1"), b.decode("latin-1"))
    return "identical records, different bytes"


class GameResult:
    def __init__(self, game):
        self.game = game
        self.skip_reason = None
        self.games = 1  # games of the text, counted as a standard reader does
        self.without_marker = False
        self.extra_skips = []  # reasons for tagless games inside this text
        self.checked = 0
        self.mismatches = []  # (half-move description, detail)


def check_game(options, runner, pgn_path, game):
    result = GameResult(game)
    if not game.has_tag_block():
        result.skip_reason = "no tag block"
        result.games = games_in_untagged_text(game)
        return result
    scan = scan_main_line(game)
    result.games = 1 + scan.games_after
    result.extra_skips = ["no tag block"] * scan.games_after
    tags = game.tags()
    variant = tags.get("variant", "").strip().lower()
    if variant not in STANDARD_VARIANTS:
        result.skip_reason = "variant (%s)" % variant
        return result
    setup = "fen" in tags
    if setup and options.skip_setup_games:
        result.skip_reason = "set-up position (FEN)"
        return result
    first_fen = " ".join(tags["fen"].split()) if setup else START_FEN
    replay = replay_with_pgn_extract(options.pgn_extract, game, first_fen,
                                     setup, scan.terminated)
    if replay.refusal:
        result.skip_reason = replay.refusal
        return result
    scenes = expected_scenes(replay.fens)
    half_moves = len(scenes) - 1
    limits = limits_to_check(half_moves, options.every_half_move)
    if scan.terminated:
        runs = [(None, "end of game", scenes[-1], 0)]
    else:
        # The text runs out before a result: the run fails by design, and
        # only a limit that stops the replay before the last half-move
        # yields a scene.
        result.without_marker = True
        runs = [(None, "end of game without a termination marker", b"",
                 UNTERMINATED_STATUS)]
        limits = [k for k in limits if k < half_moves]
    runs += [(k, "half-move %d" % k, scenes[k], 0) for k in limits]
    for limit, label, expected, expected_status in runs:
        status, stdout, actual = runner.scene(pgn_path, game.number, limit)
        result.checked += 1
        if status != expected_status:
            message = stdout.decode("latin-1").strip().replace("\n", " | ")
            result.mismatches.append(
                (label, "exit status %d (expected %d): %s" % (
                    status, expected_status, message)))
        elif actual != expected:
            result.mismatches.append((label,
                                      first_difference(expected, actual)))
    return result


# ---------------------------------------------------------------------------
# The run over the corpus.


def corpus_files(corpus, only):
    paths = []
    for root, _, names in os.walk(corpus):
        for name in names:
            if name.lower().endswith(".pgn"):
                paths.append(os.path.join(root, name))
    paths.sort()
    if only:
        paths = [p for p in paths
                 if any(os.path.relpath(p, corpus) == o or
                        os.path.basename(p) == o for o in only)]
    return paths


def check_file(options, executor, runner, corpus, path):
    with open(path, "rb") as pgn_file:
        games = split_games(pgn_file.read())
    selected = [g for g in games if (g.number - 1) % options.every == 0]
    results = list(executor.map(
        lambda g: check_game(options, runner, os.path.abspath(path), g),
        selected))
    name = os.path.relpath(path, corpus)
    skipped = collections.Counter()
    checked = mismatched_games = positions_bad = 0
    for result in results:
        if result.skip_reason:
            skipped[result.skip_reason] += result.games - len(
                result.extra_skips)
            if options.verbose:
                print("  skip game %d (line %d): %s" % (
                    result.game.number, result.game.first_line,
                    result.skip_reason))
        for reason in result.extra_skips:
            skipped[reason] += 1
        checked += result.checked
        if result.mismatches:
            mismatched_games += 1
        positions_bad += len(result.mismatches)
        for label, detail in result.mismatches:
            print("MISMATCH %s game %d (line %d), %s: %s" % (
                name, result.game.number, result.game.first_line, label,
                detail))
    games = sum(r.games for r in results)
    unterminated = sum(1 for r in results if r.without_marker)
    reasons = "".join("; %s: %d" % item for item in sorted(skipped.items())
                      if item[1])
    note = (" (%d games without a termination marker, checked up to their "
            "last half-move but one)" % unterminated if unterminated else "")
    print("%s: games %d, positions checked %d%s, mismatches %d, skipped %d%s" %
          (name, games, checked, note, positions_bad, sum(skipped.values()),
           reasons))
    sys.stdout.flush()
    return {
        "name": name,
        "games": games,
        "compared": sum(1 for r in results if r.checked),
        "unterminated": unterminated,
        "checked": checked,
        "mismatches": positions_bad,
        "mismatched_games": mismatched_games,
        "skipped": sum(skipped.values()),
        "notes": table_notes(unterminated, skipped),
    }


def table_notes(unterminated, skipped):
    """The table's last column: games without a marker, skips by reason."""
    notes = []
    if unterminated:
        notes.append("%d without a termination marker, checked up to the "
                     "last half-move but one" % unterminated)
    notes += ["%s: %d" % (reason, count)
              for reason, count in sorted(skipped.items()) if count]
    return "; ".join(notes)


def print_table(rows, totals):
    """The per-file figures as a Markdown table."""
    print()
    print("| file | games | compared | positions checked | mismatches "
          "| skipped | notes |")
    print("|---|---:|---:|---:|---:|---:|---|")
    total = dict(totals, name="**all %d files**" % len(rows), notes="")
    for row in rows + [total]:
        print("| %s | %d | %d | %d | %d | %d | %s |" % (
            row["name"], row["games"], row["compared"], row["checked"],
            row["mismatches"], row["skipped"], row["notes"]))


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True,
                        help="path of the boardshot binary")
    parser.add_argument("--corpus", default="../shared/corpus",
                        help="directory searched for .pgn files "
                        "(default: %(default)s)")
    parser.add_argument("--pgn-extract", default=PGN_EXTRACT_DEFAULT,
                        help="the reference replayer (default: %(default)s)")
    parser.add_argument("--every", type=int, default=1, metavar="N",
                        help="check games 1, 1+N, 1+2N, ... of each file "
                        "(default 1: every game)")
    parser.add_argument("--every-half-move", action="store_true",
                        help="check the position after every half-move, not "
                        "only at 0, 1, a quarter, half, three quarters and "
                        "the last two")
    parser.add_argument("--skip-setup-games", action="store_true",
                        help="skip games that start from a FEN tag")
    parser.add_argument("--jobs", type=int, default=2,
                        help="games checked in parallel (default 2)")
    parser.add_argument("--table", action="store_true",
                        help="end with the per-file figures as a Markdown "
                        "table")
    parser.add_argument("--verbose", action="store_true",
                        help="list every skipped game with its reason")
    parser.add_argument("files", nargs="*",
                        help="only these files (name or path relative to "
                        "the corpus)")
    options = parser.parse_args(argv)
    if options.every < 1 or options.jobs < 1:
        parser.error("--every and --jobs take a number of 1 or more")
    return options


def main(argv):
    options = parse_arguments(argv)
    if not os.access(options.binary, os.X_OK):
        print("boardshot binary not found: %s" % options.binary)
        return 2
    if not os.path.isdir(options.corpus):
        print("corpus directory not found: %s" % options.corpus)
        return CORPUS_MISSING
    paths = corpus_files(options.corpus, options.files)
    if not paths:
        print("no .pgn files under %s" % options.corpus)
        return 2
    totals = collections.Counter()
    rows = []
    with tempfile.TemporaryDirectory(prefix="boardshot-fidelity-") as scratch:
        runner = BoardshotRunner(os.path.abspath(options.binary), scratch)
        with concurrent.futures.ThreadPoolExecutor(options.jobs) as executor:
            for path in paths:
                row = check_file(options, executor, runner, options.corpus,
                                 path)
                rows.append(row)
                totals.update({k: v for k, v in row.items()
                               if k not in ("name", "notes")})
    if options.table:
        print_table(rows, totals)
    print("TOTAL: files %d, games %d, compared %d, positions checked %d, "
          "mismatches %d (in %d games), skipped %d" % (
              len(paths), totals["games"], totals["compared"],
              totals["checked"], totals["mismatches"],
              totals["mismatched_games"], totals["skipped"]))
    if totals["checked"] == 0:
        print("nothing was checked")
        return 2
    return 1 if totals["mismatches"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
