#include "extract/Languages.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "io/CodePage.h"

namespace quillon {

const LanguageRow g_aLanguages[71] = {
    {0x36, 0, "Afrikaans"},  {0x1C, 0, "Albanian"},   {0x01, 0, "Arabic"},     {0x2B, 0, "Armenian"},
    {0x4D, 0, "Assamese"},   {0x2C, 0, "Azeri"},      {0x2D, 0, "Basque"},     {0x23, 0, "Belarusian"},
    {0x45, 0, "Bengali"},    {0x02, 0, "Bulgarian"},  {0x03, 0, "Catalan"},    {0x04, 0, "Chinese"},
    {0x1A, 0, "Croatian"},   {0x05, 0, "Czech"},      {0x06, 0, "Danish"},     {0x13, 0, "Dutch"},
    {0x09, 0, "English"},    {0x25, 0, "Estonian"},   {0x38, 0, "Faeroese"},   {0x29, 0, "Farsi"},
    {0x0B, 0, "Finnish"},    {0x0C, 0, "French"},     {0x37, 0, "Georgian"},   {0x07, 0, "German"},
    {0x08, 0, "Greek"},      {0x47, 0, "Gujarati"},   {0x0D, 0, "Hebrew"},     {0x39, 0, "Hindi"},
    {0x0E, 0, "Hungarian"},  {0x0F, 0, "Icelandic"},  {0x21, 0, "Indonesian"}, {0x10, 0, "Italian"},
    {0x11, 0, "Japanese"},   {0x4B, 0, "Kannada"},    {0x60, 0, "Kashmiri"},   {0x3F, 0, "Kazakh"},
    {0x57, 0, "Konkani"},    {0x12, 0, "Korean"},     {0x26, 0, "Latvian"},    {0x27, 0, "Lithuanian"},
    {0x2F, 0, "Macedonian"}, {0x3E, 0, "Malay"},      {0x4C, 0, "Malayalam"},  {0x58, 0, "Manipuri"},
    {0x4E, 0, "Marathi"},    {0x61, 0, "Nepali"},     {0x14, 0, "Norwegian"},  {0x48, 0, "Oriya"},
    {0x15, 0, "Polish"},     {0x16, 0, "Portuguese"}, {0x46, 0, "Punjabi"},    {0x18, 0, "Romanian"},
    {0x19, 0, "Russian"},    {0x4F, 0, "Sanskrit"},   {0x1A, 0, "Serbian"},    {0x59, 0, "Sindhi"},
    {0x1B, 0, "Slovak"},     {0x24, 0, "Slovenian"},  {0x0A, 0, "Spanish"},    {0x41, 0, "Swahili"},
    {0x1D, 0, "Swedish"},    {0x49, 0, "Tamil"},      {0x44, 0, "Tatar"},      {0x4A, 0, "Telugu"},
    {0x1E, 0, "Thai"},       {0x1F, 0, "Turkish"},    {0x22, 0, "Ukrainian"},  {0x20, 0, "Urdu"},
    {0x43, 0, "Uzbek"},      {0x2A, 0, "Vietnamese"}, {0x00, 0, nullptr},
};

std::span<const LanguageRow> LanguageRows() { return std::span(g_aLanguages, 70); }

namespace {
constexpr std::uint16_t kSerbianCroatian = 0x1A;
constexpr std::size_t kCroatianRow = 12;
constexpr std::size_t kSerbianRow = 54;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF) return std::nullopt;
    return value;
}
} // namespace

std::string LanguageName(std::uint16_t language) {
    std::uint16_t primary = PrimaryLanguage(language);
    if (primary == kSerbianCroatian)
        return g_aLanguages[SubLanguage(language) >= 2 ? kSerbianRow : kCroatianRow].label;
    for (const LanguageRow& row : LanguageRows())
        if (row.id == primary) return row.label;
    return "";
}

std::optional<std::size_t> FindLanguageRow(std::string_view nameOrId) {
    auto rows = LanguageRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (EqualsIgnoringCase(rows[i].label, nameOrId)) return i;
    auto number = ParseNumber(nameOrId);
    if (!number) return std::nullopt;
    std::uint16_t primary = PrimaryLanguage(static_cast<std::uint16_t>(*number));
    if (primary == kSerbianCroatian) return SubLanguage(static_cast<std::uint16_t>(*number)) >= 2 ? kSerbianRow : kCroatianRow;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id == primary) return i;
    return std::nullopt;
}

std::optional<std::uint16_t> ParseLanguage(std::string_view nameOrId) {
    if (auto number = ParseNumber(nameOrId)) {
        std::uint16_t language = static_cast<std::uint16_t>(*number);
        if (!FindLanguageRow(nameOrId)) return std::nullopt;
        return SubLanguage(language) == 0 ? TargetLanguageId(language) : language;
    }
    auto row = FindLanguageRow(nameOrId);
    if (!row) return std::nullopt;
    // Serbian's own row means Serbian (Latin); Croatian's row sub-language 1.
    if (*row == kSerbianRow) return static_cast<std::uint16_t>(kSerbianCroatian | 0x0800);
    return TargetLanguageId(g_aLanguages[*row].id);
}

std::uint32_t DefaultCodePage(std::uint16_t language) {
    std::uint16_t sub = SubLanguage(language);
    switch (PrimaryLanguage(language)) {
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B: case 0x24: case 0x1C:
        return 1250;
    case 0x1A: return sub == 3 ? 1251 : 1250; // Serbian Cyrillic vs. Croatian and Serbian Latin
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: case 0x44:
        return 1251;
    case 0x2C: case 0x43: return sub == 2 ? 1251 : 1254; // Azeri and Uzbek: Cyrillic vs. Latin
    case 0x08: return 1253;
    case 0x1F: return 1254;
    case 0x0D: return 1255;
    case 0x01: case 0x29: case 0x20: return 1256;
    case 0x25: case 0x26: case 0x27: return 1257;
    case 0x2A: return 1258;
    case 0x1E: return 874;
    case 0x11: return 932;
    case 0x04: return (sub == 2 || sub == 4) ? 936 : 950; // PRC and Singapore use simplified Chinese
    case 0x12: return 949;
    case 0x2B: case 0x4D: case 0x45: case 0x37: case 0x47: case 0x39: case 0x4B: case 0x60: case 0x57:
    case 0x4C: case 0x58: case 0x4E: case 0x61: case 0x48: case 0x46: case 0x4F: case 0x59: case 0x49:
    case 0x4A:
        return kCodePageUtf8;
    default: return kDefaultCodePage;
    }
}

} // namespace quillon
