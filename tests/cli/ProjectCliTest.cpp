#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"
#include "io/FileIo.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(ProjectCli, NewShowImportAndDictionaryWorkflow) {
    TempDir dir;
    const std::string jurgen = "--translator 'Jürgen Ü' --email j@example.de --language de-DE"; // a tag names German too
    CliRun created = NewProject(dir, "demo", Fixture("basic32.exe"), jurgen);
    ASSERT_EQ(created.exitCode, 0) << created.out;
    EXPECT_TRUE(FileExists(dir.File("demo.prj")));
    EXPECT_TRUE(FileExists(dir.File("demo.dic")));
    EXPECT_EQ(NewProject(dir, "demo", Fixture("basic32.exe"), jurgen).exitCode, 1); // refuses to overwrite
    EXPECT_EQ(NewProject(dir, "demo", Fixture("basic32.exe"), jurgen + " --force").exitCode, 0);

    CliRun shown = RunCli("show --json " + dir.File("demo.prj"));
    ASSERT_EQ(shown.exitCode, 0);
    for (const std::string part : {"\"translator\":\"Jürgen Ü\"", "\"targetLanguage\":1031", "\"codepage\":1252",
                                   "\"key\":\"Translator\",\"targetKey\":\"Translator\",\"blockType\":1",
                                   "\"key\":\"040904b0\",\"targetKey\":\"040704b0\""})
        EXPECT_TRUE(Has(shown.out, part)) << part;

    WriteText(dir.File("glossary.txt"), "&Open\tx\t&Öffnen\t\r\nHelp\tx\t&Hilfe\t\nExit\tx\n\nClose\tx\tΣ\n");
    CliRun imported = RunCli("import " + dir.File("demo.prj") + " --text " + dir.File("glossary.txt"));
    ASSERT_EQ(imported.exitCode, 0);
    EXPECT_TRUE(Has(imported.out, "Encoding:   UTF-8\nEntries:    4\nImported:   2\nDuplicates: 0\nSkipped:    2\n"
                                  "line 3: no translation (fewer than three fields)\n"
                                  "line 5: characters the code page 1252 cannot hold: Σ\n"))
        << imported.out;
    CliRun again = RunCli("import --json " + dir.File("demo.prj") + " --text " + dir.File("glossary.txt"));
    EXPECT_TRUE(Has(again.out, R"("imported":0,"duplicates":2,"skipped":2,"skippedLines":[{"line":3,"reason":"no )"))
        << again.out;
    WriteText(dir.File("sheet.xls"), std::string("\xD0\xCF\x11\xE0\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                                 "\x00\x00\x00\x00\x00\x00\x00\x00\x3E\x00\x03\x00\xFE\xFF\x09\x00", 32));
    CliRun sheet = RunCli("import " + dir.File("demo.prj") + " --microsoft " + dir.File("sheet.xls"), true);
    EXPECT_EQ(sheet.exitCode, 1);
    EXPECT_TRUE(Has(sheet.out, "sheet.xls: not a text glossary")) << sheet.out;
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Beenden --hotkey B --kind MENUITEM").exitCode, 0);
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Ende --kind MENUITEM").exitCode, 1);
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Ende --kind NOKIND").exitCode, 2);
    CliRun cyrillic = RunCli("dict add " + dir.File("demo.prj") + " Close 'Закрыть ✓'", true);
    EXPECT_EQ(cyrillic.exitCode, 1);
    EXPECT_TRUE(Has(cyrillic.out, "code page 1252 cannot hold З а к р ы т ь ✓")) << cyrillic.out;

    CliRun listed = RunCli("dict " + dir.File("demo.dic"));
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "MENUITEM\tExit\tBeenden\tB\nCOMMON\tHelp\tHilfe\tH\nCOMMON\tOpen\tÖffnen\tÖ\n");
    // The project lists the same dictionary.
    EXPECT_EQ(RunCli("dict " + dir.File("demo.prj")).out, listed.out);
}

TEST(ProjectCli, TranslateCheckAndRestore) {
    TempDir dir;
    ASSERT_EQ(NewProject(dir, "demo", Fixture("basic32.exe")).exitCode, 0);
    const std::string project = dir.File("demo.prj");
    ASSERT_EQ(RunCli("dict add " + project + " File Datei --hotkey D --kind POPUPMENU").exitCode, 0);
    ASSERT_EQ(RunCli("dict add " + project + " Hello 'Hallo %s' --kind STRING").exitCode, 0);
    CliRun translated = RunCli("translate " + project + " --list-untranslated");
    ASSERT_EQ(translated.exitCode, 0);
    EXPECT_TRUE(Has(translated.out, "Translated Strings:     2\n"));
    EXPECT_TRUE(Has(translated.out, "Complete 6% translated.\n")); // 2 of 33
    EXPECT_TRUE(Has(translated.out, "  MENUITEM 1001 \"Open\\tCtrl+O\"\n"));

    CliRun shown = RunCli("show --json " + project);
    EXPECT_TRUE(Has(shown.out, "\"text\":\"File\",\"hotkey\":\"F\",\"translation\":\"Datei\",\"transHotkey\":\"D\",\"state\":3"));
    EXPECT_TRUE(Has(shown.out, "\"translated\":2"));

    CliRun checked = RunCli("check --errors-only " + project);
    EXPECT_EQ(checked.exitCode, 1); // the planted placeholder fault
    EXPECT_TRUE(Has(checked.out, "error: strings/1 [placeholder-added] the translation adds %s\n"));
    // A build stops on the error, naming it, unless forced.
    CliRun refused = RunCli("build " + project + " --target " + dir.File("out.exe"), true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Has(refused.out, "error: strings/1 [placeholder-added]"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.exe")));
    EXPECT_EQ(RunCli("build " + project + " --target " + dir.File("out.exe") + " --force").exitCode, 0);

    ASSERT_EQ(RunCli("restore " + project + " --kind STRING --id 1").exitCode, 0);
    EXPECT_EQ(RunCli("check --errors-only " + project).exitCode, 0);
    EXPECT_EQ(RunCli("restore " + project + " --kind STRING --id 3").exitCode, 1);
    ASSERT_EQ(RunCli("restore " + project + " --all").exitCode, 0);
    EXPECT_TRUE(Has(RunCli("show --json " + project).out, "\"translation\":\"File\",\"transHotkey\":\"F\",\"state\":0"));
}

TEST(ProjectCli, BuildStoresTheTargetAndRefusesWithout) {
    TempDir dir;
    ASSERT_EQ(NewProject(dir, "demo", Fixture("basic32.exe")).exitCode, 0);
    const std::string project = dir.File("demo.prj");
    EXPECT_EQ(RunCli("build " + project).exitCode, 1); // no target yet
    ASSERT_EQ(RunCli("dict add " + project + " Hello Hallo --kind STRING").exitCode, 0);
    ASSERT_EQ(RunCli("translate " + project).exitCode, 0);
    CliRun built = RunCli("build " + project + " --target " + dir.File("de.exe"));
    ASSERT_EQ(built.exitCode, 0) << built.out;
    EXPECT_TRUE(Has(built.out, "wrote 6 string tables in 0x0407"));
    EXPECT_TRUE(Has(built.out, "deleted 6 string tables in 0x0409"));
    EXPECT_TRUE(Has(built.out, "wrote 1 version resource in 0x0407\n"));
    EXPECT_TRUE(Has(RunCli("show --json " + project).out, "\"target\":\"" + dir.File("de.exe") + "\""));
    // A later build reuses the stored target.
    ASSERT_TRUE(std::filesystem::remove(dir.File("de.exe")));
    EXPECT_EQ(RunCli("build " + project).exitCode, 0);
    CliRun scanned = RunCli("scan --json " + dir.File("de.exe"));
    EXPECT_TRUE(Has(scanned.out, "\"language\":1031"));
    EXPECT_TRUE(Has(scanned.out, "{\"path\":\"strings/1\",\"kind\":\"STRING\",\"id\":1,\"text\":\"Hallo\""));
    CliRun resources = RunCli("resources --json " + dir.File("de.exe"));
    EXPECT_TRUE(Has(resources.out, "{\"type\":6,\"name\":1,\"language\":1031,"));
}

// The sample names command 1102 (Cut) in two menus, control 2 (Cancel) in
// four dialogs and a "Find what:" label among the unnamed statics of two.
TEST(ProjectCli, RestoreTakesBackTheItemAtAPathOrEveryItemOfAKindAndId) {
    TempDir dir;
    const std::string project = dir.File("pad.prj");
    ASSERT_EQ(NewProject(dir, "pad", SamplePath("quillpad.exe")).exitCode, 0);
    for (const char* entry : {"'Cut\\tCtrl+X' 'Ausschneiden\\tStrg+X' --kind MENUITEM",
                              "Cut Ausschneiden --kind MENUITEM", "Cancel Abbrechen --kind CONTROL",
                              "'Find what:' 'Suchen nach:' --kind CONTROL"})
        ASSERT_EQ(RunCli("dict add " + project + " " + entry).exitCode, 0) << entry;
    ASSERT_EQ(RunCli("translate " + project).exitCode, 0);
    auto translated = [&](const std::string& path) {
        std::string shown = RunCli("show --json " + project).out;
        std::size_t at = shown.find("{\"path\":\"" + path + "\"");
        EXPECT_NE(at, std::string::npos) << path;
        return at != std::string::npos && shown.find("\"state\":3", at) < shown.find("\"children\"", at);
    };
    ASSERT_TRUE(translated("menus/100/-1#2/1102") && translated("menus/101/-1/1102"));

    struct Case {
        std::string options;
        int exitCode;
        std::string output;
    };
    const Case cases[] = {
        {"--path menus/100/-1#2/1102", 0, "  menus/100/-1#2/1102 MENUITEM 1102 \"Cut\\tCtrl+X\"\nRestored 1 item.\n"},
        {"--kind MENUITEM --id 1102", 0, "  menus/101/-1/1102 MENUITEM 1102 \"Cut\"\nRestored 1 of 2 items.\n"},
        {"--kind CONTROL --id 2", 0,
         "  dialogs/201/2 CONTROL 2 \"Cancel\"\n  dialogs/202/2 CONTROL 2 \"Cancel\"\n"
         "  dialogs/203/2 CONTROL 2 \"Cancel\"\n  dialogs/204/2 CONTROL 2 \"Cancel\"\nRestored 4 items.\n"},
        {"--kind CONTROL --id 0xFFFF", 0,
         "  dialogs/201/65535 CONTROL 65535 \"Find what:\"\n  dialogs/202/65535 CONTROL 65535 \"Find what:\"\n"
         "Restored 2 of 19 items.\n"},
        {"--path dialogs/204/65535#3", 0, "Restored 0 of 1 item.\n"},
        {"--path menus/100/-1#6", 1, "quillon-cli restore: no item -1#6 in menus/100\n"},
        {"--kind DIALOG --id 1102", 1, "quillon-cli restore: no DIALOG with ID 1102\n"},
        {"--path menus/100/-1#1", 2, ""},
        {"--path menus/100 --kind MENUITEM --id 1", 2, ""},
        {"--kind MENUITEM --id 11x", 2, ""},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli("restore " + project + " " + c.options, c.exitCode == 1);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.options << "\n" << run.out;
        EXPECT_EQ(run.out, c.output) << c.options;
    }
    for (const char* path : {"menus/100/-1#2/1102", "menus/101/-1/1102", "dialogs/203/2", "dialogs/202/65535"})
        EXPECT_FALSE(translated(path)) << path;
}

// A new release copied over the module: the build names what differs and
// stops; update lists every change, a dry run writes nothing, and the
// changed item shows what it held before.
TEST(ProjectCli, UpdateListsEveryChangeAndAStaleModuleStopsTheBuild) {
    TempDir dir;
    const std::string module = dir.File("app.exe");
    std::filesystem::copy_file(Fixture("update-keys-a.exe"), module);
    ASSERT_EQ(NewProject(dir, "app", module).exitCode, 0);
    const std::string project = dir.File("app.prj");
    ASSERT_EQ(RunCli("dict add " + project + " 'Change me' 'Ändere mich' --hotkey d").exitCode, 0);
    ASSERT_EQ(RunCli("translate " + project).exitCode, 0);
    ASSERT_EQ(RunCli("build " + project + " --target " + dir.File("de.exe")).exitCode, 0);

    std::filesystem::copy_file(Fixture("update-keys-b.exe"), module, std::filesystem::copy_options::overwrite_existing);
    const std::string changed = R"(changed dialogs/200/203: "Change me" -> "Changed text" (translation lost: "Ändere mich"))";
    CliRun stale = RunCli("build " + project, true);
    EXPECT_EQ(stale.exitCode, 1);
    EXPECT_TRUE(Has(stale.out, "no longer matches the project")) << stale.out;
    EXPECT_TRUE(Has(stale.out, changed)) << stale.out;

    auto before = FileBytes(project);
    CliRun dry = RunCli("update --dry-run " + project);
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_TRUE(Has(dry.out, changed + "\n")) << dry.out;
    EXPECT_TRUE(Has(dry.out, "moved strings/20: \"Moves to twenty\" from strings/3\n")) << dry.out;
    CliRun json = RunCli("update --dry-run --json " + project);
    EXPECT_TRUE(Has(json.out, R"({"change":"changed","kind":"CONTROL","path":"dialogs/200/203","oldText":"Change me",)"
                              R"("newText":"Changed text","translation":"Ändere mich"})"))
        << json.out;
    EXPECT_TRUE(Has(json.out, R"("saved":false)"));
    EXPECT_EQ(FileBytes(project), before);

    // A save that fails (here at a file-size limit) is said by the report too.
    for (const char* form : {"", "--json "}) {
        std::string limited = "ulimit -f 1; exec " + std::string(QUILLON_CLI) + " update " + form + project;
        CliRun failed = RunCliProgram("sh -c '" + limited + "'", "");
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_TRUE(Has(failed.out, *form ? R"("saved":false)" : "The project was not saved")) << failed.out;
        EXPECT_EQ(FileBytes(project), before);
    }
    CliRun updated = RunCli("update " + project);
    ASSERT_EQ(updated.exitCode, 0);
    EXPECT_TRUE(Has(updated.out, "Saved " + project + ".")) << updated.out;
    EXPECT_TRUE(Has(updated.out, "Changed:  6\nMoved:    2\n")) << updated.out;
    EXPECT_TRUE(Has(RunCli("show --json " + project).out,
                    R"("state":8192,"previousText":"Change me","previousTranslation":"Ändere mich")"));
    EXPECT_EQ(RunCli("build " + project).exitCode, 0);
    before = FileBytes(project);
    EXPECT_TRUE(Has(RunCli("update " + project).out, "Nothing changed; the project was not saved."));
    EXPECT_EQ(FileBytes(project), before);
}
