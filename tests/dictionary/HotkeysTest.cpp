// The hotkeys a target menu or dialog shows, and which of them clash on one
// level: the rule the check command and the menu preview share.

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "dictionary/Hotkeys.h"

using namespace quillon;

namespace {

// An item of a level: its source text and hotkey, and the translation (UTF-8)
// with its hotkey when `translation` is given.
struct Entry {
    const char* text;
    char hotkey;
    const char* translation = nullptr;
    char transHotkey = 0;
};

// A level of a target menu holding `entries`, the nth with ID n.
std::unique_ptr<CMenuEntry> Level(const std::vector<Entry>& entries, const CodePage& page) {
    auto level = std::make_unique<CMenuEntry>("File", 'F', -1, 0x10);
    for (const Entry& entry : entries) {
        auto id = static_cast<std::int32_t>(level->GetCount() + 1);
        auto& item = level->AddChild(std::make_unique<CMenuItem>(entry.text, std::uint8_t(entry.hotkey), id, 0));
        if (entry.translation) item.SetTranslation(page.FromUtf8(entry.translation), std::uint8_t(entry.transHotkey));
    }
    return level;
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

// The byte `utf8` is in `page` when it is one byte; else 0.
std::uint8_t ByteOf(const char* utf8, const CodePage& page) {
    std::string bytes = page.FromUtf8(utf8);
    return bytes.size() == 1 ? static_cast<std::uint8_t>(bytes[0]) : 0;
}

} // namespace

TEST(HotkeyClash, OneLevelOfTheTarget) {
    const struct { const char* name; std::vector<Entry> entries; Clashes expected; } cases[] = {
        {"translated hotkeys that differ in case", {{"Print", 'P', "Drucken", 'D'}, {"Load", 'L', "Laden", 'd'}},
         {{'D', {1, 2}}}},
        {"a translation against an untranslated sibling", {{"Find", 'F', "Suchen", 'S'}, {"Save", 'S'}},
         {{'S', {1, 2}}}},
        {"a translated hotkey that is not in its text marks nothing", {{"Name", 'N', "Titel", 'N'}, {"New", 'N'}}, {}},
        {"a translation without a hotkey keeps the source's",
         {{"Fill", 'F', "Fenster", 0}, {"Format", 'F', "Format", 'F'}}, {{'F', {1, 2}}}},
        {"a text kept whole marks its own hotkey, not the source's",
         {{"&Save", 'S', "Speichern && &Beenden", 0}, {"Beta", 'B'}, {"Stop", 'S'}},
         {{'B', {1, 2}}}},
        {"clashes in the order their letters first occur",
         {{"Alpha", 'A'}, {"Beta", 'B'}, {"Bold", 'B'}, {"Auto", 'A'}, {"Copy", 'C'}},
         {{'A', {1, 4}}, {'B', {2, 3}}}},
    };
    const CodePage page(1252);
    for (const auto& test : cases) EXPECT_EQ(ClashesOf(*Level(test.entries, page), page), test.expected) << test.name;
}

// Every script: the given hotkey when it is in the text and free, else a
// letter of the translation in the code page's own case rules, else the
// bracketed Latin letter of Chinese, Japanese and Korean, else none; never a
// space, punctuation, a byte of a multi-byte character, an escape, "&&" or
// the accelerator after the tab.
TEST(Hotkeys, AssignedHotkeyInEveryScript) {
    constexpr auto InText = HotkeyConvention::InText;
    constexpr auto Brackets = HotkeyConvention::LatinInBrackets;
    // One item of a level, written in UTF-8 and converted to the case's code
    // page: the translation's own hotkey ("" for none), the upper-case letters
    // taken on the level, and the text and hotkey expected ("" for none).
    const struct { const char* name; std::uint32_t codePage; HotkeyConvention convention; const char* source;
                   char sourceHotkey; const char *translation, *givenHotkey, *used, *expectedText, *expectedHotkey; }
        cases[] = {
        {"the given hotkey", 1252, InText, "File", 'F', "Datei", "D", "", "Datei", "D"},
        {"the given hotkey, whatever character", 1252, InText, "Help", 'H', "?", "?", "", "?", "?"},
        {"its other case", 1252, InText, "Save", 's', "Sichern", "s", "", "Sichern", "S"},
        {"the source's letter before the first one", 1252, InText, "Format", 'o', "Formatieren", "", "", "Formatieren", "o"},
        {"the first free letter, never the space", 1252, InText, "Select all", 'A', "Alles markieren", "A", "ALES", "Alles markieren", "m"},
        {"none when every letter is taken", 1252, InText, "Cut", 'C', "ab.", "a", "AB", "ab.", ""},
        {"not the letter of an escape", 1252, InText, "Next", 'N', "\\nWeiter", "N", "NW", "\\nWeiter", "e"},
        {"not in the accelerator", 1252, InText, "Open\\tCtrl+O", 'O', "Laden\\tStrg+O", "O", "", "Laden\\tStrg+O", "L"},
        {"not the ampersand of &&", 1252, InText, "A && B", 'B', "X && Y", "&", "X", "X && Y", "Y"},
        // The pass that gives the item another letter takes the translator's '&' away too.
        {"a typed marker that gives way", 1252, InText, "Close all", 'C', "Alles &schließen", "s", "S",
         "Alles schließen", "c"},
        {"Cyrillic", 1251, InText, "File", 'F', "Файл", "F", "", "Файл", "Ф"},
        {"Cyrillic case on the level", 1251, InText, "File", 'F', "файл", "", "Ф", "файл", "а"},
        {"Japanese in brackets", 932, Brackets, "File", 'F', "ファイル", "F", "", "ファイル(F)", "F"},
        {"before the ellipsis and the accelerator", 932, Brackets, "Open...\\tCtrl+O", 'O', "開く...\\tCtrl+O", "O", "",
         "開く(O)...\\tCtrl+O", "O"},
        {"a free letter in brackets", 932, Brackets, "File", 'F', "ファイル", "F", "F", "ファイル(A)", "A"},
        {"a bracketed hotkey stays", 932, Brackets, "File", 'F', "ファイル(F)", "F", "", "ファイル(F)", "F"},
        {"a taken bracketed hotkey gives way", 932, Brackets, "File", 'F', "ファイル(F)", "F", "F", "ファイル(A)", "A"},
        {"and so does a marked one", 932, Brackets, "File", 'F', "Fファイル(&F)", "F", "F", "Fファイル(&A)", "A"},
        {"a bracket of another letter is text", 932, Brackets, "File", 'F', "ファイル(2)", "F", "F2", "ファイル(2)(A)", "A"},
        {"Hindi has no key", 65001, InText, "File", 'F', "फ़ाइल", "F", "", "फ़ाइल", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CodePage page(c.codePage);
        CMenuItem item(page.FromUtf8(c.source), static_cast<std::uint8_t>(c.sourceHotkey), 1, 0);
        item.SetTranslation(page.FromUtf8(c.translation), ByteOf(c.givenHotkey, page));
        UsedHotkeys used;
        for (char taken : page.FromUtf8(c.used)) used.insert(static_cast<std::uint8_t>(taken));
        AssignHotkey(item, used, page, c.convention);
        EXPECT_EQ(page.ToUtf8(item.GetTranslation()), c.expectedText);
        std::uint16_t expected = *c.expectedHotkey ? ByteOf(c.expectedHotkey, page) : kHotkeyNone;
        EXPECT_EQ(item.m_chTransHotkey, expected);
        EXPECT_TRUE(expected == kHotkeyNone || used.count(HotkeyAlphabet::Of(page).Upper(HotkeyByte(expected))));
    }
}

// A '&' a translator types marks the hotkey where it stands: where the
// writer would put it anyway the tree keeps the text without it, elsewhere
// with it. Written back, each text has that one marker; a marker before
// another character than the hotkey gives way to the hotkey.
TEST(Hotkeys, TypedMarkersKeepTheirPlace) {
    const struct { std::uint32_t codePage; const char *typed, *treeText, *hotkey, *written; } cases[] = {
        {1252, "Alles &schließen", "Alles &schließen", "s", "Alles &schließen"},
        {1252, "Speichern && &Beenden", "Speichern && &Beenden", "B", "Speichern && &Beenden"},
        {932, "ファイル(&F)", "ファイル(F)", "F", "ファイル(&F)"},
        // An '&' in the accelerator part behind the \t marks nothing.
        {1252, "\\nNeu &an\\tStrg+&N", "\\nNeu an\\tStrg+&N", "a", "\\nNeu &an\\tStrg+&N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const CodePage page(c.codePage);
        HotkeyText read = ReadMarkedText(page.FromUtf8(c.typed), page);
        EXPECT_EQ(page.ToUtf8(read.text), c.treeText);
        EXPECT_EQ(read.hotkey, ByteOf(c.hotkey, page));
        std::uint8_t carrier = 0;
        EXPECT_EQ(page.ToUtf8(MarkHotkey(read.text, read.hotkey, page, &carrier)), c.written);
        EXPECT_EQ(carrier, ByteOf(c.hotkey, page));
    }
    const CodePage page(1252);
    EXPECT_EQ(page.ToUtf8(MarkHotkey(page.FromUtf8("Alles &schließen"), 'c', page)), "Alles s&chließen");
    // (A marker that gives way to another letter: Hotkeys.AssignedHotkeyInEveryScript.)
}

// The pass over one level: an untranslated sibling keeps its letter, so a
// translation that would take it takes another; and what it assigns, the
// clash check finds clean.
TEST(Hotkeys, LevelPassLeavesNoClash) {
    const CodePage page(1251);
    auto level =
        Level({{"Open", 'O'}, {"Objects", 'O', "Objekte", 'O'}, {"Find", 'F', "Файл"}, {"Form", 'F', "форма"}}, page);
    std::vector<const CResourceItem*> changed;
    AssignLevelHotkeys(*level, page, HotkeyConvention::InText, [&](CResourceItem& item) { changed.push_back(&item); });
    // The hotkeys of Objects, Find and Form.
    std::string hotkeys;
    for (std::int32_t id : {2, 3, 4}) hotkeys += static_cast<char>(quillon::testing::Child(*level, id).m_chTransHotkey);
    EXPECT_EQ(page.ToUtf8(hotkeys), "bФо");
    EXPECT_EQ(changed.size(), 3u);
    EXPECT_TRUE(DuplicateHotkeys(*level, page).empty());
}
