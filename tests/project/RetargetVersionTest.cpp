// Pointing the version resource at the target language: the one rule for a
// new project (GUI and command line) and for a changed target language.

#include <gtest/gtest.h>

#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

// Tables and translation value before; the languages retargeted to in turn;
// the keys, translation value and whether a table was found after.
TEST(RetargetVersion, OneRuleForNewProjectsAndChangedLanguages) {
    const struct { const char* name; std::initializer_list<const char*> tables; Bytes translation;
                   std::vector<std::uint16_t> languages; std::vector<std::pair<std::string, std::string>> keys;
                   Bytes expectedTranslation; bool tableFound; } cases[] = {
        {"English module to German", {"040904b0"}, {0x09, 0x04, 0xB0, 0x04}, {0x0407},
         {{"040904b0", "040704b0"}}, {0x07, 0x04, 0xB0, 0x04}, true},
        {"then French: the retargeted table follows, the module's German stays", {"040904b0", "040704b0"},
         {0x09, 0x04, 0xB0, 0x04}, {0x0407, 0x040C},
         {{"040904b0", "040c04b0"}, {"040704b0", "040704b0"}}, {0x0C, 0x04, 0xB0, 0x04}, true},
        // The module's only table is in the first target language: retargeting
        // it there changed no key, and the next language must still move it.
        {"a German-only module to German, then French", {"040704b0"}, {0x07, 0x04, 0xB0, 0x04}, {0x0407, 0x040C},
         {{"040704b0", "040c04b0"}}, {0x0C, 0x04, 0xB0, 0x04}, true},
        {"keys compare without case", {"040904B0"}, {0x09, 0x04, 0xB0, 0x04}, {0x0410},
         {{"040904B0", "041004b0"}}, {0x10, 0x04, 0xB0, 0x04}, true},
        {"the target keeps the first pair only", {"040904e4", "040704e4"},
         {0x09, 0x04, 0xE4, 0x04, 0x07, 0x04, 0xE4, 0x04}, {0x040C},
         {{"040904e4", "040c04e4"}, {"040704e4", "040704e4"}}, {0x0C, 0x04, 0xE4, 0x04}, true},
        {"a pair no table has: the translation table alone", {"040904b0"}, {0x09, 0x04, 0xE4, 0x04}, {0x0407},
         {{"040904b0", "040904b0"}}, {0x07, 0x04, 0xE4, 0x04}, false},
        {"no translation table: nothing changes", {"040904b0"}, {}, {0x0407}, {{"040904b0", "040904b0"}}, {}, false},
    };
    for (const auto& test : cases) {
        CVersionBlock root;
        AddVersionTables(root, test.tables, test.translation);
        CVersionBlock* table = nullptr;
        for (std::uint16_t language : test.languages) table = RetargetVersion(root, language);
        // Each string table's key and target key, in order.
        std::vector<std::pair<std::string, std::string>> keys;
        for (const auto& child : FindVersionPath(root, "\\StringFileInfo")->GetChildren()) {
            auto& block = static_cast<CVersionBlock&>(*child);
            keys.emplace_back(block.m_strKey, block.m_strTargetKey);
        }
        EXPECT_EQ(keys, test.keys) << test.name;
        CVersionBlock* value = FindVersionPath(root, "\\VarFileInfo\\Translation");
        EXPECT_EQ(value ? value->m_pValue : Bytes{}, test.expectedTranslation) << test.name;
        EXPECT_EQ(table != nullptr, test.tableFound) << test.name;
        EXPECT_TRUE(!table || table == TargetStringTable(root)) << test.name;
    }
}
