#!/usr/bin/env python3
"""Write dictionaries and glossaries shaped to cost a reader far more than
their size.

usage: make_dictionary_bombs.py OUTDIR

Dictionaries (OUTDIR/<name>.dic, for `quillon-cli dict FILE.dic`):
  backref-tree-3k6, backref-tree-12k
      levels of entries whose two sub-entries refer back to the two entries
      of the level before, down to two with long translations: a reader that
      copies what a back-reference names builds 2^depth copies of those.
  backref-flat-256k
      one entry with seven long translations (its own and six sub-entries,
      each with its own kind, nothing nested), then tens of thousands of
      source texts that refer back to it: every record is plausible, yet
      the copies grow with the square of the file's size.

Glossaries (OUTDIR/<name>.txt, for `quillon-cli import PROJECT --text FILE.txt`):
  newlines-50m, crlf-50m      50 MB of empty lines
  utf8-newlines-50m           the same after a UTF-8 byte-order mark
  utf16-newlines-50m          the same in UTF-16 (little-endian, with mark)
  one-line-20m                one well-formed line whose translation is 20 MB
  long-lines-24m              twelve such lines of 2 MB, each with its own source

Only the standard library is used.
"""
import os
import struct
import sys

ENTRY_CLASS = b"CDictonaryEntry"
KIND_ALL, KIND_STRING = 0, 1
MB = 1000 * 1000


class Archive:
    """The dictionary's archive records: counts, texts, object tags. Index 1
    is the entry class; objects are numbered from 2 in order of appearance."""

    def __init__(self):
        self.out = bytearray()
        self.next_index = 1
        self.class_written = False

    def word(self, value):
        self.out += struct.pack("<H", value)

    def count(self, value):
        if value < 0xFFFF:
            self.word(value)
        else:
            self.out += struct.pack("<HI", 0xFFFF, value)

    def text(self, data):
        if len(data) < 0xFF:
            self.out += bytes([len(data)])
        elif len(data) < 0xFFFE:
            self.out += struct.pack("<BH", 0xFF, len(data))
        else:
            self.out += struct.pack("<BHI", 0xFF, 0xFFFF, len(data))
        self.out += data

    def new_entry(self, translation, kind, sub_entries=()):
        """A new entry record; `sub_entries` are (kind, write) pairs, where
        write() adds the sub-entry's object record. Returns its index."""
        if self.class_written:
            self.word(0x8001)
        else:
            self.out += struct.pack("<HHH", 0xFFFF, 1, len(ENTRY_CLASS)) + ENTRY_CLASS
            self.class_written = True
            self.next_index += 1
        index = self.next_index
        self.next_index += 1
        self.text(translation)
        self.word(0)  # hotkey
        self.word(kind)
        self.count(len(sub_entries))
        for sub_kind, write in sub_entries:
            self.word(sub_kind)
            write()
        return index

    def reference(self, index):
        if index < 0x7FFF:
            self.word(index)
        else:
            self.out += struct.pack("<HI", 0x7FFF, index)


def backref_tree(size):
    """Two entries a level, one for STRING and one for CONTROL, so every kind
    matches: at level 0 they share a translation that fills the file, at
    level k each has two sub-entries that refer back to the two of level k-1."""
    depth = 22 if size > 8000 else 18
    kinds = (1, 2)
    archive = Archive()
    archive.count(2 * (depth + 1))
    overhead = 2 + 2 * (2 + 3 + 6) + 6 + len(ENTRY_CLASS) + depth * 2 * 21
    previous = []
    for kind in kinds:
        archive.text(b"0-%d" % kind)
        previous.append(archive.new_entry(b"x" * ((size - overhead) // 2), kind))
    for level in range(1, depth + 1):
        below = previous
        previous = []
        for kind in kinds:
            archive.text(b"%d-%d" % (level, kind))
            previous.append(archive.new_entry(b"", kind, [(sub, lambda index=index: archive.reference(index))
                                                          for sub, index in zip(kinds, below)]))
    return bytes(archive.out)


def backref_flat(size):
    """Half the file is one entry's translations, the other half four-byte
    pairs (a one-letter source text and a back-reference to that entry)."""
    kinds = (0, 2, 3, 4, 5, 6)
    part = size // 2 // (len(kinds) + 1)
    archive = Archive()
    references = size // 2 // 4
    archive.count(1 + references)
    archive.text(b"shared")
    shared = archive.new_entry(b"p" * part, KIND_STRING,
                               [(kind, lambda kind=kind: archive.new_entry(b"s" * part, kind)) for kind in kinds])
    for i in range(references):
        archive.text(bytes([0x41 + i % 26]))
        archive.reference(shared)
    return bytes(archive.out)


DICTIONARIES = {
    "backref-tree-3k6": lambda: backref_tree(3600),
    "backref-tree-12k": lambda: backref_tree(12000),
    "backref-flat-256k": lambda: backref_flat(256 * 1024),
}


def long_line(source, length):
    return source + b"\t-\t" + b"x" * length + b"\t\r\n"


GLOSSARIES = {
    "newlines-50m": lambda: b"\n" * (50 * MB),
    "crlf-50m": lambda: b"\r\n" * (25 * MB),
    "utf8-newlines-50m": lambda: b"\xEF\xBB\xBF" + b"\n" * (50 * MB),
    "utf16-newlines-50m": lambda: b"\xFF\xFE" + b"\n\0" * (25 * MB),
    "one-line-20m": lambda: long_line(b"Open", 20 * MB),
    "long-lines-24m": lambda: b"".join(long_line(b"Text %d" % i, 2 * MB) for i in range(12)),
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_dictionary_bombs.py OUTDIR\n")
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for table, suffix in ((DICTIONARIES, ".dic"), (GLOSSARIES, ".txt")):
        for name, make in table.items():
            data = make()
            with open(os.path.join(out_dir, name + suffix), "wb") as f:
                f.write(data)
            print("%-26s %10d bytes" % (name + suffix, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
