#!/usr/bin/python3
"""Print every resource leaf of a PE module, one per line, using pefile.

usage: pefile_dump.py MODULE

Output lines:  TYPE NAME LANG SIZE SHA256
  TYPE    integer type id (decimal) or the type's string name as stored
  NAME    integer id (decimal) or the string name as stored
  LANG    language id, 4 lower-case hex digits
  SIZE    Size field of the data entry, decimal
  SHA256  hex digest of the leaf's bytes (Size bytes at its RVA)

Lines are sorted by (TYPE, NAME, LANG) the way a well-formed resource
directory orders its entries: string names first (compared as text),
then integer ids in ascending numeric order.  The C++ tests compare our
own reader's output against this.

Exit codes: 0 ok (a module without resources prints nothing),
2 the file is not a PE module (message on stderr),
3 some leaf's data could not be read: its line shows "-" in the SHA256
  column (only happens for the corrupted copies).
Run it with Debian's /usr/bin/python3 (python3-pefile).
"""
import hashlib
import sys

import pefile


def key_part(entry):
    """Sort key for one directory level: strings before ids."""
    if entry.name is not None:
        return (0, str(entry.name), 0)
    return (1, "", entry.id)


def label(entry):
    if entry.name is not None:
        return str(entry.name)
    return str(entry.id)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: pefile_dump.py MODULE\n")
        return 2
    path = argv[1]
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(directories=[
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    except pefile.PEFormatError as e:
        sys.stderr.write("%s: not a PE module: %s\n" % (path, e))
        return 2
    except OSError as e:
        sys.stderr.write("%s: %s\n" % (path, e))
        return 2

    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    rows = []
    unreadable = 0
    if root is not None:
        for t in root.entries:
            if not hasattr(t, "directory"):
                continue
            for n in t.directory.entries:
                if not hasattr(n, "directory"):
                    continue
                for l in n.directory.entries:
                    if not hasattr(l, "data"):
                        continue
                    d = l.data.struct
                    try:
                        blob = pe.get_data(d.OffsetToData, d.Size)
                        digest = hashlib.sha256(blob).hexdigest()
                    except pefile.PEFormatError as e:
                        sys.stderr.write("%s: %s %s %04x: %s\n" % (
                            path, label(t), label(n), l.id & 0xFFFF, e))
                        digest = "-"
                        unreadable += 1
                    rows.append((
                        (key_part(t), key_part(n), l.id),
                        "%s %s %04x %d %s" % (
                            label(t), label(n), l.id & 0xFFFF, d.Size, digest),
                    ))
    rows.sort()
    out = sys.stdout
    for _, line in rows:
        out.write(line + "\n")
    return 3 if unreadable else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
