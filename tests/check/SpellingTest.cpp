// The spelling check with the system's German Hunspell dictionary
// (hunspell-de-de, which scripts/setup.sh installs): the words it picks from
// UI texts, the words it reports, the project dictionary's words it accepts,
// and its notes in a whole project check.

#include <gtest/gtest.h>

#include "check/HunspellSpelling.h"
#include "dictionary/Dictionary.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

constexpr std::uint16_t kGerman = 0x0407;

std::unique_ptr<HunspellSpelling> German(const CDictonary* known = nullptr) {
    return OpenSpelling(kGerman, known, CodePage(1252));
}

} // namespace

TEST(Spelling, PicksWordsOutOfUiTexts) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"&Datei \xC3\xB6" "ffnen...", {"Datei", "\xC3\xB6" "ffnen"}},
        {"\xC3\x96" "ffnen\tStrg+Umschalt+O", {"\xC3\x96" "ffnen"}},
        {"Name:\tWert des Feldes", {"Name", "Wert", "des", "Feldes"}},
        {"%s von %d Dateien, 100%% fertig", {"von", "Dateien", "fertig"}},
        {"USB-Laufwerk LAUFWERK", {"Laufwerk", "LAUFWERK"}},
        {"Windows 10 x64 800x600", {"Windows"}},
        {"l'application l'application", {"l'application"}},
        {"\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB \xD0\x9F\xD0\x9A", {"\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB"}}, // Файл ПК
    };
    for (const auto& [text, words] : cases) EXPECT_EQ(SpellingWords(text), words) << text;
}

// The words Hunspell does not know, less those the project dictionary's
// translations name.
TEST(Spelling, FindsTheMisspeltWordsOfGermanTextsButNotTheDictionarysWords) {
    CDictonary dictionary;
    ASSERT_TRUE(dictionary.AddEntry("About Quill Pad", "\xDC" "ber Quillpad", 0, ItemKind::All));
    ASSERT_TRUE(dictionary.AddEntry("Grid", "Raster", 0, ItemKind::All));
    ASSERT_TRUE(dictionary.AddEntry("Grid", "Quillraster", 0, ItemKind::String)); // a sub-entry
    auto spelling = German(&dictionary);
    if (!spelling) GTEST_SKIP() << "no de_DE Hunspell dictionary installed";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"Dateii \xC3\xB6" "ffnen", {"Dateii"}},
        {"Suchen und Ers\xC3\xA4tzen\tStrg+H", {"Ers\xC3\xA4tzen"}},
        {"Schlie\xC3\x9F" "en\tAlt+F4", {}},
        {"Schliesen", {"Schliesen"}},
        {"Quillpad beenden", {}},
        {"Quillraster", {}},
        {"Quillpadx", {"Quillpadx"}}, // the dictionary's words stay what they were
    };
    for (const auto& [text, unknown] : cases) EXPECT_EQ(spelling->Unknown(text), unknown) << text;
    EXPECT_EQ(spelling->Encoding(), "UTF-8");
    EXPECT_EQ(German()->Unknown("Quillpad beenden"), std::vector<std::string>{"Quillpad"});
}

TEST(Spelling, NoDictionaryGivesNoSpelling) {
    const std::string none[] = {"/nonexistent"};
    EXPECT_EQ(OpenSpelling(kGerman, nullptr, CodePage(1252), none), nullptr);
    EXPECT_EQ(OpenSpelling(0x0000, nullptr, CodePage(1252)), nullptr);
}

// A German project of a real module, items translated by hand: the check
// reports the misspelt words as notes with their paths, not the words the
// source has too, and nothing without a spelling.
TEST(Spelling, ProjectCheckReportsUnknownWordsWithTheirPaths) {
    if (!German()) GTEST_SKIP() << "no de_DE Hunspell dictionary installed";
    auto project = NewProjectOf(Fixture("basic32.exe"), kGerman);
    ItemAt(*project, "strings/1").SetTranslation("Dateii nicht gefunden", 0);
    ItemAt(*project, "strings/2").SetTranslation("Datei nicht gefunden", 0);
    // "Gap after two": words of the source are kept on purpose.
    ItemAt(*project, "strings/5").SetTranslation("Gap (after) nach zweii", 0);
    auto spelling = OpenSpelling(kGerman, &project->m_Dictionary, CodePage(project->GetCodePage()));

    std::vector<std::pair<std::string, std::string>> found;
    for (const Finding& finding : CheckProject(*project, {.untranslated = false, .spelling = spelling.get()}))
        if (finding.code == CheckCode::Spelling) {
            EXPECT_EQ(finding.severity, Severity::Note);
            found.emplace_back(finding.path, finding.message);
        }
    EXPECT_EQ(found, (std::vector<std::pair<std::string, std::string>>{{"strings/1", "unknown word \"Dateii\""},
                                                                     {"strings/5", "unknown word \"zweii\""}}));
    for (const Finding& finding : CheckProject(*project)) EXPECT_NE(finding.code, CheckCode::Spelling);
}
