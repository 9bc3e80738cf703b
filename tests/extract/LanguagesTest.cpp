#include <gtest/gtest.h>

#include "Fixtures.h"
#include "extract/FileVersion.h"
#include "extract/Languages.h"
#include "pe/ResourceModule.h"

using namespace quillon;
using namespace quillon::testing;

// Lists store a row's index, so the order is fixed: checked at points along it.
TEST(LanguageTable, SeventyRowsInTheirFixedOrder) {
    auto rows = LanguageRows();
    ASSERT_EQ(rows.size(), 70u);
    const std::tuple<std::size_t, std::string, std::uint16_t> points[] = {
        {0, "Afrikaans", 0x36}, {12, "Croatian", 0x1A}, {16, "English", 0x09},   {23, "German", 0x07},
        {35, "Kazakh", 0x3F},   {54, "Serbian", 0x1A},  {69, "Vietnamese", 0x2A}};
    for (const auto& [index, label, id] : points)
        EXPECT_EQ(std::pair(std::string(rows[index].label), rows[index].id), std::pair(label, id)) << index;
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

// The first translation picks the string table the description comes from
// (basic32 has an English and a German one); without a translation the
// language is 0 and the description empty; no version resource is NotFound.
TEST(ModuleVersionRecord, FixedVersionTranslationAndDescription) {
    const std::pair<const char*, std::optional<ModuleVersion>> rows[] = {
        {"basic32.exe", ModuleVersion{0x0409, 1200, 0x00010002, 0x00030004, "Basic fixture"}},
        {"notranslation.dll", ModuleVersion{0, 0, 0x00050006, 0x00070008, ""}},
        {"nores.exe", std::nullopt}};
    for (const auto& [fixture, expected] : rows) {
        auto version = ReadModuleVersion(ResourceModule::Open(Fixture(fixture)).Value(), CodePage(kCodePageUtf8));
        EXPECT_EQ(version ? std::optional(version.Value()) : std::nullopt, expected) << fixture;
        EXPECT_TRUE(version || version.GetError().code == Error::Code::NotFound) << version.GetError().message;
    }
    EXPECT_EQ((ModuleVersion{0, 0, 0x00010002, 0xFFFF0004, ""}.VersionText()), "1.2.65535.4");
}
