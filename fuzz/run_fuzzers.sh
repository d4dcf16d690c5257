#!/usr/bin/env bash
# Runs the conversion fuzzer for a bounded time on seeds made from the PGN
# files of the tree (and of ../shared/corpus when it is there):
#   run_fuzzers.sh BUILD_DIR SECONDS
# A crash, a sanitizer report, a hang (over 10 s on one input) or a run over
# the memory limit ends the script with a non-zero status, keeping the
# scratch directory with the input that caused it.
set -euo pipefail

build=${1:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/boardshot-fuzz.XXXXXX")
mkdir "$work/seeds" "$work/corpus"

# Seeds: the first 8 KiB of every PGN file, behind a header asking for game
# 3, the whole game (-m1e9 as a little-endian double) and its details.
header='\x02\x00\x00\x00\x00\x65\xcd\xcd\x41\x01'
index=0
while IFS= read -r file; do
  index=$((index + 1))
  { printf "$header"; head -c 8192 "$file"; } >"$work/seeds/$index"
done < <(find "$here/.." "$here/../../shared/corpus" -name '*.pgn' \
           -not -path '*/build*' 2>/dev/null)
# Files of positions, read as such (byte 9's bit 1) with their details.
while IFS= read -r file; do
  index=$((index + 1))
  { printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x03'; head -c 8192 "$file"; } \
    >"$work/seeds/$index"
done < <(find "$here/.." \( -name '*.epd' -o -name '*.fen' -o -name stdin \) \
           -not -path '*/build*' 2>/dev/null)

if ! "$build/conversion_fuzzer" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=16384 -dict="$here/pgn.dict" \
    -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" "$work/seeds"; then
  echo "finding kept in $work" >&2
  exit 1
fi
rm -rf "$work"
