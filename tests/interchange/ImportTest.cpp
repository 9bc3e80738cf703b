// What an import refuses and why, what it plans for each state, and files
// that are not what they claim: every one an error or a refusal, never a crash.

#include <gtest/gtest.h>

#include <functional>

#include "InterchangeProjects.h"
#include "interchange/Po.h"
#include "model/ItemPath.h"

using namespace quillon;
using namespace quillon::testing;

TEST(InterchangeImport, RefusesUnitsTheProjectCannotTakeAndSaysWhy) {
    // What is done to a unit, the refusal it gets and what the report says in its words.
    struct { const char* name; std::function<void(TranslationUnit&)> damage; Refusal reason; std::string said; }
        cases[] = {
        {"unknown address", [](TranslationUnit& u) { u.id = "strings/65000"; }, Refusal::UnknownAddress,
         "strings/65000: no item has this address"},
        {"stale source", [](TranslationUnit& u) { u.source = "&Open a file...\tCtrl+O"; }, Refusal::SourceChanged,
         "the source changed; it is now \"&Open...\tCtrl+O\""},
        {"code page", [](TranslationUnit& u) { u.target = "&Открыть ≈ 開く\tCtrl+O"; }, Refusal::Unencodable,
         "the project's code page cannot hold О т к р ы ь ≈ 開 く"},
        {"hotkey in an escape", [](TranslationUnit& u) { u.target = "Öffnen&\n"; }, Refusal::HotkeyNotInText,
         "hotkey"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto project = TranslatedSample();
        UnitFile file = UnitsOf(*project);
        TranslationUnit& open = *UnitStartingWith(file, "&Open");
        open.state = UnitState::Translated;
        c.damage(open);
        ImportPlan plan = PlanImport(*project, file).Value();
        ASSERT_EQ(plan.refused.size(), 1u);
        EXPECT_EQ(plan.refused[0].reason, c.reason);
        EXPECT_NE(Describe(plan.refused[0]).find(c.said), std::string::npos) << Describe(plan.refused[0]);
        EXPECT_TRUE(plan.change.Empty());
    }
}

TEST(InterchangeImport, StatesBecomeTranslationsReviewMarksAndRestores) {
    auto project = NewProjectOf(SamplePath("quillpad.exe"));
    UnitFile file = UnitsOf(*project);
    TranslationUnit& save = *UnitStartingWith(file, "&Save\t");
    save.target = "&Speichern\tStrg+S";
    save.state = UnitState::Translated;
    TranslationUnit& exit = *UnitStartingWith(file, "E&xit");
    exit.target = "&Beenden %d";
    exit.state = UnitState::NeedsReview;
    file.units.push_back(save); // the same address twice
    ImportPlan plan = PlanImport(*project, file).Value();
    EXPECT_EQ(std::tie(plan.translated, plan.review), std::tuple(1u, 1u));
    ASSERT_EQ(plan.refused.size(), 1u);
    EXPECT_EQ(plan.refused[0].reason, Refusal::Duplicate);
    // The checks see the texts taken: the placeholder the source has not.
    ASSERT_EQ(plan.findings.size(), 1u);
    EXPECT_EQ(std::tie(plan.findings[0].code, plan.findings[0].path), std::tuple(CheckCode::PlaceholderAdded, exit.id));
    ASSERT_EQ(plan.change.ItemEdits().size(), 2u);
    const ItemEdit& saved = plan.change.ItemEdits()[0];
    EXPECT_EQ(std::tie(saved.after.text, saved.after.hotkey), std::tuple("Speichern\\tStrg+S", 'S'));
    EXPECT_EQ(plan.change.ItemEdits()[1].after.state & RIS_CARRIED, RIS_CARRIED);
    std::uint32_t before = project->m_ResourceInfo.m_nTranslated;
    plan.change.Apply(*project);
    EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, before + 2);

    // Untranslated in the file takes the translation back.
    UnitFile back = UnitsOf(*project);
    for (TranslationUnit& unit : back.units) unit.state = UnitState::Untranslated;
    ImportPlan restore = PlanImport(*project, back).Value();
    EXPECT_EQ(restore.untranslated, 2u);
    restore.change.Apply(*project);
    EXPECT_EQ(project->m_ResourceInfo.m_nTranslated, before);
    EXPECT_FALSE(Find(project->m_ResourceInfo, save.id).Value()->IsTranslated());
}

// A file for another language is refused whole; a region, gettext's
// spelling of a tag, or no language at all is taken.
TEST(InterchangeImport, AFileForAnotherLanguageIsRefusedWhole) {
    const std::pair<const char*, bool> cases[] = {
        {"cs", false}, {"en-US", false}, {"de", true}, {"de-AT", true}, {"de_DE", true}, {"", true}, {"und", true}};
    for (const auto& [language, taken] : cases) {
        SCOPED_TRACE(language);
        auto project = NewProjectOf(SamplePath("quillpad.exe"));
        UnitFile file = UnitsOf(*project);
        file.targetLanguage = language;
        UnitStartingWith(file, "&Save\t")->target = "&Speichern";
        UnitStartingWith(file, "&Save\t")->state = UnitState::Translated;
        // The count of translations taken, or why none was.
        auto plan = PlanImport(*project, file);
        EXPECT_EQ(plan ? std::to_string(plan.Value().translated) : plan.GetError().message,
                  taken ? "1" : "the file translates into " + std::string(language) + ", the project into de");
    }
}

TEST(InterchangeImport, HostileFilesAreErrorsNeverCrashes) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<g>";
    const std::string huge(2 << 20, 'a');
    const struct { const char* name; InterchangeFormat format; std::string bytes; } cases[] = {
        {"billion laughs", InterchangeFormat::Xliff,
         "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><xliff><file><body><trans-unit id=\"strings/1\"><source>&c;"
         "</source></trans-unit></body></file></xliff>"},
        {"deep nesting", InterchangeFormat::Xliff, "<xliff><file><body><trans-unit id=\"a\"><source>" + deep},
        {"huge text", InterchangeFormat::Xliff,
         "<xliff><file><body><trans-unit id=\"strings/1\"><source>" + huge +
             "</source></trans-unit></body></file></xliff>"},
        {"truncated", InterchangeFormat::Xliff, "<xliff version=\"1.2\"><file><body><trans-unit id=\"strings/1\"><so"},
        {"invalid UTF-8", InterchangeFormat::Xliff,
         "<xliff><file><body><trans-unit id=\"x\"><source>\xC3\x28</source>"},
        {"not XLIFF", InterchangeFormat::Xliff, "<html><body/></html>"},
        {"empty", InterchangeFormat::Xliff, ""},
        {"PO huge text", InterchangeFormat::Po, "msgctxt \"strings/1\"\nmsgid \"" + huge + "\"\nmsgstr \"\"\n"},
        {"PO invalid UTF-8", InterchangeFormat::Po, "msgid \"\xFF\xFE\"\nmsgstr \"\"\n"},
        {"PO header escaped past UTF-8", InterchangeFormat::Po, "msgid \"\"\nmsgstr \"Language: \\377\\n\"\n"},
        {"PO unterminated", InterchangeFormat::Po, "msgid \"open\nmsgstr \"\"\n"},
        {"PO escape at the end", InterchangeFormat::Po, "msgid \"open\\\"\nmsgstr \"\"\n"},
        {"PO truncated", InterchangeFormat::Po, "msgctxt \"strings/1\"\nmsgid \"Open\"\n"},
        {"PO unknown keyword", InterchangeFormat::Po, "msgfoo \"x\"\n"},
        {"PO stray string", InterchangeFormat::Po, "\"x\"\n"},
    };
    for (const auto& c : cases) EXPECT_FALSE(ReadUnits(c.format, AsBytes(c.bytes)).Ok()) << c.name;
}

TEST(InterchangeImport, EveryCutOfAnExportReadsOrFailsCleanly) {
    auto project = TranslatedSample();
    for (InterchangeFormat format : {InterchangeFormat::Xliff, InterchangeFormat::Po}) {
        std::string bytes = WriteUnits(format, UnitsOf(*project)).Value().bytes;
        std::size_t whole = ReadUnits(format, AsBytes(bytes)).Value().units.size();
        for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
            auto read = ReadUnits(format, AsBytes(bytes).first(cut));
            EXPECT_LE(read ? read.Value().units.size() : 0, whole) << cut;
        }
    }
}

TEST(InterchangeImport, PoEscapesContextsAndPluralsReadAsGettextWritesThem) {
    using namespace std::string_literals;
    const std::string po =
        "# comment\n"
        "msgid \"\"\nmsgstr \"\"\n\"Language: fr\\n\"\n\"X-Source-Language: en-US\\n\"\n\n"
        "#. MENUITEM 1\n#, c-format, fuzzy\nmsgctxt \"menus/1/2\"\nmsgid \"\"\n\"a\\tb\\n\"\n\"c\\\"\\\\\\101\\x42\"\n"
        "msgstr \"x\"\n\n"
        "#: strings/7 other.c:12\nmsgid \"seven\"\nmsgstr \"sept\"\n\n"
        "msgid \"one\"\nmsgid_plural \"many\"\nmsgstr[0] \"un\"\nmsgstr[1] \"des\"\n\n"
        "#~ msgid \"old\"\n#~ msgstr \"vieux\"\n"
        "msgctxt \"strings/8\"\nmsgid \"eight\"\nmsgstr \"hu\0it\"\n"s;
    const UnitFile file = ValueOf(ReadPo(AsBytes(po)));
    EXPECT_EQ(std::tie(file.targetLanguage, file.sourceLanguage), std::tuple("fr", "en-US"));
    EXPECT_EQ(file.units, (std::vector<TranslationUnit>{
                              {"menus/1/2", "a\tb\nc\"\\AB", "x", UnitState::NeedsReview, {"MENUITEM 1"}},
                              {"strings/7", "seven", "sept", UnitState::Translated, {}}}));
    EXPECT_EQ(file.skipped, (std::vector<std::string>{
                                "\"one\": plural forms, which a resource text has not",
                                "strings/8: a NUL character in the translation, which a resource text cannot hold"}));
}

// A module's name is the file's name, and a file name may hold a line break.
TEST(InterchangeImport, APoForAModuleWithALineBreakInItsNameReadsBack) {
    UnitFile file;
    file.original = "two\nlines.dll";
    file.units = {{"strings/1", "Open", "\xC3\x96""ffnen", UnitState::Translated, {}}};
    UnitFile read = ValueOf(ReadPo(AsBytes(WritePo(file).bytes)));
    EXPECT_EQ(read.original, "two lines.dll");
    EXPECT_EQ(read.units, file.units);
}

TEST(InterchangeImport, FormatIsKnownByContentBeforeTheName) {
    EXPECT_EQ(DetectFormat("a.po", AsBytes("<?xml version=\"1.0\"?>\n<xliff>")), InterchangeFormat::Xliff);
    EXPECT_EQ(DetectFormat("a.xlf", AsBytes("# x\nmsgid \"\"\nmsgstr \"\"")), InterchangeFormat::Po);
    EXPECT_EQ(DetectFormat("a.XLIFF", AsBytes("")), InterchangeFormat::Xliff);
    EXPECT_EQ(DetectFormat("a.txt", AsBytes("&Open\tx\t&Öffnen")), std::nullopt);
    // Other markup named .xlf goes to the XLIFF reader, which names its root element.
    EXPECT_EQ(DetectFormat("a.xlf", AsBytes("<html/>")), InterchangeFormat::Xliff);
    EXPECT_EQ(DetectFormat("a.txt", AsBytes("<html/>")), std::nullopt);
}

// Units as other tools write them: each case is one <trans-unit> body and
// what the reader makes of it (id, source, target, state; or why it skipped it).
// (translate-toolkit's address in a "sourcefile" context: InterchangeInterop's po2xliff.)
TEST(InterchangeImport, XliffUnitsReadAsOtherToolsWriteThem) {
    // The unit, and the unit read or the start of the reason it was skipped for.
    struct { const char* name; std::string unit, id, source, target; UnitState state; const char* skipped = nullptr; }
        cases[] = {
        {"suggestions pass over", "<trans-unit id='strings/1'><source>Open</source><alt-trans><source>x</source>"
         "<target>y</target></alt-trans><target state='translated'>Offen</target></trans-unit>",
         "strings/1", "Open", "Offen", UnitState::Translated},
        {"entities and CDATA", "<trans-unit id='strings/1&amp;2'><source><![CDATA[a<b]]></source>"
         "<target state='needs-review-translation'>c&amp;d&#233;</target></trans-unit>",
         "strings/1&2", "a<b", "c&d\xC3\xA9", UnitState::NeedsReview},
        {"an empty target", "<trans-unit id='strings/1'><source>Open</source><target state='translated'/></trans-unit>",
         "strings/1", "Open", "", UnitState::Untranslated},
        {"whitespace kept", "<trans-unit id='strings/1'><source> A \n</source><target state='final'> B </target>"
         "</trans-unit>", "strings/1", " A \n", " B ", UnitState::Translated},
        {"the address from lconvert's PO context", "<trans-unit id='_msg3'><source>A</source><target>B</target>"
         "<context-group><context context-type='x-gettext-msgctxt'>menus/1/2</context></context-group></trans-unit>",
         "menus/1/2", "A", "B", UnitState::Translated},
        {"not to be translated", "<trans-unit id='strings/1' translate='no'><source>A</source><target>B</target>"
         "</trans-unit>", "", "", "", UnitState::Untranslated, "strings/1: marked translate=\"no\""},
        {"inline markup", "<trans-unit id='strings/1'><source>A <g id='1'>B</g></source></trans-unit>", "", "", "",
         UnitState::Untranslated, "strings/1: inline markup"},
        {"no id", "<trans-unit><source>A</source></trans-unit>", "", "", "", UnitState::Untranslated,
         "a unit without an id"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string xliff = "<?xml version='1.0'?><xliff version='1.2'><file original='a.dll' source-language='en' "
                            "target-language='de'><body>" + c.unit + "</body></file></xliff>";
        const UnitFile file = ValueOf(ReadUnits(InterchangeFormat::Xliff, AsBytes(xliff)));
        EXPECT_EQ(file.targetLanguage, "de");
        EXPECT_EQ(file.units, (c.skipped ? std::vector<TranslationUnit>{}
                                         : std::vector<TranslationUnit>{{c.id, c.source, c.target, c.state, {}}}));
        ASSERT_EQ(file.skipped.size(), c.skipped ? 1u : 0u);
        EXPECT_TRUE(!c.skipped || file.skipped[0].starts_with(c.skipped)) << file.skipped[0];
    }
}
