#!/usr/bin/env bash
# Sets everything up, builds, and opens the bundled sample module.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
sample="$root/samples/quillpad.exe"
[ -f "$sample" ] || sample="$root/tests/data/modules/basic64.exe"
exec "$root/build/cli/quillon-cli" scan "$sample"
