#include <gtest/gtest.h>

#include <random>

#include "dictionary/AutoTranslator.h"
#include "pe/ResourceModule.h"
#include "pe/VersionEntries.h"
#include "project/FixtureProject.h"
#include "project/ModuleCheck.h"
#include "target/TargetBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::unique_ptr<CProject> TranslatedV1() {
    auto project = NewProjectOf(Fixture("update-v1.exe"));
    for (const char* id : {"1", "2", "3", "100"})
        ItemAt(*project, std::string("strings/") + id).SetTranslation(std::string("DE ") + id, 0);
    for (const char* id : {"200", "300", "600"}) {
        CResourceItem& dialog = ItemAt(*project, std::string("dialogs/") + id);
        dialog.SetTranslation(std::string("DE caption ") + id, 0);
        for (auto& control : dialog.GetChildren())
            if (control->IsTranslatable()) control->SetTranslation("DE " + control->GetText(), 'D');
    }
    ItemAt(*project, "menus/100/-1").SetTranslation("Datei", 'D');
    ItemAt(*project, "menus/100/-1/101").SetTranslation("Öffnen", 'f');
    return project;
}

// update-keys-a.exe with a translation for every item that has text.
std::unique_ptr<CProject> TranslatedKeysA() {
    auto project = NewProjectOf(Fixture("update-keys-a.exe"));
    WalkPaths(project->m_ResourceInfo, [](CResourceItem& item, const std::string& path) {
        if (item.IsTranslatable() && !item.GetText().empty() && item.GetKind() != ItemKind::Version)
            item.SetTranslation("DE " + item.GetText() + " @" + path, item.m_chHotkey);
    });
    return project;
}

std::vector<std::int32_t> Ids(const CResourceItem& parent) {
    std::vector<std::int32_t> ids;
    for (const auto& child : parent.GetChildren()) ids.push_back(child->m_nID);
    return ids;
}

bool Carried(const CResourceItem& item) { return (item.m_dwState & RIS_CARRIED) != 0; }

// Every item as "path text" lines: the sources a tree holds, in order.
std::vector<std::string> Sources(const CResourceInfo& info) {
    std::vector<std::string> lines;
    WalkPaths(info, [&](const CResourceItem& item, const std::string& path) { lines.push_back(path + " " + item.GetText()); });
    return lines;
}

// The items below `top` as "path text", then '&' and the hotkey when there
// is one, "= translation" when translated and '*' when marked for review.
std::vector<std::string> Outline(const CResourceInfo& info, const std::string& top) {
    std::vector<std::string> lines;
    WalkPaths(info, [&](const CResourceItem& item, const std::string& path) {
        if (!path.starts_with(top + "/")) return;
        std::string line = item.GetText().empty() ? path : path + " " + item.GetText();
        if (item.m_chHotkey != 0) line += " &" + std::string(1, static_cast<char>(item.m_chHotkey));
        if (item.IsTranslated()) line += " = " + item.GetTranslation();
        lines.push_back(Carried(item) ? line + " *" : line);
    });
    return lines;
}

std::vector<std::string> Changes(const UpdateReport& report) {
    std::vector<std::string> lines;
    for (const UpdateChange& change : report.changes) lines.push_back(DescribeChange(change, CodePage(1252)));
    return lines;
}

// Changes texts and IDs, reverses and drops children at random below `parent`.
void EditRandomly(CResourceItem& parent, std::mt19937& random) {
    for (auto& child : parent.GetChildren()) {
        CResourceItem& item = *child;
        switch (random() % 8) {
        case 0: item.SetText(item.GetText() + " edited"); break;
        case 1: item.m_nID += 1000; break;
        case 2:
            if (item.GetCount() > 0) std::ranges::reverse(item.EditChildren());
            break;
        case 3:
            if (item.GetCount() > 0) item.EditChildren().erase(item.EditChildren().begin());
            break;
        default: break;
        }
        // Controls are compared only where the template changed.
        if (item.GetKind() == ItemKind::Dialog) {
            std::vector<std::uint8_t> data(item.GetData().begin(), item.GetData().end());
            data.push_back(0);
            item.SetData(data);
        }
        EditRandomly(item, random);
    }
}

} // namespace

// The translated update-v1.exe project updated with update-v2.exe. Strings:
// the one that moved from 3 to 20 keeps its translation, marked for review.
// Menus: inserted items, the second separator, a changed text and the new
// top-level Help come in marked, a whole new menu unmarked. Dialogs: a
// rebuilt one keeps the translations of the controls whose texts stayed,
// marked, as a new layout needs its fit reviewed.
TEST(ProjectUpdate, MergesEveryRootOfANewerModuleAndNamesEachChange) {
    auto project = TranslatedV1();
    UpdateReport report = UpdateWith(*project, Fixture("update-v2.exe"));
    ASSERT_TRUE(report.merged);
    const std::pair<const char*, std::vector<std::string>> outlines[] = {
        {"strings", {"strings/1 Unchanged = DE 1", "strings/2 New text *", "strings/5 Added string",
                     "strings/20 Moves away = DE 3 *", "strings/100 Also unchanged = DE 100"}},
        {"menus", {"menus/100", "menus/100/-1 File &F = Datei", "menus/100/-1/101 Open &O = Öffnen",
                   "menus/100/-1/103 Save &S *", "menus/100/-1/0", "menus/100/-1/102 Exit &x", "menus/100/-1/0#2 *",
                   "menus/100/-1/104 Recent &R *", "menus/100/-1#2 Edit &E", "menus/100/-1#2/201 Copy text &C *",
                   "menus/100/-1#2/203 Delete &D", "menus/100/-1#3 View &V", "menus/100/-1#3/-1 Zoom &Z",
                   "menus/100/-1#3/-1/301 Zoom in &i", "menus/100/-1#3/-1/302 Zoom out &o",
                   "menus/100/-1#3/-1/303 Reset zoom &R *", "menus/100/401 Help &H *", "menus/102",
                   "menus/102/601 Brand new &B"}},
        {"dialogs", {"dialogs/200 Same dialog = DE caption 200", "dialogs/200/201 Name: &N = DE Name:", "dialogs/200/202",
                     "dialogs/200/1 OK = DE OK", "dialogs/300 Changed dialog = DE caption 300",
                     "dialogs/300/301 First: &F = DE First: *", "dialogs/300/302", "dialogs/300/304 New option &N *",
                     "dialogs/300/1 OK = DE OK *", "dialogs/500 Added dialog", "dialogs/500/501 Go &G",
                     "dialogs/600 New caption *", "dialogs/600/2 Close = DE Close *"}},
    };
    for (const auto& [top, outline] : outlines) EXPECT_EQ(Outline(project->m_ResourceInfo, top), outline);
    EXPECT_EQ(project->m_ResourceInfo.m_previous.at("strings/2"), (PreviousSource{"Old text", "DE 2"}));
    EXPECT_EQ(static_cast<const CMenuNode&>(ItemAt(*project, "menus/100/-1/102")).m_dwOptions, 0x00u); // Exit lost its end bit
    auto module = ResourceModule::Open(Fixture("update-v2.exe"));
    EXPECT_TRUE(std::ranges::equal(*module.Value().Find(kTypeDialog, 300), ItemAt(*project, "dialogs/300").GetData()));
    EXPECT_EQ(report.rebuilt, 2u);
    // Version values follow the module; the translator's entries stay.
    const std::string table = "version/StringFileInfo/040904b0/";
    EXPECT_EQ(ItemAt(*project, table + "FileDescription").GetText(), "Version two");
    EXPECT_FALSE(Find(project->m_ResourceInfo, table + "LegalCopyright"));
    EXPECT_TRUE(Carried(ItemAt(*project, table + "Comments")));
    EXPECT_EQ(ItemAt(*project, table + "Translator").GetText(), "Ann");
    EXPECT_EQ(static_cast<CVersionBlock&>(ItemAt(*project, "version/VarFileInfo/Translation")).m_pValue,
              (std::vector<std::uint8_t>{0x07, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(project->m_ResourceInfo.m_VersionInfo.m_FixedInfo[10], 2); // file version 2.0.0.0

    std::vector<std::string> lines = Changes(report);
    for (const char* expected : {
             R"(changed strings/2: "Old text" -> "New text" (translation lost: "DE 2"))",
             R"(moved strings/20: "Moves away" from strings/3 (translation kept: "DE 3"))",
             R"(added strings/5: "Added string")",
             R"(removed strings/4: "Removed string")",
             R"(removed dialogs/300/303: "Remove me" (translation lost: "DE Remove me"))",
             R"(changed version/StringFileInfo/040904b0/FileDescription: "Version one" -> "Version two")",
         })
        EXPECT_NE(std::ranges::find(lines, expected), lines.end()) << expected;
    EXPECT_EQ(report.Count(UpdateChangeKind::Moved), 1u);
    EXPECT_EQ(std::ranges::count_if(lines, [](const std::string& l) { return l.starts_with("removed strings/3"); }), 0);

    // A dictionary run that gives the moved string its same translation is no review of it.
    project->m_Dictionary.AddEntry("Moves away", "DE 3", 0, ItemKind::String);
    CAutoTranslator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), HotkeyConvention::InText)
        .Run();
    EXPECT_TRUE(Carried(ItemAt(*project, "strings/20")));
    // Translating the item handles its change: the mark goes, and the saved
    // project keeps the previous texts of the others only. (That the marks and
    // previous texts survive a save: ProjectCli.UpdateListsEveryChange...)
    ItemAt(*project, "strings/2").SetTranslation("Neuer Text", 0);
    EXPECT_FALSE(Carried(ItemAt(*project, "strings/2")));
    TempDir dir;
    CProject reopened = SavedAndReopened(*project, dir.File("p.prj"));
    EXPECT_EQ(reopened.m_ResourceInfo.m_previous.count("strings/2"), 0u);
    EXPECT_EQ(reopened.m_ResourceInfo.m_previous.count("dialogs/600"), 1u);
}

// Siblings that share a key pair by their order among themselves: nothing
// moves to the other unnamed popup, and the two items with ID 500 keep their own.
TEST(ProjectUpdate, EveryFixtureUpdatedWithItselfChangesNothing) {
    for (const char* module : {"update-keys-a.exe", "update-keys-b.exe", "update-v1.exe", "update-v2.exe", "basic32.exe",
                               "multilang.dll", "notranslation.dll"}) {
        auto project = std::string(module).starts_with("update-keys") ? TranslatedKeysA() : NewProjectOf(Fixture(module));
        if (std::string(module) == "update-keys-b.exe") UpdateWith(*project, Fixture(module));
        for (int round = 0; round < 2; ++round) {
            CResourceInfo before(project->m_ResourceInfo);
            UpdateReport report = UpdateWith(*project, Fixture(module));
            EXPECT_TRUE(report.merged) << module;
            EXPECT_FALSE(report.Changed()) << module << "\n" << ::testing::PrintToString(Changes(report));
            EXPECT_EQ(project->m_ResourceInfo, before) << module;
        }
    }
    auto project = TranslatedKeysA();
    EXPECT_EQ(ItemAt(*project, "menus/100/-1/401").GetText(), "Cut");
    EXPECT_EQ(Ids(ItemAt(*project, "menus/100/-1#2")), (std::vector<std::int32_t>{403}));
    EXPECT_EQ(ItemAt(*project, "menus/101/-1/500#2").GetTranslation(), "DE Second @menus/101/-1/500#2");
}

// Only the module's hotkey moved (the project holds the old one): an
// untranslated item writes the new one, a translated one keeps the translator's.
TEST(ProjectUpdate, AMovedSourceHotkeyIsFollowedByUntranslatedItemsOnly) {
    auto project = NewProjectOf(Fixture("update-v1.exe"));
    CResourceItem& open = ItemAt(*project, "menus/100/-1/101");
    CResourceItem& exit = ItemAt(*project, "menus/100/-1/102");
    open.SetTranslation("Öffnen", 'f');
    open.m_chHotkey = 'p';
    exit.m_chHotkey = exit.m_chTransHotkey = 'E';
    EXPECT_TRUE(UpdateWith(*project, Fixture("update-v1.exe")).otherChanges);
    using Hotkeys = std::pair<std::uint16_t, std::uint16_t>; // the module's, the target's
    EXPECT_EQ(Hotkeys(open.m_chHotkey, open.m_chTransHotkey), Hotkeys('O', 'f'));
    EXPECT_EQ(Hotkeys(exit.m_chHotkey, exit.m_chTransHotkey), Hotkeys('x', 'x'));
}

TEST(ProjectUpdate, KeysPairChangesTextsMovesIdsAndReordersPopups) {
    auto project = TranslatedKeysA();
    UpdateReport report = UpdateWith(*project, Fixture("update-keys-b.exe"));
    EXPECT_EQ(Ids(project->m_ResourceInfo.m_Strings), (std::vector<std::int32_t>{1, 5, 7, 20, 40}));
    EXPECT_EQ(ItemAt(*project, "menus/102/-1").GetText(), "Beta");
    EXPECT_EQ(ItemAt(*project, "menus/102/-1/701").GetTranslation(), "DE Beta one @menus/102/-1#2/701");
    // A control whose text changed (203) takes the new text and hotkey and loses its translation; one whose ID
    // moved (201 to 204) keeps its. The changed caption loses its translation too.
    const std::vector<std::string> dialogs = {
        "dialogs/200 Find = DE Find @dialogs/200", "dialogs/200/204 Find what: &n = DE Find what: @dialogs/200/201 *",
        "dialogs/200/202", "dialogs/200/203 Changed text &C *", "dialogs/200/1 OK = DE OK @dialogs/200/1 *",
        "dialogs/300 New title *", "dialogs/300/301 Label: &L = DE Label: @dialogs/300/301 *",
        "dialogs/300/2 Cancel = DE Cancel @dialogs/300/2 *"};
    EXPECT_EQ(Outline(project->m_ResourceInfo, "dialogs"), dialogs);
    EXPECT_EQ(project->m_ResourceInfo.m_previous.at("dialogs/200/203"),
              (PreviousSource{"Change me", "DE Change me @dialogs/200/203"}));
    // Changed: 203, the caption and 2 x 2 version texts; then moved, removed, added.
    EXPECT_EQ((std::vector<std::size_t>{report.Count(UpdateChangeKind::Changed), report.Count(UpdateChangeKind::Moved),
                                        report.Count(UpdateChangeKind::Removed), report.Count(UpdateChangeKind::Added)}),
              (std::vector<std::size_t>{6, 2, 0, 1}))
        << ::testing::PrintToString(Changes(report));

    // And back: every translation that was not reset is there again.
    UpdateWith(*project, Fixture("update-keys-a.exe"));
    EXPECT_EQ(Sources(project->m_ResourceInfo), Sources(TranslatedKeysA()->m_ResourceInfo));
    EXPECT_EQ(ItemAt(*project, "strings/3").GetTranslation(), "DE Moves to twenty @strings/3");
    EXPECT_EQ(ItemAt(*project, "menus/102/-1#2/701").GetTranslation(), "DE Beta one @menus/102/-1#2/701");
    EXPECT_EQ(ItemAt(*project, "dialogs/200/201").GetTranslation(), "DE Find what: @dialogs/200/201");
}

// Texts that moved on to other IDs (one inserted before them, two swapped)
// take their translations along, wherever the text went: to an item whose
// text changed or to a new one. The reviewer's previous text is then the
// text the translation was made for.
TEST(ProjectUpdate, TranslationsFollowTheirTextsToOtherIds) {
    auto project = TranslatedV1();
    CProject fresh = std::move(*NewProjectOf(Fixture("update-v1.exe")));
    for (auto [path, text] : {std::pair{"strings/1", "Also unchanged"}, {"strings/100", "Unchanged"},
                              {"strings/2", "Inserted"}, {"strings/3", "Old text"}, {"strings/4", "Moves away"}})
        ItemAt(fresh, path).SetText(text);
    ItemAt(fresh, "strings/4").m_nID = 7;
    UpdateReport report = UpdateProject(*project, fresh);
    EXPECT_EQ(Outline(project->m_ResourceInfo, "strings"),
              (std::vector<std::string>{"strings/1 Also unchanged = DE 100 *", "strings/2 Inserted *",
                                        "strings/3 Old text = DE 2 *", "strings/7 Moves away = DE 3 *",
                                        "strings/100 Unchanged = DE 1 *"}));
    std::vector<std::string> lines = Changes(report);
    for (const char* expected : {R"(changed strings/3: "Moves away" -> "Old text" (translation lost: "DE 3"))",
                                 R"(reused strings/3: "Old text" from strings/2 (translation kept: "DE 2"))",
                                 R"(reused strings/7: "Moves away" from strings/3 (translation kept: "DE 3"))"})
        EXPECT_NE(std::ranges::find(lines, expected), lines.end()) << expected << "\n" << ::testing::PrintToString(lines);
    EXPECT_EQ(report.Count(UpdateChangeKind::Reused), 4u);
    EXPECT_EQ(project->m_ResourceInfo.m_previous.at("strings/3"), (PreviousSource{"Old text", "DE 2"}));
}

TEST(ProjectUpdate, TheProjectsOwnTargetGivesItsTextsAnUnreadableModuleNothing) {
    TempDir dir;
    auto project = TranslatedV1();
    ASSERT_TRUE(BuildTarget(*project, dir.File("de.exe")));
    EXPECT_GT(UpdateWith(*project, dir.File("de.exe")).Count(UpdateChangeKind::Changed), 0u);
    for (auto [path, text] : {std::pair{"dialogs/200/201", "DE Name:"}, {"dialogs/300", "DE caption 300"},
                              {"strings/2", "DE 2"}, {"menus/100/-1/101", "Öffnen"}})
        EXPECT_EQ(ItemAt(*project, path).GetText(), text);
    // A module that cannot be read leaves the project alone.
    CResourceInfo before(project->m_ResourceInfo);
    for (const std::string& module : {Fixture("missing.exe"), Fixture("corrupt/not-pe.exe"), Fixture("nores.exe")}) {
        EXPECT_FALSE(UpdateWith(*project, module).merged) << module;
        EXPECT_EQ(project->m_ResourceInfo, before);
        EXPECT_FALSE(CompareWithModule(*project, module));
    }
}

// The target has one version table per language. (A module that moved on is
// named before a build: ProjectCli.UpdateListsEveryChangeAndAStaleModuleStopsTheBuild.)
TEST(ProjectUpdate, BuildsOneVersionTablePerLanguage) {
    auto project = TranslatedKeysA();
    // The translator's own version values, even changed ones, are no difference of the module.
    project->m_strTranslator = "Bea";
    RefreshTranslatorValues(*project);
    EXPECT_TRUE(CheckModuleMatches(*project));
    // The target has one version table per language.
    TempDir dir;
    ASSERT_TRUE(BuildTarget(*project, dir.File("de.exe")));
    auto target = ResourceModule::Open(dir.File("de.exe")); // the entries view its bytes
    auto version = ParseVersionEntries(*target.Value().Find(kTypeVersion, 1));
    ASSERT_TRUE(version);
    const VersionEntry* tables = FindVersionEntry(*version, u"\\StringFileInfo");
    ASSERT_EQ(tables->children.size(), 1u);
    EXPECT_EQ(tables->children[0].key, u"040704b0");
    const VersionEntry* translation = FindVersionEntry(*version, u"\\VarFileInfo\\Translation");
    EXPECT_EQ(std::vector<std::uint8_t>(translation->value.begin(), translation->value.end()),
              (std::vector<std::uint8_t>{0x07, 0x04, 0xB0, 0x04}));
}

// Random edits of a module's tree, merged in and back out: the project then
// holds exactly the sources of each side, and items whose text never changed
// keep their translations.
TEST(ProjectUpdate, RandomEditsThereAndBack) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        auto project = TranslatedKeysA();
        CResourceInfo original(project->m_ResourceInfo);
        auto edited = TranslatedKeysA();
        for (const RootInfo& root : Roots())
            if (root.root != Root::Version) EditRandomly(RootItem(edited->m_ResourceInfo, root.root), random);
        std::vector<std::string> editedSources = Sources(edited->m_ResourceInfo);
        ASSERT_TRUE(UpdateProject(*project, *edited).merged);
        EXPECT_EQ(Sources(project->m_ResourceInfo), editedSources) << "round " << round;
        ASSERT_TRUE(UpdateProject(*project, *TranslatedKeysA()).merged);
        EXPECT_EQ(Sources(project->m_ResourceInfo), Sources(original)) << "round " << round;
        WalkPaths(project->m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
            if (!item.IsTranslated()) return;
            auto was = Find(original, path);
            ASSERT_TRUE(was) << path;
            EXPECT_EQ(item.GetText(), was.Value()->GetText()) << path;
            // A translation is only ever one made for the text the item has.
            EXPECT_TRUE(item.GetTranslation().starts_with("DE " + item.GetText() + " @")) << path;
        });
    }
}

// The project file has no room for a code page override: the side file keeps
// it, so a build without the option does not write mojibake.
TEST(ProjectSideFile, RemembersTheCodePageOverride) {
    TempDir dir;
    auto project = NewProjectOf(Fixture("basic32.exe"));
    project->m_nCodePage = kCodePageUtf8;
    ASSERT_TRUE(project->Save(dir.File("u.prj")));
    for (auto [given, expected] : {std::pair{0u, kCodePageUtf8}, std::pair{1252u, 1252u}}) {
        CProject reopened;
        reopened.m_nCodePage = given;
        ASSERT_TRUE(reopened.Open(dir.File("u.prj")));
        EXPECT_EQ(reopened.GetCodePage(), expected) << given;
    }
}
