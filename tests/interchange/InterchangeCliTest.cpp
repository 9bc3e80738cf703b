// export, import of a translation file and pseudo on the command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::string Text(const std::string& path) {
    auto bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(InterchangeCli, ExportImportAndPseudoWorkOnTheSavedProject) {
    TempDir dir;
    std::string prj = dir.File("pad.prj");
    ASSERT_TRUE(NewTranslatedSample(prj, dir.File("pad.dic")));

    CliRun xliff = RunCli("export " + prj + " --format xliff -o " + dir.File("pad.xlf"));
    ASSERT_EQ(xliff.exitCode, 0);
    EXPECT_TRUE(Has(xliff.out, "Exported ")) << xliff.out;
    ASSERT_EQ(RunCli("export " + prj + " -o " + dir.File("pad.po")).exitCode, 0); // PO, by its extension
    EXPECT_EQ(Text(dir.File("pad.po")).rfind("# ", 0), 0u);
    for (const char* badFormat : {" --format csv -o pad.csv", " -o pad.csv"})
        EXPECT_EQ(RunCli("export " + prj + badFormat).exitCode, 2) << badFormat;
    EXPECT_EQ(RunCli("export " + prj + " --format po -o " + prj).exitCode, 1); // never over the project

    std::string saved = Text(prj);
    CliRun same = RunCli("import " + prj + " " + dir.File("pad.xlf"));
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_TRUE(Has(same.out, "Refused:      0\n")) << same.out;
    EXPECT_TRUE(Has(same.out, "Nothing changed")) << same.out;
    EXPECT_EQ(Text(prj), saved);

    // A unit whose source the module no longer has is refused; the others are taken.
    std::string po = Text(dir.File("pad.po"));
    EXPECT_TRUE(Has(po, "\"Last-Translator: Ann\\n\"\n")) << po.substr(0, 400);
    // Dated by the project's last save: a second export is the same file.
    const std::size_t dated = po.find("\"PO-Revision-Date: ");
    ASSERT_NE(dated, std::string::npos) << po.substr(0, 400);
    const std::string date = po.substr(dated + 19, 21), shape = "dddd-dd-dd dd:dd+0000";
    EXPECT_TRUE(std::equal(shape.begin(), shape.end(), date.begin(), date.end(),
                           [](char s, char c) { return s == 'd' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : s == c; }))
        << date;
    ASSERT_EQ(RunCli("export " + prj + " -o " + dir.File("again.po")).exitCode, 0);
    EXPECT_EQ(Text(dir.File("again.po")), po);
    std::size_t at = po.find("msgid \"E&xit\"");
    ASSERT_NE(at, std::string::npos);
    po.replace(at, 13, "msgid \"E&xit now\"");
    std::ofstream(dir.File("stale.po"), std::ios::binary) << po;
    CliRun stale = RunCli("import --json " + prj + " " + dir.File("stale.po"));
    EXPECT_EQ(stale.exitCode, 0);
    EXPECT_TRUE(Has(stale.out, "the source changed; it is now \\\"E&xit\\\"")) << stale.out;

    std::ofstream(dir.File("list.txt")) << "&Open\tx\t&Öffnen\n";
    CliRun unknown = RunCli("import " + prj + " " + dir.File("list.txt"), true);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(Has(unknown.out, "neither XLIFF nor PO")) << unknown.out;

    CliRun pseudo = RunCli("pseudo " + prj + " --accents --brackets --expand 50");
    ASSERT_EQ(pseudo.exitCode, 0);
    EXPECT_TRUE(Has(pseudo.out, "Pseudo-translated ")) << pseudo.out;
    CliRun shown = RunCli("show --json " + prj);
    EXPECT_TRUE(Has(shown.out, "\"translation\":\"[Qüíll Þàd ~~~~]\"")) << shown.out.substr(0, 2000);
    // Importing the earlier export takes the real translations back in.
    CliRun back = RunCli("import " + prj + " " + dir.File("pad.xlf"));
    EXPECT_EQ(back.exitCode, 0);
    EXPECT_FALSE(Has(back.out, "Translated:   0\n")) << back.out;
}
