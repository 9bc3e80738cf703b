#include <gtest/gtest.h>

#include "model/ModuleTrees.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

// Item paths are the unit IDs of exchange files: a path that changes when a
// project is saved and opened strands every translation exchanged under it.
// (Updates: ProjectUpdate.EveryFixtureUpdatedWithItselfChangesNothing keeps
// the whole tree, and ProjectUpdate.MergesEveryRoot... names the path of
// every item of update-v2 that changed or did not.)

TEST(ItemPathStability, SavingAndOpeningAProjectKeepsEveryPath) {
    bool escaped = false;
    for (const std::string& module : EveryModule()) {
        if (module.ends_with("nores.exe")) continue; // nothing to make a project of
        SCOPED_TRACE(module);
        TempDir dir;
        auto project = NewProjectOf(module);
        // Every third translatable item translated, so that paths are seen
        // not to depend on translations.
        int n = 0;
        WalkItems(project->m_ResourceInfo, [&](const ItemVisit<CResourceItem>& visit) {
            if (visit.item.IsTranslatable() && n++ % 3 == 0) visit.item.SetTranslation("DE " + visit.item.GetText(), 0);
        });
        auto before = DescribedPaths(project->m_ResourceInfo);
        EXPECT_EQ(DescribedPaths(SavedAndReopened(*project, dir.File("p.prj")).m_ResourceInfo), before);
        for (const auto& [path, item] : before) escaped |= path.ends_with("/Translator%20E-Mail");
    }
    EXPECT_TRUE(escaped); // the translator's values have keys with spaces
}
