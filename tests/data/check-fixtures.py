#!/usr/bin/python3
"""Decode the fixture modules with pefile and check their exact content.

usage: check-fixtures.py MODULES_DIR

build-fixtures.sh runs this after linking, so a windres change that
alters what the C++ tests rely on is caught here first.
"""
import os
import sys

sys.dont_write_bytecode = True
import fixturelib as fl  # noqa: E402

LONG = "L" + "x" * 2998 + "E"

BASIC_STRINGS = {
    1: "Hello",
    2: "A\tB\r\n",
    5: "Gap after two",
    15: "Last slot of block 1",
    16: "First of block 2",
    40: "Grüße € ä",
    41: "日本語テキスト",
    100: LONG,
    4095: "High block",
    65535: "Last ID",
}

# (depth, flags, id, text); id None = popup
BASIC_MENU = [
    (0, 0x10, None, "&File"),
    (1, 0x00, 1001, "&Open\tCtrl+O"),
    (1, 0x00, 1002, "Save && Exit"),
    (1, 0x00, 1003, "Save && E&xit"),
    (1, 0x00, 0, ""),
    (1, 0x00, 0, "Separator text"),
    (1, 0x00, 1004, "Trailing&"),
    (1, 0x90, None, "&Level2"),
    (2, 0x10, None, "Level&3"),
    (3, 0x81, 1005, "Deep &item"),
    (2, 0x80, 1006, "After deep"),
    (0, 0x10, None, "&Edit"),
    (1, 0x88, 1101, "&Copy"),
    (0, 0x80, 1200, "&Help"),
]

# (id, class, title)
DIALOG_200 = [
    (201, 0x82, "&Name:"),
    (202, 0x81, ""),
    (203, 0x80, "&Browse..."),
    (1, 0x80, "OK"),
    (0xFFFF, 0x82, 1),
    (204, "MYCUSTOMCLASS", "Custom &text"),
    (205, 0x80, "Tab\there"),
    (206, "SYSLISTVIEW32", ""),
]

DIALOG_201 = [
    (70000, 0x82, "&Label", b""),
    (2, 0x80, "Cancel", b""),
    (70001, "BUTTON", "Check &me", b""),
    (2003, 0x80, "Data", b"\x01\x00\x02\x00\x03\x00"),
]

# update-v1.exe / update-v2.exe: old and new version of one module.
UPDATE = {
    "v1": {
        # (type, name) of every leaf, all language 0x0409
        "leaves": {(4, 100), (4, 101), (5, 200), (5, 300), (5, 400), (5, 600),
                   (6, 1), (6, 7), (16, 1)},
        "strings": {1: "Unchanged", 2: "Old text", 3: "Moves away",
                    4: "Removed string", 100: "Also unchanged"},
        "menus": {
            100: [
                (0, 0x10, None, "&File"),
                (1, 0x00, 101, "&Open"),
                (1, 0x00, 0, ""),
                (1, 0x80, 102, "E&xit"),
                (0, 0x10, None, "&Edit"),
                (1, 0x00, 201, "&Copy"),
                (1, 0x00, 202, "&Paste"),
                (1, 0x80, 203, "&Delete"),
                (0, 0x90, None, "&View"),
                (1, 0x90, None, "&Zoom"),
                (2, 0x00, 301, "Zoom &in"),
                (2, 0x80, 302, "Zoom &out"),
            ],
            101: [(0, 0x80, 501, "Gone")],
        },
        # caption, size, [(id, class, title, (x, y, cx, cy))]
        "dialogs": {
            200: ("Same dialog", (160, 60), [
                (201, 0x82, "&Name:", (7, 7, 40, 8)),
                (202, 0x81, "", (50, 5, 100, 12)),
                (1, 0x80, "OK", (100, 40, 50, 14))]),
            300: ("Changed dialog", (160, 70), [
                (301, 0x82, "&First:", (7, 7, 40, 8)),
                (302, 0x81, "", (60, 5, 90, 12)),
                (303, 0x80, "&Remove me", (7, 25, 60, 14)),
                (1, 0x80, "OK", (100, 50, 50, 14))]),
            400: ("Removed dialog", (120, 40), [
                (401, 0x80, "&Stop", (35, 15, 50, 14))]),
            600: ("Old caption", (120, 40), [
                (2, 0x80, "Close", (35, 15, 50, 14))]),
        },
        # StringFileInfo tables in order, each with its values in order
        "version": {"040904b0": [("CompanyName", "Update Fixtures"),
                                 ("FileDescription", "Version one"),
                                 ("FileVersion", "1.0.0.0"),
                                 ("ProductName", "Updater"),
                                 ("LegalCopyright", "Old")]},
        "translation": "0904b004",
        "fileversion": "0000010000000000",       # 1.0.0.0
        "productversion": "0000010000000000",
    },
    "v2": {
        "leaves": {(4, 100), (4, 102), (5, 200), (5, 300), (5, 500), (5, 600),
                   (6, 1), (6, 2), (6, 7), (16, 1)},
        "strings": {1: "Unchanged", 2: "New text", 5: "Added string",
                    20: "Moves away", 100: "Also unchanged"},
        "menus": {
            100: [
                (0, 0x10, None, "&File"),
                (1, 0x00, 101, "&Open"),
                (1, 0x00, 103, "&Save"),
                (1, 0x00, 0, ""),
                (1, 0x00, 102, "E&xit"),
                (1, 0x00, 0, ""),
                (1, 0x80, 104, "&Recent"),
                (0, 0x10, None, "&Edit"),
                (1, 0x00, 201, "&Copy text"),
                (1, 0x80, 203, "&Delete"),
                (0, 0x10, None, "&View"),
                (1, 0x90, None, "&Zoom"),
                (2, 0x00, 301, "Zoom &in"),
                (2, 0x00, 302, "Zoom &out"),
                (2, 0x80, 303, "&Reset zoom"),
                (0, 0x80, 401, "&Help"),
            ],
            102: [(0, 0x80, 601, "&Brand new")],
        },
        "dialogs": {
            200: ("Same dialog", (160, 60), [
                (201, 0x82, "&Name:", (7, 7, 40, 8)),
                (202, 0x81, "", (50, 5, 100, 12)),
                (1, 0x80, "OK", (100, 40, 50, 14))]),
            300: ("Changed dialog", (160, 70), [
                (301, 0x82, "&First:", (7, 9, 50, 8)),
                (302, 0x81, "", (60, 5, 90, 12)),
                (304, 0x80, "&New option", (7, 25, 80, 10)),
                (1, 0x80, "OK", (100, 50, 50, 14))]),
            500: ("Added dialog", (120, 40), [
                (501, 0x80, "&Go", (35, 15, 50, 14))]),
            600: ("New caption", (120, 40), [
                (2, 0x80, "Close", (35, 15, 50, 14))]),
        },
        "version": {"040904b0": [("CompanyName", "Update Fixtures"),
                                 ("FileDescription", "Version two"),
                                 ("FileVersion", "2.0.0.0"),
                                 ("ProductName", "Updater"),
                                 ("Comments", "Added in two")]},
        "translation": "0904b004",
        "fileversion": "0000020000000000",       # 2.0.0.0
        "productversion": "0000010000000000",
    },
}


def keys_version(desc, desc_de, fileversion):
    return {"040904b0": [("CompanyName", "Keys Fixtures"),
                         ("FileDescription", desc),
                         ("FileVersion", fileversion)],
            "040704b0": [("CompanyName", "Keys Fixtures"),
                         ("FileDescription", desc_de),
                         ("FileVersion", fileversion)]}


# update-keys-a.exe / update-keys-b.exe: the second old/new pair, about
# finding an item again.  MENU 100 has two popups with the same (empty)
# text, MENU 101 two items with the same id; both menus are unchanged.
KEYS_MENU_100 = [
    (0, 0x10, None, ""),
    (1, 0x00, 401, "Cu&t"),
    (1, 0x80, 402, "&Copy"),
    (0, 0x90, None, ""),
    (1, 0x80, 403, "&Rename"),
]
KEYS_MENU_101 = [
    (0, 0x90, None, "&File"),
    (1, 0x00, 500, "&First"),
    (1, 0x00, 500, "&Second"),
    (1, 0x00, 0, ""),
    (1, 0x80, 502, "E&xit"),
]
UPDATE["keys-a"] = {
    "leaves": {(4, 100), (4, 101), (4, 102), (5, 200), (5, 300),
               (6, 1), (6, 3), (16, 1)},
    "strings": {1: "Same", 3: "Moves to twenty", 7: "Seven", 40: "Forty"},
    "menus": {
        100: KEYS_MENU_100,
        101: KEYS_MENU_101,
        102: [
            (0, 0x10, None, "&Alpha"),
            (1, 0x80, 601, "Alpha &one"),
            (0, 0x90, None, "&Beta"),
            (1, 0x80, 701, "Beta &one"),
        ],
    },
    "dialogs": {
        200: ("Find", (180, 70), [
            (201, 0x82, "Fi&nd what:", (7, 7, 50, 8)),
            (202, 0x81, "", (60, 5, 110, 12)),
            (203, 0x80, "&Change me", (7, 30, 60, 14)),
            (1, 0x80, "OK", (120, 50, 50, 14))]),
        300: ("Old title", (120, 50), [
            (301, 0x82, "&Label:", (7, 7, 40, 8)),
            (2, 0x80, "Cancel", (60, 30, 50, 14))]),
    },
    "version": keys_version("Keys A", "Schlüssel A", "1.0.0.0"),
    "translation": "0904b004" "0704b004",
    "fileversion": "0000010000000000",           # 1.0.0.0
    "productversion": "0000010000000000",
}
UPDATE["keys-b"] = {
    "leaves": {(4, 100), (4, 101), (4, 102), (5, 200), (5, 300),
               (6, 1), (6, 2), (6, 3), (16, 1)},
    "strings": {1: "Same", 5: "Inserted five", 7: "Seven", 20: "Moves to twenty",
                40: "Forty"},
    "menus": {
        100: KEYS_MENU_100,
        101: KEYS_MENU_101,
        102: [
            (0, 0x10, None, "&Beta"),
            (1, 0x80, 701, "Beta &one"),
            (0, 0x90, None, "&Alpha"),
            (1, 0x80, 601, "Alpha &one"),
        ],
    },
    "dialogs": {
        200: ("Find", (180, 70), [
            (204, 0x82, "Fi&nd what:", (7, 7, 50, 8)),
            (202, 0x81, "", (60, 5, 110, 12)),
            (203, 0x80, "&Changed text", (7, 30, 60, 14)),
            (1, 0x80, "OK", (120, 50, 50, 14))]),
        300: ("New title", (120, 50), [
            (301, 0x82, "&Label:", (7, 9, 40, 8)),
            (2, 0x80, "Cancel", (60, 30, 50, 14))]),
    },
    "version": keys_version("Keys B", "Schlüssel B", "2.0.0.0"),
    "translation": "0904b004" "0704b004",
    "fileversion": "0000020000000000",           # 2.0.0.0
    "productversion": "0000020000000000",
}

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def strings_of(pe, lang=None):
    out = {}
    for t, n, l, data in fl.all_leaves(pe):
        if t != fl.RT_STRING or (lang is not None and l != lang):
            continue
        for i, (_, text) in enumerate(fl.string_block(data)):
            if text is not None:
                out[((n - 1) * 16 + i, l)] = text
    return out


def version_strings(data):
    root = fl.version_tree(data)[0]
    out = {}
    trans = None
    for child in root["children"]:
        if child["key"] == "StringFileInfo":
            for table in child["children"]:
                out[table["key"]] = {
                    v["key"]: v["value"].decode("utf-16-le").rstrip("\0")
                    for v in table["children"]}
        elif child["key"] == "VarFileInfo":
            trans = child["children"][0]["value"]
    return root, out, trans


def check_basic(path):
    pe = fl.load(path)
    name = os.path.basename(path)
    langs = {l for _, _, l, _ in fl.all_leaves(pe)}
    check(langs == {0x0409}, "%s: languages %r" % (name, langs))

    got = {i: s for (i, _), s in strings_of(pe).items()}
    check(got == BASIC_STRINGS, "%s: string table differs" % name)
    check(len(got.get(100, "")) == 3000, "%s: string 100 length" % name)

    items = fl.menu_items(fl.leaf_bytes(pe, fl.RT_MENU, 100))
    check([(i["depth"], i["flags"], i["id"], i["text"]) for i in items] == BASIC_MENU,
          "%s: MENU 100 differs" % name)

    ex = fl.menuex_items(fl.leaf_bytes(pe, fl.RT_MENU, 101))
    check([(i["depth"], i["id"], i["text"], i["type"]) for i in ex] ==
          [(0, 2000, "&View", 0), (1, 2001, "&Zoom", 0), (1, 0, "", 0x800)],
          "%s: MENUEX 101 differs" % name)

    named = fl.menu_items(fl.leaf_bytes(pe, fl.RT_MENU, "NAMEDMENU"))
    check([(i["id"], i["text"]) for i in named] == [(3001, "Named")],
          "%s: NAMEDMENU differs" % name)

    d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 200))
    check(not d["ex"] and d["caption"] == "Opt&ions"
          and d["font"][:2] == (8, "MS Sans Serif")
          and (d["cx"], d["cy"]) == (200, 120), "%s: DIALOG 200 header" % name)
    check([(i["id"], i["class"], i["title"]) for i in d["items"]] == DIALOG_200,
          "%s: DIALOG 200 controls" % name)

    d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 201))
    check(d["ex"] and d["caption"] == "Extended && more"
          and d["font"] == (9, "Segoe UI", 700, 1, 0xCC), "%s: DIALOGEX 201 header" % name)
    check([(i["id"], i["class"], i["title"], i["extra"]) for i in d["items"]] == DIALOG_201,
          "%s: DIALOGEX 201 controls" % name)

    d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 202))
    check(d["caption"] == "" and d["font"] is None and d["items"] == [],
          "%s: DIALOG 202" % name)

    d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 203))
    check(d["caption"] == "" and d["font"][:2] == (8, "MS Shell Dlg")
          and [(i["id"], i["title"]) for i in d["items"]] == [(301, "")],
          "%s: DIALOG 203" % name)

    d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, "NAMEDDLG"))
    check(d["caption"] == "Named dialog"
          and [(i["id"], i["title"]) for i in d["items"]] == [(1, "OK")],
          "%s: NAMEDDLG" % name)

    root, tables, trans = version_strings(fl.leaf_bytes(pe, fl.RT_VERSION, 1))
    check(tables == {
        "040904b0": {"CompanyName": "Quillon Fixtures",
                     "FileDescription": "Basic fixture",
                     "FileVersion": "1.2.3.4",
                     "Comments": "",
                     "ProductName": "Basic"},
        "040704b0": {"CompanyName": "Quillon Testdaten",
                     "FileDescription": "Einfaches Beispiel"},
    }, "%s: version strings %r" % (name, tables))
    check(trans == bytes.fromhex("0904b004" "0704b004"), "%s: Translation" % name)
    check(root["value"][8:16] == bytes.fromhex("0200010004000300"),
          "%s: FILEVERSION" % name)

    check(fl.leaf_bytes(pe, "TEXTFILE", "HELLO") == b"abc", "%s: TEXTFILE" % name)
    check(len(fl.leaf_bytes(pe, 3, 1)) > 0 and len(fl.leaf_bytes(pe, 14, 1)) > 0,
          "%s: icon" % name)


def check_multilang(path):
    pe = fl.load(path)
    got = strings_of(pe)
    check(got == {
        (1, 0x0407): "Hallo", (1, 0x0409): "Hello", (1, 0x0000): "Neutral hello",
        (17, 0x0000): "Neutral 17", (17, 0x0409): "English 17",
        (33, 0x0409): "English 33", (33, 0x040C): "Francais 33",
        (49, 0x040C): "Francais 49", (49, 0x0410): "Italiano 49",
    }, "multilang: strings %r" % got)
    for lang, caption, button in ((0x0409, "English dialog", "OK"),
                                  (0x0407, "Deutscher Dialog", "&Abbrechen")):
        d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, 100, lang))
        check(d["caption"] == caption
              and [(i["id"], i["title"]) for i in d["items"]] == [(1, button)],
              "multilang: dialog %04x" % lang)
    for lang, text in ((0x0409, "&Exit"), (0x040C, "&Quitter")):
        m = fl.menu_items(fl.leaf_bytes(pe, fl.RT_MENU, 100, lang))
        check([(i["id"], i["text"]) for i in m] == [(100, text)],
              "multilang: menu %04x" % lang)
    _, _, l = fl.find(pe, fl.RT_VERSION, 1)
    check(l.id == 0x0407, "multilang: version language")
    _, tables, trans = version_strings(fl.leaf_bytes(pe, fl.RT_VERSION, 1))
    check(tables == {"040704e4": {"CompanyName": "Mehrsprachig"}},
          "multilang: version strings %r" % tables)
    check(trans == bytes.fromhex("0704e404"), "multilang: Translation")


def check_notranslation(path):
    pe = fl.load(path)
    check(strings_of(pe) == {(1, 0x0415): "Only string"}, "notranslation: strings")
    root, tables, trans = version_strings(fl.leaf_bytes(pe, fl.RT_VERSION, 1, 0x0415))
    check([c["key"] for c in root["children"]] == ["StringFileInfo"],
          "notranslation: unexpected version children")
    check(tables == {"041504e2": {"CompanyName": "Bez tlumaczenia", "ProductName": "Test"}},
          "notranslation: version strings %r" % tables)
    check(trans is None, "notranslation: has a Translation value")
    check(root["value"][8:16] == bytes.fromhex("0600050008000700"),
          "notranslation: FILEVERSION")


def check_paths(path):
    pe = fl.load(path)
    check(strings_of(pe) == {(1, 0x0409): "Saved to C:\\temp\\new\\report.txt",
                             (2, 0x0409): "Share: \\\\server\\root",
                             (3, 0x0409): "Ends with a backslash \\\nand a line break",
                             (4, 0x0409): "Open"},
          "paths: strings %r" % strings_of(pe))


def check_nores(path):
    pe = fl.load(path)
    rsrc = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
    check(rsrc.VirtualAddress == 0 and rsrc.Size == 0, "nores: resource directory set")
    check(not any(s.Name.rstrip(b"\0") == b".rsrc" for s in pe.sections),
          "nores: has .rsrc")


def check_update(path, which):
    exp = UPDATE[which]
    pe = fl.load(path)
    name = os.path.basename(path)
    leaves = fl.all_leaves(pe)
    check({l for _, _, l, _ in leaves} == {0x0409}, "%s: languages" % name)
    present = {(t, n) for t, n, _, _ in leaves}
    check(present == exp["leaves"] and len(leaves) == len(present),
          "%s: leaves %r" % (name, sorted(present, key=str)))
    if not exp["leaves"] <= present:
        return pe                  # the walks below would only raise KeyError

    got = {i: s for (i, _), s in strings_of(pe).items()}
    check(got == exp["strings"], "%s: strings %r" % (name, got))

    for mid, want in exp["menus"].items():
        items = fl.menu_items(fl.leaf_bytes(pe, fl.RT_MENU, mid))
        check([(i["depth"], i["flags"], i["id"], i["text"]) for i in items] == want,
              "%s: MENU %d differs" % (name, mid))

    for did, (caption, size, want) in exp["dialogs"].items():
        d = fl.dialog(fl.leaf_bytes(pe, fl.RT_DIALOG, did))
        check(not d["ex"] and d["style"] == 0x80C800C0 and d["caption"] == caption
              and d["font"][:2] == (8, "MS Shell Dlg")
              and (d["x"], d["y"], d["cx"], d["cy"]) == (0, 0) + size,
              "%s: DIALOG %d header" % (name, did))
        check([(i["id"], i["class"], i["title"], (i["x"], i["y"], i["cx"], i["cy"]))
               for i in d["items"]] == want,
              "%s: DIALOG %d controls" % (name, did))

    root = fl.version_tree(fl.leaf_bytes(pe, fl.RT_VERSION, 1))[0]
    check([c["key"] for c in root["children"]] == ["StringFileInfo", "VarFileInfo"],
          "%s: version children" % name)
    sfi, vfi = root["children"]
    check([t["key"] for t in sfi["children"]] == list(exp["version"]),
          "%s: string tables" % name)
    tables = {t["key"]: [(v["key"], v["value"].decode("utf-16-le").rstrip("\0"))
                         for v in t["children"]]
              for t in sfi["children"]}
    check(tables == exp["version"], "%s: version strings %r" % (name, tables))
    check(vfi["children"][0]["value"] == bytes.fromhex(exp["translation"]),
          "%s: Translation" % name)
    check(root["value"][8:16] == bytes.fromhex(exp["fileversion"]),
          "%s: FILEVERSION" % name)
    check(root["value"][16:24] == bytes.fromhex(exp["productversion"]),
          "%s: PRODUCTVERSION" % name)
    return pe


def check_update_pair(v1_path, v2_path):
    v1 = check_update(v1_path, "v1")
    v2 = check_update(v2_path, "v2")

    def pair(rtype, rname):
        try:
            return fl.leaf_bytes(v1, rtype, rname), fl.leaf_bytes(v2, rtype, rname)
        except KeyError:
            check(False, "update: %r %r missing" % (rtype, rname))
            return b"", b"?"

    a, b = pair(fl.RT_DIALOG, 200)
    check(a == b, "update: DIALOG 200 bytes differ between v1 and v2")
    a, b = pair(fl.RT_STRING, 7)
    check(a == b, "update: STRING block 7 differs between v1 and v2")
    a, b = pair(fl.RT_DIALOG, 300)
    check(a != b, "update: DIALOG 300 bytes are the same")
    # DIALOG 600: only the caption text differs (both captions are 11 units).
    a, b = pair(fl.RT_DIALOG, 600)
    old, new = "Old caption".encode("utf-16-le"), "New caption".encode("utf-16-le")
    check(a.count(old) == 1 and a.replace(old, new) == b,
          "update: DIALOG 600 differs by more than its caption")


def utf16(text):
    return text.encode("utf-16-le")


def top_level_subtrees(menu):
    """Split a classic menu into its top-level items (popups with their
    children), each with the MF_END bit of its first word cleared."""
    starts = [i["offset"] for i in fl.menu_items(menu) if i["depth"] == 0]
    ends = starts[1:] + [len(menu)]
    return [bytes([menu[s] & ~0x80]) + menu[s + 1:e] for s, e in zip(starts, ends)]


def controls(template):
    """Every field of every control, without the offsets."""
    return [{k: v for k, v in it.items() if k != "offset"}
            for it in fl.dialog(template)["items"]]


def check_keys_pair(a_path, b_path):
    a = check_update(a_path, "keys-a")
    b = check_update(b_path, "keys-b")
    for pe, which in ((a, "keys-a"), (b, "keys-b")):
        if not UPDATE[which]["leaves"] <= {(t, n) for t, n, _, _ in fl.all_leaves(pe)}:
            return                 # check_update has reported it already

    def pair(rtype, rname):
        return fl.leaf_bytes(a, rtype, rname), fl.leaf_bytes(b, rtype, rname)

    for rtype, rname in ((fl.RT_MENU, 100), (fl.RT_MENU, 101), (fl.RT_STRING, 3)):
        old, new = pair(rtype, rname)
        check(old == new, "update-keys: %r %r differs between a and b" % (rtype, rname))

    # MENU 102: the same two popups, in the other order (only MF_END moves).
    old, new = pair(fl.RT_MENU, 102)
    check(old[:4] == new[:4] and len(old) == len(new)
          and top_level_subtrees(old) == top_level_subtrees(new)[::-1],
          "update-keys: MENU 102 is more than its popups swapped")

    # DIALOG 200: same header; only the id of the first control and the
    # title of 203 change (the OK button moves 4 bytes with the longer title).
    old, new = pair(fl.RT_DIALOG, 200)
    end = fl.dialog(old)["header_end"]
    want = controls(old)
    want[0]["id"], want[2]["title"] = 204, "&Changed text"
    check(old[:end] == new[:end] and want == controls(new),
          "update-keys: DIALOG 200 differs by more than 201->204 and 203's title")

    # DIALOG 300: the caption (same length) and the y of 301, nothing else.
    old, new = pair(fl.RT_DIALOG, 300)
    renamed = old.replace(utf16("Old title"), utf16("New title"))
    y = fl.dialog(old)["items"][0]["offset"] + 10
    diff = [i for i in range(min(len(renamed), len(new))) if renamed[i] != new[i]]
    check(len(old) == len(new) and diff == [y] and new[y:y + 2] == b"\x09\x00",
          "update-keys: DIALOG 300 differs at %r" % diff)

    # VERSION 1: both tables keep their layout; only the version numbers
    # (fixed block and strings) and the description suffix change.
    old, new = pair(fl.RT_VERSION, 1)
    edited = old
    for before, after in (("Keys A", "Keys B"), ("Schlüssel A", "Schlüssel B"),
                          ("1.0.0.0", "2.0.0.0")):
        edited = edited.replace(utf16(before), utf16(after))
    fixed = fl.version_tree(old)[0]["value"]
    at = old.find(fixed) + 8               # dwFileVersionMS .. dwProductVersionLS
    check(edited[:at] + edited[at + 16:] == new[:at] + new[at + 16:],
          "update-keys: VERSION 1 differs by more than its version numbers")


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check-fixtures.py MODULES_DIR\n")
        return 2
    m = argv[1]
    for f in ("basic32.exe", "basic64.exe", "unstripped64.exe"):
        check_basic(os.path.join(m, f))
    check_multilang(os.path.join(m, "multilang.dll"))
    check_notranslation(os.path.join(m, "notranslation.dll"))
    check_nores(os.path.join(m, "nores.exe"))
    check_paths(os.path.join(m, "paths.exe"))
    check_update_pair(os.path.join(m, "update-v1.exe"),
                      os.path.join(m, "update-v2.exe"))
    check_keys_pair(os.path.join(m, "update-keys-a.exe"),
                    os.path.join(m, "update-keys-b.exe"))
    for f in failures:
        sys.stderr.write("FAIL: %s\n" % f)
    if failures:
        return 1
    print("fixtures ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
