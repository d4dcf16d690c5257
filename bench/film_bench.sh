#!/usr/bin/env bash
# Times a whole-game film: a 41-move game (82 half-moves) of the bundled
# games, 640x360, 4 in-between frames per half-move, rendered with the video
# preset on all cores of this machine, and prints a table. CPU seconds count
# the work of every povray run; wall seconds also show what other programs
# on the machine took.
#
#   bench/film_bench.sh [BOARDSHOT_BINARY]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
binary=$(readlink -f "${1:-$here/build/boardshot}")
game=$here/tests/data/egor-tensin-annotated.pgn
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

load=$(cut -d' ' -f1 /proc/loadavg)
/usr/bin/time -f '%e %U %S' -o "$work/time" \
  "$here/scripts/boardshot-render" --boardshot "$binary" --video "$work/game.mp4" \
  --size 640x360 --between 4 --keep-frames "$game" -g3 2>"$work/log" ||
  { cat "$work/log" >&2; exit 1; }
read -r wall user system <"$work/time"
frames=$(find "$work/game.mp4.frames" -name 'frame-*.png' | wc -l)
length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/game.mp4")
awk -v f="$frames" -v w="$wall" -v c="$(echo "$user + $system" | bc)" \
    -v n="$(nproc)" -v l="$load" -v s="$length" 'BEGIN {
  print "| frames | cores | load before | wall s/frame | CPU s/frame | total wall | film length |"
  print "|---:|---:|---:|---:|---:|---:|---:|"
  printf "| %d | %d | %s | %.2f | %.2f | %d:%02d | %.0f s |\n", f, n, l, w / f, c / f,
         int(w / 60), int(w) % 60, s
}'
