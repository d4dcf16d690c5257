#!/usr/bin/env bash
# Makes docs/pieces.png, the contact sheet of the piece set: every kind in
# both colours (White's on the third rank, Black's on the sixth) from each
# preset camera, high, classic and top, one above the other.
#
#   docs/contact_sheet.sh [OUTPUT.png] [WIDTHxHEIGHT of each view]
#
# Needs POV-Ray and ffmpeg, which stacks the three views.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$here/docs/pieces.png}
size=${2:-640x360}
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
ffmpeg -loglevel error -y -i "$work/high.png" -i "$work/classic.png" -i "$work/top.png" \
  -filter_complex vstack=inputs=3 "$out"
echo "Made $out"
