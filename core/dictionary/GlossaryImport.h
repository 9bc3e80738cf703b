#pragma once
// Importing glossaries exported by other tools into a dictionary: a
// tab-separated text glossary and a Microsoft glossary (comma- or
// tab-separated). Every usable line becomes an entry for all kinds unless the
// dictionary already knows the source text.

#include <cstddef>
#include <cstdint>
#include <span>

#include "dictionary/Dictionary.h"
#include "extract/Progress.h"
#include "io/CodePage.h"

namespace quillon {

enum class GlossaryFormat { Text, Microsoft };

// The longest line an import reads, in bytes of the file (line ending not
// counted). A line holds two texts, each at most 65,535 UTF-16 units (the
// longest string resource), which is under 400 KiB in UTF-8; anything much
// longer is no glossary line, and reading it would only cost memory. Longer
// lines are skipped and counted in GlossaryReport::tooLong.
inline constexpr std::size_t kMaxGlossaryLineBytes = 1024 * 1024;

struct GlossaryReport {
    std::size_t lines = 0;      // lines in the file
    std::size_t counted = 0;    // lines counted as the format counts them
    std::size_t imported = 0;   // entries added
    std::size_t duplicates = 0; // usable lines whose source text was already in the dictionary
    std::size_t replacedCharacters = 0; // characters the code page cannot hold (Unicode files)
    std::size_t tooLong = 0;    // lines longer than kMaxGlossaryLineBytes, skipped (counted in `lines` only)
};

// `file` is the glossary's bytes: with a UTF-8 or UTF-16 byte-order mark it is
// converted to `codePage`, otherwise it is taken as text in that code page.
// Lines are read one at a time from `file`, so the import needs little
// memory besides the file and the entries it adds.
GlossaryReport ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format, CDictonary& dictionary,
                              const CodePage& codePage, IProgress* progress = nullptr);

} // namespace quillon
