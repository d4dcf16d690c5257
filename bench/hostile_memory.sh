#!/usr/bin/env bash
# Peak memory of conversions of hostile game files: a 50 MB movetext line,
# a 50 MB tag line, a 50 MB token (as a half-move, and in a game that is
# passed over), a 50 MB brace comment in a game that is passed over, 50 MB of
# Ctrl-Z bytes and 100,000 nested parentheses and braces, beside a small
# ordinary game.
#   bench/hostile_memory.sh [BOARDSHOT_BINARY]   (default build/boardshot)
# Prints one table row per file: size, exit status, peak resident memory
# (GNU time's maximum resident set size) and wall time. A peak above the
# budget is marked OVER and makes the script exit 1.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
binary=$(realpath "${1:-$here/../build/boardshot}")
budget_kb=$((8 * 1024))
megabytes50=50000000
nesting=100000

if [[ ! -x /usr/bin/time ]]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y time >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/boardshot-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# N copies of one character, without holding them in the shell.
repeat() { head -c "$2" /dev/zero | tr '\0' "$1"; }

printf '[Event "small"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n' >"$work/small.pgn"
{ printf '[Event "line"]\n\n1. e4'; repeat ' ' $megabytes50
  printf 'e5 2. Nf3 *\n'; } >"$work/line.pgn"
{ printf '[Event "'; repeat e $megabytes50; printf '"]\n\n1. e4 *\n'; } \
  >"$work/tag.pgn"
{ printf '[Event "token"]\n\n1. e4 '; repeat 'x' $megabytes50
  printf ' *\n'; } >"$work/token.pgn"
{ printf '[Event "a"]\n\n1. e4 '; repeat 'x' $megabytes50
  printf ' *\n\n[Event "b"]\n\n1. d4 d5 *\n'; } >"$work/token-skipped.pgn"
{ printf '[Event "a"]\n\n1. e4 {'; repeat '[' $megabytes50
  printf '}\n[Event "b"]\n\n1. d4 d5 *\n'; } >"$work/comment-skipped.pgn"
{ printf '[Event "z"]\n\n1. e4 '; head -c $megabytes50 /dev/zero | tr '\0' '\032'
  printf ' e5 *\n'; } >"$work/ctrl-z.pgn"
{ printf '[Event "nest"]\n\n1. e4 '; repeat '(' $nesting; repeat '{' $nesting
  printf '}'; repeat ')' $nesting; printf ' e5 2. Nf3 *\n'; } >"$work/nest.pgn"

measure() {  # case name, input file, options...
  local name=$1 input=$2
  shift 2
  local status=0
  /usr/bin/time -v -o "$work/time.txt" \
    "$binary" "$input" "$work/out.inc" "$@" >/dev/null || status=$?
  local peak wall verdict=ok
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt")
  if ((peak > budget_kb)); then verdict=OVER; over=1; fi
  printf '| %-32s | %10s | %6s | %14s | %9s | %-9s |\n' "$name" \
    "$(stat -c %s "$input")" "$status" "$peak" "$wall" "$verdict"
}

over=0
printf '| %-32s | %10s | %6s | %14s | %9s | %-9s |\n' case bytes exit \
  "peak RSS (KB)" wall "<=${budget_kb}KB"
printf '|%s|%s|%s|%s|%s|%s|\n' "$(repeat - 34)" "$(repeat - 12)" \
  "$(repeat - 8)" "$(repeat - 16)" "$(repeat - 11)" "$(repeat - 11)"
measure "small game" "$work/small.pgn"
measure "50 MB line" "$work/line.pgn"
measure "50 MB tag line" "$work/tag.pgn"
measure "50 MB token as a half-move" "$work/token.pgn"
measure "50 MB token in a skipped game" "$work/token-skipped.pgn" -g2
measure "50 MB comment in a skipped game" "$work/comment-skipped.pgn" -g2
measure "50 MB of Ctrl-Z bytes" "$work/ctrl-z.pgn"
measure "100,000 nested ( and {" "$work/nest.pgn"
exit $over
