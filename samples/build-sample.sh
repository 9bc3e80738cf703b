#!/usr/bin/env bash
# Rebuild samples/quillpad.exe (the Quill Pad sample module) from samples/src/.
#
# Needs the mingw-w64 cross tools and Debian's python3-pefile:
#   apt-get install -y gcc-mingw-w64-x86-64 binutils-mingw-w64 python3-pefile
#
# Same conventions as tests/data/build-fixtures.sh: no CRT, no link
# timestamp, pinned image base, stripped, icon generated from fixed bytes,
# so running the script twice (from any checkout path) gives the same
# bytes; SHA256SUMS records them.  The binary is committed so nobody needs
# a cross compiler to try Quillon.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SRC="$HERE/src"
OUT="$HERE/quillpad.exe"
PY=/usr/bin/python3            # Debian's python, which has pefile

CC=x86_64-w64-mingw32-gcc
RC=x86_64-w64-mingw32-windres

for tool in "$CC" "$RC"; do
    command -v "$tool" >/dev/null || { echo "missing $tool (install the mingw-w64 packages)" >&2; exit 1; }
done
"$PY" -c 'import pefile' 2>/dev/null || { echo "missing python3-pefile" >&2; exit 1; }

export LC_ALL=C
export SOURCE_DATE_EPOCH=0

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

CFLAGS=(-Os -nostdlib -fno-ident -fno-asynchronous-unwind-tables
        -ffile-prefix-map="$SRC"=. -ffile-prefix-map="$TMP"=.)
# No link timestamp; GUI subsystem like a real editor; pin the image base
# so the bytes do not depend on where the checkout lives.
LDFLAGS=(-s -Wl,--no-insert-timestamp -Wl,--subsystem,windows
         -Wl,--disable-auto-image-base -Wl,--image-base,0x140000000)

"$PY" -B "$HERE/make-icon.py" "$TMP/quillpad.ico"

cd "$SRC"
"$RC" --include-dir "$TMP" -i notepad-sample.rc -o "$TMP/notepad-sample.o"
"$CC" "${CFLAGS[@]}" "${LDFLAGS[@]}" -e quillpad_main \
    quillpad.c "$TMP/notepad-sample.o" -o "$TMP/quillpad.exe"

# Decode every resource before replacing the committed binary.
"$PY" -B "$HERE/check-sample.py" "$TMP/quillpad.exe"

install -m 0644 "$TMP/quillpad.exe" "$OUT"
cd "$HERE"
sha256sum quillpad.exe > SHA256SUMS
cat SHA256SUMS
