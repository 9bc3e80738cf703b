#include <gtest/gtest.h>

#include "Fixtures.h"
#include "extract/ResourceExtractor.h"
#include "extract/TextRules.h"
#include "model/Archive.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

struct Scan {
    CResourceInfo info;
    ExtractReport report;
};

std::unique_ptr<Scan> ScanFixture(const std::string& name, std::uint32_t codePage = 1252, IProgress* progress = nullptr) {
    auto scan = std::make_unique<Scan>();
    CResourceExtractor extractor(Fixture(name), scan->info, CodePage(codePage), progress);
    EXPECT_TRUE(extractor.Extract());
    scan->report = extractor.Report();
    return scan;
}

const CResourceItem& At(const CResourceItem& parent, std::size_t index) { return *parent.GetChildren().at(index); }

class CountingProgress : public IProgress {
public:
    void Show(std::string_view message, std::uint32_t range) override {
        shownMessage = message;
        this->range = range;
    }
    void Step() override { ++steps; }
    void Hide() override { ++hidden; }
    std::string shownMessage;
    std::uint32_t range = 0;
    std::uint32_t steps = 0;
    int hidden = 0;
};

} // namespace

class BasicFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(BasicFixture, StringsKeepIdsEscapesAndTheBufferCut) {
    auto scan = ScanFixture(GetParam());
    const CResourceItem& strings = scan->info.m_Strings;
    std::vector<std::int32_t> ids;
    for (const auto& s : strings.GetChildren()) ids.push_back(s->m_nID);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 5, 15, 16, 40, 41, 100, 4095, 65535}));
    EXPECT_EQ(ChildWithId(strings, 2)->m_strText, "A\\tB\\r\\n");
    EXPECT_EQ(ChildWithId(strings, 40)->m_strText, "Gr\xFC\xDF" "e \x80 \xE4");
    EXPECT_EQ(ChildWithId(strings, 41)->m_strText, "???????");
    EXPECT_EQ(scan->report.replacedCharacters, 7u);
    const std::string& longText = ChildWithId(strings, 100)->m_strText;
    EXPECT_EQ(longText.size(), 2047u);
    EXPECT_EQ(longText.front(), 'L');
    for (const auto& s : strings.GetChildren()) {
        EXPECT_EQ(s->GetKind(), ItemKind::String);
        EXPECT_EQ(s->m_dwState, RIS_CREATED);
        EXPECT_EQ(s->m_chHotkey, 0);
        EXPECT_EQ(s->m_strTranslation, s->m_strText);
    }
}

TEST_P(BasicFixture, MenusNestWithHotkeysSeparatorsAndOptionWords) {
    auto scan = ScanFixture(GetParam());
    const CResourceItem& menus = scan->info.m_Menus;
    ASSERT_EQ(menus.GetCount(), 2u); // the named menu is skipped
    const CResourceItem& top = At(menus, 0);
    EXPECT_EQ(top.GetKind(), ItemKind::PopupMenu);
    EXPECT_EQ(top.m_nID, 100);
    EXPECT_EQ(top.m_dwState, 0x4001u);
    ASSERT_EQ(top.GetCount(), 3u);

    const CResourceItem& file = At(top, 0);
    EXPECT_EQ(file.m_strText, "File");
    EXPECT_EQ(file.m_chHotkey, 'F');
    EXPECT_EQ(file.m_nID, -1);
    EXPECT_EQ(static_cast<const CMenuNode&>(file).m_dwOptions, 0x10u);
    ASSERT_EQ(file.GetCount(), 7u);
    EXPECT_EQ(At(file, 0).m_strText, "Open\\tCtrl+O");
    EXPECT_EQ(At(file, 0).m_chHotkey, 'O');
    EXPECT_EQ(At(file, 1).m_strText, "Save && Exit");
    EXPECT_EQ(At(file, 1).m_chHotkey, 0);
    EXPECT_EQ(At(file, 2).m_strText, "Save && E&xit");
    EXPECT_EQ(At(file, 2).m_chHotkey, 0);
    for (std::size_t separator : {3u, 4u}) { // the second one had a text in the template
        EXPECT_EQ(At(file, separator).m_nID, 0);
        EXPECT_EQ(At(file, separator).m_strText, "");
        EXPECT_EQ(At(file, separator).m_dwState, 0x40004001u);
    }
    EXPECT_EQ(At(file, 5).m_strText, "Trailing");
    EXPECT_EQ(At(file, 5).m_chHotkey, 0);

    const CResourceItem& level2 = At(file, 6);
    EXPECT_EQ(static_cast<const CMenuNode&>(level2).m_dwOptions, 0x90u); // popup, last of its level
    const CResourceItem& level3 = At(level2, 0);
    EXPECT_EQ(level3.m_strText, "Level3");
    EXPECT_EQ(level3.m_chHotkey, '3');
    const CResourceItem& deep = At(level3, 0);
    EXPECT_EQ(deep.m_strText, "Deep item");
    EXPECT_EQ(deep.m_chHotkey, 'i');
    EXPECT_EQ(static_cast<const CMenuNode&>(deep).m_dwOptions, 0x81u); // grayed, end of level
    EXPECT_EQ(At(level2, 1).m_strText, "After deep");
    EXPECT_EQ(At(At(top, 1), 0).m_chHotkey, 'C');
    EXPECT_EQ(static_cast<const CMenuNode&>(At(At(top, 1), 0)).m_dwOptions, 0x88u); // checked, end

    // The extended menu keeps only its top node.
    EXPECT_EQ(At(menus, 1).m_nID, 101);
    EXPECT_EQ(At(menus, 1).GetCount(), 0u);
}

TEST_P(BasicFixture, DialogsKeepTheirTemplateAndOneItemPerControl) {
    auto scan = ScanFixture(GetParam());
    const CResourceItem& dialogs = scan->info.m_Dialogs;
    ASSERT_EQ(dialogs.GetCount(), 4u);
    const CResourceItem& options = At(dialogs, 0);
    EXPECT_EQ(options.m_nID, 200);
    EXPECT_EQ(options.m_strText, "Opt&ions"); // captions are not split
    EXPECT_EQ(options.m_chHotkey, 0);
    auto module = ResourceModule::Open(Fixture(GetParam()));
    auto bytes = module.Value().Find(kTypeDialog, 200);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(std::equal(bytes->begin(), bytes->end(), options.GetData().begin(), options.GetData().end()));

    ASSERT_EQ(options.GetCount(), 8u);
    EXPECT_EQ(At(options, 0).m_strText, "Name:");
    EXPECT_EQ(At(options, 0).m_chHotkey, 'N');
    EXPECT_EQ(At(options, 1).m_dwState, 0x40004001u); // edit without text
    EXPECT_EQ(At(options, 2).m_strText, "Browse...");
    EXPECT_EQ(At(options, 2).m_chHotkey, 'B');
    EXPECT_EQ(At(options, 4).m_nID, 65535);            // icon with ID -1
    EXPECT_EQ(At(options, 4).m_dwState, 0x40004001u);  // ordinal title
    EXPECT_EQ(At(options, 5).m_strText, "Custom text");
    EXPECT_EQ(At(options, 5).m_chHotkey, 't');
    EXPECT_EQ(At(options, 6).m_strText, "Tab\\there");

    const CResourceItem& extended = At(dialogs, 1);
    EXPECT_EQ(extended.m_strText, "Extended && more");
    ASSERT_EQ(extended.GetCount(), 4u);
    EXPECT_EQ(At(extended, 0).m_nID, 70000 & 0xFFFF);
    EXPECT_EQ(At(extended, 2).m_nID, 70001 & 0xFFFF);
    EXPECT_EQ(At(extended, 2).m_chHotkey, 'm');
    EXPECT_EQ(At(extended, 3).m_strText, "Data"); // read after a control with creation data

    const CResourceItem& bare = At(dialogs, 2);
    EXPECT_EQ(bare.m_dwState, 0x4001u);
    EXPECT_EQ(bare.GetCount(), 0u);
    EXPECT_GT(bare.GetDataSize(), 0u);
    EXPECT_EQ(At(dialogs, 3).m_dwState, 0x4001u);
    EXPECT_EQ(At(At(dialogs, 3), 0).m_dwState, 0x40004001u);
}

TEST_P(BasicFixture, VersionBlocksAndFixedInformation) {
    auto scan = ScanFixture(GetParam());
    EXPECT_EQ(scan->info.m_dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(scan->info.m_dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(scan->info.m_wLanguage, 0x0409);
    const auto& fixed = scan->info.m_VersionInfo.m_FixedInfo;
    EXPECT_EQ((std::vector<std::uint8_t>(fixed.begin(), fixed.begin() + 4)), (std::vector<std::uint8_t>{0xBD, 0x04, 0xEF, 0xFE}));

    const CVersionBlock& root = scan->info.m_VersionInfo.m_Root;
    ASSERT_EQ(root.GetCount(), 2u);
    auto& stringInfo = static_cast<const CVersionBlock&>(At(root, 0));
    EXPECT_EQ(stringInfo.m_strKey, "StringFileInfo");
    EXPECT_EQ(stringInfo.m_nBlockType, kVersionBlock);
    EXPECT_EQ(stringInfo.m_dwState, 0x4001u);
    ASSERT_EQ(stringInfo.GetCount(), 2u);
    auto& english = static_cast<const CVersionBlock&>(At(stringInfo, 0));
    EXPECT_EQ(english.m_strKey, "040904b0");
    EXPECT_EQ(english.m_strTargetKey, "040904b0");
    ASSERT_EQ(english.GetCount(), 5u);
    auto& company = static_cast<const CVersionBlock&>(At(english, 0));
    EXPECT_EQ(company.m_strKey, "CompanyName");
    EXPECT_EQ(company.m_nBlockType, kVersionText);
    EXPECT_EQ(company.m_strText, "Quillon Fixtures");
    EXPECT_EQ(company.m_nID, -1);
    EXPECT_EQ(At(english, 3).m_dwState, 0x4001u); // empty Comments
    EXPECT_EQ(At(stringInfo, 1).GetCount(), 2u);

    auto& translation = static_cast<const CVersionBlock&>(At(At(root, 1), 0));
    EXPECT_EQ(translation.m_strKey, "Translation");
    EXPECT_EQ(translation.m_nBlockType, kVersionBinary);
    EXPECT_EQ(translation.m_dwState, 0x40004001u);
    EXPECT_EQ(translation.m_pValue, (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xB0, 0x04}));
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

TEST(Scan, SameModuleTwiceGivesTheSameTree) {
    auto first = ScanFixture("basic32.exe");
    CResourceExtractor again(Fixture("basic32.exe"), first->info, CodePage(1252));
    again.Extract();
    auto second = ScanFixture("basic32.exe");
    EXPECT_EQ(first->info, second->info);
}

TEST(Scan, JapaneseCodePageKeepsJapaneseText) {
    auto scan = ScanFixture("basic32.exe", 932);
    EXPECT_EQ(CodePage(932).ToUtf16(ChildWithId(scan->info.m_Strings, 41)->m_strText), u"日本語テキスト");
    EXPECT_EQ(scan->report.replacedCharacters, 4u); // ü ß € ä of string 40
}

TEST(Scan, MultiLanguageModuleReadsTheDeclaredLanguage) {
    auto scan = ScanFixture("multilang.dll");
    EXPECT_EQ(scan->info.m_wLanguage, 0x0407);
    EXPECT_EQ(ChildWithId(scan->info.m_Strings, 1)->m_strText, "Hallo");
    EXPECT_EQ(ChildWithId(scan->info.m_Strings, 17)->m_strText, "Neutral 17");
    EXPECT_EQ(ChildWithId(scan->info.m_Dialogs, 100)->m_strText, "Deutscher Dialog");
    EXPECT_EQ(At(*ChildWithId(scan->info.m_Dialogs, 100), 0).m_strText, "Abbrechen");
    EXPECT_EQ(At(*ChildWithId(scan->info.m_Menus, 100), 0).m_strText, "Exit");
}

TEST(Scan, VersionWithoutTranslationTakesTheLanguageOfTheResources) {
    auto scan = ScanFixture("notranslation.dll", 1250);
    EXPECT_EQ(scan->info.m_wLanguage, 0x0415);
    EXPECT_EQ(scan->info.m_dwFileVersionMS, 0x00050006u);
    EXPECT_EQ(scan->info.m_dwFileVersionLS, 0x00070008u);
    EXPECT_EQ(scan->info.m_VersionInfo.m_Root.GetCount(), 1u);
    EXPECT_EQ(ChildWithId(scan->info.m_Strings, 1)->m_strText, "Only string");
}

TEST(Scan, ModuleWithoutResourcesGivesAnEmptyCountedTree) {
    CountingProgress progress;
    auto scan = ScanFixture("nores.exe", 1252, &progress);
    EXPECT_TRUE(scan->report.loaded);
    EXPECT_EQ(scan->info.m_Strings.GetCount() + scan->info.m_Menus.GetCount() + scan->info.m_Dialogs.GetCount(), 0u);
    EXPECT_EQ(scan->info.m_nTranslatable + scan->info.m_nNotTranslatable, 0u);
    EXPECT_EQ(progress.range, 0u);
}

TEST(Scan, UnreadableModuleLeavesAnEmptyTreeAndSaysWhy) {
    auto scan = ScanFixture("basic32.exe");
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

TEST(HotkeySplit, FirstAmpersandOnly) {
    CodePage western(1252);
    auto split = [&](const char* text) { return SplitHotkey(text, western); };
    EXPECT_EQ(split("&File").text, "File");
    EXPECT_EQ(split("&File").hotkey, 'F');
    EXPECT_EQ(split("Save && E&xit").text, "Save && E&xit");
    EXPECT_EQ(split("Save && E&xit").hotkey, 0);
    EXPECT_EQ(split("End&").text, "End");
    EXPECT_EQ(split("End&").hotkey, 0);
    // A letter above 0x7F is widened with its sign, as a signed char would be.
    EXPECT_EQ(split("&\xE4nderung").hotkey, 0xFFE4);
}

TEST(HotkeySplit, MultiByteCharacterNeverBecomesAHotkey) {
    CodePage japanese(932);
    std::string text = "A&" + japanese.FromUtf16(u"日本");
    HotkeyText split = SplitHotkey(text, japanese);
    EXPECT_EQ(split.text, text);
    EXPECT_EQ(split.hotkey, 0);
    // A single-byte character after the ampersand still works in a double-byte code page.
    HotkeyText ascii = SplitHotkey(japanese.FromUtf16(u"日本&X"), japanese);
    EXPECT_EQ(ascii.hotkey, 'X');
    CodePage utf8(kCodePageUtf8);
    EXPECT_EQ(SplitHotkey("&\xC3\xA4nderung", utf8).hotkey, 0);
}

TEST(Escapes, ControlCharactersBecomeTwoCharacterSequences) {
    EXPECT_EQ(EscapeControls("A\tB\r\n"), "A\\tB\\r\\n");
    EXPECT_EQ(EscapeControls("plain"), "plain");
}
