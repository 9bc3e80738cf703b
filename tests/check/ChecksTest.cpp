// The check engine on real text pairs, on planted faults in a project, and
// on whole fixture modules translated into five scripts.

#include <gtest/gtest.h>

#include <algorithm>

#include "check/ProjectChecks.h"
#include "check/TextChecks.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/Hotkeys.h"
#include "model/TreeRoots.h"
#include "project/FixtureProject.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::vector<std::string> CodesOf(const std::vector<TextFinding>& findings) {
    std::vector<std::string> codes;
    for (const TextFinding& finding : findings) codes.emplace_back(InfoOf(finding.code).name);
    return codes;
}

} // namespace

TEST(Checks, TextPairs) {
    const struct {
        std::uint32_t codePage;
        ItemKind kind;
        std::string source;
        std::string translation;
        std::vector<std::string> codes;
    } cases[] = {
        {1252, ItemKind::String, "Copy %1 of %d", "Kopiere %d", {"placeholder-missing"}},
        {1252, ItemKind::String, "%s of %d", "%d von %s", {"placeholder-order"}},
        {1252, ItemKind::String, "%1 of %2!d!", "%2!d! von %1", {}},
        {1252, ItemKind::String, "File %s", "Datei %s %s", {"placeholder-added"}},
        {1252, ItemKind::String, "Line one\\r\\nLine two", "Zeile eins\\nZeile zwei", {"line-breaks"}},
        {1252, ItemKind::Dialog, "Line one\\r\\nLine two", "Zeile eins\\nZeile zwei", {}},
        {1252, ItemKind::String, "A\\tB\\n", "A\\tB", {"line-breaks"}},
        {1252, ItemKind::String, "\\r\\nDone", "Fertig\\r\\n", {"line-breaks", "line-breaks"}},
        {1252, ItemKind::String, "Folder C:\\\\n", "Ordner C:\\\\x", {}}, // an escaped backslash, then n
        {1252, ItemKind::Control, "Name:", "Name", {"colon"}},
        {1252, ItemKind::MenuItem, "Save As...", "Speichern unter", {"ellipsis"}},
        {1252, ItemKind::MenuItem, "Open...\\tCtrl+O", "\xD6" "ffnen\x85\\tStrg+O", {}},
        {1252, ItemKind::MenuItem, "Exit", "Beenden...", {"ellipsis"}},
        {1252, ItemKind::String, " Ready", "Bereit", {"spaces"}},
        {1252, ItemKind::String, "Ready", "Bereit ", {"spaces"}},
        {932, ItemKind::String, "File", "\x83", {"unencodable"}},
        {932, ItemKind::String, "Table", "\x83\x5Cnt", {}}, // a katakana ending in the byte of '\'
        {1252, ItemKind::String, "Long", std::string(70000, 'a'), {"too-long"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CodesOf(CheckTexts(c.source, c.translation, c.kind, CodePage(c.codePage))), c.codes)
            << c.source << " -> " << c.translation;
}

TEST(Checks, PlaceholdersAreFoundInOrder) {
    EXPECT_EQ(Placeholders("%s of %d files, 100%% done"), (std::vector<std::string>{"%s", "%d"}));
    EXPECT_EQ(Placeholders("Copy %1 to %2!s!"), (std::vector<std::string>{"%1", "%2!s!"}));
    EXPECT_EQ(Placeholders("%-5.2f %ls %5d"), (std::vector<std::string>{"%-5.2f", "%ls", "%5d"}));
    EXPECT_EQ(Placeholders("{0} of {1,5}: {2:N2} {{3}} {x} {4"), (std::vector<std::string>{"{0}", "{1,5}", "{2:N2}"}));
    EXPECT_TRUE(Placeholders("50% off, % z").empty());
}

// Errors name the translated one of two items that share a key on one level
// (the other may be untranslated) and a hotkey missing from its text; a
// clash the module has itself is left alone; untranslated items are notes.
TEST(Checks, FindsPlantedFaultsInAProject) {
    CProject project;
    CResourceInfo& info = project.m_ResourceInfo;
    auto& menu = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("", 0, 1, 0));
    auto& file = menu.AddChild(std::make_unique<CMenuEntry>("File", 'F', -1, 0x10));
    file.AddChild(std::make_unique<CMenuItem>("Open", 'O', 2, 0)).SetTranslation("\xD6" "ffnen", 'f');
    file.AddChild(std::make_unique<CMenuItem>("Find", 'F', 3, 0)).SetTranslation("Suchen", 'S');
    file.AddChild(std::make_unique<CMenuItem>("Save", 'S', 4, 0)).SetTranslation("Speichern", 'S');
    file.AddChild(std::make_unique<CMenuItem>("Select all", 'A', 5, 0)).SetTranslation("Alles markieren", ' ');
    file.AddChild(std::make_unique<CMenuItem>("Print", 'P', 6, 0)).SetTranslation("Drucken", kHotkeyNone);
    auto& edit = menu.AddChild(std::make_unique<CMenuEntry>("Edit", 'E', -1, 0x10));
    edit.AddChild(std::make_unique<CMenuItem>("Keep", 'K', 7, 0));
    edit.AddChild(std::make_unique<CMenuItem>("Copy", 'C', 8, 0)).SetTranslation("Kopieren", 'K');
    edit.AddChild(std::make_unique<CMenuItem>("Cut", 'C', 9, 0));
    edit.AddChild(std::make_unique<CMenuItem>("Clear", 'C', 10, 0)); // the module's own clash
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Copy %1 of %d", 0, 1)).SetTranslation("Kopiere %d", 0);
    auto& dialog = info.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("Options", 0, 9));
    dialog.AddChild(std::make_unique<CDialogItem>("Name", 'N', 10)).SetTranslation("Titel", 'N');
    // The module has a German table of its own, which the English one, retargeted, replaces.
    auto& tables = info.m_VersionInfo.m_Root.AddChild(std::make_unique<CVersionBlock>("StringFileInfo", kVersionBlock, ""));
    auto& english = static_cast<CVersionBlock&>(
        tables.AddChild(std::make_unique<CVersionBlock>("040904b0", kVersionBlock, "")));
    english.m_strTargetKey = "040704b0";
    english.AddChild(std::make_unique<CVersionBlock>("CompanyName", kVersionText, "Ink")).SetTranslation("Tinte", 0);
    auto& german = tables.AddChild(std::make_unique<CVersionBlock>("040704b0", kVersionBlock, ""));
    german.AddChild(std::make_unique<CVersionBlock>("CompanyName", kVersionText, "Tinte")).SetTranslation("Tinte AG", 0);

    using Row = std::tuple<std::string, std::string, std::string>;
    std::vector<Row> found;
    std::size_t notes = 0;
    for (const Finding& finding : CheckProject(project))
        if (finding.severity == Severity::Note) ++notes;
        else found.emplace_back(InfoOf(finding.code).name, finding.path, finding.message);
    EXPECT_EQ(found, (std::vector<Row>{
                         {"placeholder-missing", "strings/1", "the translation lost %1"},
                         {"hotkey-duplicate", "menus/1/-1/4", "hotkey 'S' is also used by \"Suchen\" (menus/1/-1/3)"},
                         {"hotkey-not-letter", "menus/1/-1/5", "the hotkey ' ' is no letter or digit"},
                         {"hotkey-dropped", "menus/1/-1/6", "the source has the hotkey 'P', the translation has none"},
                         {"hotkey-duplicate", "menus/1/-1#2/8", "hotkey 'K' is also used by \"Keep\" (menus/1/-1#2/7)"},
                         {"hotkey-missing", "dialogs/9/10",
                          "the hotkey 'N' is not a character of its own in the translation"},
                         {"not-written", "version/StringFileInfo/040704b0/CompanyName",
                          "the build writes the translated table of the module's own language in this table's place; "
                          "this translation is left out"}}));
    EXPECT_EQ(notes, 6u); // File, Edit, Keep, Cut, Clear and the dialog caption
}

namespace {

struct Script {
    const char* name;
    std::uint16_t language;
    char16_t lower; // the letter a..z become, in order
    char16_t upper; // A..Z; 0: as lower case
};

// A translation as a translator of `script` writes it: every Latin letter
// in that script, placeholders, escapes and the accelerator after \t kept.
// (All five scripts are in the Basic Multilingual Plane: one unit a letter.)
std::u16string Transliterate(std::u16string_view text, const Script& script) {
    std::u16string out;
    bool accelerator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // The character after a '\\' or '%' is an escape's or a placeholder's.
        char16_t c = text[i], before = i > 0 ? text[i - 1] : u' ';
        accelerator = accelerator || (before == u'\\' && c == u't');
        bool lower = c >= u'a' && c <= u'z', upper = c >= u'A' && c <= u'Z';
        if (before == u'\\' || before == u'%' || accelerator || (!lower && !upper)) out.push_back(c);
        else if (upper && script.upper) out.push_back(static_cast<char16_t>(script.upper + (c - u'A')));
        else out.push_back(static_cast<char16_t>(script.lower + (lower ? c - u'a' : c - u'A')));
    }
    return out;
}

} // namespace

// Every hotkey item of real modules translated into five scripts, the
// dictionary giving the source's Latin hotkey (which the translation does
// not contain): after the hotkey pass the check finds no hotkey error.
TEST(Checks, TranslatedModulesHaveNoHotkeyErrorsInFiveScripts) {
    const Script scripts[] = {
        {"German", 0x0407, u'a', u'A'},      {"Russian", 0x0419, u'\u0430', u'\u0410'},
        {"Greek", 0x0408, u'\u03B1', 0},     {"Japanese", 0x0411, u'\u30A2', 0},
        {"Hindi", 0x0439, u'\u0915', 0},
    };
    const std::string modules[] = {Fixture("basic32.exe"), Fixture("multilang.dll"), Fixture("update-v1.exe"),
                                   SamplePath("quillpad.exe")};
    for (const Script& script : scripts)
        for (const std::string& module : modules) {
            SCOPED_TRACE(std::string(script.name) + " " + module);
            auto project = NewProjectOf(module, script.language);
            const CodePage page(project->GetCodePage());
            WalkItems(std::as_const(project->m_ResourceInfo), [&](const ItemVisit<const CResourceItem>& visit) {
                const CResourceItem& item = visit.item;
                if (!item.IsTranslatable()) return;
                std::string translation = page.FromUtf16(Transliterate(page.ToUtf16(item.GetText()), script));
                project->m_Dictionary.AddEntry(item.GetText(), translation, item.m_chHotkey, item.GetKind());
            });
            CAutoTranslator(project->m_ResourceInfo, project->m_Dictionary, page.Id(),
                            HotkeyConventionOf(script.language))
                .Run();
            std::vector<std::string> hotkeyErrors;
            for (const Finding& finding : CheckProject(*project))
                if (finding.severity == Severity::Error && InfoOf(finding.code).name.starts_with("hotkey"))
                    hotkeyErrors.push_back(finding.path + " " + finding.message);
            EXPECT_EQ(hotkeyErrors, std::vector<std::string>{});
        }
}
