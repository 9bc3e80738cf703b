#include <gtest/gtest.h>

#include "dictionary/ManualTranslation.h"

using namespace quillon;

// The check the Translate dialog and the dictionary's Edit dialog ask before
// they apply anything, and what applying it does to an item: a refused
// translation changes nothing, the source itself confirms the item. The tree holds a line break as the two
// characters \n.
TEST(ManualTranslation, TheCheckRefusesAHotkeyThatIsNoCharacterOfItsOwn) {
    const struct { const char *source, *translation; std::uint16_t hotkey; std::uint32_t codePage;
                   ManualResult expected; } cases[] = {
        {"Line break", "Zeile\\nUmbruch", 'n', 1252, ManualResult::HotkeyNotInText},
        {"Line break", "Zeile\\nUmbruch", 'U', 1252, ManualResult::Applied},
        {"Tab", "\x83\x74", 't', 932, ManualResult::HotkeyNotInText}, // a trail byte
        {"Tab", "\x83\x74", 't', 1252, ManualResult::Applied},
        {"Open", "Öffnen", 'x', 1252, ManualResult::HotkeyNotInText},
        {"Open", "Öffnen", 0, 1252, ManualResult::Applied},
        {"Open", "Open", 'p', 1252, ManualResult::SameAsSource},
        {"Open", "Open", 'z', 1252, ManualResult::HotkeyNotInText}, // the hotkey is asked first
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.translation) + " / " + static_cast<char>(test.hotkey));
        CodePage page(test.codePage);
        EXPECT_EQ(CheckManualTranslation(test.source, test.translation, test.hotkey, page), test.expected);
        CMenuItem item(test.source, 'b', 1, 0);
        EXPECT_EQ(TranslateManually(item, test.translation, test.hotkey, page), test.expected);
        // The source itself is a confirmation: "OK" can be finished too.
        bool applied = test.expected != ManualResult::HotkeyNotInText;
        EXPECT_EQ(item.m_dwState, applied ? RIS_TRANSLATED : RIS_CREATED);
        EXPECT_EQ(item.GetTranslation(), applied ? test.translation : test.source);
        EXPECT_EQ(item.m_chTransHotkey, applied ? test.hotkey : 'b');
    }
}

TEST(ManualTranslation, AddToDictionaryAsksBeforeReplacingAndRefusesEmptyTexts) {
    CDictonary dictionary;
    CMenuItem item("Open", 'O', 1, 0);
    int asked = 0;
    auto no = [&] { ++asked; return false; };
    auto yes = [&] { ++asked; return true; };
    EXPECT_EQ(AddToDictionary(dictionary, item, "Open", 'O', yes), AddResult::SameAsSource);
    EXPECT_EQ(AddToDictionary(dictionary, item, "", 0, yes), AddResult::Refused);
    EXPECT_EQ(dictionary.GetCount(), 0u);
    EXPECT_EQ(AddToDictionary(dictionary, item, "Öffnen", 'f', yes), AddResult::Added);
    EXPECT_EQ(asked, 0);
    // Refused before any question, even as a replacement.
    EXPECT_EQ(AddToDictionary(dictionary, item, "Auf", 0x0141, yes), AddResult::Refused);
    EXPECT_EQ(AddToDictionary(dictionary, item, "Auf", 'A', no), AddResult::Kept);
    EXPECT_EQ(SearchDictionary(dictionary, item)->m_strTranslation, "Öffnen");
    EXPECT_EQ(AddToDictionary(dictionary, item, "Auf", 'A', yes), AddResult::Replaced);
    EXPECT_EQ(SearchDictionary(dictionary, item)->m_strTranslation, "Auf");
    EXPECT_EQ(asked, 2);

    // An all-kinds entry is what gets replaced; no entry for the kind is added.
    CDictonary common;
    common.AddEntry("Open", "Ouvrir", 0, ItemKind::All);
    EXPECT_EQ(AddToDictionary(common, item, "Öffnen", 'f', yes), AddResult::Replaced);
    EXPECT_EQ(common.Lookup("Open")->m_kind, ItemKind::All);
    EXPECT_TRUE(common.Lookup("Open")->SubEntries().empty());
    // A primary entry of another kind: a new entry for this kind, no question.
    CDictonary other;
    other.AddEntry("Open", "Ouvrir", 0, ItemKind::String);
    EXPECT_EQ(AddToDictionary(other, item, "Öffnen", 'f', no), AddResult::Added);
}

// Restoring one item or all of them, text and hotkey, is ProjectCli's part;
// here: the translator's own version values stay, and a restored item's
// change from an update counts as handled.
TEST(ManualTranslation, RestoreAllKeepsTheVersionValuesAndHandlesUpdateMarks) {
    CResourceInfo info;
    auto& menu = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("", 0, 1, 0));
    menu.AddChild(std::make_unique<CMenuItem>("Save", 'S', 2, 0)).SetTranslation("Sichern", 'S');
    auto& ready = info.m_Strings.AddChild(std::make_unique<CStringEntry>("Ready", 0, 1));
    ready.SetTranslation("Bereit", 0);
    ready.SetCarried(true);
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Idle", 0, 2));
    auto& version = info.m_VersionInfo.m_Root.AddChild(std::make_unique<CVersionBlock>("Translator", kVersionText, "x"));
    version.SetTranslation("Ann", 0);
    info.m_nTranslated = 2;
    EXPECT_EQ(RestoreAll(info), 2u);
    EXPECT_TRUE(version.IsTranslated());
    EXPECT_EQ(ready.m_dwState & RIS_CARRIED, 0u);
    EXPECT_EQ(info.m_nTranslated, 0u);
}

TEST(ManualTranslation, AnEditedEntryIsRefusedInWords) {
    const CodePage page(1252);
    const std::pair<Status, std::string> cases[] = {
        {CheckEditedEntry("Line break", "Zeile\\nUmbruch", 'n', ItemKind::MenuItem, page),
         "The hotkey 'n' does not occur in the translation as a character of its own (a letter of an escape such "
         "as \\n cannot carry it)."},
        {CheckEditedEntry("Open", "Open", 0, ItemKind::MenuItem, page),
         "The translation is the source text itself; the dictionary keeps only translations that differ from their source."},
        {CheckEditedEntry("Open", "Auf", 0x0141, ItemKind::MenuItem, page),
         "The dictionary cannot take this entry: hotkey 0x0141 is not a character of a code page."},
    };
    for (const auto& [status, message] : cases) {
        ASSERT_FALSE(status.Ok()) << message;
        EXPECT_EQ(status.GetError().code, Error::Code::Refused);
        EXPECT_EQ(status.GetError().message, message);
    }
    EXPECT_TRUE(CheckEditedEntry("Open", "Öffnen", 'f', ItemKind::MenuItem, page).Ok());
}
