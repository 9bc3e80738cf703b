// Project -> XLIFF/PO -> project changes nothing, and the translations of one
// project exported and imported into an untranslated copy make that copy the
// same project, byte for byte.

#include <gtest/gtest.h>

#include "InterchangeProjects.h"

using namespace quillon;
using namespace quillon::testing;

// Each project through each format: an import into the project itself changes nothing.
TEST(InterchangeRoundTrip, EveryFixtureAndTheTranslatedSamplesComeBackUnchangedAndTranslateTheUntranslated) {
    std::vector<std::unique_ptr<CProject>> projects;
    for (const char* module : {"basic32.exe", "basic64.exe", "multilang.dll", "unstripped64.exe", "update-v2.exe"})
        projects.push_back(NewProjectOf(Fixture(module)));
    projects.push_back(TranslatedSample());
    projects.push_back(PseudoJapaneseSample());
    for (auto& project : projects)
        for (InterchangeFormat format : {InterchangeFormat::Xliff, InterchangeFormat::Po}) {
            SCOPED_TRACE(project->m_strModulePath + (format == InterchangeFormat::Xliff ? " XLIFF " : " PO ") +
                         std::to_string(project->m_wTargetLanguage));
            UnitFile units = UnitsOf(*project);
            ASSERT_FALSE(units.units.empty());
            UnitFile read = ThroughFile(*project, format);
            EXPECT_EQ(read.units, units.units);
            EXPECT_EQ(read.targetLanguage, project->m_wTargetLanguage == 0x0411 ? "ja" : "de");
            std::vector<std::uint8_t> before = ProjectRecord(*project);
            ImportPlan plan = PlanImport(*project, read).Value();
            // No change, no refusal: every unit unchanged.
            EXPECT_EQ(std::tuple(plan.change.Empty(), plan.refused.size(), plan.unchanged),
                      std::tuple(true, 0u, units.units.size()));
            plan.change.Apply(*project);
            EXPECT_EQ(ProjectRecord(*project), before);
            // The translated samples, German from the glossary (one item to review) and Japanese pseudo
            // texts in code page 932: imported into the untranslated sample, they give the translated one.
            if (project->m_strModulePath != SamplePath("quillpad.exe")) continue;
            ImportPlan translating = ImportIntoAnUntranslatedCopy(*project, read);
            EXPECT_GT(translating.translated, 10u);
            EXPECT_EQ(translating.review, project->m_wTargetLanguage == 0x0411 ? 0u : 1u);
        }
}

TEST(InterchangeRoundTrip, UnitsCarryTheLanguagesHotkeysAndTheAddress) {
    auto project = TranslatedSample();
    UnitFile units = UnitsOf(*project);
    EXPECT_EQ(std::tie(units.sourceLanguage, units.original), std::tuple("en-US", "quillpad.exe"));
    // A menu item with a hotkey and an accelerator, as Windows writes it.
    const TranslationUnit* open = UnitStartingWith(units, "&Open");
    EXPECT_EQ(std::tie(open->id, open->source, open->target),
              std::tuple("menus/100/-1/1002", "&Open...\tCtrl+O", "Ö&ffnen...\tStrg+O"));
}

// Backslashes, quotes and control characters go out as PO's C escapes (octal
// for those without a letter) and come back as they went out.
TEST(InterchangeRoundTrip, PoEscapesEveryCharacterThatNeedsIt) {
    const std::string text = "C:\\Temp \"x\"\t\r\a\b\f\v\x01\x1B\x7F end\n";
    UnitFile file;
    file.units.push_back({"strings/1/1", text, "Z" + text, UnitState::Translated, {}});
    const std::string bytes = ValueOf(WriteUnits(InterchangeFormat::Po, file)).bytes;
    EXPECT_NE(bytes.find(R"(msgid "C:\\Temp \"x\"\t\r\a\b\f\v\001\033\177 end\n")"), std::string::npos) << bytes;
    EXPECT_EQ(ValueOf(ReadUnits(InterchangeFormat::Po, AsBytes(bytes))).units, file.units);
}
