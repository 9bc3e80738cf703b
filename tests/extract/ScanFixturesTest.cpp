#include <gtest/gtest.h>

#include "extract/LanguageModules.h"
#include "extract/Scans.h"
#include "extract/TemplateParsers.h"
#include "extract/TextRules.h"
#include "io/ByteReader.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

const CResourceItem& At(const CResourceItem& parent, std::size_t index) { return *parent.GetChildren().at(index); }

// UTF-16 units as templates hold them: little-endian.
std::vector<std::uint8_t> Le(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) bytes.insert(bytes.end(), {std::uint8_t(unit & 0xFF), std::uint8_t(unit >> 8)});
    return bytes;
}

} // namespace

class BasicFixture : public ::testing::TestWithParam<const char*> {};

// basic.rc. Strings keep their IDs, escapes and the buffer's cut. Menus:
// hotkeys split off at the first lone '&', "&&" kept, a text's trailing '&'
// dropped, separators (the second had a text) fixed and empty, option words
// with the end bit on each level's last entry, the extended menu 101 kept as
// its top node alone. Dialogs: captions keep their '&'; a control without
// text, the icon (ID -1 read as 65535) and the empty dialog are fixed; the
// extended dialog's 32-bit IDs come as their low words, and a control with
// creation data does not derail the next one. Then the counters, the
// progress and the version resource. (How the tree is stored in a project
// is the model tests' part: ResourceInfoRecord, ResourceItemRecord.)
TEST_P(BasicFixture, ScanGivesTheTreeOfTheResourceScript) {
    CountingProgress progress;
    auto scan = ScanFixture(GetParam(), 1252, &progress);
    const CResourceInfo& info = scan->info;
    std::vector<std::int32_t> ids;
    for (const auto& s : info.m_Strings.GetChildren()) {
        ids.push_back(s->m_nID);
        EXPECT_EQ(s->m_dwState, RIS_CREATED);
        EXPECT_EQ(s->GetTranslation(), s->GetText());
    }
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 5, 15, 16, 40, 41, 100, 4095, 65535}));
    EXPECT_EQ(TextAt(info.m_Strings, {2}), "A\\tB\\r\\n");
    EXPECT_EQ(TextAt(info.m_Strings, {40}), "Gr\xFC\xDF" "e \x80 \xE4");
    EXPECT_EQ(TextAt(info.m_Strings, {41}), "???????");
    EXPECT_EQ(scan->report.replacedCharacters, 7u);
    EXPECT_EQ(TextAt(info.m_Strings, {100}).size(), 2047u);
    EXPECT_EQ(Outline(info.m_Menus), R"(100 "" 4001 /0
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
    EXPECT_EQ(Outline(info.m_Dialogs), R"(200 "Opt&ions" 1
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
    // Dialogs keep their template for the build (which rewrites it: StreamedBuild), the empty one too.
    EXPECT_GT(At(info.m_Dialogs, 2).GetDataSize(), 0u);

    // Popups: two top nodes, File, Level2, Level3, Edit. Of the strings, popups, items, dialogs and controls
    // those not translatable: two top nodes, two separators, two captions, four controls, all skipped.
    EXPECT_EQ(std::tuple(info.m_nPopups, info.m_nMenuItems, info.m_nControls, info.m_nTranslatable + info.m_nNotTranslatable,
                         info.m_nNotTranslatable, info.m_nSkipped),
              std::tuple(6u, 10u, 13u, 10u + 6u + 10u + 4u + 13u, 10u, 10u));
    // Shown for blocks 1, 2, 3, 7, 256 and 4096, dialogs 200-203, menus 100, 101 and one version; every step
    // taken; hidden once.
    EXPECT_EQ(std::tie(progress.shownMessage, progress.range, progress.steps, progress.hidden),
              std::tuple(std::string(kExtractMessage), 6u * 16 + 4 + 2 + 1, 6u * 16 + 4 + 2 + 1, 1));

    EXPECT_EQ(std::tuple(info.m_dwFileVersionMS, info.m_dwFileVersionLS, info.m_wLanguage),
              std::tuple(0x00010002u, 0x00030004u, 0x0409));
    EXPECT_EQ(ByteReader::U32At(info.m_VersionInfo.m_FixedInfo, 0), 0xFEEF04BDu);
    const CVersionBlock& root = info.m_VersionInfo.m_Root;
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
    EXPECT_EQ(std::pair(english.m_strTargetKey, At(english, 0).m_nID), std::pair(std::string("040904b0"), -1));
    EXPECT_EQ(static_cast<const CVersionBlock&>(At(At(root, 1), 0)).m_pValue,
              (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xB0, 0x04}));
}

INSTANTIATE_TEST_SUITE_P(Modules, BasicFixture, ::testing::Values("basic32.exe", "basic64.exe", "unstripped64.exe"));

// A scan empties the tree first: scanning again gives the same tree, and a
// module that cannot be read, or a code page without a converter, leaves it
// empty and says why.
TEST(Scan, ScanningIntoAFilledTreeStartsAfresh) {
    auto scan = ScanFixture("basic32.exe");
    // The error of a scan into the same tree, blank when the scan succeeds. (That the report says
    // the module was not loaded: DamagedModules.EveryTruncationAndByteFlipIsHandled through ScanBytes.)
    auto scanAgain = [&](auto module, std::uint32_t codePage = 1252) {
        Status scanned = CResourceExtractor(std::move(module), scan->info, CodePage(codePage)).Extract();
        return scanned ? Error{} : scanned.GetError();
    };
    EXPECT_EQ(scanAgain(Fixture("basic32.exe")).message, "");
    EXPECT_EQ(scan->info, ScanFixture("basic32.exe")->info);

    Error refused = scanAgain(Fixture("corrupt/not-pe.exe"));
    EXPECT_EQ(refused.code, Error::Code::NotModule);
    EXPECT_EQ(scan->info, CResourceInfo());
    // A module opened beforehand that could not be opened fails the same way.
    EXPECT_EQ(scanAgain(ResourceModule::Open(Fixture("corrupt/not-pe.exe"))).message, refused.message);

    EXPECT_EQ(scanAgain(Fixture("basic32.exe")).message, ""); // filled again
    EXPECT_EQ(scanAgain(Fixture("basic32.exe"), 99999).code, Error::Code::Unsupported);
    EXPECT_EQ(scan->info, CResourceInfo());
}

// Japanese text in its code page; the declared language of a module with
// several; a version without translation takes the resources' language; a
// module without resources gives an empty tree. What the heap is set up for:
// the string tables, dialogs and menus in every language, as python3-pefile
// (or `quillon-cli resources`) sums the sizes of those resources.
TEST(Scan, LanguagesCodePagesTextsAndScannedBytes) {
    const struct {
        const char* module;
        std::uint32_t codePage;
        std::uint16_t language;
        std::size_t replaced;
        std::uint64_t scannedBytes;
        std::vector<std::tuple<Root, std::vector<std::int32_t>, std::string>> texts;
    } cases[] = {
        {"basic32.exe", 932, 0x0409, 4, 7696, // ü ß € ä of string 40
         {{Root::Strings, {41}, CodePage(932).FromUtf16(u"日本語テキスト")}}},
        {"multilang.dll", 1252, 0x0407, 0, 746,
         {{Root::Strings, {1}, "Hallo"}, {Root::Strings, {17}, "Neutral 17"}, {Root::Dialogs, {100}, "Deutscher Dialog"},
          {Root::Dialogs, {100, 1}, "Abbrechen"}, {Root::Menus, {100, 100}, "Exit"}}},
        {"notranslation.dll", 1250, 0x0415, 0, 54, {{Root::Strings, {1}, "Only string"}}},
        {"nores.exe", 1252, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module);
        CountingProgress progress;
        auto scan = ScanFixture(c.module, c.codePage, &progress);
        EXPECT_EQ(scan->info.m_wLanguage, c.language);
        EXPECT_EQ(scan->report.replacedCharacters, c.replaced);
        for (const auto& [root, ids, text] : c.texts) EXPECT_EQ(TextAt(RootItem(scan->info, root), ids), text);
        EXPECT_EQ(ScannedBytes(ResourceModule::Open(Fixture(c.module)).Value()), c.scannedBytes);
        EXPECT_TRUE(!c.texts.empty() || scan->info.m_nTranslatable + scan->info.m_nNotTranslatable + progress.range == 0);
    }
    CResourceInfo version = std::move(ScanFixture("notranslation.dll", 1250)->info);
    EXPECT_EQ(std::tuple(version.m_dwFileVersionMS, version.m_dwFileVersionLS, version.m_VersionInfo.m_Root.GetCount()),
              std::tuple(0x00050006u, 0x00070008u, 1u));
}

TEST(ModuleLanguage, WithoutDeclarationTheLanguageHoldingMostResourcesWins) {
    const std::pair<std::vector<BuiltResource>, std::uint16_t> cases[] = {
        {{Strings(0x0409, 1, u"a"), Strings(0x040C, 2, u"b"), Dialog(0x040C, 100, u"c")}, 0x040C},
        {{Strings(0x0000, 1, u"a"), Strings(0x0409, 2, u"b")}, 0x0000}, // ties: neutral,
        {{Strings(0x0809, 1, u"a"), Strings(0x0407, 2, u"b")}, 0x0809}, // then English,
        {{Strings(0x0407, 1, u"a"), Strings(0x0405, 2, u"b")}, 0x0405}, // then the lowest
        {{Strings(0x0409, 1, u"a"), ExtendedMenu(0x040C, 1), ExtendedMenu(0x040C, 2)}, 0x0409},
        {{Strings(0x0409, 1, u"a"),
          {ResourceId::Integer(16), ResourceId::Integer(1), 0x0409, VersionBytes({.language = 0x0407})}},
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
        EXPECT_EQ(std::pair(split.text, split.hotkey), std::pair(c.split, c.hotkey)) << c.text;
    }
}

// Texts as templates hold them (little-endian units, odd lengths and all)
// become the tree's bytes in its code page; characters it cannot hold become
// '?' and are counted, ASCII or not, wherever they stand among eight-byte words.
// The scan's one-pass conversion gives the tree's escaped text of the same:
// control characters and backslashes before, inside and after the first eight
// units, texts cut by their buffer, and texts beyond ASCII.
TEST(TemplateText, LittleEndianUnitsConvertAndCutAsTheirCodePageDoesAndComeEscapedInOnePass) {
    const struct {
        std::u16string text;
        std::uint32_t codePage;
        std::size_t buffer;
        std::string converted;
        std::size_t replaced;
    } cases[] = {
        {u"Open the file", 1252, 256, "Open the file", 0},
        {u"Open the fil\u00E9", 1252, 256, "Open the fil\xE9", 0},
        {u"Caf\u00E9 au lait", 1251, 256, "Caf? au lait", 1},
        {u"Op\u0100en", 1252, 256, "Op?en", 1},
        {u"Open \uFDEA file", 1252, 256, "Open ? file", 1}, // a unit from 0x8000 up among eight
        {u"Open the file", 1252, 5, "Open", 0},
        {u"Open the fil\u0100", 1252, 5, "Open", 1}, // counted even where the buffer cuts it off
        {u"\u65E5\u672C", 932, 4, "\x93\xFA", 0}, // a double-byte character is cut whole
        {u"Line 1\r\nLine 2\tTab\\x", 1252, 256, "Line 1\r\nLine 2\tTab\\x", 0},
        {u"12345678\n", 1252, 256, "12345678\n", 0},
        {u"123\\5678", 1252, 256, "123\\5678", 0},
        {u"C:\\new\\file.txt and more text", 1252, 12, "C:\\new\\file", 0},
        {u"Caf\u00E9\tau lait", 1252, 256, "Caf\xE9\tau lait", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.converted);
        CodePage codePage(c.codePage);
        TemplateText text(codePage);
        EXPECT_EQ(text.ConvertLe(Le(c.text), c.buffer), c.converted);
        EXPECT_EQ(text.Replaced(), c.replaced);
        EXPECT_EQ(TemplateText(codePage).ConvertEscapedLe(Le(c.text), c.buffer), EscapeText(c.converted, codePage));
    }
}

// A string ends at its first NUL, as loading it would end it, wherever the NUL
// lies among four-unit words; a slot that starts with NUL gives no item.
TEST(StringTables, AStringEndsAtItsFirstNul) {
    using namespace std::string_literals; // a plain u"" literal would end at the first NUL
    const std::array<std::u16string, 16> slots{u"Abc\0def"s, u"12345678\0tail"s, u"1234\0"s, u"\0hidden"s, u"12345678"s,
                                               u"Eight ch"s};
    auto scan =
        ScanBytes(BuildPeWithResources({{ResourceId::Integer(6), ResourceId::Integer(2), 0x0409, StringBlockBytes(slots)}}));
    EXPECT_EQ(Outline(scan->info.m_Strings),
              "16 \"Abc\" 1\n17 \"12345678\" 1\n18 \"1234\" 1\n20 \"12345678\" 1\n21 \"Eight ch\" 1\n");
}
