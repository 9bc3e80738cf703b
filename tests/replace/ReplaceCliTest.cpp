// replace on the command line: the preview of a dry run writes nothing, the
// real run saves every row, and a pattern that does not compile is bad usage.

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"

using namespace quillon;
using namespace quillon::testing;

TEST(ReplaceCli, PreviewsThenSavesTheReplacements) {
    TempDir dir;
    std::string prj = dir.File("pad.prj");
    ASSERT_TRUE(NewTranslatedSample(prj, dir.File("pad.dic")));
    std::vector<std::uint8_t> saved = FileBytes(prj);

    CliRun preview = RunCli("replace " + prj + " --find Strg --with Ctrl --word --case --dry-run");
    EXPECT_EQ(preview.exitCode, 0);
    EXPECT_TRUE(Has(preview.out, "menus/100/-1/1001: \"Neu\\tStrg+N\" -> \"Neu\\tCtrl+N\"\n")) << preview.out;
    EXPECT_TRUE(Has(preview.out, "(dry run: nothing written)")) << preview.out;
    EXPECT_EQ(FileBytes(prj), saved);

    CliRun regex = RunCli("replace " + prj + " --find \"^(\\w+)\\\\tStrg\" --with \"\\$1\\\\tCtrl\" --regex");
    EXPECT_EQ(regex.exitCode, 0);
    EXPECT_FALSE(Has(regex.out, "Replaced in 0 items")) << regex.out;
    EXPECT_NE(FileBytes(prj), saved);
    CliRun again = RunCli("replace " + prj + " --find Strg+N --with x --dry-run");
    EXPECT_TRUE(Has(again.out, "Replaced in 0 items of 0 found")) << again.out;

    CliRun broken = RunCli("replace " + prj + " --find \"(\" --with x --regex", true);
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_TRUE(Has(broken.out, "missing closing parenthesis")) << broken.out;
}
