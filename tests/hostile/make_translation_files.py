#!/usr/bin/env python3
"""Writes hostile XLIFF and PO files (each under 20 MB) for `import PROJECT FILE`:
entity expansion, deep nesting, one enormous text, hundreds of thousands of
units whose addresses name nothing, and endless continuation lines.

Usage: make_translation_files.py FOLDER
"""

import os
import sys

folder = sys.argv[1]


def write(name, text):
    with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
        out.write(text)


head = '<?xml version="1.0" encoding="UTF-8"?>\n<xliff version="1.2"><file><body>'
tail = "</body></file></xliff>\n"

entities = "".join(f'<!ENTITY e{i} "{"&e%d;" % (i - 1) * 10 if i else "x" * 10}">' for i in range(10))
write("entities.xlf", f'<?xml version="1.0"?><!DOCTYPE xliff [{entities}]>' + head +
      '<trans-unit id="strings/1"><source>&e9;</source></trans-unit>' + tail)
write("nested.xlf", head + '<trans-unit id="strings/1"><source>' + "<g>" * 1_000_000 + tail)
write("long-text.xlf", head + '<trans-unit id="strings/1"><source>' + "a" * 19_000_000 + "</source></trans-unit>" + tail)
write("many-units.xlf", head + "".join(
    f'<trans-unit id="strings/{100000 + i}"><source>s</source><target>t</target></trans-unit>'
    for i in range(200_000)) + tail)
write("long-text.po", 'msgctxt "strings/1"\nmsgid "' + "a" * 19_000_000 + '"\nmsgstr ""\n')
write("continued.po", 'msgctxt "strings/1"\nmsgid ""\n' + '"ab"\n' * 3_000_000 + 'msgstr ""\n')
write("many-entries.po", "".join(f'msgctxt "strings/{100000 + i}"\nmsgid "s"\nmsgstr "t"\n\n' for i in range(300_000)))
