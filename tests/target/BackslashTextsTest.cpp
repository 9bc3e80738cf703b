#include <filesystem>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "project/ProjectSideFile.h"
#include "target/TargetBuilder.h"
#include "target/Targets.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::unique_ptr<CProject> PathsProject(TempDir& dir) { return NewProjectOf(Fixture("paths.exe"), 0x0407, &dir); }

const CResourceItem& MenuItem(const CResourceInfo& tree) {
    return Child(*Child(tree.m_Menus, 100).GetChildren().front(), 1001);
}

} // namespace

// A module's own backslashes ("C:\new", "\\server") are kept through scan,
// translation and build: none of them turns into a tab or a line break.
TEST(BackslashTexts, ModuleBackslashesSurviveTranslationAndBuild) {
    TempDir dir;
    auto project = PathsProject(dir);
    CResourceInfo& tree = project->m_ResourceInfo;
    // Translations as a translator writes them after the source they see (the
    // scan's spelling of a backslash is TextEscapes' part).
    Child(tree.m_Strings, 1).SetTranslation("Gespeichert in C:\\\\temp\\\\new\\\\bericht.txt", 0);
    Child(tree.m_Strings, 2).SetTranslation("Freigabe: \\\\\\\\server\\\\root", 0);
    Child(tree.m_Strings, 4).SetTranslation("\xD6" "ffnen", 0);
    const_cast<CResourceItem&>(MenuItem(tree)).SetTranslation("\xD6" "ffne C:\\\\neu\\tStrg+O", 'n');
    CResourceItem& label = Child(Child(tree.m_Dialogs, 200), 201);
    label.SetTranslation("Speichern in C:\\\\temp\\\\nun", 0);
    ASSERT_TRUE(BuildTarget(*project, dir.File("de.exe")));

    CResourceInfo back = Rescan(dir.File("de.exe"));
    for (std::int32_t id : {1, 2, 4})
        EXPECT_EQ(Child(back.m_Strings, id).GetText(), Child(tree.m_Strings, id).GetTranslation()) << id;
    // Left untranslated in a rebuilt table: the module's own text.
    EXPECT_EQ(Child(back.m_Strings, 3).GetText(), Child(tree.m_Strings, 3).GetText());
    EXPECT_EQ(MenuItem(back).GetText(), MenuItem(tree).GetTranslation());
    EXPECT_EQ(MenuItem(back).m_chHotkey, 'n'); // on the n after "\\", never lost
    EXPECT_EQ(Child(Child(back.m_Dialogs, 200), 201).GetText(), label.GetTranslation());
}

// A project saved before backslashes were escaped (no mark in its side
// file) opens with its texts in today's form and builds what it built then.
TEST(BackslashTexts, OlderProjectsBuildAsTheyDid) {
    TempDir dir;
    auto project = PathsProject(dir);
    CResourceInfo& tree = project->m_ResourceInfo;
    // What the older scan wrote: controls escaped, backslashes as they are.
    Child(tree.m_Strings, 1).SetText("Saved to C:\\temp\\new\\report.txt");
    Child(tree.m_Strings, 2).SetText("Share: \\\\server\\root");
    Child(tree.m_Strings, 2).SetTranslation("Freigabe: \\\\server\\share", 0);
    ASSERT_TRUE(project->Save(dir.File("paths.prj")));
    std::filesystem::remove(ProjectSideFile::PathFor(dir.File("paths.prj")));

    CProject older;
    ASSERT_TRUE(older.Open(dir.File("paths.prj")));
    // A project that only lost its side file reads the same: the translator is told.
    ASSERT_EQ(older.OpenWarnings().size(), 1u);
    EXPECT_NE(older.OpenWarnings()[0].find("read as an older version of Quillon wrote them"), std::string::npos)
        << older.OpenWarnings()[0];
    ASSERT_TRUE(BuildTarget(older, dir.File("de.exe")));
    CResourceInfo back = Rescan(dir.File("de.exe"));
    EXPECT_EQ(Child(back.m_Strings, 2).GetText(), "Freigabe: \\\\\\\\server\\\\share");
    // The untranslated path still matches the module, which is written as it is.
    EXPECT_EQ(Child(back.m_Strings, 1).GetText(), "Saved to C:\\\\temp\\\\new\\\\report.txt");

    // Saved again, the project is marked and opens without a second conversion.
    CProject again = SavedAndReopened(older, dir.File("paths.prj"));
    EXPECT_TRUE(again.OpenWarnings().empty());
    EXPECT_EQ(Child(again.m_ResourceInfo.m_Strings, 2).GetTranslation(), "Freigabe: \\\\\\\\server\\\\share");
}
