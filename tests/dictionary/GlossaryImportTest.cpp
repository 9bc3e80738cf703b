#include <gtest/gtest.h>

#include <cstdlib>

#include "dictionary/GlossaryImport.h"
#include "model/ResourceItem.h"

using namespace quillon;

namespace {

struct Import {
    CDictonary dictionary;
    GlossaryReport report;
};

Import RunImport(const std::string& text, GlossaryFormat format, std::uint32_t codePage = 1252) {
    Import import;
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    import.report = ImportGlossary(bytes, format, import.dictionary, CodePage(codePage));
    return import;
}

std::string Translation(const CDictonary& dictionary, const std::string& source) {
    const CDictonaryEntry* entry = dictionary.FindEntry(source, ItemKind::String);
    return entry ? entry->m_strTranslation : "<none>";
}

} // namespace

TEST(TextGlossary, FieldsAmpersandsAndTheHotkeyField) {
    Import import = RunImport("&Open\tx\t&Ouvrir\tv\r\nSave\tx\tEnregistrer\tS\r\nTwo tabs\tx\tonly\r\n", GlossaryFormat::Text);
    EXPECT_EQ(Translation(import.dictionary, "Open"), "Ouvrir");
    EXPECT_EQ(import.dictionary.FindEntry("Open", ItemKind::All)->m_chHotkey, 'O'); // the & wins over the last field
    EXPECT_EQ(import.dictionary.FindEntry("Open", ItemKind::All)->m_kind, ItemKind::All);
    EXPECT_EQ(import.dictionary.FindEntry("Save", ItemKind::All)->m_chHotkey, 'S');
    EXPECT_EQ(Translation(import.dictionary, "Two tabs"), "<none>"); // fewer than three tabs
    EXPECT_EQ(import.report.lines, 3u);
    EXPECT_EQ(import.report.counted, 3u);
    EXPECT_EQ(import.report.imported, 2u);
}

TEST(TextGlossary, EveryLineEndingKeepsEveryCharacter) {
    for (std::string ending : {"\r\n", "\n"}) {
        Import import = RunImport("Yes\t-\tJa\t\nNo\t-\tNein\t" + ending + "Maybe\t-\tVielleicht\t", GlossaryFormat::Text);
        EXPECT_EQ(Translation(import.dictionary, "No"), "Nein");
        EXPECT_EQ(Translation(import.dictionary, "Maybe"), "Vielleicht"); // last line without a line feed
        EXPECT_EQ(Translation(import.dictionary, "Yes"), "Ja");
        EXPECT_EQ(import.report.imported, 3u);
    }
    Import leading = RunImport("\nYes\t-\tJa\t\n", GlossaryFormat::Text);
    EXPECT_EQ(Translation(leading.dictionary, "Yes"), "Ja");
}

TEST(TextGlossary, ExistingSourceTextsAreLeftAloneAndCounted) {
    Import import;
    import.dictionary.AddEntry("Open", "Öffnen", 'f', ItemKind::MenuItem);
    std::string text = "Open\t-\tOuvrir\t\r\n";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    import.report = ImportGlossary(bytes, GlossaryFormat::Text, import.dictionary, CodePage(1252));
    EXPECT_EQ(import.dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "Öffnen");
    EXPECT_EQ(import.report.duplicates, 1u);
    EXPECT_EQ(import.report.imported, 0u);
    EXPECT_EQ(import.report.counted, 1u);
}

TEST(MicrosoftGlossary, CommasUntilALineUsesOnlyTabsAndQuotesAreDropped) {
    Import import = RunImport("\"&File\",x,\"&Datei\",\r\n"
                        "Edit,x,Bearbeiten,\r\n"
                        "Too,few\r\n"
                        "Tab\tx\tTabulator\t\r\n"
                        "Comma, here\tx\tKomma, hier\t\r\n",
                        GlossaryFormat::Microsoft);
    EXPECT_EQ(Translation(import.dictionary, "File"), "Datei");
    EXPECT_EQ(import.dictionary.FindEntry("File", ItemKind::All)->m_chHotkey, 'D');
    EXPECT_EQ(Translation(import.dictionary, "Edit"), "Bearbeiten");
    EXPECT_EQ(Translation(import.dictionary, "Tab"), "Tabulator");
    EXPECT_EQ(Translation(import.dictionary, "Comma, here"), "Komma, hier");
    EXPECT_EQ(import.report.counted, 4u); // only usable lines count in this format
    EXPECT_EQ(import.report.lines, 5u);
}

TEST(Glossaries, ByteOrderMarksAreConvertedToTheCodePage) {
    std::u16string text = u"Grüße\t-\tGreetings\t\r\nStraße\t-\tStreet\t\r\n";
    std::vector<std::uint8_t> little{0xFF, 0xFE};
    std::vector<std::uint8_t> big{0xFE, 0xFF};
    for (char16_t unit : text) {
        little.push_back(static_cast<std::uint8_t>(unit));
        little.push_back(static_cast<std::uint8_t>(unit >> 8));
        big.push_back(static_cast<std::uint8_t>(unit >> 8));
        big.push_back(static_cast<std::uint8_t>(unit));
    }
    std::string utf8 = "\xEF\xBB\xBF" "Grüße\t-\tGreetings\t\r\n";
    std::vector<std::uint8_t> withMark(utf8.begin(), utf8.end());
    for (const auto& bytes : {little, big, withMark}) {
        CDictonary dictionary;
        GlossaryReport report = ImportGlossary(bytes, GlossaryFormat::Text, dictionary, CodePage(1252));
        EXPECT_EQ(dictionary.FindEntry("Gr\xFC\xDF" "e", ItemKind::All)->m_strTranslation, "Greetings");
        EXPECT_EQ(report.replacedCharacters, 0u);
    }
    // UTF-8 without a mark is recognised too.
    Import utf8NoMark = RunImport("Grüße\t-\tGreetings\t\r\n", GlossaryFormat::Text);
    EXPECT_EQ(Translation(utf8NoMark.dictionary, "Gr\xFC\xDF" "e"), "Greetings");
    // Otherwise the bytes are already in the code page.
    Import ansi = RunImport("Gr\xFC\xDF" "e\t-\tGreetings\t\r\n", GlossaryFormat::Text);
    EXPECT_EQ(Translation(ansi.dictionary, "Gr\xFC\xDF" "e"), "Greetings");
}

TEST(Glossaries, TextEndsAtTheFirstZeroByte) {
    std::string text = "A\t-\tB\t\r\n";
    text += '\0';
    text += "C\t-\tD\t\r\n";
    Import import = RunImport(text, GlossaryFormat::Text);
    EXPECT_EQ(import.report.imported, 1u);
    EXPECT_EQ(Translation(import.dictionary, "C"), "<none>");
}

TEST(Glossaries, OverLongLinesAreSkippedAndCountedWhateverTheEncoding) {
    // Byte-order mark and bytes per character; `lineBytes` is the long line's
    // length in the file, without its line ending.
    struct Case {
        std::vector<std::uint8_t> mark;
        int unit; // 1, or 2 for UTF-16 (+2 little-endian, -2 big-endian)
        std::size_t lineBytes;
        bool imported;
    } cases[] = {
        {{}, 1, kMaxGlossaryLineBytes, true},
        {{}, 1, kMaxGlossaryLineBytes + 1, false},
        {{0xEF, 0xBB, 0xBF}, 1, kMaxGlossaryLineBytes, true},
        {{0xEF, 0xBB, 0xBF}, 1, kMaxGlossaryLineBytes + 1, false},
        {{0xFF, 0xFE}, 2, kMaxGlossaryLineBytes, true},
        {{0xFF, 0xFE}, 2, kMaxGlossaryLineBytes + 2, false},
        {{0xFE, 0xFF}, -2, kMaxGlossaryLineBytes + 2, false},
    };
    for (const Case& c : cases) {
        std::string prefix = "Long\t-\t";
        std::string translation(c.lineBytes / static_cast<std::size_t>(std::abs(c.unit)) - prefix.size() - 1, 'x');
        std::string text = "Before\t-\tVorher\t\r\n" + prefix + translation + "\t\r\nAfter\t-\tDanach\t";
        std::vector<std::uint8_t> bytes = c.mark;
        for (char ch : text) {
            if (c.unit == -2) bytes.push_back(0);
            bytes.push_back(static_cast<std::uint8_t>(ch));
            if (c.unit == 2) bytes.push_back(0);
        }
        CDictonary dictionary;
        GlossaryReport report = ImportGlossary(bytes, GlossaryFormat::Text, dictionary, CodePage(1252));
        SCOPED_TRACE(::testing::Message() << c.unit << " " << c.lineBytes);
        EXPECT_EQ(report.lines, 3u);
        EXPECT_EQ(report.tooLong, c.imported ? 0u : 1u);
        EXPECT_EQ(report.imported, c.imported ? 3u : 2u);
        EXPECT_EQ(Translation(dictionary, "After"), "Danach");
        EXPECT_EQ(Translation(dictionary, "Long"), c.imported ? translation : "<none>");
    }
}
