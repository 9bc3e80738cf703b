#pragma once
// XLIFF 1.2: one <file> whose <body> holds a <trans-unit> per unit, its id
// the item's address (approved="yes" when translated), with <source>,
// <target state="..."> and a <note> of the item's kind and ID.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "interchange/TranslationUnit.h"
#include "io/Result.h"

namespace quillon {

struct WrittenFile {
    std::string bytes;
    // Units left out because the format cannot carry one of their
    // characters (XML has no form for most control characters).
    std::vector<std::string> leftOut;
};

Result<WrittenFile> WriteXliff(const UnitFile& file);

// Streams the file: no network, no document type (a DOCTYPE is refused, so
// no entity is ever declared or expanded), nesting and text sizes limited
// (TranslationUnit.h). Units in inline markup, units without an id, units
// marked translate="no" and gettext header units are left out and named in
// `skipped`. An address the id does not give may come from a "sourcefile"
// context, where po2xliff puts a PO file's references, or from the PO
// context lconvert keeps ("x-gettext-msgctxt").
Result<UnitFile> ReadXliff(std::span<const std::uint8_t> bytes);

// The characters XML 1.0 can hold: tab, line feed, carriage return and
// everything from U+0020 but the surrogates, U+FFFE and U+FFFF.
bool XmlCanHold(std::string_view utf8);

} // namespace quillon
