#!/usr/bin/env bash
# Rebuild every fixture module under tests/data/modules/ from tests/data/src/.
#
# Needs the mingw-w64 cross tools and Debian's python3-pefile:
#   apt-get install -y gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 \
#                      binutils-mingw-w64 python3-pefile
#
# The output is deterministic: no link timestamps, no absolute paths in
# the debug info, fixed icon bytes.  Running the script twice gives the
# same bytes (see modules/SHA256SUMS).  The binaries are committed so the
# test suite never needs a cross compiler.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SRC="$HERE/src"
OUT="$HERE/modules"
PY=/usr/bin/python3            # Debian's python, which has pefile

CC32=i686-w64-mingw32-gcc
CC64=x86_64-w64-mingw32-gcc
RC32=i686-w64-mingw32-windres
RC64=x86_64-w64-mingw32-windres

for tool in "$CC32" "$CC64" "$RC32" "$RC64"; do
    command -v "$tool" >/dev/null || { echo "missing $tool (install the mingw-w64 packages)" >&2; exit 1; }
done
"$PY" -c 'import pefile' 2>/dev/null || { echo "missing python3-pefile" >&2; exit 1; }

export LC_ALL=C
export SOURCE_DATE_EPOCH=0

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

rm -rf "$OUT/corrupt"
mkdir -p "$OUT" "$OUT/corrupt"

# Compiler flags shared by every module: small, no CRT, no link timestamp.
CFLAGS=(-Os -nostdlib -fno-ident -fno-asynchronous-unwind-tables
        -ffile-prefix-map="$SRC"=. -ffile-prefix-map="$TMP"=.)
LDFLAGS=(-Wl,--no-insert-timestamp)
# ld derives a DLL's default image base from a hash of the output path;
# pin it so the bytes do not depend on where the checkout lives.
DLL32=(-Wl,--disable-auto-image-base -Wl,--image-base,0x10000000)
DLL64=(-Wl,--disable-auto-image-base -Wl,--image-base,0x180000000)

# The icon referenced by basic.rc lives only in the temp dir.
"$PY" "$HERE/make-icon.py" "$TMP/tiny.ico"

cd "$SRC"

rc() {  # rc WINDRES INPUT OUTPUT.o
    "$1" --include-dir "$TMP" -i "$2" -o "$3"
}

# --- basic.rc: 32-bit, 64-bit, 64-bit unstripped with debug info ---------
rc "$RC32" basic.rc "$TMP/basic32.o"
rc "$RC64" basic.rc "$TMP/basic64.o"

"$CC32" "${CFLAGS[@]}" -s "${LDFLAGS[@]}" -e _fixture_main \
    exe.c "$TMP/basic32.o" -o "$OUT/basic32.exe"
"$CC64" "${CFLAGS[@]}" -s "${LDFLAGS[@]}" -e fixture_main \
    exe.c "$TMP/basic64.o" -o "$OUT/basic64.exe"
"$CC64" "${CFLAGS[@]}" -g -DFIXTURE_WITH_RELOCS "${LDFLAGS[@]}" -e fixture_main \
    exe.c "$TMP/basic64.o" -o "$OUT/unstripped64.exe"

# --- multilang.dll (32-bit) ----------------------------------------------
rc "$RC32" multilang.rc "$TMP/multilang.o"
"$CC32" "${CFLAGS[@]}" -s -shared "${LDFLAGS[@]}" "${DLL32[@]}" -e _fixture_dll_main@12 \
    dll.c "$TMP/multilang.o" -o "$OUT/multilang.dll"

# --- notranslation.dll (64-bit) ------------------------------------------
rc "$RC64" notranslation.rc "$TMP/notranslation.o"
"$CC64" "${CFLAGS[@]}" -s -shared "${LDFLAGS[@]}" "${DLL64[@]}" -e fixture_dll_main \
    dll.c "$TMP/notranslation.o" -o "$OUT/notranslation.dll"

# --- nores.exe (32-bit, no resources at all) -----------------------------
"$CC32" "${CFLAGS[@]}" -s "${LDFLAGS[@]}" -e _fixture_main \
    exe.c -o "$OUT/nores.exe"

# --- update-v1/v2.exe, update-keys-a/b.exe (64-bit) -----------------------
# Old and new version of one module, for the project update tests; every
# difference between the two is listed in FIXTURES.md.
# update-keys-a/b is a second pair about recognising items again: siblings
# that share a key, ids that move, popups that swap places.
for v in v1 v2 keys-a keys-b; do
    rc "$RC64" "update-$v.rc" "$TMP/update-$v.o"
    "$CC64" "${CFLAGS[@]}" -s "${LDFLAGS[@]}" -e fixture_main \
        exe.c "$TMP/update-$v.o" -o "$OUT/update-$v.exe"
done

# --- paths.exe (64-bit): texts with backslashes of their own ------------
rc "$RC64" paths.rc "$TMP/paths.o"
"$CC64" "${CFLAGS[@]}" -s "${LDFLAGS[@]}" -e fixture_main \
    exe.c "$TMP/paths.o" -o "$OUT/paths.exe"

# --- check what windres produced, then derive the corrupted copies -------
"$PY" -B "$HERE/check-fixtures.py" "$OUT"
"$PY" -B "$HERE/make-corrupt.py" "$OUT/basic32.exe" "$OUT/corrupt"

# --- checksums -------------------------------------------------------------
cd "$OUT"
chmod 0644 ./*.exe ./*.dll corrupt/*
find . -type f ! -name SHA256SUMS -printf '%P\n' | sort | xargs sha256sum > SHA256SUMS
cat SHA256SUMS
