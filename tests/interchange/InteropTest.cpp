// Other tools read what Quillon writes, and Quillon reads what they write
// back: translate-toolkit's po2xliff and xliff2po, Qt's lconvert.
// Each test is skipped where its tool is not installed.

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "InterchangeProjects.h"
#include "TempDir.h"
#include "cli/RunCli.h"
#include "io/FileIo.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

constexpr const char* kLconvert = "/usr/lib/qt6/bin/lconvert";

bool Installed(const std::string& tool) {
    if (tool.front() == '/') return ::access(tool.c_str(), X_OK) == 0;
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

void Export(const CProject& project, InterchangeFormat format, const std::string& path) {
    std::ofstream(path, std::ios::binary) << WriteUnits(format, UnitsOf(project)).Value().bytes;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

} // namespace

TEST(InterchangeInterop, LconvertReadsEveryUnitOfTheXliff) {
    if (!Installed(kLconvert)) GTEST_SKIP() << "lconvert is not installed";
    TempDir dir;
    auto project = TranslatedSample();
    Export(*project, InterchangeFormat::Xliff, dir.File("sample.xlf"));
    ExpectCli("-i " + dir.File("sample.xlf") + " -o " + dir.File("sample.ts"), 0, {}, kLconvert);
    const std::string text = FileText(dir.File("sample.ts"));
    EXPECT_EQ(Count(text, "<message"), UnitsOf(*project).units.size());
    EXPECT_EQ(Count(text, "type=\"unfinished\""), Count(text, "<message") - Count(text, "<translation>"));
}

TEST(InterchangeInterop, WhatXliff2poAndPo2xliffWriteBackImportsAsTheTranslation) {
    if (!Installed("xliff2po") || !Installed("po2xliff")) GTEST_SKIP() << "translate-toolkit is not installed";
    TempDir dir;
    auto project = TranslatedSample();
    Export(*project, InterchangeFormat::Xliff, dir.File("out.xlf"));
    Export(*project, InterchangeFormat::Po, dir.File("out.po"));
    for (auto [tool, from, back] : {std::tuple{"xliff2po", "out.xlf", "back.po"}, {"po2xliff", "out.po", "back.xlf"}}) {
        SCOPED_TRACE(tool);
        ExpectCli(dir.File(from) + " " + dir.File(back), 0, {}, tool);
        // Imported into an untranslated copy, what the tool wrote back makes the copy the translated project.
        const std::vector<std::uint8_t> bytes = FileBytes(dir.File(back));
        UnitFile read = ValueOf(ReadUnits(*DetectFormat(dir.File(back), bytes), bytes));
        // Every unit came through, the untranslated ones too, which the import would not miss.
        EXPECT_EQ(read.units.size(), UnitsOf(*project).units.size());
        ImportIntoAnUntranslatedCopy(*project, read);
    }
}
