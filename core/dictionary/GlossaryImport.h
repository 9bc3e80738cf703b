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

struct GlossaryReport {
    std::size_t lines = 0;      // lines in the file
    std::size_t counted = 0;    // lines counted as the format counts them
    std::size_t imported = 0;   // entries added
    std::size_t duplicates = 0; // usable lines whose source text was already in the dictionary
    std::size_t replacedCharacters = 0; // characters the code page cannot hold (Unicode files)
};

// `file` is the glossary's bytes: with a UTF-8 or UTF-16 byte-order mark it is
// converted to `codePage`, otherwise it is taken as text in that code page.
GlossaryReport ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format, CDictonary& dictionary,
                              const CodePage& codePage, IProgress* progress = nullptr);

} // namespace quillon
