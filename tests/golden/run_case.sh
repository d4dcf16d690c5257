#!/usr/bin/env bash
# Runs one golden case of the boardshot binary and compares what a user would
# see with what the case expects:
#
#   run_case.sh CASE_DIR BINARY [lf|crlf|cr]
#
# CASE_DIR holds `args` (one argument per line), `stdout`, `status`, an
# optional `about`, an optional `variants` (the line-end variants the case
# also runs in besides lf and crlf, one a line), an optional `stdin` (piped
# into the binary, which otherwise reads nothing), the input files, and
# `X.expected` for every file X the run must leave behind with exactly those
# bytes. The inputs are copied into a scratch directory and the binary runs
# there; afterwards the directory must hold the inputs, unchanged unless
# expected otherwise, and the expected files, and nothing else. With `crlf`
# every line end (LF, CR LF or a lone CR) of the input .pgn files becomes
# CR LF first, with `cr` a lone CR (as old Mac files have them), and the
# results must not change; so does `stdin`.
set -euo pipefail

case_dir=$(cd "$1" && pwd)
binary=$(realpath "$2")
variant=${3:-lf}
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
mkdir "$work/run" "$work/want"

line_ends() {  # line_ends FILE: FILE with the variant's line ends
  if [[ $variant == lf ]]; then
    cat -- "$1"
  else
    local line_end='\r\n'
    [[ $variant == cr ]] && line_end='\r'
    perl -0777 -pe "s/\r\n|\r|\n/$line_end/g" -- "$1"
  fi
}

for path in "$case_dir"/*; do
  name=${path##*/}
  case $name in
    args | stdout | status | about | variants | stdin) ;;
    *.expected) cp -P -- "$path" "$work/want/${name%.expected}" ;;
    *)
      cp -PR -- "$path" "$work/run/$name"
      if [[ $name == *.pgn && -f $path && ! -L $path ]]; then
        line_ends "$path" >"$work/run/$name"
      fi
      [[ -e $work/want/$name ]] || cp -PR -- "$work/run/$name" "$work/want/$name"
      ;;
  esac
done

args=()
[[ -s $case_dir/args ]] && mapfile -t args <"$case_dir/args"
status=0
if [[ -f $case_dir/stdin ]]; then
  line_ends "$case_dir/stdin" |
    (cd "$work/run" && exec timeout 60 "$binary" "${args[@]}") >"$work/stdout" ||
    status=$?
else
  (cd "$work/run" && exec timeout 60 "$binary" "${args[@]}" </dev/null) \
    >"$work/stdout" || status=$?
fi

failed=0
if ! cmp -s "$case_dir/stdout" "$work/stdout"; then
  echo "stdout differs (expected, then actual; \$ marks a line end):"
  diff <(cat -A "$case_dir/stdout") <(cat -A "$work/stdout") || true
  failed=1
fi
if [[ $status != "$(<"$case_dir/status")" ]]; then
  echo "exit status $status, expected $(<"$case_dir/status")"
  failed=1
fi
if ! diff -r --no-dereference "$work/want" "$work/run"; then
  echo "the files after the run differ from the expected ones"
  failed=1
fi
exit "$failed"
