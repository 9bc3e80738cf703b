#include <gtest/gtest.h>

#include "Fixtures.h"
#include "extract/FileVersion.h"
#include "extract/Languages.h"

using namespace quillon;
using namespace quillon::testing;

TEST(LanguageTable, SeventyRowsInTheirFixedOrder) {
    auto rows = LanguageRows();
    ASSERT_EQ(rows.size(), 70u);
    EXPECT_EQ(g_aLanguages[70].id, 0);
    EXPECT_EQ(g_aLanguages[70].label, nullptr);
    EXPECT_STREQ(rows[0].label, "Afrikaans");
    EXPECT_EQ(rows[0].id, 0x36);
    EXPECT_STREQ(rows[12].label, "Croatian");
    EXPECT_STREQ(rows[16].label, "English");
    EXPECT_EQ(rows[23].id, 0x07);
    EXPECT_STREQ(rows[35].label, "Kazakh");
    EXPECT_STREQ(rows[54].label, "Serbian");
    EXPECT_EQ(rows[54].id, 0x1A);
    EXPECT_STREQ(rows[69].label, "Vietnamese");
    for (const auto& row : rows) EXPECT_EQ(row.reserved, 0);
}

TEST(LanguageTable, NamesAndIdentifiers) {
    EXPECT_EQ(LanguageName(0x0409), "English");
    EXPECT_EQ(LanguageName(0x0407), "German");
    EXPECT_EQ(LanguageName(0x041A), "Croatian");
    EXPECT_EQ(LanguageName(0x081A), "Serbian");
    EXPECT_EQ(LanguageName(0x0C1A), "Serbian");
    EXPECT_EQ(LanguageName(0x0000), "");
    EXPECT_EQ(ParseLanguage("German"), 0x0407);
    EXPECT_EQ(ParseLanguage("german"), 0x0407);
    EXPECT_EQ(ParseLanguage("0x0415"), 0x0415);
    EXPECT_EQ(ParseLanguage("0x07"), 0x0407);
    EXPECT_EQ(ParseLanguage("Serbian"), 0x081A);
    EXPECT_EQ(FindLanguageRow("0x0409"), 16u);
    EXPECT_FALSE(ParseLanguage("Klingon").has_value());
    EXPECT_FALSE(ParseLanguage("0x7F").has_value());
}

TEST(LanguageTable, DefaultCodePages) {
    EXPECT_EQ(DefaultCodePage(0x0407), 1252u);
    EXPECT_EQ(DefaultCodePage(0x0415), 1250u);
    EXPECT_EQ(DefaultCodePage(0x0419), 1251u);
    EXPECT_EQ(DefaultCodePage(0x0408), 1253u);
    EXPECT_EQ(DefaultCodePage(0x041F), 1254u);
    EXPECT_EQ(DefaultCodePage(0x040D), 1255u);
    EXPECT_EQ(DefaultCodePage(0x0401), 1256u);
    EXPECT_EQ(DefaultCodePage(0x0426), 1257u);
    EXPECT_EQ(DefaultCodePage(0x042A), 1258u);
    EXPECT_EQ(DefaultCodePage(0x041E), 874u);
    EXPECT_EQ(DefaultCodePage(0x0411), 932u);
    EXPECT_EQ(DefaultCodePage(0x0404), 950u);
    EXPECT_EQ(DefaultCodePage(0x0804), 936u);
    EXPECT_EQ(DefaultCodePage(0x0412), 949u);
    EXPECT_EQ(DefaultCodePage(0x0439), 65001u);
    EXPECT_EQ(DefaultCodePage(0x042B), 65001u);
    // Every table row gets a code page the converter knows.
    for (const auto& row : LanguageRows())
        EXPECT_TRUE(CodePage(DefaultCodePage(TargetLanguageId(row.id))).Supported()) << row.label;
}

TEST(FileVersionRecord, ReadsVersionLanguageStringsAndDescriptions) {
    CFileVersion version;
    version.SetFileName(Fixture("basic32.exe"));
    std::uint16_t language = 0;
    ASSERT_TRUE(version.GetLanguage(language));
    EXPECT_EQ(language, 0x0409);
    std::uint16_t codePage = 0;
    version.GetCodePage(codePage);
    EXPECT_EQ(codePage, 1200);
    std::string text;
    version.GetVersion(text);
    EXPECT_EQ(text, "1.2.3.4");
    version.GetCompanyName(text);
    EXPECT_EQ(text, "Quillon Fixtures");
    version.GetFileType(text);
    EXPECT_EQ(text, "Application");
    version.GetOS(text);
    EXPECT_EQ(text, "Win32 API on Windows NT");
    EXPECT_EQ(version.GetLanguageName(), "English");
}

TEST(FileVersionRecord, MissingTranslationGivesLanguageZeroAndNoStrings) {
    CFileVersion version;
    version.SetFileName(Fixture("notranslation.dll"));
    std::uint16_t language = 1;
    ASSERT_TRUE(version.GetLanguage(language));
    EXPECT_EQ(language, 0);
    std::string company = "x";
    EXPECT_TRUE(version.GetCompanyName(company));
    EXPECT_EQ(company, "");
    std::string type;
    version.GetFileType(type);
    EXPECT_EQ(type, "Dynamic link library");
}

TEST(FileVersionRecord, FailureGivesZerosAndEmptyStrings) {
    CFileVersion version;
    version.SetFileName(Fixture("nores.exe"));
    std::array<std::uint32_t, 13> fixed{};
    fixed[0] = 7;
    EXPECT_FALSE(version.GetFixedFileInfo(fixed));
    EXPECT_EQ(fixed[0], 0u);
    EXPECT_EQ(version.GetLanguageName(), "");
    CFileVersion empty;
    EXPECT_FALSE(empty.Load());
}
