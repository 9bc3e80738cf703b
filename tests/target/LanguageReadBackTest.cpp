#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "target/TargetBuilder.h"
#include "target/Targets.h"
#include "extract/LanguageModules.h"

using namespace quillon;
using namespace quillon::testing;

// New and update read the module in English; built into German, it reads
// back in German, without the complete French copies that would tie.
TEST(LanguageReadBack, TargetOfAnUndeclaredModuleReadsBackInTheTargetLanguage) {
    TempDir dir;
    auto project = std::move(CreateProject(WineShapedProject(dir.File("wine.dll"), 0x0407))).Value();
    CResourceInfo& info = project->m_ResourceInfo;
    info.m_wLanguage = 0; // as a project made before the rule was
    UpdateWith(*project, dir.File("wine.dll"));
    EXPECT_EQ(info.m_wLanguage, 0x0409);
    Child(info.m_Strings, 1).SetTranslation("\xD6" "ffnen", 0);
    Child(info.m_Dialogs, 100).SetTranslation("Einstellungen", 0);
    ASSERT_TRUE(BuildTarget(*project, dir.File("de.dll")));

    CResourceInfo back = Rescan(dir.File("de.dll"));
    EXPECT_EQ(back.m_wLanguage, 0x0407);
    EXPECT_EQ(Child(back.m_Strings, 1).GetText(), "\xD6" "ffnen");
    EXPECT_EQ(Child(back.m_Strings, 17).GetText(), "Close");
    EXPECT_EQ(Child(back.m_Dialogs, 100).GetText(), "Einstellungen");
    auto target = ResourceModule::Open(dir.File("de.dll"));
    for (auto [type, name, languages] : {std::tuple{kTypeStringTable, 1, 1u}, {kTypeStringTable, 2, 1u},
                                         {kTypeDialog, 100, 1u}, {kTypeMenu, 200, 2u}}) // not rebuilt
        EXPECT_EQ(target.Value().FindName(type, name)->languages.size(), languages) << type << " " << name;
}
