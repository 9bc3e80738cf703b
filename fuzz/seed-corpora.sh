#!/usr/bin/env bash
# Fills fuzz/corpus/<target>/ with starting inputs made from the test
# fixtures, so the fuzzers begin from real structure instead of from nothing:
#
#   module, build_roundtrip   the fixture modules, the damaged fixtures, the
#                             sample, and truncated / bit-flipped copies
#   module_icon               the same modules, and their raw icon images
#                             and icon groups
#   string_block, menu,       every raw string block, menu, dialog and version
#   dialog, version           resource of the fixtures (dumped with pefile),
#                             behind the target's header bytes
#   project, dictionary       .prj / .dic files written by quillon-cli (new,
#                             dict add, import, translate), when it is built
#   glossary                  the sample glossary in several encodings and
#                             hand-written Microsoft glossaries
#   xliff, po                 those projects exported by quillon-cli, when it
#                             is built
#   tmx                       the TMX files of tests/data/memory (one written
#                             by translate-toolkit)
#
# Seeds are named seed-*; inputs the fuzzers added to a corpus are kept.
# Usage: fuzz/seed-corpora.sh   (QUILLON_CLI=path overrides build/cli/quillon-cli)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
corpus=$here/corpus
modules=$root/tests/data/modules
cli=${QUILLON_CLI:-$root/build/cli/quillon-cli}
python=/usr/bin/python3

targets="module string_block menu dialog version project dictionary glossary build_roundtrip module_icon xliff po tmx"
for t in $targets; do mkdir -p "$corpus/$t"; done

good=("$modules"/*.exe "$modules"/*.dll "$root/samples/quillpad.exe")
damaged=("$modules"/corrupt/*.exe)

"$python" - "$corpus" "$root/samples/quillpad-de.txt" "${good[@]}" -- "${damaged[@]}" <<'EOF'
import os
import random
import struct
import sys

import pefile

corpus, glossary = sys.argv[1], sys.argv[2]
rest = sys.argv[3:]
split = rest.index("--")
good, damaged = rest[:split], rest[split + 1:]


def write(target, name, data):
    with open(os.path.join(corpus, target, "seed-" + name), "wb") as out:
        out.write(data)


def stem(path):
    return os.path.splitext(os.path.basename(path))[0]


# Whole modules, and copies damaged in the places a reader trips over.
for path in good + damaged:
    data = open(path, "rb").read()
    for target in ("module", "build_roundtrip", "module_icon"):
        write(target, os.path.basename(path), data)
rng = random.Random(1)
for path in good:
    data = open(path, "rb").read()
    for cut in (len(data) // 2, len(data) * 3 // 4, len(data) - 1):
        write("module", "%s-cut%d" % (stem(path), cut), data[:cut])
    try:
        pe = pefile.PE(data=data, fast_load=True)
        rsrc = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
        start, end = pe.get_offset_from_rva(rsrc.VirtualAddress), None
        end = start + rsrc.Size
    except Exception:
        start, end = 0, len(data)
    for i in range(4):
        flipped = bytearray(data)
        for _ in range(8):
            flipped[rng.randrange(start, max(start + 1, min(end, len(data))))] ^= 1 << rng.randrange(8)
        write("module", "%s-flip%d" % (stem(path), i), bytes(flipped))
        write("build_roundtrip", "%s-flip%d" % (stem(path), i), bytes(flipped))

# Raw templates. Header bytes: code page selector (0 = 1252, 1 = 932,
# 2 = UTF-8); string blocks add their block number (little endian). Icon
# images and groups go to module_icon as they are.
kinds = {3: "module_icon", 4: "menu", 5: "dialog", 6: "string_block", 14: "module_icon", 16: "version"}
seen = set()
for path in good + damaged:
    try:
        pe = pefile.PE(path)
    except Exception:
        continue
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        continue
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        target = kinds.get(rtype.id)
        if target is None or not hasattr(rtype, "directory"):
            continue
        for rname in rtype.directory.entries:
            if rname.id is None or not hasattr(rname, "directory"):
                continue
            for rlang in rname.directory.entries:
                entry = rlang.data.struct
                try:
                    raw = pe.get_data(entry.OffsetToData, entry.Size)
                except Exception:
                    continue
                if (target, raw) in seen:
                    continue
                seen.add((target, raw))
                if target == "module_icon":
                    write(target, "%s-%d-%d-%04x" % (stem(path), rtype.id, rname.id, rlang.id or 0), raw)
                    continue
                for selector in (0, 1, 2):
                    header = bytes([selector])
                    if target == "string_block":
                        header += struct.pack("<H", rname.id)
                    write(target, "%s-%d-%04x-cp%d" % (stem(path), rname.id, rlang.id or 0, selector),
                          header + raw)

# Glossaries. Header byte: bit 0 = Microsoft format, the rest picks the code
# page as above (0x00 text/1252, 0x02 text/932, 0x04 text/UTF-8, 0x01 MS/1252).
sample = open(glossary, "rb").read()
text = sample.decode("cp1252")
write("glossary", "sample-1252", b"\x00" + sample)
write("glossary", "sample-utf8", b"\x04" + text.encode("utf-8"))
write("glossary", "sample-utf8-bom", b"\x00\xef\xbb\xbf" + text.encode("utf-8"))
write("glossary", "sample-utf16le", b"\x00\xff\xfe" + text.encode("utf-16-le"))
write("glossary", "sample-utf16be", b"\x02\xfe\xff" + text.encode("utf-16-be"))
write("glossary", "ms-commas", b"\x01" + b'"&File",de,"&Datei",\r\n"E&xit",de,"&Beenden",\r\nSave As...,de,Speichern unter...,\r\n')
write("glossary", "ms-tabs", b"\x01" + b"&Open,x\r\n&Edit\tde\t&Bearbeiten\t\r\n&Help\tde\t&Hilfe\t\r\n")
write("glossary", "japanese-932", b"\x02" + "&File\tja\tファイル(&F)\t\r\n&Edit\tja\t編集(&E)\tE\r\n".encode("cp932"))
write("glossary", "hotkey-field", b"\x00" + b"Print\tde\tDrucken\tD\nA&&B\tde\tA&&B\t\n&\tde\t&\t\n")
EOF

# Project and dictionary files, written by the tool itself.
if [ -x "$cli" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    make_project() { # name module language
        local prj=$work/$1.prj dic=$work/$1.dic
        "$cli" new "$prj" --module "$2" --translator Fuzz --email fuzz@example.org --language "$3" \
            --dictionary "$dic" --force >/dev/null
        "$cli" dict add "$prj" "Open" "Ouvrir" --hotkey O >/dev/null
        "$cli" dict add "$prj" "Open" "Ouvrir le fichier" --kind MENUITEM >/dev/null
        "$cli" dict add "$prj" "Cancel" "Abbrechen" --kind CONTROL >/dev/null
        "$cli" import "$prj" --text "$root/samples/quillpad-de.txt" >/dev/null
        "$cli" translate "$prj" >/dev/null || true
        cp "$prj" "$corpus/project/seed-$1.prj"
        [ -f "$dic" ] && cp "$dic" "$corpus/dictionary/seed-$1.dic"
        "$cli" export "$prj" --format xliff -o "$corpus/xliff/seed-$1.xlf" >/dev/null
        "$cli" export "$prj" --format po -o "$corpus/po/seed-$1.po" >/dev/null
        return 0
    }
    make_project basic32 "$modules/basic32.exe" German
    make_project multilang "$modules/multilang.dll" French
    make_project notranslation "$modules/notranslation.dll" German
    make_project update "$modules/update-v1.exe" Spanish
    make_project quillpad "$root/samples/quillpad.exe" German
    make_project quillpad-ja "$root/samples/quillpad.exe" Japanese
else
    echo "seed-corpora: $cli is not built; project, dictionary, xliff and po corpora get no seeds" >&2
fi

for tmx in "$root"/tests/data/memory/*.tmx; do
    cp "$tmx" "$corpus/tmx/seed-$(basename "$tmx")"
done

for t in $targets; do
    printf '%-16s %5d inputs\n' "$t" "$(find "$corpus/$t" -type f | wc -l)"
done
