#!/usr/bin/env bash
# Runs of the boardshot binary that need what a golden case cannot hold: hard
# links, paths of thousands of characters, names of 255 bytes, names that
# are not UTF-8 and a standard output that cannot be written. Each run must print what it does, end with its status and
# leave the input as it was.
#
#   file_system_test.sh BINARY
set -euo pipefail

binary=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
cd "$work"
game=$'[Event "fs"]\n\n1. e4 e5 *\n'
failures=0

# expect STATUS STDOUT_TAIL ARGS...: runs the binary and checks the status and
# that standard output ends with STDOUT_TAIL.
expect() {
  local want_status=$1 want_tail=$2 status=0 output
  shift 2
  output=$("$binary" "$@") || status=$?
  if [[ $status != "$want_status" || $output != *"$want_tail" ]]; then
    echo "FAIL: boardshot ${*:1:2}...: status $status, output ...${output: -120}"
    failures=$((failures + 1))
  fi
}

printf '%s' "$game" >game.pgn
ln game.pgn hard.pgn
expect 253 $'\nOutput file hard.pgn would overwrite the input file' game.pgn hard.pgn
[[ $(<game.pgn) == "${game%$'\n'}" ]] || { echo "FAIL: the input was changed"; failures=$((failures + 1)); }

# Paths far longer than 255 characters are held whole.
long_dir=$(printf 'd%.0s' {1..200})
long_name=$(printf 'g%.0s' {1..200}).pgn
mkdir "$long_dir"
cp game.pgn "$long_dir/$long_name"
expect 0 ", game #1, through move 999.0" "$long_dir/$long_name"
[[ -s $long_dir/$long_name.inc ]] || { echo "FAIL: no scene beside the long path"; failures=$((failures + 1)); }
deep=.
for _ in {1..16}; do deep+=/$long_dir; mkdir -p "$deep"; done
cp game.pgn "$deep/g.pgn"
expect 0 ", game #1, through move 999.0" "$deep/g.pgn" "$deep/g.inc"
[[ -s $deep/g.inc ]] || { echo "FAIL: no scene at a path of ${#deep} characters"; failures=$((failures + 1)); }

# An input name of 255 bytes leaves no room for ".inc"; the input survives.
name255=$(printf 'n%.0s' {1..255})
cp game.pgn "$name255"
expect 253 " could not be opened for write" "$name255"
cmp -s game.pgn "$name255" || { echo "FAIL: the 255-byte input changed"; failures=$((failures + 1)); }

# File names are bytes, not text.
expect 0 $'\nConverting game.pgn to \xff\xfe.inc, game #1, through move 999.0' game.pgn $'\xff\xfe.inc'
[[ -s $'\xff\xfe.inc' ]] || { echo "FAIL: no scene named in invalid UTF-8"; failures=$((failures + 1)); }

# Standard output on a full disk: the list, and the messages of a run, that
# never reach the user make the run fail as a write does.
expect_full_stdout() {
  local status=0
  "$binary" "$@" >/dev/full || status=$?
  if [[ $status != 252 ]]; then
    echo "FAIL: boardshot $* >/dev/full: status $status, expected 252"
    failures=$((failures + 1))
  fi
}
expect_full_stdout --list game.pgn
expect_full_stdout game.pgn full.inc
expect_full_stdout --help

((failures == 0)) && echo "all file-system runs passed"
exit $((failures > 0))
