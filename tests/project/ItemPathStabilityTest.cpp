#include <gtest/gtest.h>

#include <map>

#include "model/ModuleTrees.h"
#include "project/FixtureProject.h"
#include "project/ProjectUpdate.h"

using namespace quillon;
using namespace quillon::testing;

// Item paths are the unit IDs of exchange files: a path that changes when a
// project is saved, opened or updated to an unchanged module strands every
// translation exchanged under it.

namespace {

// Translates every third translatable item, so that paths are seen not to
// depend on translations.
void TranslateSome(CResourceInfo& info) {
    int n = 0;
    WalkItems(info, [&](const ItemVisit<CResourceItem>& visit) {
        if (visit.item.IsTranslatable() && n++ % 3 == 0) visit.item.SetTranslation("DE " + visit.item.GetText(), 0);
    });
}

std::map<std::string, std::string> PathsBelow(const CResourceInfo& info, const std::string& top) {
    std::map<std::string, std::string> below;
    for (const auto& [path, item] : DescribedPaths(info))
        if (path == top || path.starts_with(top + "/")) below.emplace(path, item);
    return below;
}

} // namespace

TEST(ItemPathStability, SavingAndOpeningAProjectKeepsEveryPath) {
    bool escaped = false;
    for (const std::string& module : EveryModule()) {
        if (module.ends_with("nores.exe")) continue; // nothing to make a project of
        SCOPED_TRACE(module);
        TempDir dir;
        auto project = NewProjectOf(module);
        TranslateSome(project->m_ResourceInfo);
        auto before = DescribedPaths(project->m_ResourceInfo);
        ASSERT_TRUE(project->Save(dir.File("p.prj")));
        CProject reopened;
        ASSERT_TRUE(reopened.Open(dir.File("p.prj")));
        EXPECT_EQ(DescribedPaths(reopened.m_ResourceInfo), before);
        for (const auto& [path, item] : before) escaped |= path.ends_with("/Translator%20E-Mail");
    }
    EXPECT_TRUE(escaped); // the translator's values have keys with spaces
}

// update-v2 adds, removes, moves and changes items in every root; what it
// leaves alone (the resources below, as ProjectUpdate's outlines show) keeps
// its path, items and translations included.
TEST(ItemPathStability, UpdatingKeepsThePathsOfTheResourcesThatDidNotChange) {
    const std::string unchanged[] = {"strings/1", "strings/100", "dialogs/200", "version/VarFileInfo"};
    auto project = NewProjectOf(Fixture("update-v1.exe"));
    TranslateSome(project->m_ResourceInfo);
    std::map<std::string, std::map<std::string, std::string>> before;
    for (const std::string& top : unchanged) before[top] = PathsBelow(project->m_ResourceInfo, top);
    // Keys, not positions: these values keep their paths while the values
    // around them change, go and come.
    const char* values[] = {"version/StringFileInfo/040904b0/CompanyName", "version/StringFileInfo/040904b0/ProductName"};
    std::map<std::string, std::string> valuesBefore;
    for (const char* value : values) valuesBefore[value] = ItemAt(*project, value).GetTranslation();

    CProject v2;
    v2.m_strModulePath = Fixture("update-v2.exe");
    ASSERT_TRUE(UpdateProject(*project, v2).merged);
    for (const std::string& top : unchanged) {
        EXPECT_EQ(PathsBelow(project->m_ResourceInfo, top), before[top]) << top;
        EXPECT_FALSE(before[top].empty());
    }
    for (const char* value : values) EXPECT_EQ(ItemAt(*project, value).GetTranslation(), valuesBefore[value]);
}
