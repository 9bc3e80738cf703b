#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "Fixtures.h"
#include "model/ItemPath.h"
#include "model/ModuleTrees.h"
#include "model/TreeTally.h"

using namespace quillon;
using namespace quillon::testing;

// One item under any one root is enough; a root left out of the check would
// make a module with only that kind of resource look empty.
TEST(TreeRoots, AnyRootWithAnItemMeansTheTreeHasResources) {
    EXPECT_FALSE(HasResources(CResourceInfo()));
    for (const RootInfo& root : Roots()) {
        SCOPED_TRACE(root.name);
        CResourceInfo info;
        RootItem(info, root.root).AddChild(std::make_unique<CResourceItem>("x", 0, 1));
        EXPECT_TRUE(HasResources(info));
    }
}

// Every kind of the sample, read off its scan: two menu resources are empty
// top-level popups, eight items are separators, fourteen controls are edit
// boxes and an icon without text; of the version only the eight text values count.
TEST(TreeTally, CountsTheSampleByKindAndAgreesWithItsStoredCounters) {
    auto info = ScanModule(SampleModule());
    ASSERT_TRUE(Find(*info, "strings/1"));
    Find(*info, "strings/1").Value()->SetTranslation("Federkiel", 0);
    Find(*info, "menus/100/-1#2").Value()->SetTranslation("Bearbeiten", 'B');
    Find(*info, "dialogs/200/65535").Value()->SetTranslation("Bild", 0); // not translatable
    Find(*info, "version/StringFileInfo/040904b0/CompanyName").Value()->SetTranslation("Beispiele", 0);
    Find(*info, "strings/2").Value()->SetCarried(true); // as after an update changed its source
    TreeTally tally = TallyTree(*info);
    const std::pair<ItemKind, KindTally> expected[] = {
        {ItemKind::String, {59, 1, 59, 1, 1}},   {ItemKind::PopupMenu, {8, 1, 6, 1}}, {ItemKind::MenuItem, {38, 0, 30, 0}},
        {ItemKind::Dialog, {5, 0, 5, 0}},     {ItemKind::Control, {55, 1, 41, 0}}, {ItemKind::Version, {8, 1, 8, 1}},
        {ItemKind::All, {0, 0, 0, 0}},
    };
    for (const auto& [kind, counts] : expected) EXPECT_EQ(tally.Of(kind), counts) << KindName(kind);
    EXPECT_EQ(tally.All(), (KindTally{173, 4, 149, 3, 1}));
    EXPECT_EQ(tally.Counted(), (KindTally{165, 3, 141, 2, 1}));
    // By root, as the Status dialog shows them: menus hold popups and their
    // entries, dialogs their controls.
    const std::pair<Root, KindTally> roots[] = {{Root::Strings, {59, 1, 59, 1, 1}},
                                                {Root::Menus, {46, 1, 36, 1, 0}},
                                                {Root::Dialogs, {60, 1, 46, 0, 0}},
                                                {Root::Version, {8, 1, 8, 1, 0}}};
    for (const auto& [root, counts] : roots) EXPECT_EQ(tally.Of(root), counts) << RootName(root);
    EXPECT_EQ(tally.Of(Root::Strings).Untranslated(), 58u);
    ResourceCounters counted;
    CountTree(*info, counted);
    EXPECT_EQ(std::tuple(counted.m_nTranslatable, counted.m_nNotTranslatable, counted.m_nSkipped),
              std::tuple(info->m_nTranslatable, 24u, 24u));
}

TEST(ItemPath, EveryItemOfEveryModuleHasItsOwnPathThatLeadsBackToIt) {
    std::size_t repeated = 0; // paths that need #n: the case an ID alone gets wrong
    for (const std::string& module : EveryModule()) {
        SCOPED_TRACE(module);
        auto info = ScanModule(module);
        // PathOf builds on WalkItems' chains of ancestors, WalkPaths on a walk of its own.
        std::vector<const CResourceItem*> walked;
        WalkItems(std::as_const(*info),
                  [&](const ItemVisit<const CResourceItem>& visit) { walked.push_back(&visit.item); });
        std::vector<const CResourceItem*> pathed;
        std::set<std::string> seen;
        // WalkPathsOf writes out only the paths asked for (here every third
        // item): the same texts, in the same order.
        std::vector<std::pair<const CResourceItem*, std::string>> some, everyThird;
        std::size_t counted = 0;
        WalkPathsOf(std::as_const(*info), [&](const CResourceItem&) { return counted++ % 3 == 0; },
                    [&](const CResourceItem& item, const std::string& path) { some.emplace_back(&item, path); });
        WalkPaths(*info, [&](CResourceItem& item, const std::string& path) {
            if (pathed.size() % 3 == 0) everyThird.emplace_back(&item, path);
            pathed.push_back(&item);
            EXPECT_TRUE(seen.insert(path).second) << path << " names two items";
            auto found = Find(*info, path);
            EXPECT_TRUE(found && found.Value() == &item) << path;
            auto of = PathOf(*info, item);
            EXPECT_TRUE(of && of->ToString() == path) << path << " vs " << (of ? of->ToString() : "none");
            repeated += path.find('#') != std::string::npos;
        });
        EXPECT_EQ(pathed, walked);
        EXPECT_EQ(some, everyThird);
    }
    EXPECT_GE(repeated, 30u);
    EXPECT_FALSE(PathOf(*ScanModule(SampleModule()), CStringEntry("x", 0, 1))) << "an item of no tree";
}

TEST(ItemPath, ParsesTheFormItWritesBackToTheSameText) {
    const struct { const char* text; Root root; std::vector<PathStep> steps; } cases[] = {
        {"strings/40", Root::Strings, {{40, "", 1}}},
        {"menus/100/-1#2/1102", Root::Menus, {{100, "", 1}, {-1, "", 2}, {1102, "", 1}}},
        {"dialogs/1/-2147483648#12", Root::Dialogs, {{1, "", 1}, {-2147483647 - 1, "", 12}}},
        {"version/Translator%20E-Mail", Root::Version, {{0, "Translator E-Mail", 1}}},
        {"version/%23%2F%25#2/a.b_c-d", Root::Version, {{0, "#/%", 2}, {0, "a.b_c-d", 1}}},
        {"version//%E4", Root::Version, {{0, "", 1}, {0, "\xE4", 1}}},
    };
    for (const auto& c : cases) {
        auto parsed = ParseItemPath(c.text);
        ASSERT_TRUE(parsed) << c.text << ": " << parsed.GetError().Describe();
        EXPECT_EQ(parsed.Value(), (ItemPath{c.root, c.steps})) << c.text;
        EXPECT_EQ(parsed.Value().ToString(), c.text);
    }
}

// One spelling per item: anything PathOf would not write is refused, with
// the offset of the fault.
TEST(ItemPath, RefusesEveryOtherSpellingAtTheFault) {
    const std::pair<const char*, std::uint64_t> cases[] = {
        {"", 0},                  {"menu/100", 0},         {"menus", 5},         {"menus/", 6},
        {"menus/100/", 10},       {"menus/0100", 6},       {"menus/+1", 6},      {"menus/-0", 6},
        {"menus/1 ", 6},          {"strings/2147483648", 8}, {"menus/100/-1#1", 12}, {"menus/100/-1#02", 12},
        {"menus/100/-1#", 12},    {"menus/100/-1#2#3", 12}, {"version/a b", 9},   {"version/%2", 8},
        {"version/%2f", 8},       {"version/%41", 8},      {"version/a/b%", 11}, {"version/a/b#1", 11},
    };
    for (const auto& [text, offset] : cases) {
        auto parsed = ParseItemPath(text);
        ASSERT_FALSE(parsed) << '"' << text << "\" parsed";
        EXPECT_EQ(parsed.GetError().code, Error::Code::Malformed) << text;
        EXPECT_EQ(parsed.GetError().offset, offset) << text << ": " << parsed.GetError().message;
    }
}
