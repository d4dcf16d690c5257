#!/usr/bin/env bash
# Times the ways of rendering a film's frames side by side, on the same
# frames of the same scene: the first 10 half-moves of a bundled game at
# 640x360 with 4 in-between frames per half-move (51 distinct frames).
#
#   old way          one povray process per whole frame, as many at once as
#                    there are cores (each with POV-Ray's own threads)
#   long-lived runs  whole frames in POV-Ray animation runs of 6, one thread
#                    each, two runs per core
#   changed regions  boardshot-render itself: the first frame whole, every
#                    other one through windows on where it differs from the
#                    frame it is pasted over (includes converting the
#                    positions and making the MP4)
#
# It then compares every frame of the changed-region film with the whole
# render of the same frame (PSNR; identical frames count as such) and, as a
# yardstick, the old way's frames with the long runs' (the same frames traced
# with other thread counts). Last, unless --short is given, it makes the
# 1280x720 film of the game's first 40 moves (80 half-moves) with the
# default settings and reports its wall time.
#
#   bench/film_bench.sh [--short] [BOARDSHOT_BINARY]
set -euo pipefail
short=0
if [[ ${1-} == --short ]]; then short=1; shift; fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
binary=$(readlink -f "${1:-$here/build/boardshot}")
render=$here/scripts/boardshot-render
game=$here/tests/data/egor-tensin-annotated.pgn
cores=$(nproc)
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

# Runs a command and prints "WALL CPU" seconds, CPU being user and system
# time of it and all it started: steadier than wall time on a busy machine.
timed() {  # timed COMMAND...
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null 2>"$work/log" ||
    { cat "$work/log" >&2; exit 1; }
  local wall user system
  read -r wall user system <"$work/time"
  echo "$wall $(echo "$user + $system" | bc)"
}

load_before=$(cut -d' ' -f1 /proc/loadavg)

# The changed-region film first: its kept frames folder holds the scene, the
# positions and the settings the other two ways render from.
regions=$(timed "$render" --boardshot "$binary" --video "$work/film.mp4" --keep-frames \
  --frames "$work/regions" --size 640x360 --between 4 -m0-10 "$game" -g3)
# Its own count of the time spent rendering, without converting the
# positions and making the MP4 (whole seconds).
rendering=$(sed -n 's/.*frames \([0-9]*\)\/\1, \([0-9]*\):\([0-9]*\) elapsed.*/\2 * 60 + \3/p' "$work/log" |
            tail -n 1 | bc)
frames=$(find "$work/regions" -name 'frame-*.png' | wc -l)
last=$((frames - 1))

# The same frames, one povray process each.
mkdir -p "$work/old" "$work/long"
cd "$work/regions"
old=$(seq 0 "$last" | timed parallel --will-cite -j "$cores" \
  "povray film.ini +Ifilm.pov +O$work/old/f +KFI0 +KFF$last +SF{} +EF{} 2>/dev/null")
# The same frames in runs of six consecutive ones.
long=$(seq 0 6 "$last" | timed parallel --will-cite -j 200% \
  "povray film.ini +Ifilm.pov +O$work/long/f +WT1 +BS8 +KFI0 +KFF$last +SF{} +EF\$(({} + 5 < $last ? {} + 5 : $last)) 2>/dev/null")
cd "$here"

# PSNR of two PNG files ("inf" when identical).
psnr() {
  ffmpeg -hide_banner -i "$1" -i "$2" -lavfi psnr -f null - 2>&1 |
    sed -n 's/.* average:\([^ ]*\).*/\1/p'
}
# "identical N/M, lowest PSNR X dB" of the changed-region frames (or of the
# old way's) against the long runs' whole frames.
compare_frames() {  # compare_frames FOLDER NAME_FORMAT
  local identical=0 lowest=inf n value name whole
  for ((n = 0; n <= last; n++)); do
    # shellcheck disable=SC2059 # the format names the frame
    name=$(printf "$2" "$n")
    whole=$(printf '%s/long/f%0*d.png' "$work" "${#last}" "$n")
    value=$(psnr "$1/$name" "$whole")
    if [[ $value == inf ]]; then
      identical=$((identical + 1))
    elif [[ $lowest == inf ]] || (($(echo "$value < $lowest" | bc))); then
      lowest=$value
    fi
  done
  echo "$identical/$frames identical, lowest ${lowest} dB"
}
regions_quality=$(compare_frames "$work/regions" 'frame-%06d.png')
old_quality=$(compare_frames "$work/old" "f%0${#last}d.png")

echo "Film frames, 640x360, $frames distinct frames (10 half-moves, 4 in-between each);"
echo "$cores cores, load average $load_before before, $(cut -d' ' -f1 /proc/loadavg) after"
echo
echo "| way | wall s | CPU s | CPU s/frame | speed-up (wall, CPU) | frames against whole renders |"
echo "|---|---:|---:|---:|---:|---|"
read -r old_wall old_cpu <<<"$old"
row() {  # row NAME "WALL CPU" QUALITY
  local wall cpu
  read -r wall cpu <<<"$2"
  printf '| %s | %.1f | %.1f | %.2f | %.1fx, %.1fx | %s |\n' "$1" "$wall" "$cpu" \
    "$(echo "$cpu / $frames" | bc -l)" "$(echo "$old_wall / $wall" | bc -l)" \
    "$(echo "$old_cpu / $cpu" | bc -l)" "$3"
}
row "old way: a process per frame" "$old" "$old_quality (other block size and threads)"
row "long-lived runs" "$long" "(the reference)"
row "changed regions: boardshot-render, all of it" "$regions" "$regions_quality"
echo
echo "Of the changed-region run, rendering took ${rendering} s of the wall time (its own"
echo "progress count); the rest converted the positions and made the MP4."

if ((!short)); then
  load_before=$(cut -d' ' -f1 /proc/loadavg)
  read -r big _ < <(timed "$render" --boardshot "$binary" --video "$work/big.mp4" \
    --size 1280x720 -m0-80 "$game" -g3)
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/big.mp4")
  echo
  printf '1280x720 film of 40 moves (80 half-moves), default settings: %d:%02d wall,' \
    "$(echo "$big / 60" | bc)" "$(echo "$big % 60 / 1" | bc)"
  printf ' a %.0f s film; load average %s before, %s after\n' "$length" "$load_before" \
    "$(cut -d' ' -f1 /proc/loadavg)"
fi
