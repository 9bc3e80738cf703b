#pragma once
// The checks that compare one translation with its source: placeholders,
// characters the code page cannot hold, length, line breaks, spaces and the
// trailing colon or ellipsis. Both texts are the tree's: code page bytes with
// controls as the escapes \r, \n and \t.

#include <string>
#include <string_view>
#include <vector>

#include "check/Findings.h"
#include "io/CodePage.h"
#include "model/ItemKind.h"

namespace quillon {

// Placeholders of a text: printf conversions (%s, %d, %5.2f, %ls...),
// numbered inserts (%1, %2!d!) and format items ({0}, {1:N2}), in order of
// appearance; "%%" and "{{" are no placeholders.
std::vector<std::string> Placeholders(std::string_view text);

struct TextFinding {
    CheckCode code;
    std::string message; // UTF-8
};

// What the translation of an item of `kind` shows against its source.
std::vector<TextFinding> CheckTexts(std::string_view source, std::string_view translation, ItemKind kind,
                                    const CodePage& codePage);

} // namespace quillon
