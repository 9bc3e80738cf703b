#pragma once
// The target languages a project can choose, and what follows from a
// language: its English name and its default ANSI code page.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

struct LanguageRow {
    std::uint16_t id;       // primary language identifier
    std::uint16_t reserved; // always 0
    const char* label;      // English name
};

// 70 rows in their fixed order (the row index is what lists store), ended by
// a row whose identifier is 0.
extern const LanguageRow g_aLanguages[71];

std::span<const LanguageRow> LanguageRows();

inline constexpr std::uint16_t PrimaryLanguage(std::uint16_t language) { return language & 0x3FF; }
inline constexpr std::uint16_t SubLanguage(std::uint16_t language) { return language >> 10; }
// A target language is its row's identifier with sub-language 1.
inline constexpr std::uint16_t TargetLanguageId(std::uint16_t primary) { return primary | 0x0400; }

// English name of a language identifier ("" when no row has its primary
// language). Croatian and Serbian share a primary language; Serbian's
// sub-languages (2 and above) name Serbian.
std::string LanguageName(std::uint16_t language);

// Row of a language named in English ("german", case-insensitive) or given as
// an identifier ("0x0407", "1031", "0x07").
std::optional<std::size_t> FindLanguageRow(std::string_view nameOrId);
// The full identifier for a name or identifier as above (rows give sub-language 1).
std::optional<std::uint16_t> ParseLanguage(std::string_view nameOrId);

// Windows default ANSI code page of a language; 65001 (UTF-8) for languages
// that have none, 1252 for unknown ones.
std::uint32_t DefaultCodePage(std::uint16_t language);

} // namespace quillon
