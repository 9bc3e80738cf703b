#!/usr/bin/python3
"""Decode every resource of the Quill Pad sample with pefile and check it.

usage: check-sample.py quillpad.exe

build-sample.sh runs this before it replaces the committed binary.  It
walks every string table, menu, dialog, icon and the version resource,
checks the shape the sample is meant to have and prints a short summary.
Exit 1 (with the list of problems) when something is off.
"""
import struct
import sys

import pefile

RT_ICON, RT_MENU, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 4, 5, 6, 14, 16
TYPE_NAMES = {RT_ICON: "ICON", RT_MENU: "MENU", RT_DIALOG: "DIALOG", RT_STRING: "STRING",
              RT_GROUP_ICON: "GROUP_ICON", RT_VERSION: "VERSION"}

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


# ------------------------------------------------------------------ readers

def read_sz(data, off):
    end = off
    while True:
        if end + 2 > len(data):
            raise ValueError("unterminated string at %d" % off)
        if data[end:end + 2] == b"\0\0":
            break
        end += 2
    return data[off:end].decode("utf-16-le"), end + 2


def read_sz_or_ord(data, off):
    (w,) = struct.unpack_from("<H", data, off)
    if w == 0xFFFF:
        (o,) = struct.unpack_from("<H", data, off + 2)
        return o, off + 4
    return read_sz(data, off)


def align4(off):
    return (off + 3) & ~3


def string_block(data):
    out = []
    off = 0
    for _ in range(16):
        (n,) = struct.unpack_from("<H", data, off)
        out.append(data[off + 2:off + 2 + 2 * n].decode("utf-16-le") if n else None)
        off += 2 + 2 * n
    return out, off


def menu_items(data):
    ver, hdr = struct.unpack_from("<HH", data, 0)
    if ver != 0:
        raise ValueError("not a classic menu")
    items = []

    def walk(off, depth):
        while True:
            (flags,) = struct.unpack_from("<H", data, off)
            off += 2
            mid = None
            if not flags & 0x10:
                (mid,) = struct.unpack_from("<H", data, off)
                off += 2
            text, off = read_sz(data, off)
            items.append((depth, flags, mid, text))
            if flags & 0x10:
                off = walk(off, depth + 1)
            if flags & 0x80:
                return off

    end = walk(4 + hdr, 0)
    return items, end


def dialog(data):
    d = {"ex": struct.unpack_from("<HH", data, 0) == (1, 0xFFFF)}
    if d["ex"]:
        (_, _, _, _, d["style"], count, _, _, d["cx"], d["cy"]) = \
            struct.unpack_from("<HHIIIHhhhh", data, 0)
        off = 26
    else:
        (d["style"], _, count, _, _, d["cx"], d["cy"]) = struct.unpack_from("<IIHhhhh", data, 0)
        off = 18
    d["menu"], off = read_sz_or_ord(data, off)
    d["class"], off = read_sz_or_ord(data, off)
    d["caption"], off = read_sz(data, off)
    d["font"] = None
    if d["style"] & 0x48:
        if d["ex"]:
            size, weight, italic, charset = struct.unpack_from("<HHBB", data, off)
            off += 6
        else:
            (size,) = struct.unpack_from("<H", data, off)
            weight = italic = charset = None
            off += 2
        face, off = read_sz(data, off)
        d["font"] = (size, face, weight, italic, charset)
    items = []
    for _ in range(count):
        off = align4(off)
        if d["ex"]:
            (_, _, style, _, _, _, _, cid) = struct.unpack_from("<IIIhhhhI", data, off)
            off += 24
        else:
            (style, _, _, _, _, _, cid) = struct.unpack_from("<IIhhhhH", data, off)
            off += 18
        cls, off = read_sz_or_ord(data, off)
        title, off = read_sz_or_ord(data, off)
        (n,) = struct.unpack_from("<H", data, off)
        off += 2 + n
        items.append((cid, cls, title))
    d["items"] = items
    d["end"] = off
    return d


def version_tree(data, off=0, end=None):
    end = len(data) if end is None else end
    nodes = []
    while off + 6 <= end:
        length, vlen, vtype = struct.unpack_from("<HHH", data, off)
        if length == 0:
            break
        if off + length > end:
            raise ValueError("version block at %d runs past its parent" % off)
        key, p = read_sz(data, off + 6)
        p = align4(p)
        vbytes = vlen * 2 if vtype == 1 else vlen
        node = {"key": key, "type": vtype, "value": data[p:p + vbytes]}
        node["children"] = version_tree(data, align4(p + vbytes), off + length)
        nodes.append(node)
        off = align4(off + length)
    return nodes


# ------------------------------------------------------------------ expectations

MAIN_MENU_TOP = ["&File", "F&ormat", "&Edit", "&View", "&Help"]
EXPECTED_VERSION = {
    "CompanyName": "Quillon Samples",
    "FileDescription": "Quill Pad text editor",
    "FileVersion": "10.0.1.7",
    "InternalName": "quillpad",
    "LegalCopyright": "Sample module for Quillon",
    "OriginalFilename": "quillpad.exe",
    "ProductName": "Quill Pad",
    "ProductVersion": "10.0",
}
# dialog id -> (extended, caption, font size, face, number of controls)
EXPECTED_DIALOGS = {
    200: (True, "About Quill Pad", 9, "Segoe UI", 6),
    201: (False, "Find", 8, "MS Shell Dlg", 8),
    202: (False, "Replace", 8, "MS Shell Dlg", 10),
    203: (True, "Go To Line", 9, "Segoe UI", 4),
    204: (False, "Page Setup", 8, "MS Shell Dlg", 27),
}


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: check-sample.py MODULE\n")
        return 2
    path = sys.argv[1]
    pe = pefile.PE(path)

    check(pe.FILE_HEADER.Machine == 0x8664, "machine is not AMD64")
    check(pe.OPTIONAL_HEADER.Magic == 0x20B, "not PE32+")
    check(pe.FILE_HEADER.TimeDateStamp == 0, "link timestamp is set")
    check(pe.OPTIONAL_HEADER.Subsystem == 2, "subsystem is not Windows GUI")
    check(pe.OPTIONAL_HEADER.ImageBase == 0x140000000, "image base not pinned")
    check(pe.FILE_HEADER.PointerToSymbolTable == 0, "not stripped")

    leaves = {}
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for l in n.directory.entries:
                check(t.name is None and n.name is None, "unexpected string-named resource")
                d = l.data.struct
                data = pe.get_data(d.OffsetToData, d.Size)
                check(len(data) == d.Size, "%s %d: data cut short" % (t.id, n.id))
                check(l.id == 0x0409, "%s %d: language %04x" % (t.id, n.id, l.id))
                leaves[(t.id, n.id)] = data

    types = sorted({t for t, _ in leaves})
    check(types == [RT_ICON, RT_MENU, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION],
          "resource types %r" % types)

    # strings
    strings = {}
    for (t, n), data in leaves.items():
        if t != RT_STRING:
            continue
        texts, end = string_block(data)
        check(end == len(data), "string block %d: %d trailing bytes" % (n, len(data) - end))
        for i, s in enumerate(texts):
            if s is not None:
                strings[(n - 1) * 16 + i] = s
    check(40 <= len(strings) <= 60, "%d strings" % len(strings))
    check(strings.get(4) == "Do you want to save changes to %1?", "string 4")
    check(strings.get(5) == 'Cannot find "%1"', "string 5 %r" % strings.get(5))
    check(strings.get(48) == "Text Documents (*.txt)|*.txt", "string 48")
    check(any("\t" in s for s in strings.values()), "no string with a tab")
    check(sum("\r\n" in s for s in strings.values()) >= 3, "too few multi-line strings")
    check(not any("\0" in s for s in strings.values()), "embedded NUL in a string")

    # menus
    menus = {}
    for (t, n), data in leaves.items():
        if t == RT_MENU:
            items, end = menu_items(data)
            check(end == len(data), "menu %d: %d trailing bytes" % (n, len(data) - end))
            menus[n] = items
    top = [text for depth, _, _, text in menus.get(100, []) if depth == 0]
    check(sorted(top) == sorted(MAIN_MENU_TOP), "main menu bar %r" % top)
    commands = [(mid, text) for _, flags, mid, text in menus.get(100, []) if mid]
    check(len(commands) == 23, "main menu has %d commands" % len(commands))
    for mid, text in commands:
        check("&" in text, "menu item %d %r has no hotkey" % (mid, text))
        check(mid in strings, "menu item %d has no prompt string" % mid)
    check(len(menus.get(101, [])) >= 5, "context menu too small")

    # dialogs
    dialogs = {}
    for (t, n), data in leaves.items():
        if t == RT_DIALOG:
            d = dialog(data)
            check(align4(d["end"]) >= len(data) >= d["end"],
                  "dialog %d: decoded %d of %d bytes" % (n, d["end"], len(data)))
            dialogs[n] = d
    for n, (ex, caption, size, face, count) in EXPECTED_DIALOGS.items():
        d = dialogs.get(n)
        check(d is not None, "dialog %d missing" % n)
        if d is None:
            continue
        check(d["ex"] == ex and d["caption"] == caption and d["font"][:2] == (size, face)
              and len(d["items"]) == count,
              "dialog %d: ex=%r caption=%r font=%r controls=%d"
              % (n, d["ex"], d["caption"], d["font"], len(d["items"])))
    check(sorted(dialogs) == sorted(EXPECTED_DIALOGS), "dialog ids %r" % sorted(dialogs))

    # icons
    group = leaves.get((RT_GROUP_ICON, 1), b"")
    check(len(group) >= 6, "group icon missing")
    if len(group) >= 6:
        _, _, count = struct.unpack_from("<HHH", group, 0)
        for i in range(count):
            w, h, _, _, _, bpp, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            img = leaves.get((RT_ICON, icon_id), b"")
            check(len(img) == size, "icon %d: size %d vs %d" % (icon_id, len(img), size))
            check(img[:4] == b"\x28\0\0\0" and struct.unpack_from("<ii", img, 4) == (w, 2 * h),
                  "icon %d: bad BITMAPINFOHEADER" % icon_id)

    # version
    root = version_tree(leaves.get((RT_VERSION, 1), b""))[0]
    check(root["key"] == "VS_VERSION_INFO", "version root key")
    fixed = root["value"]
    check(struct.unpack_from("<I", fixed, 0)[0] == 0xFEEF04BD, "VS_FIXEDFILEINFO signature")
    check(fixed[8:16] == struct.pack("<HHHH", 0, 10, 7, 1), "FILEVERSION is not 10.0.1.7")
    tables, trans = {}, None
    for child in root["children"]:
        if child["key"] == "StringFileInfo":
            for table in child["children"]:
                tables[table["key"]] = {v["key"]: v["value"].decode("utf-16-le").rstrip("\0")
                                        for v in table["children"]}
        elif child["key"] == "VarFileInfo":
            trans = child["children"][0]["value"]
    check(tables == {"040904b0": EXPECTED_VERSION}, "version strings %r" % tables)
    check(trans == struct.pack("<HH", 0x0409, 1200), "Translation %r" % trans)

    if failures:
        for f in failures:
            sys.stderr.write("check-sample: %s\n" % f)
        return 1

    counts = {}
    for t, _ in leaves:
        counts[t] = counts.get(t, 0) + 1
    print("%s: ok, %s; %d strings, %d menu items, %d dialog controls"
          % (path.rsplit("/", 1)[-1],
             ", ".join("%d %s" % (counts[t], TYPE_NAMES[t]) for t in sorted(counts)),
             len(strings), sum(len(m) for m in menus.values()),
             sum(len(d["items"]) for d in dialogs.values())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
