// Pseudo-translation keeps what a program needs (placeholders, escapes,
// accelerators, hotkeys) and adds only characters the code page holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "InterchangeProjects.h"
#include "check/ProjectChecks.h"
#include "check/TextChecks.h"
#include "dictionary/Hotkeys.h"
#include "interchange/PseudoTranslation.h"

using namespace quillon;
using namespace quillon::testing;

TEST(PseudoTranslation, KeepsWhatTheProgramNeedsAndLengthens) {
    // A tree text and the pseudo text made of it, in UTF-8 here.
    const struct { std::uint32_t codePage; const char* text; char hotkey; PseudoOptions options; const char* expected; }
        cases[] = {
        {1252, "Open", 'O', {30, true, true}, "[O\u00fe\u00e9\u00f1 ~]"},
        {1252, "Save As...\\tCtrl+Shift+S", 'A', {30, true, false}, "\u0160\u00e0v\u00e9 A\u0161 ~~...\\tCtrl+Shift+S"},
        {1252, "Saved %d files to %1!s!\\n", 0, {0, true, false},
         "\u0160\u00e0v\u00e9d %d \u0192\u00edl\u00e9\u0161 t\u00f6 %1!s!\\n"},
        {1252, "  Name:", 'N', {100, false, true}, "  [Name ~~~]:"},
        {1251, "Open file", 'f', {0, true, false}, "\u041e\u0440\u0435\u043f f\u0456l\u0435"},
        {932, "Exit", 'x', {50, true, false}, "\u0415x\uff49\u0442 ~"},
        // An escaped backslash before a 't' is no accelerator.
        {1252, "Saved to C:\\\\temp", 0, {0, false, true}, "[Saved to C:\\\\temp]"},
    };
    // A dialog's caption holds no escapes: its "\\t" is no accelerator either.
    EXPECT_EQ(PseudoText("Folder C:\\temp", 0, {0, false, true}, CodePage(1252), false), "[Folder C:\\temp]");
    for (const auto& c : cases) {
        CodePage codePage(c.codePage);
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.text);
        std::string pseudo = PseudoText(codePage.FromUtf8(c.text), std::uint8_t(c.hotkey), c.options, codePage);
        EXPECT_EQ(codePage.ToUtf8(pseudo), c.expected);
        EXPECT_EQ(Placeholders(pseudo), Placeholders(c.text));
        EXPECT_TRUE(!c.hotkey || HotkeyOccursIn(pseudo, std::uint8_t(c.hotkey), codePage));
    }
}

TEST(PseudoTranslation, EveryCodePageGetsOnlyItsOwnCharacters) {
    const std::string text = "The quick brown fox jumps over the lazy dog: %s (%2)\\r\\nABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::uint32_t id : {1250u, 1251u, 1252u, 1253u, 932u, 936u, 949u, 65001u}) {
        SCOPED_TRACE(id);
        CodePage codePage(id);
        std::string pseudo = PseudoText(text, 'q', {40, true, false}, codePage);
        std::string utf8 = codePage.ToUtf8(pseudo);
        EXPECT_TRUE(CharactersNotIn(utf8, codePage).empty()) << utf8;
        EXPECT_EQ(pseudo.find('?'), std::string::npos) << utf8;
        EXPECT_NE(utf8.substr(0, 40), text.substr(0, 40)) << "no letter changed";
        EXPECT_NE(utf8.find("%s (%2)\\r\\n"), std::string::npos) << utf8;
        EXPECT_TRUE(HotkeyOccursIn(pseudo, 'q', codePage));
    }
}

TEST(PseudoTranslation, APseudoTranslatedProjectKeepsPlaceholdersHotkeysAndPunctuation) {
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    std::vector<std::uint8_t> before = ProjectRecord(*project);
    ProjectChange change = PlanPseudoTranslation(*project, {30, true, true});
    EXPECT_GT(change.ItemEdits().size(), 50u);
    change.Apply(*project);
    EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, change.ItemEdits().size());
    // What the pseudo text must not break; a clash of hotkeys the module has
    // itself ("Select &All", "Insert Time/D&ate") stays, as the letters do.
    const CheckCode broken[] = {CheckCode::PlaceholderMissing, CheckCode::PlaceholderAdded, CheckCode::PlaceholderOrder,
                                CheckCode::HotkeyMissing,      CheckCode::HotkeyDropped,    CheckCode::Unencodable,
                                CheckCode::LineBreaks,         CheckCode::Spaces,           CheckCode::Colon,
                                CheckCode::Ellipsis};
    for (const Finding& finding : CheckProject(*project, {.untranslated = false}))
        EXPECT_EQ(std::count(std::begin(broken), std::end(broken), finding.code), 0)
            << finding.path << " " << finding.message;
    change.Revert(*project);
    EXPECT_EQ(ProjectRecord(*project), before);
}
