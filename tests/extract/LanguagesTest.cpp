#include <gtest/gtest.h>

#include "Fixtures.h"
#include "extract/FileVersion.h"
#include "extract/Languages.h"

using namespace quillon;
using namespace quillon::testing;

// Lists store a row's index, so the order is fixed: checked at points along it.
TEST(LanguageTable, SeventyRowsInTheirFixedOrder) {
    auto rows = LanguageRows();
    ASSERT_EQ(rows.size(), 70u);
    const std::tuple<std::size_t, std::string, std::uint16_t> points[] = {
        {0, "Afrikaans", 0x36}, {12, "Croatian", 0x1A}, {16, "English", 0x09},   {23, "German", 0x07},
        {35, "Kazakh", 0x3F},   {54, "Serbian", 0x1A},  {69, "Vietnamese", 0x2A}};
    for (const auto& [index, label, id] : points) {
        EXPECT_EQ(rows[index].label, label) << index;
        EXPECT_EQ(rows[index].id, id) << index;
    }
}

// Code pages by primary language, the sub-language deciding for Serbian,
// Azeri and Chinese; every table row gets one the converter knows.
TEST(LanguageTable, NamesIdentifiersAndCodePages) {
    const std::pair<std::uint16_t, const char*> names[] = {{0x0409, "English"},  {0x0407, "German"}, {0x041A, "Croatian"},
                                                           {0x081A, "Serbian"},  {0x0C1A, "Serbian"}, {0x0000, ""}};
    for (const auto& [language, name] : names) EXPECT_EQ(LanguageName(language), name) << language;
    const std::pair<const char*, std::optional<std::uint16_t>> parsed[] = {
        {"German", 0x0407}, {"german", 0x0407},         {"0x0415", 0x0415},    {"0x07", 0x0407},
        {"Serbian", 0x081A}, {"Klingon", std::nullopt}, {"0x7F", std::nullopt}};
    for (const auto& [text, language] : parsed) EXPECT_EQ(ParseLanguage(text), language) << text;
    EXPECT_EQ(FindLanguageRow("0x0409"), 16u);
    const std::pair<std::uint16_t, std::uint32_t> codePages[] = {
        {0x0407, 1252}, {0x0415, 1250}, {0x041A, 1250}, {0x0C1A, 1251}, {0x042C, 1254}, {0x082C, 1251},
        {0x0411, 932},  {0x0404, 950},  {0x0804, 936},  {0x1004, 936},  {0x0439, 65001}};
    for (const auto& [language, codePage] : codePages) EXPECT_EQ(DefaultCodePage(language), codePage) << language;
    for (const auto& row : LanguageRows())
        EXPECT_TRUE(CodePage(DefaultCodePage(TargetLanguageId(row.id))).Supported()) << row.label;
}

TEST(FileVersionRecord, ReadsVersionLanguageStringsAndDescriptions) {
    CFileVersion version;
    version.SetFileName(Fixture("basic32.exe"));
    std::uint16_t language = 0, codePage = 0;
    ASSERT_TRUE(version.GetLanguage(language));
    EXPECT_EQ(language, 0x0409);
    version.GetCodePage(codePage);
    EXPECT_EQ(codePage, 1200);
    const std::pair<bool (CFileVersion::*)(std::string&), const char*> texts[] = {
        {&CFileVersion::GetVersion, "1.2.3.4"},
        {&CFileVersion::GetCompanyName, "Quillon Fixtures"},
        {&CFileVersion::GetFileType, "Application"},
        {&CFileVersion::GetOS, "Win32 API on Windows NT"}};
    for (const auto& [get, expected] : texts) {
        std::string text;
        (version.*get)(text);
        EXPECT_EQ(text, expected);
    }
    EXPECT_EQ(version.GetLanguageName(), "English");
}

// Without a translation the language is 0 and the strings are empty; a
// module without a version resource gives zeros.
TEST(FileVersionRecord, MissingTranslationOrVersionGivesZerosAndEmptyStrings) {
    CFileVersion version;
    version.SetFileName(Fixture("notranslation.dll"));
    std::uint16_t language = 1;
    ASSERT_TRUE(version.GetLanguage(language));
    EXPECT_EQ(language, 0);
    std::string company = "x", type;
    EXPECT_TRUE(version.GetCompanyName(company));
    EXPECT_EQ(company, "");
    version.GetFileType(type);
    EXPECT_EQ(type, "Dynamic link library");
    version.SetFileName(Fixture("nores.exe"));
    std::array<std::uint32_t, 13> fixed{};
    fixed[0] = 7;
    EXPECT_FALSE(version.GetFixedFileInfo(fixed));
    EXPECT_EQ(fixed[0], 0u);
    EXPECT_EQ(version.GetLanguageName(), "");
    EXPECT_FALSE(CFileVersion().Load());
}
