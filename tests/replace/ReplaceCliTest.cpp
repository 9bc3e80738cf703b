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

    ExpectCli("replace " + prj + " --find Strg --with Ctrl --word --case --dry-run", 0,
              {"menus/100/-1/1001: \"Neu\\tStrg+N\" -> \"Neu\\tCtrl+N\"\n", "(dry run: nothing written)"});
    EXPECT_EQ(FileBytes(prj), saved);

    CliRun regex = ExpectCli("replace " + prj + " --find \"^(\\w+)\\\\tStrg\" --with \"\\$1\\\\tCtrl\" --regex", 0);
    EXPECT_FALSE(Has(regex.out, "Replaced in 0 items")) << regex.out;
    EXPECT_NE(FileBytes(prj), saved);
    ExpectCli("replace " + prj + " --find Strg+N --with x --dry-run", 0, {"Replaced in 0 items of 0 found"});
    ExpectCli("replace " + prj + " --find \"(\" --with x --regex", 2, {"missing closing parenthesis"});
}
