#include <gtest/gtest.h>

#include "Fixtures.h"
#include "NewMemory.h"
#include "dictionary/AutoTranslator.h"
#include "memory/MemoryFeed.h"
#include "memory/MemoryTranslation.h"
#include "model/ItemPath.h"
#include "project/FixtureProject.h"
#include "project/Project.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

MemoryUnit Unit(std::string source, std::string target) {
    return MemoryUnit{std::move(source), std::move(target), "en", "de", "old.exe", "", "", "Bob", 100};
}

} // namespace

// Exact matches go in as translated, fuzzy ones (numbers and hotkeys fitted)
// as changed, for review; the dictionary comes first.
TEST(MemoryTranslation, AutoTranslateTakesExactAndFuzzyMatchesAsAsked) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir);
    const MemoryUnit units[] = {Unit("Gap after two", "Lücke nach zwei"), Unit("First of block 3", "Erster von Block 3"),
                                Unit("High blocks", "Hohe Blöcke"), Unit("Deep &items", "Tiefe &Elemente"),
                                Unit("Hello", "Servus")};
    ASSERT_TRUE(memory.Store(units));
    // The item's translation after the run (empty: left untranslated) and whether it is marked for review.
    const struct { MemoryUse use; const char* path; const char* translation; bool review; } cases[] = {
        {{true, 0}, "strings/16", "", false},
        {{false, 90}, "strings/5", "L\xFC" "cke nach zwei", true}, // exact, but only fuzzy ones asked for
        {{true, 95}, "strings/4095", "", false},
        {{true, 80}, "strings/1", "Hallo", false}, // the dictionary's, not the memory's
    };
    for (const auto& c : cases) {
        auto project = NewProjectOf(Fixture("basic64.exe"));
        project->m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
        MemoryTranslator fromMemory(memory, c.use, *project);
        CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(),
                                   HotkeyConvention::InText);
        translator.SetFallback(fromMemory.AsFallback());
        AutoTranslateResult result = translator.Run();
        const CResourceItem& item = ItemAt(*project, c.path);
        std::string label = std::string(c.path) + " fuzzy " + std::to_string(c.use.fuzzy);
        // The translation (empty: none) and the review mark, at once.
        EXPECT_EQ(std::tuple(item.IsTranslated() ? item.GetTranslation() : "", (item.m_dwState & RIS_CARRIED) != 0),
                  std::tuple(c.translation, c.review)) << label;
        EXPECT_EQ(project->m_ResourceInfo.PreviousOf(item, c.path), nullptr) << label; // nothing to show as before
        EXPECT_LE(result.forReview, result.fromFallback) << label;
    }
}

TEST(MemoryTranslation, AFuzzyMenuMatchTakesTheItemsHotkeyLetter) {
    auto project = NewProjectOf(Fixture("basic64.exe"));
    CResourceItem& deep = ItemAt(*project, "menus/100/-1/-1/-1/1005"); // "Deep &item"
    MemoryTranslation adapted =
        AdaptToItem(Unit("Deep &items", "Tiefe &Elemente"), deep, CodePage(1252)).value_or(MemoryTranslation{});
    EXPECT_EQ(std::tie(adapted.text, adapted.hotkey), std::tuple("Tiefe Elemente", 'i'));
    // A translation the code page cannot hold is no translation for the item.
    EXPECT_FALSE(AdaptToItem(Unit("Deep &items", "深い"), deep, CodePage(1252)));
    // Its line breaks are the item's: a match written with \n for a source with \r\n.
    CStringEntry lines("Line one\\r\\nLine two", 0, 6, 0);
    auto broken = AdaptToItem(Unit("Line one\nLine two", "Zeile eins\nZeile zwei"), lines, CodePage(1252));
    EXPECT_EQ(broken.value_or(MemoryTranslation{}).text, "Zeile eins\\r\\nZeile zwei");
}

// What a commit in the window leaves translated goes into the memory with
// its module, address, kind and translator; a fuzzy match still to review
// and a restored item do not.
TEST(MemoryTranslation, EditsBecomeUnitsOfTheItemsTheyTranslate) {
    auto project = NewProjectOf(Fixture("basic64.exe"));
    std::vector<ItemEdit> edits{PlanTranslation(ItemAt(*project, "strings/1"), "Hallo", 0),
                                PlanTranslation(ItemAt(*project, "strings/5"), "L\xFC" "cke", 0),
                                PlanTranslation(ItemAt(*project, "menus/100/-1/1001"), "\xD6" "ffnen\\tStrg+O", 'f'),
                                PlanRestore(ItemAt(*project, "strings/2"))};
    edits[1].after.state |= RIS_CARRIED;
    for (const ItemEdit& edit : edits) Assign(*edit.item, edit.after);
    EXPECT_EQ(UnitsOfEdits(*project, edits, 42), (std::vector<MemoryUnit>{
                         {"Hello", "Hallo", "en", "de", "basic64.exe", "strings/1", "STRING", "Ann", 42},
                         {"&Open\tCtrl+O", "\xC3\x96&ffnen\tStrg+O", "en", "de", "basic64.exe", "menus/100/-1/1001",
                          "MENUITEM", "Ann", 42}}));
}
