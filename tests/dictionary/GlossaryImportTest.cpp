#include <gtest/gtest.h>

#include "dictionary/GlossaryImport.h"
#include "model/ResourceItem.h"

namespace quillon {
void PrintTo(const GlossarySkippedLine& line, std::ostream* out) {
    *out << "line " << line.line << " reason " << static_cast<int>(line.reason) << " '" << line.characters << "'";
}
} // namespace quillon

using namespace quillon;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>; // source, translation, in UTF-8

struct Import {
    CDictonary dictionary;
    Result<GlossaryReport> report = GlossaryReport{};
    Entries Stored(std::uint32_t codePage = 1252) const {
        Entries entries;
        CodePage page(codePage);
        for (auto [source, entry] : dictionary.SortedEntries())
            entries.emplace_back(page.ToUtf8(source), page.ToUtf8(entry->m_strTranslation));
        return entries;
    }
};

Import RunImport(const std::string& bytes, GlossaryFormat format, std::uint32_t codePage = 1252,
                 IProgress* progress = nullptr) {
    Import import;
    import.report = ImportGlossary(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), format, import.dictionary,
                                   CodePage(codePage), progress);
    return import;
}

std::string Utf16(std::u16string_view text, bool bigEndian, bool mark) {
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

} // namespace

TEST(Glossaries, EveryLineIsImportedOrNamedWithItsReason) {
    using enum GlossarySkip;
    using Format = GlossaryFormat;
    // A glossary and the code page it goes into; the entries stored, the lines skipped and the encoding read.
    const struct { const char* what; Format format; std::string bytes; std::uint32_t codePage; Entries stored;
                   std::vector<GlossarySkippedLine> skipped; std::string encoding; } cases[] = {
        {"no TAB after the translation, too few fields, blank and empty", Format::Text,
         "Save\t-\tSpeichern\r\nOpen\t-\r\n\r\nClose\t-\t\t\r\n&\t-\tLeer\t\r\n", 1252,
         {{"Save", "Speichern"}}, {{2, FewerThanThreeFields, ""}, {4, NoTranslation, ""}, {5, NoSource, ""}}, "code page 1252"},
        {"UTF-16LE without a mark", Format::Text, Utf16(u"Grüße\t-\tGreetings\t\r\nStraße\t-\tStreet\t\r\n", false, false),
         1252, {{"Grüße", "Greetings"}, {"Straße", "Street"}}, {}, "UTF-16LE without byte-order mark"},
        {"UTF-16BE without a mark", Format::Text, Utf16(u"Grüße\t-\tGreetings\t\r\n", true, false), 1252,
         {{"Grüße", "Greetings"}}, {}, "UTF-16BE without byte-order mark"},
        {"UTF-16LE with a mark and an unpaired surrogate", Format::Text,
         Utf16(u"A\t-\t\xD800\t\r\nB\t-\tb\t", false, true), 1252, {{"B", "b"}}, {{1, InvalidUtf16, ""}},
         "UTF-16LE with byte-order mark"},
        {"CSV quotes as spreadsheets write them", Format::Microsoft,
         "\"Quoted, text\",x,\"Zitiert, \"\"Text\"\"\"\r\nEdit,x,Bearbeiten\r\n,,\r\n\"Open,x,Offen\r\nToo,few\r\n", 1252,
         {{"Edit", "Bearbeiten"}, {"Quoted, text", "Zitiert, \"Text\""}},
         {{4, UnclosedQuote, ""}, {5, FewerThanThreeFields, ""}}, "code page 1252"},
        // One zero byte in a text of 8-bit lines is no UTF-16.
        {"a NUL on line 2", Format::Text, "A\t-\tB\t\r\nNul" + std::string(1, '\0') + "\t-\tx\t\r\nC\t-\tD\t\r\n", 1252,
         {{"A", "B"}, {"C", "D"}}, {{2, NulCharacter, ""}}, "code page 1252"},
        {"CR line ends", Format::Text, "A\t-\tB\rC\t-\tD\r\rE\t-\tF\r\nG\t-\tH\r", 1252,
         {{"A", "B"}, {"C", "D"}, {"E", "F"}, {"G", "H"}}, {}, "code page 1252"},
        {"UTF-8 but for one line", Format::Text,
         "Größe\t-\tSize\t\r\nBreite\t-\tWidth\t\r\nGr\xF6\xDF" "e\t-\tcp1252\t\r\nHöhe\t-\tHeight\t\r\n", 1252,
         {{"Breite", "Width"}, {"Größe", "Size"}, {"Höhe", "Height"}}, {{3, InvalidUtf8, ""}}, "UTF-8"},
        {"a code page glossary stays one", Format::Text,
         "Gr\xF6\xDF" "e\t-\tSize\r\nH\xF6he\t-\tHeight\r\nOhm\t-\t\xC2\xA9\r\n", 1252,
         {{"Größe", "Size"}, {"Höhe", "Height"}, {"Ohm", "Â©"}}, {}, "code page 1252"},
        {"a UTF-8 project", Format::Text, "\xC3\x96l\t-\tOil\t\r\nGr\xF6\xDF" "e\t-\tSize\t\r\n", kCodePageUtf8,
         {{"Öl", "Oil"}}, {{2, InvalidUtf8, ""}}, "UTF-8"},
        {"the end-of-file mark of DOS editors", Format::Text, "A\t-\tB\t\r\n\x1A", 1252, {{"A", "B"}}, {}, "code page 1252"},
        {"characters 1252 cannot hold", Format::Text, "Ohm\t-\tΩ Ω\t\r\nHeat\t-\tHitze\t\r\nAll\tЖ\tα–ω\tλ\r\n",
         1252, {{"Heat", "Hitze"}}, {{1, NotInCodePage, "Ω"}, {3, NotInCodePage, "αωλ"}}, "UTF-8"},
        {"UTF-16BE with a mark", Format::Text, Utf16(u"Grüße\t-\tGreetings\t\r\n", true, true), 1252,
         {{"Grüße", "Greetings"}}, {}, "UTF-16BE with byte-order mark"},
        {"UTF-8 with a mark", Format::Text, "\xEF\xBB\xBFGrüße\t-\tGreetings\t\r\n", 1252, {{"Grüße", "Greetings"}}, {},
         "UTF-8 with byte-order mark"},
        {"commas until a line uses only tabs", Format::Microsoft,
         "\"&File\",x,\"&Datei\",\r\nEdit,x,Bearbeiten,\r\nTab\tx\tTabulator\t\r\nComma, here\tx\tKomma, hier\t\r\n"
         "\"Tab, quoted\"\tx\tq\t\r\n", 1252,
         {{"Comma, here", "Komma, hier"}, {"Edit", "Bearbeiten"}, {"File", "Datei"}, {"Tab", "Tabulator"}, {"Tab, quoted", "q"}},
         {}, "code page 1252"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Import import = RunImport(c.bytes, c.format, c.codePage);
        ASSERT_TRUE(import.report.Ok()) << import.report.GetError().Describe();
        const GlossaryReport& report = import.report.Value();
        EXPECT_EQ(import.Stored(c.codePage), c.stored);
        EXPECT_EQ(report.skipped, c.skipped);
        EXPECT_EQ(report.EncodingName(), c.encoding);
        EXPECT_EQ(report.entries, c.stored.size() + c.skipped.size());
        EXPECT_EQ(report.imported, c.stored.size());
    }
}

// The window's Cancel: the import stops after the line at which it was
// asked to, says so, and closes its progress.
TEST(Glossaries, AnImportStopsWhenItsProgressAsks) {
    struct StopAfterThree : IProgress {
        int steps = 0;
        bool hidden = false;
        void Show(std::string_view, std::uint32_t) override {}
        void Step() override { ++steps; }
        void Hide() override { hidden = true; }
        bool StopRequested() const override { return steps >= 3; }
    } progress;
    std::string text;
    for (int n = 1; n <= 10; ++n) text += "Text " + std::to_string(n) + "\t-\tTexte\t\n";
    Import import = RunImport(text, GlossaryFormat::Text, 1252, &progress);
    ASSERT_FALSE(import.report.Ok());
    EXPECT_EQ(import.report.GetError().code, Error::Code::Cancelled);
    EXPECT_EQ(import.report.GetError().message, "the import was stopped after 3 of 10 lines");
    EXPECT_EQ(import.dictionary.GetCount(), 3u);
    EXPECT_TRUE(progress.hidden);
}

TEST(Glossaries, OnlyTheFirstThousandSkippedLinesAreListed) {
    std::string text;
    for (int n = 0; n < 1500; ++n) text += "no tabs\n";
    const GlossaryReport report = RunImport(text + "A\t-\tB\t", GlossaryFormat::Text).report.Value();
    EXPECT_EQ(std::tuple(report.skippedLines, report.skipped.size(), report.imported),
              std::tuple(1500u, kMaxListedSkippedLines, 1u));
}

// The '&' wins over the hotkey field; a source text the dictionary has
// already keeps its entry and is counted.
TEST(TextGlossary, FieldsAmpersandsTheHotkeyFieldAndTextsAlreadyThere) {
    CDictonary dictionary;
    dictionary.AddEntry("Close", "Schließen", 'c', ItemKind::MenuItem);
    std::string text = "&Open\tx\t&Ouvrir\tv\r\nSave\tx\tEnregistrer\tS\r\nÖl\tx\tHuile\tÖ\r\nClose\t-\tZu\t\r\n";
    auto report = ImportGlossary(std::vector<std::uint8_t>(text.begin(), text.end()), GlossaryFormat::Text, dictionary,
                                 CodePage(1252));
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::All)->m_chHotkey, 'O');
    EXPECT_EQ(dictionary.FindEntry("Save", ItemKind::All)->m_chHotkey, 'S');
    EXPECT_EQ(dictionary.FindEntry("\xD6l", ItemKind::All)->m_chHotkey, 0xFFD6); // one UTF-8 character, one byte of 1252
    EXPECT_EQ(dictionary.FindEntry("Close", ItemKind::MenuItem)->m_strTranslation, "Schließen");
    EXPECT_EQ(std::tuple(report.Value().duplicates, report.Value().imported), std::tuple(1u, 3u));
}

TEST(Glossaries, OverLongLinesAreSkippedWhateverTheEncoding) {
    // The long line's length in the file, without its line ending.
    struct Case { bool utf16; std::size_t lineBytes; bool imported; } cases[] = {
        {false, kMaxGlossaryLineBytes, true},
        {false, kMaxGlossaryLineBytes + 1, false},
        {true, kMaxGlossaryLineBytes, true},
        {true, kMaxGlossaryLineBytes + 2, false},
    };
    for (const Case& c : cases) {
        std::string translation(c.lineBytes / (c.utf16 ? 2 : 1) - 8, 'x');
        std::string text = "Before\t-\tVorher\t\r\nLong\t-\t" + translation + "\t\r\nAfter\t-\tDanach\t";
        std::string bytes = c.utf16 ? Utf16(std::u16string(text.begin(), text.end()), false, true) : text;
        Import import = RunImport(bytes, GlossaryFormat::Text);
        SCOPED_TRACE(c.lineBytes);
        EXPECT_EQ(import.report.Value().lines, 3u);
        std::vector<GlossarySkippedLine> tooLong{{2, GlossarySkip::TooLong, ""}};
        EXPECT_EQ(import.report.Value().skipped, c.imported ? std::vector<GlossarySkippedLine>{} : tooLong);
        EXPECT_EQ(import.Stored().size(), c.imported ? 3u : 2u);
    }
}
