#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, one after the other, seeded by
# make_seeds.sh in a scratch directory:
#   run_fuzzers.sh BUILD_DIR SECONDS
# A crash, a sanitizer report, a hang (over 10 s on one input) or a run
# beyond the memory limit is a finding: the script stops with a non-zero
# status and keeps the scratch directory with the input that caused it.
set -euo pipefail

build=${1:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:?usage: run_fuzzers.sh BUILD_DIR SECONDS}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/boardshot-fuzz.XXXXXX")

"$here/make_seeds.sh" "$work/seeds"

run_target() {  # target name, longest input in bytes
  local name=$1
  mkdir -p "$work/$name"
  echo "== $name: ${seconds}s"
  if ! "$build/$name" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len="$2" -dict="$here/pgn.dict" \
      -print_final_stats=1 -artifact_prefix="$work/$name-" \
      "$work/$name" "$work/seeds/$name"; then
    echo "== $name: finding kept in $work" >&2
    ls -l "$work" >&2
    exit 1
  fi
}

run_target conversion_fuzzer 16384
run_target board_moves_fuzzer 2048
rm -rf "$work"
