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

TEST(InterchangeCli, ExportImportAndPseudoWorkOnTheSavedProject) {
    TempDir dir;
    std::string prj = dir.File("pad.prj");
    ASSERT_TRUE(NewTranslatedSample(prj, dir.File("pad.dic")));

    ExpectCli("export " + prj + " --format xliff -o " + dir.File("pad.xlf"), 0, {"Exported "});
    ASSERT_EQ(RunCli("export " + prj + " -o " + dir.File("pad.po")).exitCode, 0); // PO, by its extension
    EXPECT_EQ(FileText(dir.File("pad.po")).rfind("# ", 0), 0u);
    for (const char* badFormat : {" --format csv -o pad.csv", " -o pad.csv"})
        EXPECT_EQ(RunCli("export " + prj + badFormat).exitCode, 2) << badFormat;
    EXPECT_EQ(RunCli("export " + prj + " --format po -o " + prj).exitCode, 1); // never over the project

    std::string saved = FileText(prj);
    ExpectCli("import " + prj + " " + dir.File("pad.xlf"), 0, {"Refused:      0\n", "Nothing changed"});
    EXPECT_EQ(FileText(prj), saved);

    // A unit whose source the module no longer has is refused; the others are taken.
    std::string po = FileText(dir.File("pad.po"));
    EXPECT_TRUE(Has(po, "\"Last-Translator: Ann\\n\"\n")) << po.substr(0, 400);
    // Dated by the project's last save: a second export is the same file.
    const std::size_t dated = po.find("\"PO-Revision-Date: ");
    ASSERT_NE(dated, std::string::npos) << po.substr(0, 400);
    const std::string date = po.substr(dated + 19, 23), shape = "dddd-dd-dd dd:dd+0000\\n";
    EXPECT_TRUE(std::equal(shape.begin(), shape.end(), date.begin(), date.end(),
                           [](char s, char c) { return s == 'd' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : s == c; }))
        << date;
    ASSERT_EQ(RunCli("export " + prj + " -o " + dir.File("again.po")).exitCode, 0);
    EXPECT_EQ(FileText(dir.File("again.po")), po);
    std::size_t at = po.find("msgid \"E&xit\"");
    ASSERT_NE(at, std::string::npos);
    po.replace(at, 13, "msgid \"E&xit now\"");
    std::ofstream(dir.File("stale.po"), std::ios::binary) << po;
    ExpectCli("import --json " + prj + " " + dir.File("stale.po"), 0, {"the source changed; it is now \\\"E&xit\\\""});

    std::ofstream(dir.File("list.txt")) << "&Open\tx\t&Öffnen\n";
    ExpectCli("import " + prj + " " + dir.File("list.txt"), 1, {"neither XLIFF nor PO"});

    ExpectCli("pseudo " + prj + " --accents --brackets --expand 50", 0, {"Pseudo-translated "});
    ExpectCli("show --json " + prj, 0, {"\"translation\":\"[Qüíll Þàd ~~~~]\""});
    // Importing the earlier export takes the real translations back in.
    EXPECT_FALSE(Has(ExpectCli("import " + prj + " " + dir.File("pad.xlf"), 0).out, "Translated:   0\n"));
}
