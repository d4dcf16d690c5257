#!/usr/bin/env bash
# Renders a scene include written by boardshot to a PNG with POV-Ray, using
# the example scene boardshot.pov (found beside this script when installed,
# or in scene/example/ of the source tree).
#
#   render.sh [--optional] position.inc [image.png [width height]]
#
# The image defaults to the include's name with .png instead of .inc, the
# size to 800x600. With --optional, a missing povray is reported and the
# script ends with status 0, so a build-and-convert command can go on without
# it. Exit status: 0 rendered (or povray missing with --optional), 1 povray
# missing, 2 bad arguments, 3 povray failed.
set -euo pipefail

usage() {
  echo "usage: render.sh [--optional] position.inc [image.png [width height]]" >&2
  exit 2
}

optional=0
if [[ ${1:-} == --optional ]]; then
  optional=1
  shift
fi
(($# == 1 || $# == 2 || $# == 4)) || usage
position=$1
image=${2:-${position%.inc}.png}
width=${3:-800}
height=${4:-600}
[[ $width =~ ^[1-9][0-9]*$ && $height =~ ^[1-9][0-9]*$ ]] || usage

if ! command -v povray >/dev/null 2>&1; then
  echo "povray is not installed: $position is ready, but no picture was rendered" \
       "(Debian: apt-get install povray)" >&2
  ((optional)) && exit 0
  exit 1
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scene_dir=$here
[[ -f $scene_dir/boardshot.pov ]] || scene_dir=$here/../scene/example
if [[ ! -f $scene_dir/boardshot.pov ]]; then
  echo "render.sh: boardshot.pov not found beside $here" >&2
  exit 2
fi
if [[ ! -f $position || ! -r $position ]]; then
  echo "render.sh: cannot read $position" >&2
  exit 2
fi

if [[ ! -d $(dirname -- "$image") ]]; then
  echo "render.sh: there is no directory for $image" >&2
  exit 2
fi

# POV-Ray reads file names from its command line and from scene strings,
# where spaces and quotes do not survive; the render therefore happens in a
# scratch directory under fixed names, and the image is moved out at the end.
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
cp -- "$scene_dir/boardshot.pov" "$work/boardshot.pov"
cp -- "$position" "$work/position.inc"

# POV-Ray writes its banner and statistics to stderr; they are kept in a log
# and shown only when the render fails or warns.
if ! (cd "$work" && povray +Iboardshot.pov +Oimage.png +FN "+W$width" \
        "+H$height" +A0.3 +Q9 -D -V) 2>"$work/log"; then
  sed -n '/Parsing/,$p' "$work/log" >&2
  echo "render.sh: povray could not render $position" >&2
  exit 3
fi
mv -f -- "$work/image.png" "$image"
grep -i 'warning:' "$work/log" >&2 || true
printf "\nRendered %s\n" "$image"
