#!/usr/bin/env bash
# Sets everything up, builds, and opens the bundled sample module: in the
# desktop application when a display is available, else in the CLI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
sample="$root/samples/quillpad.exe"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # A ready project on the sample, so the window opens with something to translate.
  work="${XDG_DATA_HOME:-$HOME/.local/share}/quillon-sample"
  mkdir -p "$work"
  if [ ! -f "$work/quillpad.prj" ]; then
    "$root/build/cli/quillon-cli" new "$work/quillpad.prj" --module "$sample" --translator "$(id -un)" \
      --language German --dictionary "$work/quillpad.dic" >/dev/null
    "$root/build/cli/quillon-cli" import "$work/quillpad.prj" --text "$root/samples/quillpad-de.txt" >/dev/null
  fi
  QUILLON_NO_NEW_PROJECT_DIALOG=1 exec "$root/build/gui/quillon" "$work/quillpad.prj"
fi
echo "No display: showing the sample with quillon-cli (run build/gui/quillon on a desktop)." >&2
exec "$root/build/cli/quillon-cli" scan "$sample"
