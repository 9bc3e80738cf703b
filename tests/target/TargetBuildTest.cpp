#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "pe/RawDirectory.h"
#include "support/ResultChecks.h"
#include "target/TargetBuilder.h"
#include "target/Targets.h"
#include "target/TemplateWriters.h"
#include "dictionary/AutoTranslator.h"
#include "model/ItemPath.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The report of a build into `dir` and the module it wrote.
std::pair<BuildReport, ResourceModule> Built(const CProject& project, const TempDir& dir) {
    auto report = BuildTarget(project, dir.File("target.exe"));
    EXPECT_TRUE(report) << (report ? "" : report.GetError().Describe());
    auto module = ResourceModule::Open(dir.File("target.exe"));
    EXPECT_TRUE(module) << (module ? "" : module.GetError().Describe());
    return {report ? report.Value() : BuildReport{}, std::move(module).Value()};
}

bool Warned(const BuildReport& report, const std::string& text) {
    return std::ranges::any_of(report.warnings, [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

} // namespace

// String tables the 16-bit numbering cannot hold: block 29447 (its IDs pass
// 65535; cut to 16 bits they are those of block 775), an entry whose ID field
// is 0x10307 (775 to the loader) and a named table. An untranslated build
// leaves them, and the real block 775, exactly as they were.
TEST(TargetBuild, StringTablesOutsideTheNumberingAreLeftAsTheyWere) {
    std::string module = std::string(QUILLON_DATA_DIR) + "/../../fuzz/regressions/module/string-blocks-past-the-numbering";
    TempDir dir;
    auto [report, target] = Built(*NewProjectOf(module, 0x0409), dir);
    EXPECT_EQ(target.LoadString(12388), u"Real string 12388");
    EXPECT_TRUE(Warned(report, "past 65535"));
    // Directory order: the named table, then 1, 775, 29447 and 0x10307.
    Bytes source = FileBytes(module), built = FileBytes(dir.File("target.exe"));
    EXPECT_EQ(RawIds(built, {0}).size(), 5u);
    for (std::size_t name : {0, 2, 3, 4})
        EXPECT_EQ(RawData(built, 0, name, 0), RawData(source, 0, name, 0)) << name;
}

TEST(TargetBuild, TranslationsLandUnderTheTargetLanguageWithHotkeys) {
    auto project = NewProjectOf(Fixture("basic32.exe"));
    const std::tuple<const char*, const char*, char, ItemKind> entries[] = {
        {"File", "Datei", 'D', ItemKind::PopupMenu},         {"Hello", "Hallo", 0, ItemKind::String},
        {"A\\tB\\r\\n", "X\\tY\\r\\n", 0, ItemKind::String},  {"Browse...", "Durchsuchen...", 'D', ItemKind::Control},
        {"Opt&ions", "Optionen", 0, ItemKind::Dialog},       {"Label", "Beschriftung", 'B', ItemKind::Control}};
    for (const auto& [text, translation, hotkey, kind] : entries) project->m_Dictionary.AddEntry(text, translation, hotkey, kind);
    CAutoTranslator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(), HotkeyConvention::InText).Run();
    TempDir dir;
    auto [report, target] = Built(*project, dir);
    EXPECT_EQ(target.LoadString(1), u"Hallo");
    EXPECT_EQ(target.LoadString(2), u"X\tY\r\n");

    CResourceInfo rescanned = Rescan(dir.File("target.exe"));
    EXPECT_EQ(rescanned.m_wLanguage, 0x0407);
    // That a translated extended dialog keeps its 32-bit control IDs and its
    // font's fields is DialogReaders' and DialogLayout's part.
    for (auto [path, text, hotkey] : {std::tuple{"menus/100/-1", "Datei", 'D'}, {"dialogs/200", "Optionen", '\0'},
                                      {"dialogs/200/203", "Durchsuchen...", 'D'},
                                      {"dialogs/201/4464", "Beschriftung", 'B'}}) {
        auto item = Find(rescanned, path);
        ASSERT_TRUE(item) << path;
        EXPECT_EQ(std::tuple(item.Value()->GetText(), item.Value()->m_chHotkey), std::tuple(text, hotkey)) << path;
    }
    // The extended menu the reader could not read is left as it was, and
    // said so. (Which resources are replaced, which left and in what
    // language, the streamed-build table holds byte for byte.)
    EXPECT_TRUE(Warned(report, "menu 101"));
}

TEST(TargetBuild, RefusesToOverwriteTheModuleAndReportsFailures) {
    auto project = NewProjectOf(Fixture("basic32.exe"));
    EXPECT_NE(FailureOf(BuildTarget(*project, Fixture("basic32.exe"))).message.find("module itself"),
              std::string::npos);
    EXPECT_FALSE(BuildTarget(*project, ""));
    TempDir dir;
    EXPECT_FALSE(BuildTarget(*project, dir.File("missing-folder/target.exe")));
    project->m_strModulePath = dir.File("gone.exe");
    EXPECT_FALSE(BuildTarget(*project, dir.File("target.exe")));
    EXPECT_FALSE(FileExists(dir.File("target.exe")));
}

TEST(TemplateWriters, StringBlocksGroupBySixteenWithEmptySlots) {
    CResourceItem strings;
    for (auto [text, id] : {std::pair{"a", 100}, {"b", 50}, {"c", 1}})
        strings.AddChild(std::make_unique<CStringEntry>(text, 0, id));
    CodePage page(932);
    strings.GetChildren().at(2)->SetTranslation(page.FromUtf16(u"日本"), 0);
    auto blocks = WriteStringBlocks(strings, WriteContext{page});
    ASSERT_EQ(blocks.size(), 3u);
    Bytes block1{0, 0, 2, 0, 0xE5, 0x65, 0x2C, 0x67}; // slot 1: two UTF-16 units, not four bytes
    block1.resize(8 + 14 * 2, 0);
    EXPECT_EQ(blocks.at(1), block1);
    EXPECT_EQ(blocks.at(7).size(), 15u * 2 + 4);  // ID 100: slot 4 (ID 50 in block 4 likewise)
    EXPECT_EQ(blocks.at(7)[8], 1);
}

TEST(TemplateWriters, MenuEndBitsFollowTheTreeAndHotkeysGetTheirAmpersand) {
    CMenuEntry top("", 0, 1, 0);
    auto& popup = top.AddChild(std::make_unique<CMenuEntry>("File", 'F', -1, 0x90));
    auto& open = popup.AddChild(std::make_unique<CMenuItem>("Open", 'O', 10, 0x80));
    popup.AddChild(std::make_unique<CMenuItem>("", 0, 0, 0x800, RIS_FIXED)); // appended after the old last item
    open.SetTranslation("\xD6" "ffnen", 0); // no own hotkey: the source letter is used if it occurs
    CodePage page(1252);
    // Header; "&File"; "Öffnen" with no '&' (O does not occur in it) and its ID, no longer the end; then the
    // separator, which got the end bit: nothing after it.
    const Bytes expected = {0, 0, 0, 0, 0x90, 0, '&', 0, 'F', 0, 'i', 0, 'l', 0, 'e', 0, 0, 0, 0x00, 0, 10, 0,
                            0xD6, 0, 'f', 0, 'f', 0, 'n', 0, 'e', 0, 'n', 0, 0, 0, 0x80, 0x08, 0, 0, 0, 0};
    EXPECT_EQ(WriteMenu(top, WriteContext{page}), expected);
}

TEST(TargetBuild, VersionValuesPastTheFormatsLimitLeaveTheVersionAsItWas) {
    auto project = NewProjectOf(Fixture("basic32.exe"));
    CVersionBlock& root = project->m_ResourceInfo.m_VersionInfo.m_Root;
    FindVersionPath(root, "\\StringFileInfo\\040904b0\\Comments")->SetTranslation(std::string(70000, 'x'), 0);
    TempDir dir;
    auto [report, target] = Built(*project, dir);
    EXPECT_EQ(target.FindLeaf(kTypeVersion, 1)->language, 0x0409); // untouched
    EXPECT_TRUE(Warned(report, "version"));
}
