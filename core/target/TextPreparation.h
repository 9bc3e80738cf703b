#pragma once
// From the tree's text back to a template's text, and the check that an
// untranslated item may be written with the module's own original text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon {

// Marks the hotkey as MarkHotkey does ('&' before the hotkey's first
// occurrence as a character of its own, never inside a multi-byte character
// or an escape, unless the text marks it already), then unescapes.
std::string PrepareText(std::string_view text, std::uint16_t hotkey, const CodePage& codePage);

// How extraction turned a template text into the tree's text.
enum class TextRule {
    String,  // 2048-byte buffer, escaped
    Menu,    // 200-byte buffer, escaped, hotkey split
    Control, // 500-byte buffer, escaped, hotkey split
    Caption, // 500-byte buffer
    Version, // as it is
};

// True when reading `original` with `rule` gives exactly the item's source
// text and hotkey, so writing `original` changes nothing the tree says.
bool OriginalMatches(std::u16string_view original, const CResourceItem& item, TextRule rule, const CodePage& codePage);

// The UTF-16 text to write for an item: its translation when translated;
// otherwise the module's original when it still matches the item; otherwise
// the source text (prepared with the hotkey for menus and controls).
std::u16string TextToWrite(const CResourceItem& item, std::optional<std::u16string> original, TextRule rule,
                           const CodePage& codePage);
// The same with the original as the template holds it (UTF-16LE units), read
// only when the item is not translated: in a finished project, hardly ever.
std::u16string TextToWrite(const CResourceItem& item, std::optional<std::span<const std::uint8_t>> originalUnits,
                           TextRule rule, const CodePage& codePage);

} // namespace quillon
