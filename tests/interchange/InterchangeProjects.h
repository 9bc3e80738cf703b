#pragma once
// Projects the interchange tests export and import: a fixture module made
// into a German project as it was created, and the sample module translated
// from its German glossary, with one item marked as changed by an update.

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/GlossaryImport.h"
#include "support/ResultChecks.h"
#include "interchange/Interchange.h"
#include "interchange/ProjectUnits.h"
#include "interchange/PseudoTranslation.h"
#include "model/Archive.h"
#include "project/FixtureProject.h"

namespace quillon::testing {

// The project record as Save writes it, with a fixed save time.
inline std::vector<std::uint8_t> ProjectRecord(const CProject& project) {
    ArchiveWriter out;
    project.Store(out, 0);
    return out.Take();
}

// The sample module in German, its dictionary filled from the sample's glossary.
inline std::unique_ptr<CProject> GlossarySample() {
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    ImportGlossary(FileBytes(SamplePath("quillpad-de.txt")), GlossaryFormat::Text, project->m_Dictionary,
                   CodePage(project->GetCodePage()));
    return project;
}

inline std::unique_ptr<CProject> TranslatedSample() {
    auto project = GlossarySample();
    CAutoTranslator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(),
                    HotkeyConventionOf(project->m_wTargetLanguage))
        .Run();
    // An item an update marked as changed, so all three states travel.
    for (auto& child : project->m_ResourceInfo.m_Strings.GetChildren())
        if (child->IsTranslated()) {
            child->SetCarried(true);
            break;
        }
    return project;
}

// The sample pseudo-translated for Japanese: double-byte texts of code page
// 932 in every item.
inline std::unique_ptr<CProject> PseudoJapaneseSample() {
    auto project = NewProjectOf(SamplePath("quillpad.exe"), 0x0411);
    PlanPseudoTranslation(*project, {30, true, true}).Apply(*project);
    return project;
}

// `units` imported into an untranslated copy of `translated` make the copy
// that project, byte for byte, and taken back (one step of Undo) the copy as
// it was. Gives the plan, applied and taken back.
inline ImportPlan ImportIntoAnUntranslatedCopy(const CProject& translated, const UnitFile& units) {
    // The sample as it was before it was translated, scanned at the same
    // time (the project records the time of the scan).
    auto fresh = NewProjectOf(SamplePath("quillpad.exe"), translated.m_wTargetLanguage);
    fresh->m_ResourceInfo.m_timeExtracted = translated.m_ResourceInfo.m_timeExtracted;
    std::vector<std::uint8_t> untranslated = ProjectRecord(*fresh);
    ImportPlan plan = PlanImport(*fresh, units).Value();
    EXPECT_TRUE(plan.refused.empty()) << Describe(plan.refused.front());
    plan.change.Apply(*fresh);
    EXPECT_EQ(ProjectRecord(*fresh), ProjectRecord(translated));
    plan.change.Revert(*fresh);
    EXPECT_EQ(ProjectRecord(*fresh), untranslated);
    return plan;
}

inline std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The first unit whose source starts with `source`; a test that finds none fails.
inline TranslationUnit* UnitStartingWith(UnitFile& file, std::string_view source) {
    for (TranslationUnit& unit : file.units)
        if (unit.source.starts_with(source)) return &unit;
    ADD_FAILURE() << "no unit starts with " << source;
    return &file.units.front();
}

// Writes the project's units in `format` and reads them back.
inline UnitFile ThroughFile(const CProject& project, InterchangeFormat format) {
    WrittenFile written = ValueOf(WriteUnits(format, UnitsOf(project)));
    EXPECT_TRUE(written.leftOut.empty());
    return ValueOf(ReadUnits(format, AsBytes(written.bytes)));
}

} // namespace quillon::testing
