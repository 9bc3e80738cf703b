// A damaged dictionary costs only itself: the project opens without it when
// asked to, and the damaged file is replaced only by saving the dictionary.

#include <gtest/gtest.h>

#include "io/FileIo.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

TEST(DamagedDictionary, OpensOnlyWhenAskedAndIsNeverOverwrittenUnasked) {
    TempDir dir;
    auto project = NewProjectOf(Fixture("basic32.exe"), 0x0407, &dir);
    ASSERT_TRUE(project->m_Dictionary.AddEntry("File", "Datei", 'D', ItemKind::PopupMenu));
    ASSERT_TRUE(project->Save(dir.File("p.prj")));
    std::vector<std::uint8_t> damaged = FileBytes(dir.File("p.dic"));
    damaged.resize(damaged.size() / 2);
    ASSERT_TRUE(WriteFileAtomically(dir.File("p.dic"), damaged));

    // Unasked, the open fails as for a damaged project file and leaves the project as it was.
    auto refused = NewProjectOf(Fixture("multilang.dll"));
    const CResourceInfo before(refused->m_ResourceInfo);
    Status status = refused->Open(dir.File("p.prj"));
    ASSERT_FALSE(status);
    EXPECT_EQ(status.GetError().code, Error::Code::Malformed);
    EXPECT_NE(status.GetError().message.find("p.dic"), std::string::npos);
    EXPECT_EQ(refused->m_ResourceInfo, before);

    CProject opened;
    ASSERT_TRUE(opened.Open(dir.File("p.prj"), nullptr, DamagedDictionary::OpenWithout));
    // Said first, with the file and the offset of the damage (the side file
    // then notices that the file is not the one Quillon wrote).
    const std::string said = opened.OpenWarnings().empty() ? "" : opened.OpenWarnings()[0];
    EXPECT_TRUE(said.starts_with("'" + dir.File("p.dic") + "': bad class name length 15 (at offset 7); the project "
                                 "opens without its dictionary")) << said;

    // A save keeps the damaged file (ChecksGui.ADamagedDictionaryIsOpenedWithoutOnlyWhenTheUserAgrees);
    // saving the dictionary replaces it.
    ASSERT_TRUE(opened.SaveDictionary(dir.File("p.prj")));
    CProject repaired;
    ASSERT_TRUE(repaired.Open(dir.File("p.prj")));
    EXPECT_EQ(repaired.m_Dictionary.GetCount(), 0u);
}
