#!/usr/bin/env bash
# Saves a project and a dictionary with quillon-cli and asks the freedesktop
# file-type database, with Quillon's types installed, what they are: by
# content under names without an extension, and by name.
# Usage: check-mime.sh QUILLON_CLI MIME_PROBE MIME_XML FIXTURE_DIR
set -euo pipefail
cli="$1" probe="$2" types="$3" fixtures="$4"
command -v update-mime-database >/dev/null || exit 77
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/share/mime/packages" "$work/files"
cp "$types" "$work/share/mime/packages/"
update-mime-database "$work/share/mime"
cd "$work/files"

# A project, one whose settings are long (paths deep in folders with long
# names, so its first class record is far from the start), a dictionary with
# a long first entry, and an empty dictionary, which has nothing to know it
# by but its name.
deep="$work/$(printf 'a%.0s' {1..200})/$(printf 'b%.0s' {1..200})/$(printf 'c%.0s' {1..200})"
mkdir -p "$deep"
cp "$fixtures/basic64.exe" "$deep/module.exe"
"$cli" new pad --module "$fixtures/basic32.exe" --translator Ann --language German --dictionary pad.dic >/dev/null
"$cli" new "$deep/deep" --module "$deep/module.exe" --translator "$(printf 'Ann %.0s' {1..100})" \
  --email ann@example.org --language German --dictionary "$deep/deep.dic" >/dev/null
"$cli" dict add pad.dic "$(printf 'long source text %.0s' {1..20})" "Langer Text" >/dev/null
cp pad.prj project-full; cp "$deep/deep.prj" project-deep; cp pad.dic dictionary
cp "$fixtures/basic64.exe" module; printf 'Open\t\tOeffnen\n' > glossary
printf '\0\0' > empty.dic

expected="application/x-quillon-project
application/x-quillon-project
application/x-quillon-dictionary
application/x-quillon-dictionary"
got="$(XDG_DATA_DIRS="$work/share:/usr/share" "$probe" project-full project-deep dictionary empty.dic)"
[ "$got" = "$expected" ] || { echo "expected:"$'\n'"$expected"$'\n'"got:"$'\n'"$got" >&2; exit 1; }
others="$(XDG_DATA_DIRS="$work/share:/usr/share" "$probe" module glossary)"
if grep -q quillon <<<"$others"; then echo "a module or a glossary taken for Quillon's: $others" >&2; exit 1; fi
