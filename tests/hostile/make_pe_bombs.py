#!/usr/bin/env python3
"""Write small modules whose resource directories are shaped to cost a
reader or a writer far more than their size: one long name named by
thousands of entries, names overlapping each other, a root table at its
131,070-entry maximum, thousands of resources sharing one large data block,
and string-table blocks whose IDs do not fit the 16-bit string numbering.

usage: make_pe_bombs.py OUTDIR

Every module is a well-formed resource-only PE32 DLL (one .rsrc section)
under 2 MB, written as OUTDIR/<name>.exe, and each holds one ordinary
string table, so `quillon-cli new` and `build` have a text to work on.
Only the standard library is used.
"""
import os
import struct
import sys

FILE_ALIGNMENT = 0x200
SECTION_ALIGNMENT = 0x1000
RESOURCE_RVA = 0x1000
HEADERS = 0x200          # DOS header, PE headers and one section header fit here
PE_OFFSET = 0x80
HIGH_BIT = 0x80000000

RT_STRING = 6
RT_RCDATA = 10
LANG_EN_US = 0x0409
MAX_NAME_UNITS = 0xFFFF
MAX_SIZE = 2 * 1024 * 1024


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


class Directory:
    """The bytes of a .rsrc section, laid out by hand: offsets are chosen by
    the caller, so tables, names and data can be shared on purpose."""

    def __init__(self):
        self.blob = bytearray()

    def alloc(self, size, alignment=4):
        offset = align(len(self.blob), alignment)
        self.blob.extend(b"\0" * (offset + size - len(self.blob)))
        return offset

    def put(self, offset, data):
        self.blob[offset:offset + len(data)] = data

    def table(self, named, ids):
        """A table of `named` + `ids` entries; returns (table, first entry)."""
        offset = self.alloc(16 + 8 * (named + ids))
        self.put(offset, struct.pack("<IIHHHH", 0, 0, 4, 0, named, ids))
        return offset, offset + 16

    def entry(self, at, name_field, offset_field):
        self.put(at, struct.pack("<II", name_field, offset_field))

    def name(self, units):
        offset = self.alloc(2 + 2 * len(units), 2)
        self.put(offset, struct.pack("<H", len(units)) + units.encode("utf-16-le"))
        return offset

    def empty_tables(self, count):
        """`count` distinct empty tables: every byte offset of a zero run is
        a table whose counts read zero."""
        return self.alloc(count + 16)

    def data(self, payload, alignment=8):
        offset = self.alloc(len(payload), alignment)
        self.put(offset, payload)
        return offset

    def data_entry(self, data_offset, size):
        offset = self.alloc(16)
        self.put(offset, struct.pack("<IIII", RESOURCE_RVA + data_offset, size, 0, 0))
        return offset

    def leaf_table(self, language, data_offset, size):
        """A name's language table holding one resource."""
        table, first = self.table(0, 1)
        self.entry(first, language, self.data_entry(data_offset, size))
        return table


def string_block(slots):
    """Sixteen slots: a WORD count of UTF-16 units each, then the units."""
    out = bytearray()
    for i in range(16):
        text = slots.get(i, "")
        out += struct.pack("<H", len(text)) + text.encode("utf-16-le")
    return bytes(out)


def image(section):
    """A PE32 resource-only DLL whose one section holds `section`."""
    raw = align(len(section), FILE_ALIGNMENT)
    out = bytearray(HEADERS + raw)
    out[0:2] = b"MZ"
    struct.pack_into("<I", out, 0x3C, PE_OFFSET)
    out[PE_OFFSET:PE_OFFSET + 4] = b"PE\0\0"
    coff = PE_OFFSET + 4
    optional_size = 224
    struct.pack_into("<HHIIIHH", out, coff, 0x014C, 1, 0, 0, 0, optional_size, 0x2102)
    o = coff + 20
    struct.pack_into("<HBB", out, o, 0x010B, 14, 0)
    struct.pack_into("<I", out, o + 8, raw)                    # SizeOfInitializedData
    struct.pack_into("<I", out, o + 24, RESOURCE_RVA)          # BaseOfData
    struct.pack_into("<III", out, o + 28, 0x10000000, SECTION_ALIGNMENT, FILE_ALIGNMENT)
    struct.pack_into("<HH", out, o + 40, 6, 0)                 # operating system version
    struct.pack_into("<HH", out, o + 48, 6, 0)                 # subsystem version
    struct.pack_into("<II", out, o + 56, align(RESOURCE_RVA + len(section), SECTION_ALIGNMENT), HEADERS)
    struct.pack_into("<HH", out, o + 68, 2, 0x0500)
    struct.pack_into("<IIII", out, o + 72, 0x100000, 0x1000, 0x100000, 0x1000)
    struct.pack_into("<I", out, o + 92, 16)
    struct.pack_into("<II", out, o + 96 + 8 * 2, RESOURCE_RVA, len(section))
    s = o + optional_size
    out[s:s + 8] = b".rsrc\0\0\0"
    struct.pack_into("<IIII", out, s + 8, len(section), RESOURCE_RVA, raw, HEADERS)
    struct.pack_into("<I", out, s + 36, 0x40000040)
    out[HEADERS:HEADERS + len(section)] = section
    return bytes(out)


def name_table(d, root_entry, type_id, named):
    """Type `type_id` with the named entries `named` (name fields and table
    offsets); type 6 also gets block 1 ("Hello")."""
    ids = []
    if type_id == RT_STRING:
        payload = string_block({0: "Hello", 1: "Ordinary text"})
        ids = [(1, d.leaf_table(LANG_EN_US, d.data(payload), len(payload)))]
    table, first = d.table(len(named), len(ids))
    d.entry(root_entry, type_id, HIGH_BIT | table)
    for i, (field, sub) in enumerate(named + ids):
        d.entry(first + 8 * i, field, HIGH_BIT | sub)


def shared_name(empty_names, names_with_data, types=(RT_STRING,)):
    """Menus, dialogs and string tables named by one 65,535-unit name,
    repeated by every entry: a reader that decodes the name per entry holds
    it thousands of times."""
    d = Directory()
    root, first = d.table(0, len(types))
    long_name = d.name("N" * MAX_NAME_UNITS)
    payload = string_block({3: "Shared"})
    data = d.data(payload)
    for i, type_id in enumerate(sorted(types)):
        zeros = d.empty_tables(empty_names)
        named = [(HIGH_BIT | long_name, zeros + n) for n in range(empty_names)]
        named += [(HIGH_BIT | long_name, d.leaf_table(LANG_EN_US, data, len(payload)))
                  for _ in range(names_with_data)]
        name_table(d, first + 8 * i, type_id, named)
    return d.blob


def many_types(named_types, id_types):
    """A root table at the limit of its two 16-bit counts: named types share
    one long name, every type has an empty table of its own."""
    d = Directory()
    root, first = d.table(named_types, id_types)
    long_name = d.name("T" * MAX_NAME_UNITS)
    zeros = d.empty_tables(named_types + id_types)
    at = first
    for i in range(named_types):
        d.entry(at, HIGH_BIT | long_name, HIGH_BIT | (zeros + i))
        at += 8
    string_entry = None
    for i in range(id_types):
        type_id = i + 1
        if type_id == RT_STRING:
            string_entry = at
        else:
            d.entry(at, type_id, HIGH_BIT | (zeros + named_types + i))
        at += 8
    name_table(d, string_entry, RT_STRING, [])
    return d.blob


def shared_data(count, block_size, stride):
    """`count` resources whose data entries all point into one block: the
    same bytes when `stride` is 0, else each starting `stride` bytes after
    the one before."""
    d = Directory()
    root, first = d.table(0, 2)
    name_table(d, first, RT_STRING, [])
    table, entries = d.table(0, count)
    d.entry(first + 8, RT_RCDATA, HIGH_BIT | table)
    block = d.data(bytes((i * 7 + 1) & 0xFF for i in range(block_size + stride * count)))
    for i in range(count):
        sub = d.leaf_table(LANG_EN_US, block + stride * i, block_size)
        d.entry(entries + 8 * i, i + 1, HIGH_BIT | sub)
    return d.blob


def high_string_blocks():
    """Block 775 holds "Real string 12388"; block 29447 (IDs past 65535,
    which 16 bits would turn into block 775), a directory ID whose upper bits
    are set (0x10307, read by the loader as 775) and a named string table
    hold junk in the same slot. Block 1 has a second language whose field has
    upper bits set (0x10409, US English to the loader), and type 0x10006 is
    a second type 6 to the loader."""
    d = Directory()
    root, first = d.table(0, 2)

    def block_table(slot, text, language=LANG_EN_US):
        payload = string_block({slot: text})
        return d.leaf_table(language, d.data(payload), len(payload))

    junk_name = d.name("JUNKTABLE")
    strings, entries = d.table(1, 4)
    d.entry(first, RT_STRING, HIGH_BIT | strings)
    block1, languages = d.table(0, 2)
    for i, (language, text) in enumerate([(LANG_EN_US, "Hello"), (0x10000 | LANG_EN_US, "Junk in 0x10409")]):
        payload = string_block({0: text})
        d.entry(languages + 8 * i, language, d.data_entry(d.data(payload), len(payload)))
    children = [(HIGH_BIT | junk_name, block_table(4, "Junk from a named table")),
                (1, block1),
                (775, block_table(4, "Real string 12388")),
                (29447, block_table(4, "Junk from block 29447")),
                (0x10307, block_table(4, "Junk from ID 0x10307"))]
    for i, (field, sub) in enumerate(children):
        d.entry(entries + 8 * i, field, HIGH_BIT | sub)
    alias, alias_entries = d.table(0, 1)
    d.entry(first + 8, 0x10000 | RT_STRING, HIGH_BIT | alias)
    d.entry(alias_entries, 1, HIGH_BIT | block_table(0, "Junk in type 0x10006"))
    return d.blob


def overlapping_names(count):
    """`count` string tables whose names start two bytes apart in a run of
    0xFFFF units: each reads as a different 65,535-unit name, so decoding
    them all costs `count` times 128 KB."""
    d = Directory()
    root, first = d.table(0, 1)
    run = d.alloc(2 * MAX_NAME_UNITS + 2 * count + 2, 2)
    d.put(run, b"\xff" * (2 * MAX_NAME_UNITS + 2 * count + 2))
    zeros = d.empty_tables(count)
    name_table(d, first, RT_STRING, [(HIGH_BIT | (run + 2 * i), zeros + i) for i in range(count)])
    return d.blob


BOMBS = {
    "shared-name": lambda: shared_name(6000, 300),
    "shared-name-large": lambda: shared_name(40000, 1000, (4, 5, RT_STRING)),
    "many-types": lambda: many_types(0xFFFF, 0xFFFF),
    "many-types-small": lambda: many_types(4000, 4000),
    "shared-data": lambda: shared_data(3000, 1 << 20, 0),
    "shared-data-small": lambda: shared_data(1500, 64 << 10, 0),
    "staggered-data": lambda: shared_data(3000, 1 << 20, 4),
    "staggered-data-small": lambda: shared_data(1500, 64 << 10, 3),
    "overlapping-names": lambda: overlapping_names(8000),
    "high-string-blocks": high_string_blocks,
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_pe_bombs.py OUTDIR\n")
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, make in BOMBS.items():
        module = image(make())
        if len(module) >= MAX_SIZE:
            raise SystemExit("%s: %d bytes, over the 2 MB limit" % (name, len(module)))
        with open(os.path.join(out_dir, name + ".exe"), "wb") as f:
            f.write(module)
        print("%-20s %8d bytes" % (name + ".exe", len(module)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
