#include <gtest/gtest.h>

#include "NewMemory.h"
#include "dictionary/Dictionary.h"
#include "io/CodePage.h"
#include "interchange/LanguageTags.h"
#include "memory/MemoryFeed.h"
#include "memory/Tmx.h"

using namespace quillon;
using namespace quillon::testing;

TEST(MemoryFeed, TreeTextsBecomeWhatTheTranslatorSees) {
    const struct { std::uint32_t codePage; std::string text; std::uint16_t hotkey; std::string expected; } cases[] = {
        {1252, "Open\\tCtrl+O", 'O', "&Open\tCtrl+O"},
        {1252, "Save && Exit", 'x', "Save && E&xit"},   // the '&' of "&&" is no place for the hotkey
        {1252, "Line\\r\\nTwo", 0, "Line\r\nTwo"},
        {1252, "\xD6" "ffnen", 0xFFD6, "&\xC3\x96" "ffnen"}, // a hotkey byte widened with sign
        {1251, "\xD4\xE0\xE9\xEB", 0xFFD4, "&\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB"},
        {1252, "No hotkey in it", 'Z', "No hotkey in it"},
        {1252, "C:\\\\new", 0, "C:\\new"}, // a backslash of its own, no line break
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnicodeItemText(c.text, c.hotkey, CodePage(c.codePage)), c.expected) << c.text;
}

TEST(MemoryFeed, DictionaryEntriesGoInWithoutContext) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir);
    CDictonary dictionary;
    ASSERT_TRUE(dictionary.AddEntry("E&xit", "Beenden", 'B', ItemKind::MenuItem));
    ASSERT_TRUE(dictionary.AddEntry("Line\\nTwo", "Zeile\\nZwei", 0, ItemKind::All));
    EXPECT_EQ(ValueOf(StoreDictionary(memory, dictionary, CodePage(1252), "en", "de", "Ann", 9)).stored, 2u);
    EXPECT_EQ(StoredUnits(memory),
              (std::vector<MemoryUnit>{{"E&xit", "&Beenden", "en", "de", "", "", "MENUITEM", "Ann", 9},
                                       {"Line\nTwo", "Zeile\nZwei", "en", "de", "", "", "COMMON", "Ann", 9}}));
}

TEST(MemoryFeed, LanguagesAndDatesHaveOneSpelling) {
    // Serbian (0x081A) shares Croatian's primary language.
    for (auto [language, tag] :
         {std::pair{0x0407, "de"}, {0x041A, "hr"}, {0x081A, "sr"}, {0x0457, "kok"}, {0x0400, ""}})
        EXPECT_EQ(PrimaryLanguageTag(static_cast<std::uint16_t>(language)), tag) << language;
    const std::pair<const char*, std::optional<std::string>> tags[] = {
        {"de-AT", "de"}, {"DE_de", "de"}, {"nb-NO", "no"}, {"x-Klingon", "x-klingon"}, {"*all*", std::nullopt},
        {"", std::nullopt}, {"d3", std::nullopt}, {"German", "de"}, {"0x0411", "ja"}, {"pt-BR", "pt"}};
    for (const auto& [text, tag] : tags) EXPECT_EQ(TagFromUser(text), tag) << text;
    // A target language typed as a tag: the country or script counts only
    // where the table tells them apart.
    const std::pair<const char*, std::optional<std::uint16_t>> languages[] = {
        {"de-DE", 0x0407}, {"de_AT", 0x0407},      {"EN", 0x0409},       {"en-GB", 0x0809},      {"pt-br", 0x0416},
        {"pt-PT", 0x0816}, {"zh-Hans-CN", 0x0804}, {"zh-Hant", 0x0404},  {"sr", 0x081A},         {"sr-Cyrl-RS", 0x0C1A},
        {"nb-NO", 0x0414}, {"German", 0x0407},     {"0x0415", 0x0415},   {"srx", std::nullopt},  {"x-klingon", std::nullopt},
        {"", std::nullopt}};
    for (const auto& [text, language] : languages) EXPECT_EQ(LanguageFromUser(text), language) << text;
    EXPECT_EQ(TmxDate(1765080000), "20251207T040000Z");
    EXPECT_EQ(ParseTmxDate("20251207T040000Z"), 1765080000);
    for (const char* bad : {"20251207T040000", "2025-12-07T04:00", "20251332T040000Z", "2025120xT040000Z"})
        EXPECT_FALSE(ParseTmxDate(bad)) << bad;
}
