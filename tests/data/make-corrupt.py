#!/usr/bin/python3
"""Write the corrupted copies of basic32.exe used by the robustness tests.

usage: make-corrupt.py BASIC32_EXE OUT_DIR

Every copy is byte-identical to the input except for one documented
patch (or a cut).  Offsets are found with pefile, not hard-coded, and
printed as they are applied; FIXTURES.md lists the values for the
committed basic32.exe.
"""
import os
import struct
import sys

sys.dont_write_bytecode = True
import fixturelib as fl  # noqa: E402


class Writer:
    def __init__(self, src, out_dir):
        with open(src, "rb") as f:
            self.data = f.read()
        self.out_dir = out_dir

    def _write(self, name, blob):
        with open(os.path.join(self.out_dir, name), "wb") as f:
            f.write(blob)

    def cut(self, name, length, why):
        self._write(name, self.data[:length])
        print("%-26s cut to %d bytes (of %d): %s" % (name, length, len(self.data), why))

    def text(self, name, blob, why):
        self._write(name, blob)
        print("%-26s %d bytes of text: %s" % (name, len(blob), why))

    def patch(self, name, edits, why):
        """edits: list of (file_offset, struct_format, new_value)."""
        buf = bytearray(self.data)
        parts = []
        for off, fmt, value in edits:
            (old,) = struct.unpack_from(fmt, buf, off)
            struct.pack_into(fmt, buf, off, value)
            width = struct.calcsize(fmt) * 2
            parts.append("@0x%X %s 0x%0*X -> 0x%0*X" % (off, fmt[1:], width, old, width, value))
        self._write(name, bytes(buf))
        print("%-26s %s: %s" % (name, "; ".join(parts), why))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make-corrupt.py BASIC32_EXE OUT_DIR\n")
        return 2
    src, out_dir = argv[1], argv[2]
    os.makedirs(out_dir, exist_ok=True)
    w = Writer(src, out_dir)
    pe = fl.load(src)
    size = len(w.data)

    rsrc_dir = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
    rsrc_off = pe.get_offset_from_rva(rsrc_dir.VirtualAddress)

    # --- cuts ------------------------------------------------------------
    w.cut("truncated-headers.exe", 200, "only the DOS header and part of the PE headers")
    w.cut("truncated-half.exe", size // 2, "first half of the file")
    mid = rsrc_off + rsrc_dir.Size // 2
    w.cut("truncated-rsrc.exe", mid,
          "middle of .rsrc (starts at 0x%X, %d bytes of resource data)" % (rsrc_off, rsrc_dir.Size))
    w.text("not-pe.exe", b"this is not a module\n", "no MZ header at all")

    # --- headers ---------------------------------------------------------
    w.patch("bad-lfanew.exe", [(0x3C, "<I", 0x7FFFFFF0)], "e_lfanew points far past EOF")

    # --- resource directory ----------------------------------------------
    t_menu, n_menu100, _ = fl.find(pe, fl.RT_MENU, 100)
    entry = n_menu100.struct.get_file_offset()
    w.patch("rsrc-cycle.exe", [(entry + 4, "<I", 0x80000000)],
            "name entry MENU/100 now points at the root directory (cycle)")

    t_str, _, _ = fl.find(pe, fl.RT_STRING, 1)
    entry = t_str.struct.get_file_offset()
    w.patch("rsrc-badoffset.exe", [(entry + 4, "<I", 0x80000000 | 0x7FFFFF00)],
            "type entry RT_STRING: sub-directory offset 0x7FFFFF00 (subdir bit kept)")

    # --- data entries ----------------------------------------------------
    _, _, l_str1 = fl.find(pe, fl.RT_STRING, 1)
    de = l_str1.data.struct.get_file_offset()
    w.patch("data-rva-outside.exe", [(de, "<I", 0x7FFF0000)],
            "data entry of STRINGTABLE block 1: OffsetToData (RVA)")

    _, _, l_dlg = fl.find(pe, fl.RT_DIALOG, 200)
    de = l_dlg.data.struct.get_file_offset()
    w.patch("data-size-huge.exe", [(de + 4, "<I", 0x7FFFFFFF)],
            "data entry of DIALOG 200: Size")
    w.patch("dialog-header-cut.exe", [(de + 4, "<I", 10)],
            "data entry of DIALOG 200: Size 10 (header needs 18+)")

    # --- dialog template -------------------------------------------------
    dlg_off = fl.leaf_file_offset(pe, fl.RT_DIALOG, 200)
    dlg = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 200))
    w.patch("dialog-overrun.exe", [(dlg_off + dlg["count_offset"], "<H", 200)],
            "DIALOG 200 item count (template holds %d)" % len(dlg["items"]))

    # --- menu template ---------------------------------------------------
    menu_off = fl.leaf_file_offset(pe, fl.RT_MENU, 100)
    items = fl.menu_items(fl.leaf_bytes(pe, fl.RT_MENU, 100))
    edits = [(menu_off + it["offset"], "<H", it["flags"] & ~0x80)
             for it in items if it["flags"] & 0x80]
    w.patch("menu-noend.exe", edits, "MENU 100: MF_END (0x80) cleared on every item")

    _, _, l_menu = fl.find(pe, fl.RT_MENU, 100)
    second = items[1]
    cut = second["text_offset"] + 8         # 4 UTF-16 units into the text
    w.patch("menu-unterminated.exe", [(l_menu.data.struct.get_file_offset() + 4, "<I", cut)],
            "data entry of MENU 100: Size ends inside item 2's text %r" % second["text"])

    # --- string table ----------------------------------------------------
    str_off = fl.leaf_file_offset(pe, fl.RT_STRING, 1)
    slot1 = fl.string_block(fl.leaf_bytes(pe, fl.RT_STRING, 1))[1][0]
    w.patch("string-overrun.exe", [(str_off + slot1, "<H", 0x7FFF)],
            "STRINGTABLE block 1, length of slot 1 (string id 1)")

    # --- version ---------------------------------------------------------
    ver_off = fl.leaf_file_offset(pe, fl.RT_VERSION, 1)
    root = fl.version_tree(fl.leaf_bytes(pe, fl.RT_VERSION, 1))[0]
    sfi = root["children"][0]
    w.patch("version-zero-length.exe", [(ver_off + sfi["offset"], "<H", 0)],
            "wLength of the first child of VS_VERSION_INFO (%s)" % sfi["key"])
    w.patch("version-huge-length.exe", [(ver_off, "<H", 0xFFFF)],
            "wLength of VS_VERSION_INFO (resource is %d bytes)" % root["length"])

    table = sfi["children"][0]
    last = table["children"][-1]
    remaining = table["offset"] + table["length"] - last["offset"]
    w.patch("version-deep.exe", [(ver_off + last["offset"], "<H", remaining + 16)],
            "wLength of %s/%s/%s: 16 bytes more than its parent %s has left"
            % (sfi["key"], table["key"], last["key"], table["key"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
