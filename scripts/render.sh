#!/usr/bin/env bash
# The render script of earlier versions, kept for the commands that call it:
#
#   render.sh [--optional] position.inc [image.png [width height]]
#
# boardshot-render does the work (beside this script in the source tree, in
# the bin directory when installed, or on PATH) and takes the same arguments.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in "$here/boardshot-render" "$here/../../bin/boardshot-render"; do
  [[ -x $tool ]] && exec "$tool" "$@"
done
exec boardshot-render "$@"
