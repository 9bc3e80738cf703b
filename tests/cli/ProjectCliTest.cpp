#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"
#include "io/FileIo.h"

using namespace quillon;
using namespace quillon::testing;

TEST(ProjectCli, NewShowImportAndDictionaryWorkflow) {
    TempDir dir;
    const std::string jurgen = "--translator 'Jürgen Ü' --email j@example.de --language de-DE"; // a tag names German too
    ASSERT_EQ(NewProject(dir, "demo", Fixture("basic32.exe"), jurgen).exitCode, 0);
    EXPECT_TRUE(FileExists(dir.File("demo.dic")));
    NewProject(dir, "demo", Fixture("basic32.exe"), jurgen, 1); // refuses to overwrite
    NewProject(dir, "demo", Fixture("basic32.exe"), jurgen + " --force");

    ExpectCli("show --json " + dir.File("demo.prj"), 0,
              {"\"translator\":\"Jürgen Ü\"", "\"targetLanguage\":1031", "\"codepage\":1252"});

    std::ofstream(dir.File("glossary.txt")) << "&Open\tx\t&Öffnen\t\r\nHelp\tx\t&Hilfe\t\nExit\tx\n\nClose\tx\tΣ\n";
    ExpectCli("import " + dir.File("demo.prj") + " --text " + dir.File("glossary.txt"), 0,
              {"Encoding:   UTF-8\nEntries:    4\nImported:   2\nDuplicates: 0\nSkipped:    2\n"
               "line 3: no translation (fewer than three fields)\n"
               "line 5: characters the code page 1252 cannot hold: Σ\n"});
    ExpectCli("import --json " + dir.File("demo.prj") + " --text " + dir.File("glossary.txt"), 0,
              {R"("imported":0,"duplicates":2,"skipped":2,"skippedLines":[{"line":3,"reason":"no )"});
    std::ofstream(dir.File("sheet.xls"), std::ios::binary)
        << std::string("\xD0\xCF\x11\xE0\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                       "\x00\x00\x00\x00\x00\x00\x00\x00\x3E\x00\x03\x00\xFE\xFF\x09\x00", 32);
    ExpectCli("import " + dir.File("demo.prj") + " --microsoft " + dir.File("sheet.xls"), 1,
              {"sheet.xls: not a text glossary"});
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Beenden --hotkey B --kind MENUITEM").exitCode, 0);
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Ende --kind MENUITEM").exitCode, 1);
    EXPECT_EQ(RunCli("dict add " + dir.File("demo.prj") + " Exit Ende --kind NOKIND").exitCode, 2);
    ExpectCli("dict add " + dir.File("demo.prj") + " Close 'Закрыть ✓'", 1, {"code page 1252 cannot hold З а к р ы т ь ✓"});

    // The project lists the same dictionary.
    for (const char* file : {"demo.dic", "demo.prj"})
        EXPECT_EQ(ExpectCli("dict " + dir.File(file), 0).out,
                  "MENUITEM\tExit\tBeenden\tB\nCOMMON\tHelp\tHilfe\tH\nCOMMON\tOpen\tÖffnen\tÖ\n");
}

TEST(ProjectCli, TranslateCheckBuildAndRestore) {
    TempDir dir;
    ASSERT_EQ(NewProject(dir, "demo", Fixture("basic32.exe")).exitCode, 0);
    const std::string project = dir.File("demo.prj"), target = dir.File("de.exe");
    EXPECT_EQ(RunCli("build " + project).exitCode, 1); // no target yet
    ASSERT_EQ(RunCli("dict add " + project + " File Datei --hotkey D --kind POPUPMENU").exitCode, 0);
    ASSERT_EQ(RunCli("dict add " + project + " Hello 'Hallo %s' --kind STRING").exitCode, 0);
    // 2 of 33 translated.
    ExpectCli("translate " + project + " --list-untranslated", 0,
              {"Translated Strings:     2\n", "Complete 6% translated.\n", "  MENUITEM 1001 \"Open\\tCtrl+O\"\n"});
    // The planted placeholder fault; a build stops on it, naming it, unless forced.
    ExpectCli("check --errors-only " + project, 1, {"error: strings/1 [placeholder-added] the translation adds %s\n"});
    ExpectCli("build " + project + " --target " + target, 1, {"error: strings/1 [placeholder-added]"});
    EXPECT_FALSE(std::filesystem::exists(target));
    ExpectCli("build " + project + " --target " + target + " --force", 0,
              {"wrote 6 string tables in 0x0407", "deleted 6 string tables in 0x0409",
               "wrote 1 version resource in 0x0407\n"});
    // A later build reuses the stored target.
    ASSERT_TRUE(std::filesystem::remove(target));
    EXPECT_EQ(RunCli("build " + project + " --force").exitCode, 0);
    ExpectCli("scan --json " + target, 0,
              {"\"language\":1031", "{\"path\":\"strings/1\",\"kind\":\"STRING\",\"id\":1,\"text\":\"Hallo %s\""});
    ExpectCli("resources --json " + target, 0, {"{\"type\":6,\"name\":1,\"language\":1031,"});

    ASSERT_EQ(RunCli("restore " + project + " --kind STRING --id 1").exitCode, 0);
    EXPECT_EQ(RunCli("check --errors-only " + project).exitCode, 0);
    EXPECT_EQ(RunCli("restore " + project + " --kind STRING --id 3").exitCode, 1);
    ASSERT_EQ(RunCli("restore " + project + " --all").exitCode, 0);
    EXPECT_TRUE(Has(RunCli("show --json " + project).out, "\"translation\":\"File\",\"transHotkey\":\"F\",\"state\":0"));
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

    const struct { std::string options; int exitCode; std::string output; } cases[] = {
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
    for (const auto& c : cases) {
        CliRun run = RunCli("restore " + project + " " + c.options, c.exitCode == 1);
        EXPECT_EQ(std::tie(run.exitCode, run.out), std::tie(c.exitCode, c.output)) << c.options;
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
    ExpectCli("build " + project, 1, {"no longer matches the project", changed});

    auto before = FileBytes(project);
    ExpectCli("update --dry-run " + project, 0,
              {changed + "\n", "moved strings/20: \"Moves to twenty\" from strings/3\n"});
    ExpectCli("update --dry-run --json " + project, 0,
              {R"({"change":"changed","kind":"CONTROL","path":"dialogs/200/203","oldText":"Change me",)"
               R"("newText":"Changed text","translation":"Ändere mich"})", R"("saved":false)"});
    EXPECT_EQ(FileBytes(project), before);

    // A save that fails (here at a file-size limit) is said by the report too.
    for (const char* form : {"", "--json "}) {
        std::string limited = "sh -c 'ulimit -f 1; exec " + std::string(QUILLON_CLI) + " update " + form + project;
        ExpectCli("", 1, {*form ? R"("saved":false)" : "The project was not saved"}, limited + "'");
        EXPECT_EQ(FileBytes(project), before);
    }
    ExpectCli("update " + project, 0, {"Saved " + project + ".", "Changed:  6\nMoved:    2\n"});
    ExpectCli("show --json " + project, 0,
              {R"("state":8192,"previousText":"Change me","previousTranslation":"Ändere mich")"});
    EXPECT_EQ(RunCli("build " + project).exitCode, 0);
    before = FileBytes(project);
    EXPECT_TRUE(Has(RunCli("update " + project).out, "Nothing changed; the project was not saved."));
    EXPECT_EQ(FileBytes(project), before);
}
