#!/usr/bin/env bash
# Times one frame at the film preset (640x360, `--quality video`) with the
# example scene as it is in the work tree (after) and as it was at a git
# revision (before, main by default): the sample game's final position with
# coordinates and caption, rendered by povray in turn, before and after,
# RUNS times each, so that both see the same load. Prints a table of the
# median seconds per frame (wall and CPU) and their ratio.
#
#   bench/still_bench.sh [REVISION] [RUNS] [BOARDSHOT_BINARY]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
revision=${1:-main}
runs=${2:-7}
binary=$(readlink -f "${3:-$here/build/boardshot}")
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

mkdir "$work/before" "$work/after"
cp "$here"/scene/example/boardshot*.{pov,inc} "$work/after/"
for file in $(git -C "$here" ls-tree --name-only "$revision" scene/example/); do
  [[ $file == *.pov || $file == *.inc ]] &&
    git -C "$here" show "$revision:$file" >"$work/before/$(basename "$file")"
done
"$binary" "$here/samples/fried-liver.pgn" "$work/position.inc" --details >/dev/null
for side in before after; do
  cp "$work/position.inc" "$work/$side/"
  printf '%s\n' '#version 3.7;' '#declare Boardshot_Caption = 1;' \
    '#include "boardshot.pov"' >"$work/$side/frame.pov"
done

load=$(cut -d' ' -f1 /proc/loadavg)
for ((run = 0; run < runs; run++)); do
  for side in before after; do
    (cd "$work/$side" && /usr/bin/time -f '%e %U %S' -a -o "$work/$side.times" \
       povray +Iframe.pov +Oframe.png +FN +W640 +H360 -D -V +Q9 +A0.3 \
       Declare=Boardshot_Light_Samples=2 2>/dev/null)
  done
done
median() {  # median FILE wall|cpu: the median of the runs' seconds
  awk -v what="$2" '{ print (what == "wall" ? $1 : $2 + $3) }' "$1" | sort -g |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
wall_before=$(median "$work/before.times" wall)
wall_after=$(median "$work/after.times" wall)
cpu_before=$(median "$work/before.times" cpu)
cpu_after=$(median "$work/after.times" cpu)
awk -v wb="$wall_before" -v wa="$wall_after" -v cb="$cpu_before" -v ca="$cpu_after" \
    -v r="$revision" -v n="$runs" -v l="$load" -v c="$(nproc)" 'BEGIN {
  print "| scene | runs | cores | load before | wall s/frame | CPU s/frame |"
  print "|---|---:|---:|---:|---:|---:|"
  printf "| before (%s) | %d | %d | %s | %.2f | %.2f |\n", r, n, c, l, wb, cb
  printf "| after | %d | %d | | %.2f | %.2f |\n", n, c, wa, ca
  printf "| after / before | | | | %.2fx | %.2fx |\n", wa / wb, ca / cb
}'
