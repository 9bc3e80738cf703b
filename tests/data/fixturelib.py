"""Small helpers shared by make-corrupt.py and check-fixtures.py.

pefile finds the resource tree; the template walkers here are just
enough to locate fields for patching and to double-check what windres
produced.  They are deliberately strict and only meant for the
well-formed fixtures.
"""
import struct

import pefile

RT_MENU = 4
RT_DIALOG = 5
RT_STRING = 6
RT_VERSION = 16


def load(path):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    return pe


def _match(entry, key):
    if isinstance(key, str):
        return entry.name is not None and str(entry.name) == key
    return entry.name is None and entry.id == key


def find(pe, rtype, name, lang=None):
    """Return (type_entry, name_entry, lang_entry) for a resource."""
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if not _match(t, rtype):
            continue
        for n in t.directory.entries:
            if not _match(n, name):
                continue
            for l in n.directory.entries:
                if lang is None or l.id == lang:
                    return t, n, l
    raise KeyError((rtype, name, lang))


def leaf_bytes(pe, rtype, name, lang=None):
    _, _, l = find(pe, rtype, name, lang)
    d = l.data.struct
    return pe.get_data(d.OffsetToData, d.Size)


def leaf_file_offset(pe, rtype, name, lang=None):
    """File offset of the leaf's data (not of its data entry)."""
    _, _, l = find(pe, rtype, name, lang)
    return pe.get_offset_from_rva(l.data.struct.OffsetToData)


def all_leaves(pe):
    out = []
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for l in n.directory.entries:
                tk = str(t.name) if t.name is not None else t.id
                nk = str(n.name) if n.name is not None else n.id
                d = l.data.struct
                out.append((tk, nk, l.id, pe.get_data(d.OffsetToData, d.Size)))
    return out


# ---------------------------------------------------------------- strings

def string_block(data):
    """Decode one RT_STRING block into a list of 16 (offset, text|None)."""
    out = []
    off = 0
    for _ in range(16):
        (n,) = struct.unpack_from("<H", data, off)
        text = data[off + 2:off + 2 + 2 * n].decode("utf-16-le") if n else None
        out.append((off, text))
        off += 2 + 2 * n
    return out


# ---------------------------------------------------------------- helpers

def read_sz(data, off):
    end = off
    while data[end:end + 2] != b"\0\0":
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


# ---------------------------------------------------------------- menus

def menu_items(data):
    """Walk a classic MENU template.

    Returns a flat list of dicts: depth, offset (of the option word),
    flags, id (None for popups), text, text_offset.
    """
    ver, hdr = struct.unpack_from("<HH", data, 0)
    assert ver == 0, "not a classic menu"
    items = []

    def walk(off, depth):
        while True:
            (flags,) = struct.unpack_from("<H", data, off)
            item = {"depth": depth, "offset": off, "flags": flags}
            off += 2
            if flags & 0x10:
                item["id"] = None
            else:
                (item["id"],) = struct.unpack_from("<H", data, off)
                off += 2
            item["text_offset"] = off
            item["text"], off = read_sz(data, off)
            items.append(item)
            if flags & 0x10:
                off = walk(off, depth + 1)
            if flags & 0x80:
                return off

    walk(4 + hdr, 0)
    return items


def menuex_items(data):
    ver, hdr = struct.unpack_from("<HH", data, 0)
    assert ver == 1, "not an extended menu"
    items = []

    def walk(off, depth):
        while True:
            mtype, state, mid, resinfo = struct.unpack_from("<IIIH", data, off)
            text, off = read_sz(data, off + 14)
            off = align4(off)
            items.append({"depth": depth, "type": mtype, "state": state,
                          "id": mid, "resinfo": resinfo, "text": text})
            if resinfo & 0x01:
                off += 4          # dwHelpId
                off = walk(off, depth + 1)
            if resinfo & 0x80:
                return off

    walk(4 + hdr, 0)
    return items


# ---------------------------------------------------------------- dialogs

def dialog(data):
    """Decode a DIALOG or DIALOGEX template into a dict."""
    d = {}
    ex = struct.unpack_from("<HH", data, 0) == (1, 0xFFFF)
    d["ex"] = ex
    if ex:
        (_, _, d["help"], d["exstyle"], d["style"], count,
         d["x"], d["y"], d["cx"], d["cy"]) = struct.unpack_from("<HHIIIHhhhh", data, 0)
        off = 26
    else:
        (d["style"], d["exstyle"], count,
         d["x"], d["y"], d["cx"], d["cy"]) = struct.unpack_from("<IIHhhhh", data, 0)
        off = 18
    d["count_offset"] = 16 if ex else 8
    d["menu"], off = read_sz_or_ord(data, off)
    d["class"], off = read_sz_or_ord(data, off)
    d["caption"], off = read_sz(data, off)
    d["font"] = None
    if d["style"] & 0x48:                      # DS_SETFONT | DS_SHELLFONT
        if ex:
            size, weight, italic, charset = struct.unpack_from("<HHBB", data, off)
            off += 6
        else:
            (size,) = struct.unpack_from("<H", data, off)
            weight = italic = charset = None
            off += 2
        face, off = read_sz(data, off)
        d["font"] = (size, face, weight, italic, charset)
    d["header_end"] = off
    items = []
    for _ in range(count):
        off = align4(off)
        it = {"offset": off}
        if ex:
            (it["help"], it["exstyle"], it["style"], it["x"], it["y"],
             it["cx"], it["cy"], it["id"]) = struct.unpack_from("<IIIhhhhI", data, off)
            off += 24
        else:
            (it["style"], it["exstyle"], it["x"], it["y"],
             it["cx"], it["cy"], it["id"]) = struct.unpack_from("<IIhhhhH", data, off)
            off += 18
        it["class"], off = read_sz_or_ord(data, off)
        it["title"], off = read_sz_or_ord(data, off)
        (n,) = struct.unpack_from("<H", data, off)
        # DIALOG: the count includes its own WORD; DIALOGEX: it does not.
        it["extra"] = data[off + 2:off + 2 + n] if ex else data[off + 2:off + n]
        off += 2 + n if ex else max(n, 2)
        items.append(it)
    d["items"] = items
    d["end"] = off
    return d


# ---------------------------------------------------------------- version

def version_tree(data, off=0, end=None):
    """Walk a VS_VERSIONINFO block; returns a list of nested dicts."""
    if end is None:
        end = len(data)
    nodes = []
    while off + 6 <= end:
        length, vlen, vtype = struct.unpack_from("<HHH", data, off)
        if length == 0:
            break
        key, p = read_sz(data, off + 6)
        p = align4(p)
        vbytes = vlen * 2 if vtype == 1 else vlen
        value = data[p:p + vbytes]
        node = {"offset": off, "length": length, "vlen": vlen, "type": vtype,
                "key": key, "value": value}
        p = align4(p + vbytes)
        node["children"] = version_tree(data, p, off + length)
        nodes.append(node)
        off = align4(off + length)
    return nodes
