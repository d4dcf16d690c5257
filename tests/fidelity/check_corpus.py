#!/usr/bin/env python3
"""Checks boardshot against pgn-extract, an independent PGN reader, on every
.pgn file under a corpus directory.

For each file:
- Numbering: `boardshot --list` must number the games as pgn-extract splits
  the file (the count and each game's Event, White, Black and Date), unless
  the file is one whose difference is known and explained in KNOWN_SPLITS.
- Agreement: for every game checked, `boardshot -gN --details` must report
  the half-moves and tags that --list printed for it.
- Positions: pgn-extract replays each game alone with full legality and
  writes the FEN after every half-move; from those follows the scene file
  boardshot must write (board records from the placement, capture lists
  from the piece that vanishes at each capture). boardshot's scene is
  compared byte for byte at the end of the game and at several -m limits.
- Warnings: a warning of a half-move that does not fit the board ("No ...
  can make the move", "... cannot castle as written in ...", "... cannot
  move as written in ...") on a game that pgn-extract replays is a wrong
  replay, and fails the check.

Games are cut out of the file by boardshot's game rule (tag blocks, brace
and ';' comments, '%' lines) for pgn-extract to replay one at a time; the
cut must give as many games as --list. Games without tags, of a variant, or
refused by pgn-extract are skipped, with the reason.

Exit status: 0 when everything agrees, 1 on any mismatch, 2 when the check
could not run, 77 when the corpus directory is missing (CTest: skipped).
"""

import argparse
import codecs
import collections
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile

PGN_EXTRACT = (shutil.which("pgn-extract") or
               shutil.which("pgn-extract", path="/usr/games") or "pgn-extract")
SKIPPED = 77
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
MACROS = {"p": "_Pawn", "n": "_Knight", "b": "_Bishop", "r": "_Rook",
          "q": "_Queen", "k": "_King"}
TAG_LINE = re.compile(rb"^[ \t]*\[[ \t]*[A-Za-z]")
TAG_PAIR = re.compile(rb'\[\s*([A-Za-z0-9_]+)\s+"((?:[^"\\]|\\.)*)"')
COMMENT_OR_VARIATION = re.compile(rb"\{[^}]*\}?|;[^\n]*|^%[^\n]*|[()]", re.M)
NOT_A_MOVE = re.compile(rb"^(\d+|\$\d+|[!?+\-/=#]+|e\.p\.?|ep)$")
RESULTS = {b"1-0", b"0-1", b"1/2-1/2", b"*", b"1/2"}
RESULT_ON_MOVE = re.compile(rb"^([A-Za-z].*?)(1/2-1/2|1-0|0-1|\*)$")
FEN_COMMENT = re.compile(rb"\{\s*([^{}]*?)\s*\}")
WARNING = re.compile(rb"\nNo (white|black) \w+ can make the move |"
                     rb"\n(White|Black) cannot (castle|move) as written in ")
DETAIL = re.compile(rb'\n#declare Boardshot_(\w+) = "?(.*?)"?;')

# Files where pgn-extract splits differently, and why.
KNOWN_SPLITS = {
    "art_attack.pgn": "pgn-extract drops game 1, whose SetUp tag has no FEN",
    "FANT100.pgn": "pgn-extract drops game 11, whose FEN is illegal",
    "eco.pgn": "text before the first tags is game 1 for boardshot",
    "polgar-parsed.pgn": "pgn-extract drops the last game, which it cannot "
                         "replay (lower-case tags hide its FEN)",
    "russian_chess.pgn": "pgn-extract starts new games at an unmatched '}' "
                         "or an unclosed '('",
    "nested-comment.pgn": "pgn-extract nests braces, PGN does not",
    "test-fuzzydepth.pgn": "pgn-extract splits tagless games at results",
    "immortal-games.pgn": "pgn-extract starts new games after errors "
                          "(commas between moves)",
    "knightvuillaume-jannlee-zh-lichess.pgn": "pgn-extract starts new games "
                                              "after errors (crazyhouse drops)",
}


# ---------------------------------------------------------------- the games

def line_kind(line):
    """A line's kind from its first 64 bytes, as boardshot tells it."""
    head = line[:64]
    if head.startswith(b"%"):
        return "escape"
    if TAG_LINE.match(head):
        return "tag"
    if head.strip(b" \t") in (b"\n", b"\r\n", b"\r"):
        return "blank"
    return "text"


def tag_line_parts(line):
    """A tag line's tag pairs, and the movetext after the last pair on the
    same line (None when only white space follows). A pair runs from '[' to
    the first ']' outside its quoted value, where \\" and \\\\ are escapes."""
    in_pair = in_quote = escaped = False
    body = line.rstrip(b"\r\n")
    for at, byte in enumerate(body):
        char = bytes([byte])
        if not in_pair:
            if char == b"[":
                in_pair = True
            elif not char.isspace() and char != b"\0":
                return body[:at], body[at:]
        elif escaped:
            escaped = False
        elif in_quote:
            escaped, in_quote = char == b"\\", char != b'"'
        elif char == b'"':
            in_quote = True
        elif char == b"]":
            in_pair = False
    return body, None


def split_games(data):
    """The file's games as boardshot numbers them, as (first line, text)."""
    data = data.replace(b"\x1a", b"")
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.splitlines(keepends=True)
    starts, in_tags, in_brace = [0], True, False
    for index, line in enumerate(lines):
        position = 0
        if not in_brace:
            kind = line_kind(line)
            if not in_tags and kind == "tag":
                starts.append(index)
                in_tags = True
            if in_tags and kind == "tag":
                pairs, rest = tag_line_parts(line)
                if rest is None:
                    continue
                position = len(pairs)  # movetext after the tag pairs
            elif in_tags and kind != "text":
                continue
            in_tags = False
            if kind == "escape":
                continue
        while True:
            if in_brace:
                position = line.find(b"}", position)
                if position < 0:
                    break
                in_brace, position = False, position + 1
            else:
                found = re.compile(rb"[{;]").search(line, position)
                if not found or found.group() == b";":
                    break
                in_brace, position = True, found.end()
    ends = starts[1:] + [len(lines)]
    return [(start + 1, b"".join(lines[start:end]))
            for start, end in zip(starts, ends)]


def tags_of(text):
    tags = {}
    for line in text.splitlines():
        if TAG_LINE.match(line):
            pairs, rest = tag_line_parts(line)
            for name, value in TAG_PAIR.findall(pairs):
                tags.setdefault(name.decode("latin-1").lower(),
                                value.decode("latin-1"))
            if rest is not None:
                break
        elif line.strip() and not line.startswith(b"%"):
            break
    return tags


def movetext_of(line):
    """What of a line is movetext: all of it, or the rest of a tag line;
    with LF for its line end."""
    if TAG_LINE.match(line):
        return (tag_line_parts(line)[1] or b"") + b"\n"
    return line.rstrip(b"\r\n") + b"\n"


def main_line(text):
    """Half-moves of the main line and whether a result ends it."""
    movetext = b"".join(movetext_of(l)
                        for l in text.splitlines(keepends=True))
    tokens, depth, position = [], 0, 0
    for match in COMMENT_OR_VARIATION.finditer(movetext):
        if depth == 0:
            tokens += re.split(rb"[\s.]+", movetext[position:match.start()])
        depth = max(0, depth + {b"(": 1, b")": -1}.get(match.group(0), 0))
        position = match.end()
    if depth == 0:
        tokens += re.split(rb"[\s.]+", movetext[position:])
    half_moves = 0
    for token in filter(None, tokens):
        if token in RESULTS:
            return half_moves, True
        if RESULT_ON_MOVE.match(token):  # 'h6*': the move, then the result
            return half_moves + 1, True
        if not NOT_A_MOVE.match(token):
            half_moves += 1
    return half_moves, False


# ---------------------------------------------------------------- pgn-extract

def pgn_extract_split(pgn_extract, path):
    """(Event, White, Black, Date) of each game as pgn-extract splits; its
    output starts every game with the Event tag."""
    out = subprocess.run([pgn_extract, "-s", "--keepbroken", path],
                         capture_output=True, check=False).stdout
    games = []
    for line in out.splitlines():
        if line.startswith(b"[Event "):
            games.append({})
        if games and TAG_LINE.match(line):
            for name, value in TAG_PAIR.findall(line):
                games[-1][name.decode("latin-1").lower()] = as_listed(value)
    return [identity(g) for g in games]


def _latin1_byte(error):
    """A byte that starts no UTF-8 character is its Latin-1 character."""
    return error.object[error.start:error.start + 1].decode("latin-1"), \
        error.start + 1


codecs.register_error("boardshot-latin-1", _latin1_byte)
CONTROL = re.compile("[\x00-\x1f\x7f-\x9f]")


def as_listed(raw):
    """A tag value's bytes as --list shows them: UTF-8 where they form it,
    Latin-1 elsewhere, a control character as a space."""
    return CONTROL.sub(" ", raw.decode("utf-8", errors="boardshot-latin-1"))


def identity(tags):
    """A game's Event, White, Black and Date, a missing one as '?'."""
    def value(name):
        text = tags.get(name, "").replace("\\\"", "\"").replace("\\\\", "\\")
        return "?" if text in ("", "?", "????.??.??") else text
    return tuple(value(n) for n in ("event", "white", "black", "date"))


def replay(pgn_extract, text, first_fen, setup, terminated):
    """The FENs after 0, 1, ... half-moves, or a reason for refusing."""
    lines = []
    for line in text.splitlines(keepends=True):
        if TAG_LINE.match(line):
            # One tag line a line, unindented, its movetext on the next.
            pairs, rest = tag_line_parts(line.lstrip(b" \t"))
            line = pairs + b"\n" + (rest + b"\n" if rest is not None else b"")
            # pgn-extract knows FEN by its exact name only, and a SetUp tag
            # without a FEN makes it drop the game.
            if setup:
                line = re.sub(rb"^\[(\s*)fen(\s)", rb"[\1FEN\2", line,
                              flags=re.I)
            elif re.match(rb"^\[[ \t]*SetUp[ \t]", line, re.I):
                continue
        else:
            line = line.replace(b",", b" ")  # '9. Bxe7, Qxe7' is not PGN
        lines.append(line)
    if not terminated:
        lines.append(b"\n*\n")  # pgn-extract drops games without one
    process = subprocess.run(
        [pgn_extract, "--fencomments", "-s", "-V", "-C", "-N", "--nochecks",
         "--allownullmoves", "-w", "1000000"],
        input=b"".join(lines), capture_output=True, check=False)
    moves = b" ".join(l for l in process.stdout.splitlines()
                      if l.strip() and not TAG_LINE.match(l))
    errors = [l for l in process.stderr.decode("latin-1").splitlines()
              if l.strip() and not l.startswith("File ") and
              "esult" not in l and "quote" not in l and " - " not in l]
    if not process.stdout.strip():
        return "pgn-extract refused it: %s" % (errors[:1] or ["no output"])[0]
    fens = [first_fen] + [" ".join(m.decode("latin-1").split())
                          for m in FEN_COMMENT.findall(moves)]
    if errors and len(fens) - 1 != main_line(text)[0]:
        return "pgn-extract refused it: %s" % errors[0]
    return fens


# ---------------------------------------------------------------- scenes

def placement(fen):
    squares = {}
    for row, text in enumerate(fen.split()[0].split("/")):
        file_index = 0
        for char in text:
            if char.isdigit():
                file_index += int(char)
            else:
                squares[(file_index, 7 - row)] = char
                file_index += 1
    return squares


def expected_scenes(fens):
    """The scene after 0, 1, ... half-moves: the board, then White's lost
    pieces on file 'i' from 1 upward, then Black's on '`' from 8 down."""
    scenes, lost, previous = [], ([], []), None
    for index, fen in enumerate(fens):
        squares = placement(fen)
        if previous is not None:
            mover = 1 if fens[index - 1].split()[1] == "b" else 0
            before = collections.Counter(
                c.lower() for c in previous.values() if c.isupper() == mover)
            after = collections.Counter(
                c.lower() for c in squares.values() if c.isupper() == mover)
            lost[1 - mover].extend((before - after).elements())
        records = ['\n%s("%c%d",%d)' % (MACROS[c.lower()], 97 + f, r + 1,
                                         0 if c.isupper() else 1)
                   for (f, r), c in sorted(squares.items())]
        records += ['\n%s("i%d",0)' % (MACROS[c], k + 1)
                    for k, c in enumerate(lost[0])]
        records += ['\n%s("`%d",1)' % (MACROS[c], 8 - k)
                    for k, c in enumerate(lost[1])]
        scenes.append("".join(records).encode("ascii"))
        previous = squares
    return scenes


# ---------------------------------------------------------------- checking

class Checker:
    def __init__(self, options, scratch):
        self.options, self.scratch, self.runs = options, scratch, 0

    def run(self, path, *args):
        """(status, stdout, scene) of one boardshot run."""
        self.runs += 1
        out = os.path.join(self.scratch, "%d.inc" % self.runs)
        process = subprocess.run([self.options.binary, path, out] + list(args),
                                 capture_output=True, check=False)
        scene = open(out, "rb").read() if os.path.exists(out) else b""
        if os.path.exists(out):
            os.remove(out)
        return process.returncode, process.stdout, scene

    def check_game(self, path, number, text, listed):
        """(problems, positions checked, warnings, skip reason)."""
        problems = []
        status, stdout, scene = self.run(path, "-g%d" % number, "--details")
        warnings = len(WARNING.findall(stdout))
        details = {k.decode(): v.decode("latin-1")
                   for k, v in DETAIL.findall(scene)}
        if status in (0, 2) and listed[6] != details.get("Half_Moves",
                                                         listed[6]):
            problems.append("--list says %s half-moves, --details %s" %
                            (listed[6], details.get("Half_Moves")))
        tags = tags_of(text)
        if not tags:
            return problems, 0, warnings, "no tag block"
        variant = tags.get("variant", "").strip().lower()
        if variant not in ("", "standard", "chess"):
            return problems, 0, warnings, "variant (%s)" % variant
        half_moves, terminated = main_line(text)
        setup = "fen" in tags
        fens = replay(self.options.pgn_extract, text,
                      " ".join(tags["fen"].split()) if setup else START_FEN,
                      setup, terminated)
        if isinstance(fens, str):
            return problems, 0, warnings, fens
        if warnings:
            problems.append("warned: %s" % stdout.decode("latin-1").strip())
        scenes = expected_scenes(fens)
        last = len(scenes) - 1
        checks = [(None, scenes[-1] if terminated else None)]
        limits = range(last + 1) if self.options.every_half_move else \
            {0, 1, last // 4, last // 2, 3 * last // 4, last - 1, last}
        checks += [(k, scenes[k]) for k in sorted(limits) if 0 <= k <= last]
        for limit, expected in checks:
            args = ["-g%d" % number] + ([] if limit is None else
                                        ["-m%d" % limit])
            status, stdout, scene = self.run(path, *args)
            want_status = 0 if expected is not None else 2
            label = "end" if limit is None else "-m%d" % limit
            if status != want_status:
                problems.append("%s: exit %d, expected %d" %
                                (label, status, want_status))
            elif expected is not None and scene != expected:
                problems.append("%s: scene differs" % label)
        return problems, len(checks), warnings, None

    def check_file(self, path, executor):
        name = os.path.basename(path)
        listing = subprocess.run([self.options.binary, "--list", path],
                                 capture_output=True, check=False).stdout
        rows = [l.split(b"\t") for l in listing.splitlines()[1:]]
        rows = [[f.decode("utf-8") for f in r] for r in rows]
        problems = []
        theirs = pgn_extract_split(self.options.pgn_extract, path)
        ours = [identity(dict(zip(("white", "black", "result", "date",
                                   "event"), r[1:6]))) for r in rows]
        split_note = "numbering as pgn-extract's"
        if ours != theirs:
            first = next((i for i, (a, b) in enumerate(zip(ours, theirs))
                          if a != b), min(len(ours), len(theirs)))
            split_note = "%d games, pgn-extract %d, first different: #%d" % (
                len(ours), len(theirs), first + 1)
            if name in KNOWN_SPLITS:
                split_note += " (%s)" % KNOWN_SPLITS[name]
            else:
                problems.append("numbering: " + split_note)
        games = split_games(open(path, "rb").read())
        if len(games) != len(rows):
            problems.append("the cut gives %d games, --list %d" %
                            (len(games), len(rows)))
            games = []
        chosen = [(n, g) for n, g in enumerate(games, 1)
                  if (n - 1) % self.options.every == 0]
        results = executor.map(
            lambda item: (item[0], item[1][0], self.check_game(
                path, item[0], item[1][1], rows[item[0] - 1])), chosen)
        checked = warnings = 0
        skipped = collections.Counter()
        for number, line, (game_problems, positions, warned, skip) in results:
            problems += ["game %d (line %d): %s" % (number, line, p)
                         for p in game_problems]
            checked += positions
            warnings += warned
            if skip:
                skipped[skip] += 1
        return {"file": os.path.relpath(path, self.options.corpus),
                "games": len(rows), "checked": checked,
                "skipped": sum(skipped.values()), "warnings": warnings,
                "problems": problems, "split": split_note,
                "reasons": "; ".join("%s: %d" % r for r in sorted(
                    skipped.items()))}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--corpus", default="../shared/corpus")
    parser.add_argument("--pgn-extract", default=PGN_EXTRACT)
    parser.add_argument("--every", type=int, default=1, metavar="N",
                        help="check games 1, 1+N, 1+2N, ... of each file")
    parser.add_argument("--every-half-move", action="store_true")
    parser.add_argument("--table", action="store_true",
                        help="end with a Markdown table of the figures")
    parser.add_argument("files", nargs="*", help="only these file names")
    options = parser.parse_args(argv)
    options.binary = os.path.abspath(options.binary)
    if not os.path.isdir(options.corpus):
        print("corpus directory not found: %s" % options.corpus)
        return SKIPPED
    if shutil.which(options.pgn_extract) is None:
        print("pgn-extract not found: %s" % options.pgn_extract)
        return SKIPPED
    paths = sorted(os.path.join(root, name)
                   for root, _, names in os.walk(options.corpus)
                   for name in names if name.lower().endswith(".pgn") and
                   (not options.files or name in options.files))
    if not paths:
        print("no .pgn files under %s" % options.corpus)
        return 2
    rows = []
    with tempfile.TemporaryDirectory() as scratch, \
            concurrent.futures.ThreadPoolExecutor(2) as executor:
        checker = Checker(options, scratch)
        for path in paths:
            row = checker.check_file(path, executor)
            rows.append(row)
            print("%(file)s: %(games)d games, %(checked)d positions, "
                  "%(skipped)d skipped, %(warnings)d warnings; %(split)s" % row
                  + ("; skipped: " + row["reasons"] if row["reasons"] else ""))
            for problem in row["problems"]:
                print("  MISMATCH " + problem)
            sys.stdout.flush()
    if options.table:
        print("\n| file | games | positions | skipped | warnings | numbering |"
              "\n|---|---:|---:|---:|---:|---|")
        for row in rows:
            print("| %(file)s | %(games)d | %(checked)d | %(skipped)d | "
                  "%(warnings)d | %(split)s |" % row)
    problems = sum(len(r["problems"]) for r in rows)
    print("TOTAL: %d files, %d games, %d positions, %d skipped, %d warnings, "
          "%d mismatches" % (len(rows), sum(r["games"] for r in rows),
                             sum(r["checked"] for r in rows),
                             sum(r["skipped"] for r in rows),
                             sum(r["warnings"] for r in rows), problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
