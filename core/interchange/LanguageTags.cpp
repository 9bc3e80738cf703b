#include "interchange/LanguageTags.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "extract/Languages.h"

namespace quillon {

namespace {

// ISO 639-1 codes of the primary languages of the language table.
constexpr std::array<std::pair<std::uint16_t, const char*>, 69> kPrimaryTags{{
    {0x36, "af"}, {0x1C, "sq"}, {0x01, "ar"}, {0x2B, "hy"}, {0x4D, "as"}, {0x2C, "az"}, {0x2D, "eu"},
    {0x23, "be"}, {0x45, "bn"}, {0x02, "bg"}, {0x03, "ca"}, {0x04, "zh"}, {0x1A, "hr"}, {0x05, "cs"},
    {0x06, "da"}, {0x13, "nl"}, {0x09, "en"}, {0x25, "et"}, {0x38, "fo"}, {0x29, "fa"}, {0x0B, "fi"},
    {0x0C, "fr"}, {0x37, "ka"}, {0x07, "de"}, {0x08, "el"}, {0x47, "gu"}, {0x0D, "he"}, {0x39, "hi"},
    {0x0E, "hu"}, {0x0F, "is"}, {0x21, "id"}, {0x10, "it"}, {0x11, "ja"}, {0x4B, "kn"}, {0x60, "ks"},
    {0x3F, "kk"}, {0x57, "kok"}, {0x12, "ko"}, {0x26, "lv"}, {0x27, "lt"}, {0x2F, "mk"}, {0x3E, "ms"},
    {0x4C, "ml"}, {0x58, "mni"}, {0x4E, "mr"}, {0x61, "ne"}, {0x14, "no"}, {0x48, "or"}, {0x15, "pl"},
    {0x16, "pt"}, {0x46, "pa"}, {0x18, "ro"}, {0x19, "ru"}, {0x4F, "sa"}, {0x59, "sd"}, {0x1B, "sk"},
    {0x24, "sl"}, {0x0A, "es"}, {0x41, "sw"}, {0x1D, "sv"}, {0x49, "ta"}, {0x44, "tt"}, {0x4A, "te"},
    {0x1E, "th"}, {0x1F, "tr"}, {0x22, "uk"}, {0x20, "ur"}, {0x43, "uz"}, {0x2A, "vi"},
}};

// Where one primary language is written in two ways, the sub-language
// decides: Chinese in two scripts, Portuguese and English of two countries,
// Serbian beside Croatian.
constexpr std::array<std::pair<std::uint16_t, const char*>, 9> kFullTags{{
    {0x0404, "zh-TW"}, {0x0804, "zh-CN"}, {0x0C04, "zh-HK"}, {0x1004, "zh-SG"}, {0x0416, "pt-BR"},
    {0x0816, "pt-PT"}, {0x0409, "en-US"}, {0x0809, "en-GB"}, {0x0C1A, "sr"},
}};

// Chinese named by its script rather than a country.
constexpr std::array<std::pair<std::uint16_t, const char*>, 2> kScriptTags{{{0x0804, "zh-Hans"}, {0x0404, "zh-Hant"}}};

// Older or narrower codes of the same primary languages.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kAliases = {{
    {"nb", "no"}, {"nn", "no"}, {"iw", "he"}, {"in", "id"}, {"bs", "hr"},
}};

} // namespace

std::string LanguageTag(std::uint16_t language) {
    for (auto [id, tag] : kFullTags)
        if (id == language) return tag;
    if (SubLanguage(language) >= 2 && PrimaryLanguage(language) == 0x1A) return "sr";
    for (auto [id, tag] : kPrimaryTags)
        if (id == PrimaryLanguage(language)) return tag;
    return "und";
}

std::string PrimaryLanguageTag(std::uint16_t language) {
    std::string tag = LanguageTag(language);
    return tag == "und" ? std::string() : PrimaryTag(tag).value_or(std::string());
}

std::optional<std::string> PrimaryTag(std::string_view tag) {
    std::size_t end = tag.find_first_of("-_");
    std::string primary(tag.substr(0, end));
    std::transform(primary.begin(), primary.end(), primary.begin(), [](unsigned char c) { return std::tolower(c); });
    if (primary.empty() || primary.size() > 8 ||
        !std::all_of(primary.begin(), primary.end(), [](unsigned char c) { return std::islower(c); }))
        return std::nullopt;
    // A private-use tag has no primary language: kept whole.
    if (primary == "x" || primary == "i") {
        std::string whole(tag);
        std::transform(whole.begin(), whole.end(), whole.begin(), [](unsigned char c) { return std::tolower(c); });
        return whole;
    }
    for (const auto& [alias, canonical] : kAliases)
        if (alias == primary) return std::string(canonical);
    return primary;
}

std::optional<std::string> TagFromUser(std::string_view text) {
    if (auto id = ParseLanguage(text)) {
        std::string tag = PrimaryLanguageTag(*id);
        if (!tag.empty()) return tag;
    }
    return PrimaryTag(text);
}

std::optional<std::uint16_t> LanguageOfTag(std::string_view text) {
    std::string tag(text);
    for (char& c : tag) c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto startsWith = [&](std::string_view prefix) {
        return tag.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), tag.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               }) && (tag.size() == prefix.size() || tag[prefix.size()] == '-');
    };
    // Serbian is written in Latin letters unless the tag says Cyrillic, as
    // the language's English name means.
    if (startsWith("sr")) return tag.find("-cyrl") != std::string::npos ? 0x0C1A : 0x081A;
    for (auto [id, full] : kScriptTags)
        if (startsWith(full)) return id;
    for (auto [id, full] : kFullTags)
        if (startsWith(full)) return id;
    auto primary = PrimaryTag(tag);
    if (!primary) return std::nullopt;
    for (auto [id, name] : kPrimaryTags)
        if (name == *primary) return TargetLanguageId(id);
    return std::nullopt;
}

std::optional<std::uint16_t> LanguageFromUser(std::string_view text) {
    if (auto language = ParseLanguage(text)) return language;
    return LanguageOfTag(text);
}

} // namespace quillon
