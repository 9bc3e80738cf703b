#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quillon need.
# Safe to run again; it only installs what is missing.
# Usage: scripts/setup.sh [bench|compare|icons]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  nlohmann-json3-dev libxxhash-dev
  # the spelling check, and the dictionaries its tests use
  libhunspell-dev hunspell-de-de hunspell-en-us
  # XLIFF export and import; translate-toolkit reads back what Quillon writes in the tests
  libxml2-dev translate-toolkit
  # Find and Replace's regular expressions
  libpcre2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pefile
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # lupdate and lrelease for Quillon's own catalogs, CMake's Qt6LinguistTools,
  # and Qt's own German texts for the standard buttons and dialogs
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  fonts-liberation fonts-dejavu-core xvfb xauth
  # the fit check measures texts with FreeType in fonts with the Windows faces' widths
  libfreetype-dev libfontconfig-dev fonts-wine
  # the translation memory: SQLite with FTS5, TMX through libxml2; the tests
  # let translate-toolkit (po2tmx, its TMX reader) judge our TMX
  libsqlite3-dev libxml2-dev translate-toolkit
  # the install and package tests: validators, the file-type database, the
  # manual page reader, zsh for the completion's syntax, dpkg-shlibdeps for cpack
  desktop-file-utils appstream libxml2-utils shared-mime-info man-db zsh dpkg-dev
)

# bench/run also compares the module scan with windres from the cross tools.
if [ "${1:-}" = bench ]; then
  packages+=(binutils-mingw-w64-x86-64)
fi
# scripts/compare-outputs.sh runs two builds under one fixed clock.
if [ "${1:-}" = compare ]; then
  packages+=(faketime)
fi

# data/icons/render-icons.sh renders the icon's PNG sizes from its SVG.
if [ "${1:-}" = icons ]; then
  packages+=(librsvg2-bin)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    SUDO=sudo
  else
    echo "setup: these packages are missing and we are not root: ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi

echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
