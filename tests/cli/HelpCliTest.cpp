// The help, the usage messages and the dispatch of quillon-cli, which all
// come from its command table.

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "cli/RunCli.h"

namespace {

using namespace quillon::testing;

// Every command, as the help names it.
const char* const kCommands[] = {"scan",    "resources", "new",   "show", "update",   "import", "export",
                                 "translate", "restore", "pseudo", "check", "build", "dict", "dict add"};

std::size_t LongestLine(const std::string& text) {
    std::istringstream lines(text);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);) longest = std::max(longest, line.size());
    return longest;
}

// The help names every command in eighty columns; each command reaches its
// own code, which says its usage from the table.
TEST(HelpCli, HelpNamesEveryCommandAndEachHasItsOwnHelp) {
    auto help = ExpectCli("--help", 0, {"Exit codes: 0 success, 1 the operation failed, 2 bad usage."});
    EXPECT_LE(LongestLine(help.out), 80u);
    EXPECT_EQ(RunCli("").exitCode, 2);
    for (const std::string command : kCommands) {
        EXPECT_TRUE(Has(help.out, "\n  " + command + " ")) << command;
        // Alone it is bad usage; asked for, its own help.
        for (const auto& [ask, exitCode] : {std::pair{command, 2}, {"help " + command, 0}, {command + " --help", 0}}) {
            auto own = ExpectCli(ask, exitCode);
            EXPECT_EQ(own.out.rfind("usage: quillon-cli " + command + " ", 0), 0u) << ask << ": " << own.out;
            EXPECT_LE(LongestLine(own.out), 80u) << ask;
        }
    }
}

TEST(HelpCli, OptionsAreTheTablesOfEachCommand) {
    const std::string module = Fixture("basic64.exe");
    const struct { std::string args; int exitCode; std::string says; } cases[] = {
        {"scan " + module + " --language German --summary", 0, "File version"},
        {"scan " + module + " --force", 2, "quillon-cli scan: unknown option '--force'"},
        {"scan " + module + " --language", 2, "quillon-cli scan: --language needs a value"},
        {"resources " + module + " --summary", 2, "unknown option '--summary'"},
        {"help nosuch", 2, "unknown command 'nosuch'"},
        {"help tm", 0, "usage: quillon-cli tm add PROJECT"}, // every command of the group
        {"nosuch", 2, "quillon-cli: unknown command 'nosuch'\n"},
        {"scna " + module, 2, "unknown command 'scna'; did you mean 'scan'?"},
        {"new x.prj --module " + module + " --language de", 2, "quillon-cli new: --translator NAME is missing"},
        {"--version", 0, "quillon-cli 1."},
        {"scan " + Fixture("corrupt/not-pe.exe"), 1, "not a Windows module"},
        {"scan --codepage 99999 " + module, 2, "code page 99999 is not supported"},
        {"scan " + Fixture("corrupt/rsrc-cycle.exe"), 0, "File version: 1.2.3.4"}, // damaged, yet it scans
    };
    for (const auto& c : cases) ExpectCli(c.args, c.exitCode, {c.says});
}

// quillon-cli reads modules itself and starts quillon-cli-full for the rest:
// a copy of it alone still scans, and names the program it misses instead of
// failing some other way.
TEST(HelpCli, TheFrontProgramScansAloneAndNamesWhatItMissesForTheRest) {
    TempDir dir;
    const std::string alone = dir.File("quillon-cli"), none = dir.File("none.prj");
    std::filesystem::copy_file(QUILLON_CLI, alone);
    ExpectCli("scan --summary " + Fixture("basic64.exe"), 0, {"File version"}, alone);
    ExpectCli("show " + none, 2, {"quillon-cli: cannot start quillon-cli-full, which runs 'show'"}, alone);
    // Beside it, the same command line reaches the command's own code.
    EXPECT_TRUE(Has(RunCli("show " + none, true).out, "quillon-cli show:"));
}

} // namespace
