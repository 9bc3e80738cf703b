// Text measured in the substitutes of the Windows dialog faces, and which
// translated controls of a real dialog do not fit.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "check/ProjectChecks.h"
#include "check/TextFit.h"
#include "model/TreeRoots.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

bool HasFont(const char16_t* face, const char* family) {
    return TextMeasure::Shared().SubstituteFamily({face, 8, 400, false}) == std::string(family);
}

#define REQUIRE_FONT(face, family)                                                                            \
    if (!HasFont(face, family)) GTEST_SKIP() << family << " is not installed (scripts/setup.sh installs it)"

int Width(const char16_t* face, int points, std::u16string_view text, bool prefix = true) {
    return TextMeasure::Shared().TextWidth({face, points, 400, false}, text, prefix).value_or(-1);
}

CResourceItem* ControlNamed(CResourceItem& dialog, std::string_view text) {
    for (const auto& child : dialog.GetChildren())
        if (child->GetText() == text) return child.get();
    return nullptr;
}

std::set<std::string> NotFitting(const CProject& project) {
    std::set<std::string> texts;
    for (const Finding& finding : CheckProject(project, {.untranslated = false}))
        if (finding.code == CheckCode::DoesNotFit) texts.insert(finding.item->GetText());
    return texts;
}

} // namespace

// Windows gives MS Shell Dlg 8 (either face) 6 x 13 base units; the
// substitutes must come within a pixel of that or every room is off.
TEST(TextMeasure, BaseUnitsOfTheDialogFacesMatchWindows) {
    REQUIRE_FONT(u"Tahoma", "Tahoma");
    const struct {
        const char16_t* face;
        int points;
        const char* family;
        int minX, maxX, minY, maxY;
    } cases[] = {
        {u"MS Shell Dlg 2", 8, "Tahoma", 5, 6, 13, 13},
        {u"MS Shell Dlg", 8, "MS Sans Serif", 5, 6, 13, 13},
        {u"Some Face Nobody Has", 8, "Tahoma", 5, 6, 13, 13},
        {u"Segoe UI", 9, "DejaVu Sans", 7, 8, 14, 15},
        {u"Tahoma", 10, "Tahoma", 6, 8, 16, 17},
    };
    for (const auto& c : cases) {
        FontSpec font{c.face, c.points, 400, false};
        EXPECT_EQ(TextMeasure::Shared().SubstituteFamily(font), std::string(c.family));
        auto metrics = TextMeasure::Shared().MetricsFor(font);
        ASSERT_TRUE(metrics);
        EXPECT_EQ(metrics->pixelSize, (c.points * 96 + 36) / 72);
        EXPECT_TRUE(c.minX <= metrics->units.x && metrics->units.x <= c.maxX && c.minY <= metrics->units.y &&
                    metrics->units.y <= c.maxY)
            << c.points << " pt: " << metrics->units.x << " x " << metrics->units.y;
    }
}

// Liberation Sans and Mono have Arial's and Courier New's advances: at 8 pt
// (11 px) Arial's 'M' is 1706/2048 em (9 px), 'i' 455/2048 (2 px), and
// every character of Courier New 1229/2048 (7 px).
TEST(TextMeasure, WidthsAreTheWindowsFacesAdvances) {
    REQUIRE_FONT(u"Arial", "Liberation Sans");
    EXPECT_EQ(Width(u"Arial", 8, u"MMMM"), 36);
    EXPECT_EQ(Width(u"Arial", 8, u"iiii"), 8);
    EXPECT_EQ(Width(u"Courier New", 8, u"MiW."), 28);
    EXPECT_EQ(Width(u"Arial", 16, u"MMMM"), 4 * 17); // 21 px: 17.49 rounds down
    // The hotkey marker is not drawn; "&&" draws one '&'.
    EXPECT_EQ(Width(u"Courier New", 8, u"&Save"), Width(u"Courier New", 8, u"Save"));
    EXPECT_EQ(Width(u"Courier New", 8, u"A&&B"), 21);
    EXPECT_EQ(Width(u"Courier New", 8, u"A&&B", false), 28);
}

// Wine's MS Sans Serif is the raster font's strikes: "Bottom:" takes the
// 36 pixels of its 24-dlu label exactly, as on Windows; bold, which the
// font lacks, widens every character by a pixel, as GDI's emboldening does.
TEST(TextMeasure, MsSansSerifUsesTheRasterStrikes) {
    REQUIRE_FONT(u"MS Shell Dlg", "MS Sans Serif");
    EXPECT_EQ(Width(u"MS Shell Dlg", 8, u"&Bottom:"), 36);
    EXPECT_EQ(TextMeasure::Shared().TextWidth({u"MS Shell Dlg", 8, 700, false}, u"&Bottom:"), 36 + 7);
    // No strike of the right size: the next substitute, with outlines.
    EXPECT_EQ(TextMeasure::Shared().SubstituteFamily({u"MS Shell Dlg", 20, 400, false}), "Tahoma");
}

// The Page Setup dialog of the sample (MS Shell Dlg 8) translated into
// German: what a translator writes, and whether the check reports it.
TEST(TextFit, TranslatedControlsOfARealDialog) {
    REQUIRE_FONT(u"MS Shell Dlg", "MS Sans Serif");
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    CResourceItem* dialog = &ItemAt(*project, "dialogs/204");
    // A label whose translation is written but not taken is still the module's.
    const struct { const char* source; const char* translation; bool reported; bool taken = true; } cases[] = {
        {"Cancel", "Abbrechen", false},                                          // 54 dlu push button
        {"Printer...", "Druckereinstellungen \xE4ndern...", true},               // 58 dlu push button
        {"Left:", "Links:", false},                                              // 24 dlu label
        {"Top:", "Oberer Rand:", true},                                          // 24 dlu label
        {"Portrait", "Hochformat", false},                                       // 56 dlu radio button
        {"Landscape", "Querformat (quer zur Leserichtung)", true},               // 56 dlu radio button
        {"Margins (millimeters)", "Seitenr\xE4nder (Millimeter)", false},        // 104 dlu group box
        {"Orientation", "Ausrichtung des Papiers im Drucker", true},             // 70 dlu group box
        {"The preview shows where the text goes on the page.",                   // 88 x 34 dlu, 4 lines
         "Die Vorschau zeigt, wo der Text auf der Seite steht.", false},
        {"Header:", "Kopfzeile jeder gedruckten Seite:", false, false},
    };
    std::set<std::string> expected;
    for (const auto& c : cases) {
        CResourceItem* control = ControlNamed(*dialog, c.source);
        ASSERT_TRUE(control) << c.source;
        control->SetTranslation(c.translation, control->m_chHotkey);
        if (!c.taken) control->SetTranslated(false);
        if (c.reported) expected.insert(c.source);
    }
    EXPECT_EQ(NotFitting(*project), expected);

    // Six lines do not fit a static four lines high.
    CResourceItem* preview = ControlNamed(*dialog, "The preview shows where the text goes on the page.");
    preview->SetTranslation("Die Vorschau zeigt Ihnen hier, an welcher Stelle der Text sp\xE4ter auf der gedruckten "
                            "Seite stehen wird, mit allen R\xE4ndern, Kopfzeilen und Fu\xDFzeilen.",
                            0);
    auto problems = FitProblems(*dialog, CodePage(project->GetCodePage()));
    auto found = std::find_if(problems.begin(), problems.end(), [&](const FitProblem& p) { return p.item == preview; });
    ASSERT_NE(found, problems.end());
    EXPECT_GT(found->fit.lines, 4);
    EXPECT_EQ(found->fit.roomLines, 4);
    EXPECT_NE(found->message.find("lines"), std::string::npos) << found->message;
}

// Every control of the fixture modules and the sample, given its own text
// as translation, fits: the module's developer saw it fit on Windows, so a
// report here is a measurement that runs wide.
TEST(TextFit, ModulesOwnTextsFitTheirControls) {
    REQUIRE_FONT(u"Tahoma", "Tahoma");
    for (const std::string& module :
         {Fixture("basic32.exe"), Fixture("multilang.dll"), Fixture("update-v1.exe"), SamplePath("quillpad.exe")}) {
        auto project = NewProjectOf(module);
        std::size_t controls = 0;
        WalkItems(project->m_ResourceInfo, [&](const ItemVisit<CResourceItem>& visit) {
            if (visit.item.GetKind() != ItemKind::Control || !visit.item.IsTranslatable()) return;
            visit.item.SetTranslated(true);
            ++controls;
        });
        EXPECT_GT(controls, 0u) << module;
        EXPECT_EQ(NotFitting(*project), std::set<std::string>{}) << module;
    }
}
