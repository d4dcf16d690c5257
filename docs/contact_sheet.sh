#!/usr/bin/env bash
# Makes docs/pieces.png, the contact sheet of the piece set: every kind in
# both colours (White's on the third rank, Black's on the sixth) from each
# preset camera, high, classic and top, one above the other. Each view is
# rendered whole and cut down to the four ranks that hold the pieces, so the
# pieces show large.
#
#   docs/contact_sheet.sh [OUTPUT.png] [WIDTHxHEIGHT of each whole view]
#
# Needs POV-Ray and ffmpeg, which stacks the three views.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$here/docs/pieces.png}
size=${2:-1280x720}
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

kinds=(Pawn Knight Bishop Rook Queen King)
files=(b c d e f g)
for i in "${!kinds[@]}"; do
  printf '\n_%s("%s3",0)\n_%s("%s6",1)' "${kinds[i]}" "${files[i]}" "${kinds[5 - i]}" "${files[i]}"
done >"$work/pieces.inc"
for camera in high classic top; do
  "$here/scripts/boardshot-render" --camera "$camera" --size "$size" \
    "$work/pieces.inc" "$work/$camera.png" >/dev/null
done
# The part of each whole view that holds files b-g and ranks 3-6, as
# fractions of its width and height: left, top, width, height.
declare -A part=([high]="0.29 0.19 0.42 0.47" [classic]="0.31 0.15 0.41 0.44"
                 [top]="0.31 0.26 0.38 0.46")
filters="" inputs=() index=0
for camera in high classic top; do
  read -r left top width height <<<"${part[$camera]}"
  filters+="[$index:v]crop=iw*$width:ih*$height:iw*$left:ih*$top,scale=800:-2[$camera];"
  inputs+=(-i "$work/$camera.png")
  index=$((index + 1))
done
ffmpeg -loglevel error -y "${inputs[@]}" \
  -filter_complex "${filters}[high][classic][top]vstack=inputs=3" -frames:v 1 "$out"
echo "Made $out"
