#include <gtest/gtest.h>

#include <iomanip>
#include <optional>
#include <sstream>
#include <tuple>

#include "Fixtures.h"
#include "TempDir.h"
#include "pe/IndependentReader.h"
#include "pe/ResourceModule.h"
#include "support/ResultChecks.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::string NameText(const ResourceId& id) { // fixtures use ASCII names
    return id.named ? std::string(id.name.begin(), id.name.end()) : std::to_string(id.id);
}

// SHA-256 of bytes through the system's sha256sum, as the dump prints it.
std::string Sha256(std::span<const std::uint8_t> bytes) {
    TempDir dir;
    if (!WriteFileAtomically(dir.File("leaf"), bytes)) return "not written";
    int status = 0;
    std::string out = RunCommand("sha256sum " + dir.File("leaf"), status);
    return out.substr(0, out.find(' '));
}

// Our reader's view in the dump's format: TYPE NAME LANG SIZE SHA256.
std::string OurDump(const ResourceModule& module) {
    std::ostringstream out;
    for (const auto& type : module.Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages)
                out << NameText(type.type) << " " << NameText(name.name) << " " << std::hex << std::setw(4)
                    << std::setfill('0') << leaf.language << std::dec << " " << leaf.size << " "
                    << (leaf.bytes ? Sha256(*leaf.bytes) : "-") << "\n";
    return out.str();
}

} // namespace

class GoodFixture : public ::testing::TestWithParam<const char*> {};

// PE32 and PE32+ headers alike, the directory is the one an independent reader
// sees (python3-pefile, which scripts/setup.sh installs): every leaf with the
// size and SHA-256 of the bytes it reads from the file.
TEST_P(GoodFixture, LeavesLieInsideTheFileAndMatchTheIndependentReader) {
    auto module = ResourceModule::Open(Fixture(GetParam()));
    ASSERT_TRUE(module) << module.GetError().Describe();
    EXPECT_TRUE(module.Value().Diagnostics().empty());
    if (!PefileAvailable()) GTEST_SKIP() << "python3-pefile is not installed";
    int status = 0;
    std::string dump = RunPefileScript("pefile_dump.py", Fixture(GetParam()), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(OurDump(module.Value()), dump);
}

INSTANTIATE_TEST_SUITE_P(Modules, GoodFixture,
                         ::testing::Values("basic32.exe", "basic64.exe", "unstripped64.exe", "multilang.dll",
                                           "notranslation.dll", "nores.exe"));

// basic64.exe by slot, only the low 16 bits of an ID counting; multilang.dll
// by the language rule every resource is found by: declared German, then
// neutral, US English, the lowest. Names come named first, then IDs ascending.
TEST(ResourceModule, LoadsStringsBySlotInTheLanguageTheRulePrefers) {
    auto basic = ResourceModule::Open(Fixture("basic64.exe"));
    auto multilang = ResourceModule::Open(Fixture("multilang.dll"));
    ASSERT_TRUE(basic && multilang);
    const std::tuple<const ResourceModule*, std::uint32_t, std::optional<std::u16string>> cases[] = {
        {&basic.Value(), 1, u"Hello"},           {&basic.Value(), 2, u"A\tB\r\n"},    {&basic.Value(), 3, std::nullopt},
        {&basic.Value(), 17, std::nullopt},      {&basic.Value(), 4095, u"High block"}, {&basic.Value(), 65535, u"Last ID"},
        {&basic.Value(), 0x10001, u"Hello"},     {&multilang.Value(), 1, u"Hallo"},     {&multilang.Value(), 17, u"Neutral 17"},
        {&multilang.Value(), 33, u"English 33"}, {&multilang.Value(), 49, u"Francais 49"}};
    for (const auto& [module, id, text] : cases) EXPECT_EQ(module->LoadString(id), text) << id;
    EXPECT_EQ(basic.Value().LoadString(100).value_or(u"").size(), 3000u);
    EXPECT_EQ(basic.Value().EnumerateNames(kTypeMenu),
              (std::vector<ResourceId>{ResourceId::Named(u"NAMEDMENU"), ResourceId::Integer(100), ResourceId::Integer(101)}));
}

TEST(ResourceModule, NonModulesAreRefusedWithAReason) {
    for (const char* name : {"corrupt/not-pe.exe", "corrupt/truncated-headers.exe", "corrupt/bad-lfanew.exe"}) {
        Error refused = FailureOf(ResourceModule::Open(Fixture(name)), name);
        EXPECT_EQ(refused.code, Error::Code::NotModule) << name;
        EXPECT_NE(refused.message.find("not a Windows module"), std::string::npos) << refused.message;
    }
    EXPECT_EQ(ResourceModule::Open(Fixture("does-not-exist.exe")).GetError().code, Error::Code::Io);
}

// Each damaged module loses the resource its fault reaches, says so, and
// keeps the one named beside it.
TEST(ResourceModule, DamagedDirectoriesAreSkippedWithDiagnostics) {
    const struct {
        const char* file;
        std::uint16_t lostType, lostName, keptType, keptName;
    } cases[] = {
        {"corrupt/rsrc-cycle.exe", kTypeMenu, 100, kTypeDialog, 200},
        {"corrupt/rsrc-badoffset.exe", kTypeStringTable, 1, kTypeMenu, 100},
        {"corrupt/data-rva-outside.exe", kTypeStringTable, 1, kTypeStringTable, 2},
        {"corrupt/data-size-huge.exe", kTypeDialog, 200, kTypeMenu, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto module = ResourceModule::Open(Fixture(c.file));
        ASSERT_TRUE(module);
        EXPECT_FALSE(module.Value().Diagnostics().empty());
        EXPECT_FALSE(module.Value().Find(c.lostType, c.lostName).has_value());
        EXPECT_TRUE(module.Value().Find(c.keptType, c.keptName).has_value());
    }
    // Strings outside the file, or a slot running past its block's end, end the block.
    for (const char* file : {"corrupt/data-rva-outside.exe", "corrupt/string-overrun.exe"}) {
        auto module = ResourceModule::Open(Fixture(file));
        ASSERT_TRUE(module) << file;
        for (const auto& slot : module.Value().LoadStringBlock(1)) EXPECT_FALSE(slot.has_value()) << file;
        EXPECT_EQ(module.Value().LoadString(16), u"First of block 2") << file;
    }
}
