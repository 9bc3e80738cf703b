// The hotkeys a target menu or dialog shows, and which of them clash on one
// level: the rule the check command and the menu preview share.

#include <gtest/gtest.h>

#include "dictionary/Hotkeys.h"

using namespace quillon;

namespace {

// An item of a level: its source text and hotkey, and the translation with
// its hotkey when `translation` is given.
struct Entry {
    const char* text;
    char hotkey;
    const char* translation = nullptr;
    char transHotkey = 0;
};

std::unique_ptr<CResourceItem> MakeItem(const Entry& entry, std::int32_t id) {
    auto item = std::make_unique<CMenuItem>(entry.text, static_cast<std::uint8_t>(entry.hotkey), id, 0);
    if (entry.translation) item->SetTranslation(entry.translation, static_cast<std::uint8_t>(entry.transHotkey));
    return item;
}

// Each clash as its letter and the IDs (1-based positions) of its items.
using Clashes = std::vector<std::pair<char, std::vector<std::int32_t>>>;

Clashes ClashesOf(const CResourceItem& level, const CodePage& codePage) {
    Clashes out;
    for (const HotkeyClash& clash : DuplicateHotkeys(level, codePage)) {
        std::vector<std::int32_t> ids;
        for (const CResourceItem* item : clash.items) ids.push_back(item->m_nID);
        out.emplace_back(static_cast<char>(clash.hotkey), ids);
    }
    return out;
}

struct LevelCase {
    const char* name;
    std::vector<Entry> entries;
    Clashes expected;
};

} // namespace

TEST(HotkeyClash, OneLevelOfTheTarget) {
    const LevelCase cases[] = {
        {"translated hotkeys that differ in case", {{"Print", 'P', "Drucken", 'D'}, {"Load", 'L', "Laden", 'd'}},
         {{'D', {1, 2}}}},
        {"a translation against an untranslated sibling", {{"Find", 'F', "Suchen", 'S'}, {"Save", 'S'}},
         {{'S', {1, 2}}}},
        {"a translated hotkey that is not in its text marks nothing",
         {{"Name", 'N', "Titel", 'N'}, {"New", 'N'}},
         {}},
        {"a hotkey only inside the escape \\n marks nothing",
         {{"Line break", 'b', "Zeile\\nUmbruch", 'n'}, {"New", 'N', "Neu", 'N'}},
         {}},
        {"a translation without a hotkey keeps the source's",
         {{"Fill", 'F', "Fenster", 0}, {"Format", 'F', "Format", 'F'}},
         {{'F', {1, 2}}}},
        {"separators and texts without hotkeys", {{"", 0}, {"About", 0}, {"", 0}}, {}},
        {"clashes in the order their letters first occur",
         {{"Alpha", 'A'}, {"Beta", 'B'}, {"Bold", 'B'}, {"Auto", 'A'}, {"Copy", 'C'}},
         {{'A', {1, 4}}, {'B', {2, 3}}}},
    };
    const CodePage codePage(1252);
    for (const LevelCase& test : cases) {
        CMenuEntry level("File", 'F', -1, 0x10);
        std::int32_t id = 0;
        for (const Entry& entry : test.entries) level.AddChild(MakeItem(entry, ++id));
        EXPECT_EQ(ClashesOf(level, codePage), test.expected) << test.name;
    }
}

// A trail byte of a double-byte character is no hotkey: 0x83 0x74 is one
// katakana in code page 932, and 0x74 is 't'.
TEST(HotkeyClash, TheTargetHotkeyIsACharacterOfItsOwn) {
    CMenuItem katakana("Tab", 't', 1, 0);
    katakana.SetTranslation("\x83\x74", 't');
    EXPECT_EQ(TargetHotkey(katakana, CodePage(932)), 0);
    EXPECT_EQ(TargetHotkey(katakana, CodePage(1252)), 't');
    CMenuItem untranslated("Open", 'O', 2, 0);
    EXPECT_EQ(TargetHotkey(untranslated, CodePage(1252)), 'O');
}
