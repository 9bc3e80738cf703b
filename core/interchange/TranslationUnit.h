#pragma once
// The one shape every interchange format is read into and written from: a
// unit per translatable item, in UTF-8, with the item's address, its source
// and target in the form Windows shows them ('&' before the hotkey, "&&" for
// a literal '&', line breaks and tabs as the characters themselves), a state
// and notes. The project maps to units once (ProjectUnits.h); each format
// has one reader and one writer of units.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class UnitState {
    Untranslated, // XLIFF state="new" (or no target), PO empty msgstr
    Translated,   // XLIFF state="translated", PO plain entry
    NeedsReview,  // XLIFF state="needs-review-translation", PO "#, fuzzy"
};

struct TranslationUnit {
    std::string id;     // the item's address (ItemPath text)
    std::string source; // UTF-8, Windows form
    std::string target; // UTF-8, Windows form; empty when untranslated
    UnitState state = UnitState::Untranslated;
    std::vector<std::string> notes; // for the translator: kind and ID of the item
    bool operator==(const TranslationUnit&) const = default;
};

struct UnitFile {
    std::string original;       // the module's file name
    std::string sourceLanguage; // BCP 47 tags ("en-US", "de")
    std::string targetLanguage;
    std::string translator; // "Name <e-mail>", UTF-8; written by the formats that have room for it
    std::int64_t revised = 0; // when the project was last saved, seconds since 1970 (UTC); 0: never
    std::vector<TranslationUnit> units;
    // Units a reader met but could not take (no address, plural forms...):
    // what it found, for the import report.
    std::vector<std::string> skipped;
};

// Limits that keep a hostile file from costing more than a small multiple
// of its size: the deepest XML nesting a reader follows, the longest text
// of one unit (the longest Windows resource text is 64 KiB of UTF-16), and
// the largest file read at all.
inline constexpr int kMaxXmlDepth = 32;
inline constexpr std::size_t kMaxUnitText = 1u << 20;
inline constexpr std::size_t kMaxInterchangeFile = 256u << 20;

} // namespace quillon
