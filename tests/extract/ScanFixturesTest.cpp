#include <gtest/gtest.h>

#include "extract/LanguageModules.h"
#include "extract/Scans.h"
#include "extract/TextRules.h"
#include "model/Archive.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::unique_ptr<Scan> ScanFixture(const std::string& name, std::uint32_t codePage = 1252, IProgress* progress = nullptr) {
    return ScanFile(Fixture(name), codePage, progress);
}

const CResourceItem& At(const CResourceItem& parent, std::size_t index) { return *parent.GetChildren().at(index); }

} // namespace

class BasicFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(BasicFixture, StringsKeepIdsEscapesAndTheBufferCut) {
    auto scan = ScanFixture(GetParam());
    const CResourceItem& strings = scan->info.m_Strings;
    std::vector<std::int32_t> ids;
    for (const auto& s : strings.GetChildren()) ids.push_back(s->m_nID);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 5, 15, 16, 40, 41, 100, 4095, 65535}));
    EXPECT_EQ(TextAt(strings, {2}), "A\\tB\\r\\n");
    EXPECT_EQ(TextAt(strings, {40}), "Gr\xFC\xDF" "e \x80 \xE4");
    EXPECT_EQ(TextAt(strings, {41}), "???????");
    EXPECT_EQ(scan->report.replacedCharacters, 7u);
    const std::string longText = TextAt(strings, {100});
    EXPECT_EQ(longText.size(), 2047u);
    EXPECT_EQ(longText.front(), 'L');
    for (const auto& s : strings.GetChildren()) {
        EXPECT_EQ(s->GetKind(), ItemKind::String);
        EXPECT_EQ(s->m_dwState, RIS_CREATED);
        EXPECT_EQ(s->m_chHotkey, 0);
        EXPECT_EQ(s->m_strTranslation, s->m_strText);
    }
}

// basic.rc: hotkeys split off at the first lone '&', "&&" kept, a text's
// trailing '&' dropped, separators (the second had a text) fixed and empty,
// option words with the end bit on each level's last entry, and the
// extended menu 101 kept as its top node alone.
TEST_P(BasicFixture, MenusNestWithHotkeysSeparatorsAndOptionWords) {
    auto scan = ScanFixture(GetParam());
    EXPECT_EQ(Outline(scan->info.m_Menus), R"(100 "" 4001 /0
  -1 "File" &F 1 /10
    1001 "Open\tCtrl+O" &O 1 /0
    1002 "Save && Exit" 1 /0
    1003 "Save && E&xit" 1 /0
    0 "" 40004001 /0
    0 "" 40004001 /0
    1004 "Trailing" 1 /0
    -1 "Level2" &L 1 /90
      -1 "Level3" &3 1 /10
        1005 "Deep item" &i 1 /81
      1006 "After deep" 1 /80
  -1 "Edit" &E 1 /10
    1101 "Copy" &C 1 /88
  1200 "Help" &H 1 /80
101 "" 4001 /0
)");
    EXPECT_EQ(At(scan->info.m_Menus, 0).GetKind(), ItemKind::PopupMenu);
    EXPECT_EQ(At(At(At(scan->info.m_Menus, 0), 0), 0).GetKind(), ItemKind::MenuItem);
}

// Captions keep their '&'; a control without text, the icon (ID -1 read as
// 65535) and the empty dialog are fixed; the extended dialog's 32-bit IDs
// come as their low words, and a control with creation data does not derail
// the next one. Each dialog keeps its template.
TEST_P(BasicFixture, DialogsKeepTheirTemplateAndOneItemPerControl) {
    auto scan = ScanFixture(GetParam());
    const CResourceItem& dialogs = scan->info.m_Dialogs;
    EXPECT_EQ(Outline(dialogs), R"(200 "Opt&ions" 1
  201 "Name:" &N 1
  202 "" 40004001
  203 "Browse..." &B 1
  1 "OK" 1
  65535 "" 40004001
  204 "Custom text" &t 1
  205 "Tab\there" 1
  206 "" 40004001
201 "Extended && more" 1
  4464 "Label" &L 1
  2 "Cancel" 1
  4465 "Check me" &m 1
  2003 "Data" 1
202 "" 4001
203 "" 4001
  301 "" 40004001
)");
    auto module = ResourceModule::Open(Fixture(GetParam()));
    auto bytes = module.Value().Find(kTypeDialog, 200);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(std::ranges::equal(*bytes, At(dialogs, 0).GetData()));
    EXPECT_GT(At(dialogs, 2).GetDataSize(), 0u);
}

TEST_P(BasicFixture, VersionBlocksAndFixedInformation) {
    auto scan = ScanFixture(GetParam());
    EXPECT_EQ(scan->info.m_dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(scan->info.m_dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(scan->info.m_wLanguage, 0x0409);
    const auto& fixed = scan->info.m_VersionInfo.m_FixedInfo;
    EXPECT_EQ((std::vector<std::uint8_t>(fixed.begin(), fixed.begin() + 4)), (std::vector<std::uint8_t>{0xBD, 0x04, 0xEF, 0xFE}));
    const CVersionBlock& root = scan->info.m_VersionInfo.m_Root;
    EXPECT_EQ(Outline(root), R"(StringFileInfo:2 "" 4001
  040904b0:2 "" 4001
    CompanyName:1 "Quillon Fixtures" 1
    FileDescription:1 "Basic fixture" 1
    FileVersion:1 "1.2.3.4" 1
    Comments:1 "" 4001
    ProductName:1 "Basic" 1
  040704b0:2 "" 4001
    CompanyName:1 "Quillon Testdaten" 1
    FileDescription:1 "Einfaches Beispiel" 1
VarFileInfo:2 "" 4001
  Translation:0 "" 40004001
)");
    auto& english = static_cast<const CVersionBlock&>(At(At(root, 0), 0));
    EXPECT_EQ(english.m_strTargetKey, "040904b0");
    EXPECT_EQ(At(english, 0).m_nID, -1);
    EXPECT_EQ(static_cast<const CVersionBlock&>(At(At(root, 1), 0)).m_pValue,
              (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xB0, 0x04}));
}

TEST_P(BasicFixture, CountersAndProgress) {
    CountingProgress progress;
    auto scan = ScanFixture(GetParam(), 1252, &progress);
    const CResourceInfo& info = scan->info;
    EXPECT_EQ(info.m_nStrings, 10u);
    EXPECT_EQ(info.m_nPopups, 6u);     // two top nodes, File, Level2, Level3, Edit
    EXPECT_EQ(info.m_nMenuItems, 10u);
    EXPECT_EQ(info.m_nDialogs, 4u);
    EXPECT_EQ(info.m_nControls, 13u);
    EXPECT_EQ(info.m_nTranslatable + info.m_nNotTranslatable, 10u + 6u + 10u + 4u + 13u);
    EXPECT_EQ(info.m_nNotTranslatable, 2u + 2u + 2u + 4u); // top nodes, separators, captions, controls
    EXPECT_EQ(info.m_nSkipped, info.m_nNotTranslatable);
    EXPECT_EQ(info.m_nTranslated, 0u);
    EXPECT_EQ(progress.shownMessage, kExtractMessage);
    // Blocks 1, 2, 3, 7, 256 and 4096; dialogs 200-203; menus 100, 101; one version.
    EXPECT_EQ(progress.range, 6u * 16 + 4 + 2 + 1);
    EXPECT_EQ(progress.steps, progress.range);
    EXPECT_EQ(progress.hidden, 1);
}

TEST_P(BasicFixture, ArchiveRoundTripIsExact) {
    auto scan = ScanFixture(GetParam());
    ArchiveWriter first;
    scan->info.Store(first, 12345);
    CResourceInfo loaded;
    ArchiveReader in(first.Data());
    loaded.Load(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded, scan->info);
    ArchiveWriter second;
    loaded.Store(second, 12345);
    EXPECT_EQ(second.Data(), first.Data());
}

INSTANTIATE_TEST_SUITE_P(Modules, BasicFixture, ::testing::Values("basic32.exe", "basic64.exe", "unstripped64.exe"));

// A scan empties the tree first: scanning again gives the same tree, and a
// module that cannot be read leaves it empty and says why.
TEST(Scan, ScanningIntoAFilledTreeStartsAfresh) {
    auto scan = ScanFixture("basic32.exe");
    CResourceExtractor again(Fixture("basic32.exe"), scan->info, CodePage(1252));
    again.Extract();
    EXPECT_EQ(scan->info, ScanFixture("basic32.exe")->info);

    CResourceExtractor extractor(Fixture("corrupt/not-pe.exe"), scan->info, CodePage(1252));
    Status scanned = extractor.Extract();
    ASSERT_FALSE(scanned.Ok());
    EXPECT_EQ(scanned.GetError().code, Error::Code::NotModule);
    EXPECT_FALSE(extractor.Report().loaded);
    EXPECT_NE(scanned.GetError().message.find("not a Windows module"), std::string::npos);
    EXPECT_EQ(scan->info.m_Strings.GetCount(), 0u);
    EXPECT_EQ(scan->info.m_nStrings, 0u);
    EXPECT_EQ(scan->info.m_VersionInfo.m_Root.GetCount(), 0u);
}

TEST(Scan, JapaneseCodePageKeepsJapaneseText) {
    auto scan = ScanFixture("basic32.exe", 932);
    EXPECT_EQ(CodePage(932).ToUtf16(TextAt(scan->info.m_Strings, {41})), u"日本語テキスト");
    EXPECT_EQ(scan->report.replacedCharacters, 4u); // ü ß € ä of string 40
}

TEST(Scan, MultiLanguageModuleReadsTheDeclaredLanguage) {
    auto scan = ScanFixture("multilang.dll");
    EXPECT_EQ(scan->info.m_wLanguage, 0x0407);
    EXPECT_EQ(TextAt(scan->info.m_Strings, {1}), "Hallo");
    EXPECT_EQ(TextAt(scan->info.m_Strings, {17}), "Neutral 17");
    EXPECT_EQ(TextAt(scan->info.m_Dialogs, {100}), "Deutscher Dialog");
    EXPECT_EQ(TextAt(scan->info.m_Dialogs, {100, 1}), "Abbrechen");
    EXPECT_EQ(TextAt(scan->info.m_Menus, {100, 100}), "Exit");
}

TEST(Scan, VersionWithoutTranslationTakesTheLanguageOfTheResources) {
    auto scan = ScanFixture("notranslation.dll", 1250);
    EXPECT_EQ(scan->info.m_wLanguage, 0x0415);
    EXPECT_EQ(scan->info.m_dwFileVersionMS, 0x00050006u);
    EXPECT_EQ(scan->info.m_dwFileVersionLS, 0x00070008u);
    EXPECT_EQ(scan->info.m_VersionInfo.m_Root.GetCount(), 1u);
    EXPECT_EQ(TextAt(scan->info.m_Strings, {1}), "Only string");
}

TEST(Scan, ModuleWithoutResourcesGivesAnEmptyCountedTree) {
    CountingProgress progress;
    auto scan = ScanFixture("nores.exe", 1252, &progress);
    EXPECT_TRUE(scan->report.loaded);
    EXPECT_EQ(scan->info.m_Strings.GetCount() + scan->info.m_Menus.GetCount() + scan->info.m_Dialogs.GetCount(), 0u);
    EXPECT_EQ(scan->info.m_nTranslatable + scan->info.m_nNotTranslatable, 0u);
    EXPECT_EQ(progress.range, 0u);
}

TEST(ModuleLanguage, WithoutDeclarationTheLanguageHoldingMostResourcesWins) {
    BuiltVersion german;
    german.language = 0x0407;
    const std::pair<std::vector<BuiltResource>, std::uint16_t> cases[] = {
        {{Strings(0x0415, 1, u"a"), Dialog(0x0415, 100, u"b")}, 0x0415},
        {{Strings(0x0409, 1, u"a"), Strings(0x040C, 2, u"b"), Dialog(0x040C, 100, u"c")}, 0x040C},
        {{Strings(0x0000, 1, u"a"), Strings(0x0409, 2, u"b")}, 0x0000}, // ties: neutral,
        {{Strings(0x0809, 1, u"a"), Strings(0x0407, 2, u"b")}, 0x0809}, // then English,
        {{Strings(0x0407, 1, u"a"), Strings(0x0405, 2, u"b")}, 0x0405}, // then the lowest
        {{Strings(0x0409, 1, u"a"), ExtendedMenu(0x040C, 1), ExtendedMenu(0x040C, 2)}, 0x0409},
        {{Strings(0x0409, 1, u"a"), {ResourceId::Integer(16), ResourceId::Integer(1), 0x0409, VersionBytes(german)}},
         0x0407},
    };
    for (const auto& [resources, expected] : cases)
        EXPECT_EQ(ScanBytes(BuildPeWithResources(resources))->info.m_wLanguage, expected);
}

// The first '&' not followed by another marks the next character; when that
// character takes more than one byte, the text stays as it was.
TEST(HotkeySplit, FirstLoneAmpersandMarksTheNextSingleByteCharacter) {
    const CodePage western(1252), japanese(932), utf8(kCodePageUtf8);
    const struct {
        std::string text;
        const CodePage& codePage;
        std::string split;
        std::uint16_t hotkey;
    } cases[] = {
        {"&File", western, "File", 'F'},
        {"Save && E&xit", western, "Save && E&xit", 0},
        {"End&", western, "End", 0},
        // A letter above 0x7F is widened with its sign, as a signed char would be.
        {"&\xE4nderung", western, "\xE4nderung", 0xFFE4},
        {"A&" + japanese.FromUtf16(u"日本"), japanese, "A&" + japanese.FromUtf16(u"日本"), 0},
        {japanese.FromUtf16(u"日本&X"), japanese, japanese.FromUtf16(u"日本X"), 'X'},
        {"&\xC3\xA4nderung", utf8, "&\xC3\xA4nderung", 0},
    };
    for (const auto& c : cases) {
        HotkeyText split = SplitHotkey(c.text, c.codePage);
        EXPECT_EQ(split.text, c.split) << c.text;
        EXPECT_EQ(split.hotkey, c.hotkey) << c.text;
    }
}
