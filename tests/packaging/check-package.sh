#!/usr/bin/env bash
# Builds the Debian package of the build with cpack, unpacks it into a
# scratch root and runs that root's quillon-cli on the sample it ships.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build="$(realpath "$1")"
for tool in cpack dpkg-deb dpkg-shlibdeps; do command -v "$tool" >/dev/null || exit 77; done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
shopt -s nullglob
packages=("$work"/out/quillon_*_amd64.deb)
[ ${#packages[@]} -eq 1 ] || fail "expected one quillon_VERSION_amd64.deb, found: $(ls "$work/out")"
deb="${packages[0]}"

# The package's fields: shlibdeps found the libraries the programs use.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libqt6widgets6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
for field in Maintainer Description Section; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field"
done

dpkg-deb -x "$deb" "$work/root"
root="$work/root"
[ -x "$root/usr/bin/quillon" ] || fail "no /usr/bin/quillon"
# The file list holds no build folder and no scratch prefix.
if dpkg-deb -c "$deb" | grep -q -e "$build" -e '\./tmp'; then fail "files outside /usr"; fi
"$root/usr/bin/quillon-cli" scan "$root/usr/share/doc/quillon/examples/quillpad.exe" >"$work/scan.txt"
grep -q "^File version: 10.0.1.7" "$work/scan.txt" || fail "the sample scan: $(head -5 "$work/scan.txt")"
grep -q 'MENUITEM 1001 "New\\tCtrl+N" \[N\]' "$work/scan.txt" || fail "the sample's menus are missing"
echo "check-package: $(basename "$deb"), Depends: $depends"
