#!/usr/bin/env bash
# Compares two result tables of run.sh by mutant id: lists every mutant of
# either table with its result and catching-test count in each, and marks the
# ones one suite catches and the other does not.
# Exits 1 when AFTER lets through a mutant that BEFORE caught.
#
#   tests/mutants/compare.sh BEFORE.tsv AFTER.tsv
set -euo pipefail

before=${1:?usage: compare.sh BEFORE.tsv AFTER.tsv}
after=${2:?usage: compare.sh BEFORE.tsv AFTER.tsv}

awk -F'\t' '
  FNR == 1 { next }
  FNR == NR { was[$1] = $3 " " $4; order[++n] = $1; next }
  { is[$1] = $3 " " $4; if (!($1 in was)) order[++n] = $1 }
  END {
    printf "%-28s %-14s %-14s %s\n", "id", "before", "after", "change"
    for (i = 1; i <= n; ++i) {
      id = order[i]
      b = id in was ? was[id] : "-"; a = id in is ? is[id] : "-"
      change = a == "-" ? "not run" : b == "-" ? "new" : ""
      if (b ~ /^caught/ && a ~ /^SURVIVED/) { change = "LOST"; ++lost }
      if (b ~ /^SURVIVED/ && a ~ /^caught/) { change = "gained"; ++gained }
      printf "%-28s %-14s %-14s %s\n", id, b, a, change
    }
    printf "\n%d lost, %d gained\n", lost, gained
    exit lost > 0
  }' "$before" "$after"
