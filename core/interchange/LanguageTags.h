#pragma once
// BCP 47 tags of Windows language identifiers: translation files name their
// source and target languages by them ("de", "en-US", "zh-CN"), and the
// translation memory keys its units by the primary language subtag alone
// ("de", "sr"), so that "de-AT" and "de-DE" share one memory.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// "und" (undetermined) for an identifier no row of the language table knows.
std::string LanguageTag(std::uint16_t language);
// The primary subtag of LanguageTag; "" for an identifier the table does not know.
std::string PrimaryLanguageTag(std::uint16_t language);
// The canonical primary subtag of a tag ("de-DE" -> "de", "nb" -> "no",
// "x-foo" kept whole); none when the text is no tag.
std::optional<std::string> PrimaryTag(std::string_view tag);
// A language as a user names it: an English name or identifier
// (ParseLanguage) or a tag, as its primary subtag; none otherwise.
std::optional<std::string> TagFromUser(std::string_view text);

// The Windows language identifier of a tag ("de-DE", "pt_BR", "sr-Latn"): the
// sub-language where the tag names one the table tells apart (Chinese,
// Portuguese, English, Serbian), else the primary language's target
// identifier; none when the table does not know the primary language.
std::optional<std::uint16_t> LanguageOfTag(std::string_view tag);
// A target language as a user names it: an English name, an identifier or a tag.
std::optional<std::uint16_t> LanguageFromUser(std::string_view text);

} // namespace quillon
