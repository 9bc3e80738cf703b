#!/usr/bin/env bash
# translate-toolkit reads the TMX that `quillon-cli tm export` writes after
# importing the TMX that translate-toolkit's po2tmx made from the same PO
# file, and finds every translated unit of the PO, text for text.
# Usage: check-toolkit.sh QUILLON_CLI FILE.po   (exit 77: no translate-toolkit)
set -euo pipefail
cli=$1
po=$2
command -v po2tmx >/dev/null && /usr/bin/python3 -c 'import translate.storage.tmx' 2>/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
po2tmx --language=de "$po" "$work/toolkit.tmx" >/dev/null 2>&1
"$cli" tm import "$work/toolkit.tmx" --memory "$work/tm.db" >/dev/null
"$cli" tm export "$work/quillon.tmx" --memory "$work/tm.db" >/dev/null
/usr/bin/python3 - "$po" "$work/quillon.tmx" <<'PY'
import sys
from translate.storage import po, tmx

expected = sorted((u.source, u.target) for u in po.pofile.parsefile(sys.argv[1]).units
                  if u.source and u.target and not u.isheader())
exported = tmx.tmxfile.parsefile(sys.argv[2])
got = sorted((u.source, u.target) for u in exported.units)
if got != expected:
    print("expected", expected, "\ngot", got)
    sys.exit(1)
print(len(got), "units read back by translate-toolkit")
PY
