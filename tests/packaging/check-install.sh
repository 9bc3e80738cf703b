#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs Quillon from there: the
# tree holds the programs, the manual pages, the completions, the sample and
# (with the desktop application) the freedesktop files, and nothing of the
# core library.
# Usage: check-install.sh BUILD_DIR GUI(ON|OFF)
set -euo pipefail
build="$(realpath "$1")" gui="$2"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage" >/dev/null
fail() { echo "check-install: $*" >&2; exit 1; }

expected=(bin/quillon-cli libexec/quillon/quillon-cli-full share/man/man1/quillon-cli.1 share/bash-completion/completions/quillon-cli
          share/zsh/vendor-completions/_quillon-cli share/doc/quillon/README.md
          share/doc/quillon/examples/quillpad.exe share/doc/quillon/examples/quillpad-de.txt)
sizes=(16 22 24 32 48 64 128 256)
if [ "$gui" = ON ]; then
  expected+=(bin/quillon share/man/man1/quillon.1 share/applications/org.quillon.Quillon.desktop
             share/metainfo/org.quillon.Quillon.metainfo.xml share/mime/packages/org.quillon.Quillon.xml
             share/icons/hicolor/scalable/apps/org.quillon.Quillon.svg)
  for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/org.quillon.Quillon.png"); done
fi
for file in "${expected[@]}"; do [ -s "$stage/$file" ] || fail "missing $file"; done
stray="$(find "$stage" -name '*.a' -o -name '*.h' -o -name 'quillon-cli-docs')"
[ -z "$stray" ] || fail "installed what is only for building: $stray"

# Each PNG is as large as the folder it is in says (PNG: width and height
# are the big-endian words at bytes 16 and 20).
if [ "$gui" = ON ]; then
  for size in "${sizes[@]}"; do
    png="$stage/share/icons/hicolor/${size}x${size}/apps/org.quillon.Quillon.png"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
    [ "$width $height" = "$size $size" ] || fail "$png is ${width}x${height}"
  done
fi

# The installed programs work from the prefix: the sample from new to build.
cli="$stage/bin/quillon-cli" examples="$stage/share/doc/quillon/examples" work="$stage/work"
mkdir "$work"
"$cli" --version | grep -qx "quillon-cli [0-9.]*" || fail "--version"
"$cli" new "$work/pad" --module "$examples/quillpad.exe" --translator Ann --language German \
  --dictionary "$work/pad.dic" >/dev/null
"$cli" import "$work/pad.prj" --text "$examples/quillpad-de.txt" >/dev/null
"$cli" translate "$work/pad.prj" >/dev/null
"$cli" build "$work/pad.prj" --target "$work/pad-de.exe" >/dev/null
"$cli" scan --summary "$work/pad-de.exe" | grep -q "^Language: *0x0407 German" || fail "the built target is not German"
if [ "$gui" = ON ]; then
  QT_QPA_PLATFORM=offscreen "$stage/bin/quillon" --version | grep -qx "Quillon [0-9.]*" || fail "quillon --version"
fi

# The manual pages render without a warning.
if command -v man >/dev/null; then
  for page in "$stage"/share/man/man1/*.1; do
    warnings="$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
fi
echo "check-install: $(find "$stage" -type f | wc -l) files, all there and working"
