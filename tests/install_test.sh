#!/usr/bin/env bash
# Installs the build into a scratch prefix and uses it as a user would: the
# manual pages read without warnings, and the installed render tool finds the
# installed scene and renders what the installed binary writes.
#
#   install_test.sh BUILD_DIR SAMPLE_PGN
set -euo pipefail

build=$1
sample=$2
prefix=$(mktemp -d)
trap 'rm -rf -- "$prefix"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/boardshot bin/boardshot-render share/man/man1/boardshot.1.gz \
            share/man/man1/boardshot-render.1.gz share/boardshot/boardshot.pov \
            share/boardshot/boardshot_pieces.inc share/boardshot/boardshot_knight_head.inc \
            share/boardshot/boardshot_annotations.inc \
            share/boardshot/render.sh share/doc/boardshot/copyright \
            share/doc/boardshot/changelog.gz; do
  [[ -f $prefix/$file ]] || fail "$file is not installed"
done
for file in bin/boardshot-render share/boardshot/render.sh; do
  [[ -x $prefix/$file ]] || fail "$file is not executable"
done

if command -v groff >/dev/null 2>&1; then
  for page in boardshot boardshot-render; do
    warnings=$(zcat "$prefix/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
    [[ -z $warnings ]] || fail "the manual page $page.1 has warnings: $warnings"
  done
fi

cd "$prefix"
"$prefix/bin/boardshot" "$sample" position.inc -m0 >/dev/null ||
  fail "the installed binary did not convert $sample"
if command -v povray >/dev/null 2>&1; then
  "$prefix/bin/boardshot-render" position.inc position.png --size 40x30 >/dev/null ||
    fail "the installed boardshot-render did not render"
  [[ $(head -c 4 position.png | od -An -c | tr -d ' ') == 211PNG ]] ||
    fail "boardshot-render wrote no PNG"
  "$prefix/share/boardshot/render.sh" position.inc old.png 40 30 >/dev/null ||
    fail "the installed render.sh did not render"
  [[ -f old.png ]] || fail "render.sh wrote no PNG"
fi
echo "installed and used from $prefix"
