#!/usr/bin/env bash
# Saves a project and a dictionary with quillon-cli and asks the freedesktop
# file-type database, with Quillon's types installed, what they are: by
# content under names without an extension, and by name. The database is
# compiled from the system's types and Quillon's together, as a package's
# install does: Qt compares magic priorities within one cache only, and a
# second cache searched after ours wins whatever its priority.
# Usage: check-mime.sh QUILLON_CLI MIME_PROBE MIME_XML FIXTURE_DIR
set -euo pipefail
cli="$1" probe="$2" types="$3" fixtures="$4"
command -v update-mime-database >/dev/null || exit 77
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/share/mime/packages" "$work/files" "$work/home"
cp /usr/share/mime/packages/*.xml "$types" "$work/share/mime/packages/"
update-mime-database "$work/share/mime" >/dev/null 2>&1
cd "$work/files"

# A project, one whose settings are long (paths deep in folders with long
# names, so its first class record is far from the start), a dictionary with
# a long first entry, and an empty dictionary, which has nothing to know it
# by but its name. A module path of 47 characters makes a project start
# with its length byte '/' and the path's own '/': "//", which C sources'
# magic claims.
deep="$work/$(printf 'a%.0s' {1..200})/$(printf 'b%.0s' {1..200})/$(printf 'c%.0s' {1..200})"
mkdir -p "$deep"
cp "$fixtures/basic64.exe" "$deep/module.exe"
"$cli" new pad --module "$fixtures/basic32.exe" --translator Ann --language German --dictionary pad.dic >/dev/null
"$cli" new "$deep/deep" --module "$deep/module.exe" --translator "$(printf 'Ann %.0s' {1..100})" \
  --email ann@example.org --language German --dictionary "$deep/deep.dic" >/dev/null
"$cli" dict add pad.dic "$(printf 'long source text %.0s' {1..20})" "Langer Text" >/dev/null
slashes="$work/$(printf 's%.0s' $(seq $((47 - ${#work} - 7))))/m.exe"
mkdir -p "$(dirname "$slashes")"; cp "$fixtures/basic32.exe" "$slashes"
"$cli" new slashes --module "$slashes" --translator Ann --language German --dictionary pad.dic >/dev/null
head -c 2 slashes.prj | grep -q '^//$' || { echo "slashes.prj does not start with //" >&2; exit 1; }
cp pad.prj project-full; cp "$deep/deep.prj" project-deep; cp slashes.prj project-slashes; cp pad.dic dictionary
cp "$fixtures/basic64.exe" module; printf 'Open\t\tOeffnen\n' > glossary
printf '\0\0' > empty.dic

expected="application/x-quillon-project
application/x-quillon-project
application/x-quillon-project
application/x-quillon-dictionary
application/x-quillon-dictionary"
export XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/home"
got="$("$probe" project-full project-deep project-slashes dictionary empty.dic)"
[ "$got" = "$expected" ] || { echo "expected:"$'\n'"$expected"$'\n'"got:"$'\n'"$got" >&2; exit 1; }
others="$("$probe" module glossary)"
if grep -q quillon <<<"$others"; then echo "a module or a glossary taken for Quillon's: $others" >&2; exit 1; fi
