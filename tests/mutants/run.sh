#!/usr/bin/env bash
# Mutation check: puts each hand-made fault of mutants.txt into a checkout,
# rebuilds it, runs the whole test suite and records which tests fail.
#
#   tests/mutants/run.sh CHECKOUT [BUILD_DIR] [ids...]
#
# BUILD_DIR (default CHECKOUT/build-mutants) is configured once and rebuilt
# incrementally; the second argument is taken as BUILD_DIR when it contains
# a '/' or names a directory. The results go to BUILD_DIR/mutants.tsv. Each
# changed file is put back after its run, also on Ctrl-C or an error.
# MUTANTS=FILE reads another list than the one beside this script;
# MUTANT_EXCLUDE=REGEX leaves the tests it matches out (ctest -E), e.g. the
# render tests, which take most of the time and see only the scene files.
set -euo pipefail

list=${MUTANTS:-$(dirname "$0")/mutants.txt}
checkout=$(cd "${1:?usage: run.sh CHECKOUT [BUILD_DIR] [ids...]}" && pwd) && shift
build=$checkout/build-mutants
if (($#)) && [[ $1 == */* || -d $1 ]]; then build=$1 && shift; fi
build=$(mkdir -p "$build" && cd "$build" && pwd)
wanted=("$@")

# ---- read the list: one block of "key: value" lines per mutant
ids=() files=() finds=() replaces=() descs=()
while IFS= read -r line || [[ -n $line ]]; do
  [[ $line == \#* || -z $line ]] && continue
  key=${line%%:*} value=${line#*:} value=${value# }
  case $key in
    id) ids+=("$value") files+=("") finds+=("") replaces+=("") descs+=("") ;;
    file) files[-1]=$value ;;
    find) finds[-1]=$value ;;
    find+) finds[-1]+=$'\n'$value ;;
    replace) replaces[-1]=$value ;;
    replace+) replaces[-1]+=$'\n'$value ;;
    desc) descs[-1]=$value ;;
    *) echo "$list: unknown key in: $line" >&2 && exit 2 ;;
  esac
done <"$list"

# ---- check every selected mutant before changing anything
selected=()
for i in "${!ids[@]}"; do
  if ((${#wanted[@]})) && [[ " ${wanted[*]} " != *" ${ids[i]} "* ]]; then continue; fi
  text=$(cat "$checkout/${files[i]}"; printf x)
  rest=${text#*"${finds[i]}"}
  if [[ $text != *"${finds[i]}"* || $rest == *"${finds[i]}"* ]]; then
    echo "${ids[i]}: find text must occur exactly once in ${files[i]}" >&2 && exit 2
  fi
  selected+=("$i")
done
((${#selected[@]})) || { echo "no mutant selected" >&2 && exit 2; }

# ---- the file under change is put back whatever happens
changed="" backup=$(mktemp)
restore() { if [[ -n $changed ]]; then cat "$backup" >"$changed" && changed=""; fi; }
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

# Prefix/Suite.Test/Param reads as Suite/Param; long names are cut.
abbreviate() {
  local name=${1%%  # GetParam*}
  [[ $name =~ ^[^/.]+/([^./]+)\.[^/]+/(.+)$ ]] && name="${BASH_REMATCH[1]}/${BASH_REMATCH[2]}"
  ((${#name} > 48)) && name="${name:0:45}..."
  printf '%s' "$name"
}

run_ctest() {
  ctest --test-dir "$build" -j2 --timeout 60 --stop-time "$(date -d '+10 min' +%T)" \
    ${MUTANT_EXCLUDE:+-E "$MUTANT_EXCLUDE"} "$@" >>"$build/mutant-ctest.log" 2>&1
}

# Runs the suite; prints the names of the failing tests, one a line. A test
# counts only when it fails again when run once more: the render tests can
# fail now and then on a loaded machine.
failing_tests() {
  local log=$build/Testing/Temporary/LastTestsFailed.log
  rm -f "$log" "$build/mutant-ctest.log"
  run_ctest && return 0
  [[ -f $log ]] || return 0
  run_ctest --rerun-failed && return 0
  sed 's/^[0-9]*://' "$log" | sort
}

cmake -S "$checkout" -B "$build" -DBOARDSHOT_WERROR=OFF >/dev/null
cmake --build "$build" -j2 >"$build/mutant-build.log" 2>&1
baseline=$(failing_tests)
[[ -n $baseline ]] && printf 'failing without any mutant (ignored):\n%s\n' "$baseline"

tsv=$build/mutants.tsv
printf 'id\tlocation\tresult\tcount\tdescription\tcaught by\n' >"$tsv"
survivors=() start=$SECONDS
for i in "${selected[@]}"; do
  file=$checkout/${files[i]}
  cp "$file" "$backup" && changed=$file
  text=$(cat "$file"; printf x) text=${text%x}
  before=${text%%"${finds[i]}"*}
  location=${files[i]}:$(($(printf '%s' "$before" | wc -l) + 1))
  printf '%s%s%s' "$before" "${replaces[i]}" "${text#*"${finds[i]}"}" >"$file"
  names=()
  if cmake --build "$build" -j2 >"$build/mutant-build.log" 2>&1; then
    while IFS= read -r name; do
      grep -qxF -- "$name" <<<"$baseline" || names+=("$(abbreviate "$name")")
    done < <(failing_tests)
    count=${#names[@]} result=caught
    ((count)) || { result=SURVIVED && survivors+=("${ids[i]}"); }
  else
    count=0 result=compiler names=("(build failed)")
  fi
  restore
  caught=$(printf '%s; ' "${names[@]}") caught=${caught%; }
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "${ids[i]}" "$location" "$result" "$count" \
    "${descs[i]}" "$caught" >>"$tsv"
  shown=$(printf '%s; ' "${names[@]:0:3}") shown=${shown%; }
  ((count > 3)) && shown+="; +$((count - 3)) more"
  printf '%-26s %-28s %-8s %3s  %s\n' "${ids[i]}" "$location" "$result" "$count" \
    "${descs[i]}"
  [[ -z $shown ]] || printf '%30s by: %s\n' "" "$shown"
done

# Leave the build dir matching the restored tree.
cmake --build "$build" -j2 >"$build/mutant-build.log" 2>&1
echo
echo "${#selected[@]} mutants, ${#survivors[@]} survived, $((SECONDS - start)) s; table: $tsv"
((${#survivors[@]})) && echo "SURVIVED: ${survivors[*]}"
exit 0
