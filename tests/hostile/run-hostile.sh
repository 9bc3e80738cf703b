#!/usr/bin/env bash
# Runs quillon-cli over the hostile inputs that the generators beside this
# script write (crafted modules, dictionaries and glossaries that once took
# seconds and gigabytes, and translation files made to try the same) with
# the limits every input under 20 MB must stay within: 1 GiB of address
# space and 10 seconds a command. A command may
# refuse its input (exit 1 or 2); it may not crash, be killed or time out.
#
# Usage: tests/hostile/run-hostile.sh QUILLON_CLI [MODULE]
set -u
cli="$1"
here="$(cd "$(dirname "$0")" && pwd)"
module="${2:-$here/../data/modules/basic32.exe}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
inputs="$work/inputs"
mkdir -p "$inputs"
for generator in "$here"/make_*.py; do
  python3 "$generator" "$inputs" || { echo "FAIL: $generator could not write its inputs"; exit 1; }
done

failures=0
total=0
# Runs one command under the limits; its name first, then the command.
limited() {
  local name="$1"
  shift
  total=$((total + 1))
  local start end status
  start=$(date +%s%N)
  (ulimit -v 1048576; exec timeout -s KILL 10 "$@") >"$work/out" 2>&1 </dev/null
  status=$?
  end=$(date +%s%N)
  local ms=$(((end - start) / 1000000))
  if [ "$status" -gt 2 ]; then
    failures=$((failures + 1))
    echo "FAIL ($status, ${ms} ms): $name: $*"
    tail -n 3 "$work/out" | sed 's/^/    /'
  else
    echo "ok   ($status, ${ms} ms): $name"
  fi
}

shopt -s nullglob
for input in "$inputs"/*.exe "$inputs"/*.dll; do
  name="$(basename "$input")"
  limited "scan $name" "$cli" scan --summary "$input"
  limited "new $name" "$cli" new "$work/$name.prj" --module "$input" --translator t --language German --force
  if [ -f "$work/$name.prj" ]; then
    limited "build $name" "$cli" build "$work/$name.prj" --target "$work/$name.target"
  fi
  rm -f "$work/$name.target"
done

"$cli" new "$work/glossary.prj" --module "$module" --translator t --language German \
  --dictionary "$work/glossary.dic" >/dev/null 2>&1 || { echo "FAIL: cannot make the glossary project"; exit 1; }
for input in "$inputs"/*.dic; do
  limited "dict $(basename "$input")" "$cli" dict "$input"
done
for input in "$inputs"/*.txt; do
  rm -f "$work/glossary.dic"
  limited "import $(basename "$input")" "$cli" import "$work/glossary.prj" --text "$input"
done

for input in "$inputs"/*.xlf "$inputs"/*.po; do
  limited "import $(basename "$input")" "$cli" import "$work/glossary.prj" "$input"
done

echo "$((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
