#include <gtest/gtest.h>

#include "memory/MatchAdaptation.h"

using namespace quillon;

TEST(MatchAdaptation, CarriesNumbersPlaceholdersAndTheHotkeyOver) {
    // The match's source and translation, the current source, whether hotkeys count, and the adapted translation.
    const struct { const char *source, *translation, *current; bool hotkeys; const char* expected; } cases[] = {
        // FormatMessage inserts renumbered in order, also where the translation reorders them.
        {"Page %1 of %2", "Seite %1 von %2", "Page %3 of %4", true, "Seite %3 von %4"},
        {"%1 of %2 done", "%2: %1 fertig", "%4 of %5 done", true, "%5: %4 fertig"},
        // printf placeholders take the current conversion (which conversions there are:
        // FuzzyScore.NormalisesNumbersPlaceholdersAndHotkeys); .NET items their index.
        {"Saved %d files", "%d Dateien gespeichert", "Saved %u files", true, "%u Dateien gespeichert"},
        {"Open {0}", "{0} öffnen", "Open {1}", true, "{1} öffnen"},
        // Numbers; "%%" is no placeholder.
        {"Zoom 100%%", "Zoom 100%%", "Zoom 150%%", true, "Zoom 150%%"},
        // Counted differently: no order to go by, the numbers stay.
        {"1 or 2", "1 oder 2", "3", true, "1 oder 2"},
        // One token that stands for two different ones stays as it is.
        {"%1 and %1", "%1 und %1", "%1 and %2", true, "%1 und %1"},
        // A number the translation spells out is not touched.
        {"2 items", "zwei Elemente", "3 items", true, "zwei Elemente"},
        // The hotkey moves to the current source's letter, the same case first.
        {"&Open", "Ö&ffnen", "Op&en", true, "Öffn&en"},
        {"&Save", "&Speichern", "Save &As", true, "&Speichern"},  // no 'a': the match's own hotkey stays
        {"E&xit", "&Beenden", "Exit", true, "Beenden"},            // the item has no hotkey: the '&' goes
        {"Save && E&xit", "Sichern && B&eenden", "Save && &Exit", true, "Sich&ern && Beenden"}, // 'E' only as 'e'
        {"Save && E&xit", "Sichern && &Ende", "Save && &Exit", true, "Sichern && &Ende"},   // "&&" is no hotkey
        {"Tom & Jerry", "Tom & Jerry", "Tom & Jerry 2", false, "Tom & Jerry"},
        {"Find &what:", "Su&chen nach:", "Find what:", false, "Suchen nach:"}, // a control's match for a string
        // Tokens and hotkey together.
        {"&Go to line %d", "Gehe zu Zeile %d", "Go to &line %u", true, "Gehe zu Zei&le %u"},
        {"", "", "", true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdaptTranslation(MatchTexts{c.source, c.translation, c.current}, c.hotkeys), c.expected)
            << c.source << " -> " << c.current;
}

TEST(MatchAdaptation, MarksTheWordsTheOtherSourceLacks) {
    auto marked = [](std::string_view text, std::string_view other) {
        std::string out;
        for (const TextRun& run : DifferingWords(text, other))
            out += (run.differs ? "[" : "") + std::string(text.substr(run.begin, run.length)) + (run.differs ? "]" : "");
        return out;
    };
    EXPECT_EQ(marked("Save the file as", "Save a file"), "Save [the] file [as]");
    EXPECT_EQ(marked("Open file", "Open file"), "Open file");
    EXPECT_EQ(marked("Größe ändern...", "Größe setzen..."), "Größe [ändern]...");
    EXPECT_EQ(marked("file file", "file"), "file [file]"); // each word of the other is used once
    EXPECT_EQ(marked("", "x"), "");
}
