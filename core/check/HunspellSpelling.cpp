#include "check/HunspellSpelling.h"

#include <hunspell.h>
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "dictionary/Dictionary.h"
#include "extract/Languages.h"
#include "io/CodePage.h"
#include "model/TextEscapes.h"
#include "target/TextPreparation.h"

namespace quillon {

namespace {

// ---- words -------------------------------------------------------------

struct CodePoint {
    char32_t value;
    std::size_t length; // bytes
};

CodePoint Decode(std::string_view text, std::size_t pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra != 0 && pos + extra >= text.size()) return {0xFFFD, 1};
    char32_t value = extra ? lead & (0x3F >> extra) : lead;
    for (std::size_t k = 1; k <= extra; ++k) value = (value << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    return {value, extra + 1};
}

// Without a locale database: every character outside ASCII is a letter
// unless it lies in a block of punctuation, symbols or controls.
bool IsLetter(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7) return false;
    if (c >= 0x2000 && c <= 0x2BFF) return false; // punctuation, currency, arrows, symbols
    if (c >= 0x3000 && c <= 0x303F) return false; // CJK punctuation
    if (c >= 0xFE30 && c <= 0xFE6F) return false;
    if (c >= 0xFF00 && c <= 0xFF20) return false; // full-width punctuation and digits
    return c != 0xFFFD;
}

bool IsApostrophe(char32_t c) { return c == U'\'' || c == 0x2019; }

// Small letters of the scripts whose words can be abbreviations in capitals:
// Latin, Greek and Cyrillic.
bool IsLower(char32_t c) {
    if (c >= U'a' && c <= U'z') return true;
    if (c >= 0xDF && c <= 0xFF) return c != 0xF7;
    if (c >= 0x100 && c <= 0x17F) { // Latin Extended-A: pairs of capital and small letter
        if (c == 0x138 || c == 0x149 || c == 0x17F) return true;
        if (c == 0x178) return false;
        bool capitalOdd = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return (c % 2 == 1) != capitalOdd;
    }
    if (c >= 0x3AC && c <= 0x3CE) return true;
    return c >= 0x430 && c <= 0x45F;
}

// The text without a trailing accelerator: the part after the last tab,
// when it has no space.
std::string_view WithoutAccelerator(std::string_view text) {
    std::size_t tab = text.rfind('\t');
    if (tab == std::string_view::npos || text.find(' ', tab) != std::string_view::npos) return text;
    return text.substr(0, tab);
}

bool WorthLookingUp(std::size_t letters, bool hasDigit, bool hasLower) {
    if (hasDigit || letters < 2) return false;
    return hasLower || letters > 4;
}

// ---- dictionaries --------------------------------------------------------

struct SpellingLanguage {
    std::uint16_t primary;
    const char* code;      // ISO 639-1, as the dictionary files begin
    const char* preferred; // the locale to take first
};

constexpr SpellingLanguage kSpellingLanguages[] = {
    {0x36, "af", "af_ZA"}, {0x1C, "sq", "sq_AL"}, {0x01, "ar", "ar"},    {0x2B, "hy", "hy_AM"},
    {0x2C, "az", "az_AZ"}, {0x2D, "eu", "eu_ES"}, {0x23, "be", "be_BY"}, {0x45, "bn", "bn_BD"},
    {0x02, "bg", "bg_BG"}, {0x03, "ca", "ca_ES"}, {0x05, "cs", "cs_CZ"}, {0x06, "da", "da_DK"},
    {0x13, "nl", "nl_NL"}, {0x09, "en", "en_US"}, {0x25, "et", "et_EE"}, {0x38, "fo", "fo_FO"},
    {0x29, "fa", "fa_IR"}, {0x0B, "fi", "fi_FI"}, {0x0C, "fr", "fr_FR"}, {0x37, "ka", "ka_GE"},
    {0x07, "de", "de_DE"}, {0x08, "el", "el_GR"}, {0x47, "gu", "gu_IN"}, {0x0D, "he", "he_IL"},
    {0x39, "hi", "hi_IN"}, {0x0E, "hu", "hu_HU"}, {0x0F, "is", "is_IS"}, {0x21, "id", "id_ID"},
    {0x10, "it", "it_IT"}, {0x4B, "kn", "kn_IN"}, {0x3F, "kk", "kk_KZ"}, {0x12, "ko", "ko_KR"},
    {0x26, "lv", "lv_LV"}, {0x27, "lt", "lt_LT"}, {0x2F, "mk", "mk_MK"}, {0x3E, "ms", "ms_MY"},
    {0x4C, "ml", "ml_IN"}, {0x4E, "mr", "mr_IN"}, {0x61, "ne", "ne_NP"}, {0x14, "nb", "nb_NO"},
    {0x48, "or", "or_IN"}, {0x15, "pl", "pl_PL"}, {0x16, "pt", "pt_BR"}, {0x46, "pa", "pa_IN"},
    {0x18, "ro", "ro_RO"}, {0x19, "ru", "ru_RU"}, {0x4F, "sa", "sa_IN"}, {0x1B, "sk", "sk_SK"},
    {0x24, "sl", "sl_SI"}, {0x0A, "es", "es_ES"}, {0x41, "sw", "sw_TZ"}, {0x1D, "sv", "sv_SE"},
    {0x49, "ta", "ta_IN"}, {0x4A, "te", "te_IN"}, {0x1E, "th", "th_TH"}, {0x1F, "tr", "tr_TR"},
    {0x22, "uk", "uk_UA"}, {0x20, "ur", "ur_PK"}, {0x43, "uz", "uz_UZ"}, {0x2A, "vi", "vi_VN"},
};

// Croatian and Serbian share a primary language; Serbian has the
// sub-languages from 2 on.
SpellingLanguage SpellingLanguageOf(std::uint16_t language) {
    if (PrimaryLanguage(language) == 0x1A)
        return SubLanguage(language) >= 2 ? SpellingLanguage{0x1A, "sr", "sr_RS"} : SpellingLanguage{0x1A, "hr", "hr_HR"};
    for (const SpellingLanguage& row : kSpellingLanguages)
        if (row.primary == PrimaryLanguage(language)) return row;
    return {0, "", ""};
}

bool HasDictionary(const std::filesystem::path& base) {
    std::error_code error;
    auto aff = base, dic = base;
    return std::filesystem::is_regular_file(aff.replace_extension(".aff"), error) &&
           std::filesystem::is_regular_file(dic.replace_extension(".dic"), error);
}

// Hunspell names encodings its own way; iconv wants these spellings.
std::string IconvName(std::string name) {
    if (name.starts_with("microsoft-cp")) return "CP" + name.substr(12);
    if (name == "TIS620-2533") return "TIS-620";
    return name.empty() ? "ISO-8859-1" : name; // Hunspell's default without a SET line
}

std::string Convert(std::string_view text, const std::string& to) {
    iconv_t cd = iconv_open(to.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* put = out.data();
    std::size_t inLeft = text.size(), outLeft = out.size();
    std::size_t done = iconv(cd, &in, &inLeft, &put, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1)) return {};
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::vector<std::string> SpellingWords(std::string_view utf8) {
    std::string_view text = WithoutAccelerator(utf8);
    std::vector<std::string> words;
    std::unordered_set<std::string> seen;
    bool afterPercent = false;
    for (std::size_t pos = 0; pos < text.size();) {
        CodePoint c = Decode(text, pos);
        if (!IsLetter(c.value) && !IsAsciiDigit(c.value)) {
            afterPercent = c.value == U'%' && !afterPercent;
            pos += c.length;
            continue;
        }
        std::size_t start = pos, end = pos, letters = 0;
        bool hasDigit = false, hasLower = false;
        while (pos < text.size()) {
            c = Decode(text, pos);
            bool inner = IsApostrophe(c.value) && letters != 0 && pos + c.length < text.size() &&
                         IsLetter(Decode(text, pos + c.length).value);
            if (!IsLetter(c.value) && !IsAsciiDigit(c.value) && !inner) break;
            hasDigit |= IsAsciiDigit(c.value);
            hasLower |= IsLower(c.value);
            letters += IsLetter(c.value);
            pos += c.length;
            end = pos;
        }
        std::string word(text.substr(start, end - start));
        if (!afterPercent && WorthLookingUp(letters, hasDigit, hasLower) && seen.insert(word).second)
            words.push_back(std::move(word));
        afterPercent = false;
    }
    return words;
}

std::span<const std::string> SystemSpellingFolders() {
    static const std::string folders[] = {"/usr/share/hunspell", "/usr/share/myspell/dicts", "/usr/share/myspell"};
    return folders;
}

std::vector<std::string> SpellingDictionaries(std::uint16_t language, std::span<const std::string> folders) {
    SpellingLanguage row = SpellingLanguageOf(language);
    if (row.primary == 0) return {};
    std::vector<std::string> found;
    auto add = [&](const std::filesystem::path& base) {
        if (HasDictionary(base) && std::find(found.begin(), found.end(), base.string()) == found.end())
            found.push_back(base.string());
    };
    for (const std::string& folder : folders) add(std::filesystem::path(folder) / row.preferred);
    for (const std::string& folder : folders) add(std::filesystem::path(folder) / row.code);
    for (const std::string& folder : folders) {
        std::vector<std::filesystem::path> others;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::string name = entry.path().stem().string();
            if (entry.path().extension() == ".aff" && name.starts_with(std::string(row.code) + "_"))
                others.push_back(entry.path().parent_path() / name);
        }
        std::sort(others.begin(), others.end());
        for (const auto& base : others) add(base);
    }
    return found;
}

std::unique_ptr<HunspellSpelling> HunspellSpelling::Open(const std::string& basePath) {
    if (!HasDictionary(basePath)) return nullptr;
    Hunhandle* handle = Hunspell_create((basePath + ".aff").c_str(), (basePath + ".dic").c_str());
    if (!handle) return nullptr;
    const char* encoding = Hunspell_get_dic_encoding(handle);
    return std::unique_ptr<HunspellSpelling>(new HunspellSpelling(handle, IconvName(encoding ? encoding : "")));
}

HunspellSpelling::HunspellSpelling(Hunhandle* handle, std::string encoding)
    : m_handle(handle), m_encoding(std::move(encoding)) {}

HunspellSpelling::~HunspellSpelling() { Hunspell_destroy(m_handle); }

std::string HunspellSpelling::ToDictionary(std::string_view utf8Word) const {
    if (m_encoding == "UTF-8" || m_encoding == "utf-8") return std::string(utf8Word);
    return Convert(utf8Word, m_encoding);
}

bool HunspellSpelling::Knows(std::string_view utf8Word) const {
    std::string word = ToDictionary(utf8Word);
    return !word.empty() && Hunspell_spell(m_handle, word.c_str()) != 0;
}

std::vector<std::string> HunspellSpelling::Unknown(std::string_view text) const {
    std::vector<std::string> unknown = SpellingWords(text);
    std::erase_if(unknown, [this](const std::string& word) { return Knows(word); });
    return unknown;
}

void HunspellSpelling::AddWords(std::string_view utf8) {
    for (const std::string& word : SpellingWords(utf8)) {
        if (Knows(word)) continue;
        std::string converted = ToDictionary(word);
        if (!converted.empty()) Hunspell_add(m_handle, converted.c_str());
    }
}

void HunspellSpelling::AddTranslations(const CDictonary& dictionary, const CodePage& codePage) {
    auto addEntry = [&](const CDictonaryEntry& entry) {
        AddWords(codePage.ToUtf8(UnescapeText(entry.m_strTranslation, codePage)));
    };
    for (const auto& [source, entry] : dictionary.SortedEntries()) {
        addEntry(*entry);
        for (const auto& [kind, sub] : entry->SubEntries()) addEntry(*sub);
    }
}

std::unique_ptr<HunspellSpelling> OpenSpelling(std::uint16_t language, const CDictonary* knownWords,
                                               const CodePage& codePage, std::span<const std::string> folders) {
    for (const std::string& base : SpellingDictionaries(language, folders)) {
        auto spelling = HunspellSpelling::Open(base);
        if (!spelling) continue;
        if (knownWords) spelling->AddTranslations(*knownWords, codePage);
        return spelling;
    }
    return nullptr;
}

} // namespace quillon
