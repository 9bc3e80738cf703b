#!/usr/bin/env python3
"""Independent header check of a module with pefile: prints one line per fact.

  warnings N        pefile's parser warnings (each on its own line after it)
  checksum ok|bad   the header checksum against pefile's own computation
  overlay SIZE SHA  the bytes after the last section
  section NAME VA VSIZE RAWPTR RAWSIZE
Exit code 2 when the file is not a PE module.
"""
import hashlib
import sys

import pefile


def main():
    try:
        pe = pefile.PE(sys.argv[1])
    except pefile.PEFormatError as error:
        print(error, file=sys.stderr)
        return 2
    # The byte-frequency notes are statistics about the content, not faults.
    warnings = [w for w in pe.get_warnings() if "makes up" not in w]
    print("warnings", len(warnings))
    for warning in warnings:
        print(" ", warning)
    print("checksum", "ok" if pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum() else "bad")
    overlay = pe.get_overlay() or b""
    print("overlay", len(overlay), hashlib.sha256(overlay).hexdigest())
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode("latin-1")
        print("section", name, hex(section.VirtualAddress), hex(section.Misc_VirtualSize),
              hex(section.PointerToRawData), hex(section.SizeOfRawData))
    return 0


if __name__ == "__main__":
    sys.exit(main())
