#pragma once
// gettext PO: a header entry, then an entry per unit, its address as msgctxt
// and as a "#:" reference (percent-encoded, as translate-toolkit writes
// them, so that po2xliff keeps it), the notes as "#." comments, and
// "#, fuzzy" for a unit to review. No plural forms.

#include <cstdint>
#include <span>
#include <string>

#include "interchange/TranslationUnit.h"
#include "interchange/Xliff.h"
#include "io/Result.h"

namespace quillon {

WrittenFile WritePo(const UnitFile& file);

// Reads a PO file written in UTF-8 (with or without a byte-order mark).
// Errors name the line. Obsolete entries (#~) and the header are passed
// over; entries with plural forms or without an address are named in
// `skipped`. The address is the msgctxt, or a reference that is one.
Result<UnitFile> ReadPo(std::span<const std::uint8_t> bytes);

} // namespace quillon
