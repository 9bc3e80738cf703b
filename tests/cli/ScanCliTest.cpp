#include <gtest/gtest.h>

#include <vector>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"
#include "extract/LanguageModules.h"

using namespace quillon::testing;

// Options and the output they give: what must be there, and what must not.
// JSON has the agreed shape, with UTF-8 texts.
TEST(ScanCli, OptionsShapeTheOutput) {
    const struct { std::string args; std::vector<const char*> present; const char* absent; } cases[] = {
        {"--json " + Fixture("basic32.exe"),
         {"\"fileVersion\":\"1.2.3.4\"", "\"language\":1033", "\"codepage\":1252", "\"fixedInfo\":\"bd04effe", "\"replacedCharacters\":7",
          "\"counters\":{\"strings\":10,\"popups\":6,\"menuItems\":10,\"dialogs\":4,\"controls\":13,",
          "{\"path\":\"strings/40\",\"kind\":\"STRING\",\"id\":40,\"text\":\"Grüße € ä\"", "\"text\":\"A\\\\tB\\\\r\\\\n\"",
          "{\"path\":\"menus/100/-1\",\"kind\":\"POPUPMENU\",\"id\":-1,\"text\":\"File\",\"hotkey\":\"F\","
          "\"translation\":\"File\",\"transHotkey\":\"F\",\"state\":1,\"options\":16,\"children\":[",
          "\"key\":\"Translation\",\"targetKey\":\"Translation\",\"blockType\":0,\"value\":\"0904b0040704b004\""},
         "\"codepage\":932"},
        {"--json --codepage 932 " + Fixture("basic64.exe"), {"\"codepage\":932", "\"text\":\"日本語テキスト\""}, "\"codepage\":1252"},
        {Fixture("multilang.dll"),
         {"File version: 3.0.0.0", "Language:     0x0407 German", "STRING 1 \"Hallo\"", "DIALOG 100 \"Deutscher Dialog\""},
         "\"fileVersion\""},
        {"--summary " + Fixture("multilang.dll"), {"Language:     0x0407 German", "Strings:"}, "STRING 1"},
        {"--json --summary " + Fixture("basic32.exe"), {"\"counters\":{\"strings\":10,"}, "\"kind\":"},
    };
    for (const auto& c : cases) {
        CliRun run = RunCli("scan " + c.args);
        ASSERT_EQ(run.exitCode, 0) << c.args;
        EXPECT_EQ(run.out.front() == '{', c.args.starts_with("--json")) << c.args;
        for (const char* part : c.present) EXPECT_TRUE(Has(run.out, part)) << c.args << ": " << part;
        EXPECT_FALSE(Has(run.out, c.absent)) << c.args;
    }
    // A file name in Latin-1 still gives UTF-8, and so JSON.
    TempDir dir;
    std::filesystem::copy_file(Fixture("basic32.exe"), dir.File("caf\xE9.exe"));
    ExpectCli("scan --json --summary '" + dir.File("caf\xE9.exe") + "'", 0, {"/caf\xEF\xBF\xBD.exe\",\"fileVersion\""});
}

// Without a copy in the language asked for, a resource comes in its
// primary language, then in neutral, then in US English.
TEST(ScanCli, LanguageOptionReadsTheModuleInThatLanguage) {
    TempDir dir;
    const std::string module = dir.File("wine.dll");
    WineShapedProject(module, 0);
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "\"language\":1033", "\"id\":1,\"text\":\"Open\""},
        {"--language French", "\"language\":1036", "\"id\":1,\"text\":\"Ouvrir\""},
        {"--language german", "\"id\":1,\"text\":\"Öffnen\"", "\"id\":17,\"text\":\"Neutral 17\""},
        {"--language German", "\"language\":1031", "\"id\":100,\"text\":\"Settings\""},
    };
    for (const auto& [option, first, second] : cases)
        ExpectCli(std::string("scan --json --codepage 65001 ") + option + " " + module, 0, {first, second});
    EXPECT_TRUE(Has(RunCli("scan --language Polish " + module, true).out, "no string table, dialog or menu in language 0x0415"));
}

// A warning follows the lines printed before it, also where both streams go
// to one file.
TEST(ScanCli, WarningsFollowTheTreeInOneStream) {
    CliRun run = ExpectCli("scan " + Fixture("basic32.exe"), 0, {"VERSION Translation", "warning: "});
    EXPECT_LT(run.out.find("VERSION Translation"), run.out.find("warning: "));
}
