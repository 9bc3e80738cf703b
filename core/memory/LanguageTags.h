#pragma once
// The memory names languages by their primary language subtag ("de", "en",
// "sr"), lower-case: TMX and every other interchange format speak tags, and
// a project's Windows language identifier maps to exactly one of them by its
// primary language (as the language table of core/extract does). Regions and
// scripts are dropped, so "de-AT" and "de-DE" share one memory.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The tag of a Windows language identifier; "" when the table has no row for it.
std::string LanguageTag(std::uint16_t language);
// The canonical primary subtag of a tag ("de-DE" -> "de", "nb" -> "no",
// "x-foo" kept whole); none when the text is no tag.
std::optional<std::string> PrimaryTag(std::string_view tag);
// A language as a user names it: an English name or identifier
// (ParseLanguage) or a tag; none otherwise.
std::optional<std::string> TagFromUser(std::string_view text);

} // namespace quillon
