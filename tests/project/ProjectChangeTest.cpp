// Planned changes: applying one gives the project the state the operation
// would have made in place, and taking it back gives back the project and
// dictionary records byte for byte.

#include <functional>

#include <gtest/gtest.h>

#include "dictionary/ManualTranslation.h"
#include "interchange/InterchangeProjects.h"
#include "project/ProjectChange.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The project's record and its dictionary's.
std::pair<Bytes, Bytes> RecordsOf(const CProject& project) {
    ArchiveWriter dictionary;
    project.m_Dictionary.Store(dictionary);
    return {ProjectRecord(project), dictionary.Take()};
}

AutoTranslateResult AutoTranslate(CProject& p) {
    return CAutoTranslator(p.m_ResourceInfo, p.m_Dictionary, p.GetCodePage(), HotkeyConvention::InText).Run();
}

// The sample's entry for "File" edited in place.
void EditFileEntry(CProject& p) {
    CDictonaryEntry* file = p.m_Dictionary.FindEntry("File", ItemKind::All);
    ASSERT_NE(file, nullptr);
    file->m_strTranslation = "Datei!";
    file->m_chHotkey = 'D';
}

} // namespace

// Each case plans a change on the sample project; the same operation made in
// place must give the same records. (A single translation and the removal of
// a whole text go through the same edits: every Translate and Delete of the
// window, TranslatorsDesk.* and DictionaryDock.DeletingPrimaryAndEntryRows.)
TEST(ProjectChange, AppliesWhatTheOperationWouldDoAndTakesItBackExactly) {
    struct { const char* name; std::function<ProjectChange(CProject&)> plan; std::function<void(CProject&)> inPlace; }
        cases[] = {
        {"add and replace dictionary entries",
         [](CProject& p) {
             ProjectChange change("Add to Dictionary");
             change.Add(PlanEntry(p.m_Dictionary, "Not in the glossary", ItemKind::String, "Nicht im Glossar", 0).Value());
             change.Add(PlanEntry(p.m_Dictionary, "File", ItemKind::All, "Datei!", 'D').Value());
             return change;
         },
         [](CProject& p) {
             p.m_Dictionary.AddEntry("Not in the glossary", "Nicht im Glossar", 0, ItemKind::String);
             EditFileEntry(p);
         }},
        // The second edit starts from the first one's result, so only undoing the last first restores the entry.
        {"two edits of one entry",
         [](CProject& p) {
             std::vector<DictionaryEdit> edits;
             for (const char* translation : {"Ablage", "Datei!"}) {
                 edits.push_back(PlanEntry(p.m_Dictionary, "File", ItemKind::All, translation, 'D').Value());
                 ApplyEdit(p.m_Dictionary, edits.back());
             }
             RevertEdit(p.m_Dictionary, edits[1]);
             RevertEdit(p.m_Dictionary, edits[0]);
             ProjectChange change("Edit Entry");
             for (DictionaryEdit& edit : edits) change.Add(std::move(edit));
             return change;
         },
         EditFileEntry},
        {"restore all after an auto translation",
         [](CProject& p) {
             AutoTranslate(p);
             ProjectChange change("Restore All");
             for (ItemEdit& edit : PlanRestoreAll(p.m_ResourceInfo)) change.Add(std::move(edit));
             change.SetTranslatedCount(p.m_ResourceInfo.m_nTranslated, 0);
             return change;
         },
         [](CProject& p) {
             AutoTranslate(p);
             RestoreAll(p.m_ResourceInfo);
         }},
        // The run reports every edit it made: taken back, they give the project before the run.
        {"auto translate",
         [](CProject& p) {
             std::uint32_t countBefore = p.m_ResourceInfo.m_nTranslated;
             AutoTranslateResult result = AutoTranslate(p);
             ProjectChange change("Auto Translate");
             for (ItemEdit& edit : result.edits) change.Add(std::move(edit));
             change.SetTranslatedCount(countBefore, p.m_ResourceInfo.m_nTranslated);
             change.MarkApplied();
             change.Revert(p);
             return change;
         },
         [](CProject& p) { AutoTranslate(p); }},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto expected = GlossarySample();
        c.inPlace(*expected);
        auto project = GlossarySample();
        // The two scans may fall in different seconds, and the record keeps the scan's time.
        project->m_ResourceInfo.m_timeExtracted = expected->m_ResourceInfo.m_timeExtracted;
        ProjectChange change = c.plan(*project);
        auto before = RecordsOf(*project);
        ASSERT_FALSE(change.Empty());
        change.Apply(*project);
        EXPECT_EQ(RecordsOf(*project), RecordsOf(*expected));
        EXPECT_NE(RecordsOf(*project), before);
        change.Revert(*project);
        EXPECT_EQ(RecordsOf(*project), before);
        change.Apply(*project);
        EXPECT_EQ(RecordsOf(*project), RecordsOf(*expected));
    }
}

TEST(DictionaryEdit, RemovingAPrimaryEntryKeepsTheOtherKinds) {
    CDictonary dictionary;
    for (auto [translation, kind] : {std::pair{"Öffnen", ItemKind::MenuItem}, {"Offen", ItemKind::String}, {"Auf", ItemKind::Control}})
        dictionary.AddEntry("Open", translation, 0, kind);
    auto removal = PlanRemoval(dictionary, "Open", {ItemKind::MenuItem, ItemKind::Control});
    ASSERT_TRUE(removal.has_value());
    ApplyEdit(dictionary, *removal);
    // Only the other kind's entry is left, as if it had been the only one added.
    CDictonary left;
    left.AddEntry("Open", "Offen", 0, ItemKind::String);
    EXPECT_EQ(dictionary, left);
    EXPECT_FALSE(PlanRemoval(dictionary, "Open", {ItemKind::Dialog}).has_value());
    EXPECT_FALSE(PlanRemoval(dictionary, "Shut").has_value());
    EXPECT_FALSE(PlanEntry(dictionary, "Open", ItemKind::String, "", 0).Ok());
}
