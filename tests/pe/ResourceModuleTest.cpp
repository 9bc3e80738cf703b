#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "Fixtures.h"
#include "pe/ResourceModule.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::string RunCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
    status = ::pclose(pipe);
    return output;
}

bool PefileAvailable() {
    int status = 0;
    RunCommand("/usr/bin/python3 -c 'import pefile' 2>/dev/null", status);
    return status == 0;
}

std::string LanguageHex(std::uint16_t language) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04x", language);
    return buffer;
}

std::string NameText(const ResourceId& id) {
    if (!id.named) return std::to_string(id.id);
    return std::string(id.name.begin(), id.name.end()); // fixtures use ASCII names
}

// SHA-256 of bytes through the system's sha256sum, as the dump prints it.
std::string Sha256(std::span<const std::uint8_t> bytes) {
    char path[] = "/tmp/quillon-leaf-XXXXXX";
    int fd = ::mkstemp(path);
    if (fd < 0) return "mkstemp failed";
    FILE* file = ::fdopen(fd, "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    int status = 0;
    std::string out = RunCommand(std::string("sha256sum ") + path, status);
    ::unlink(path);
    return out.substr(0, out.find(' '));
}

// Our reader's view in the dump's format: TYPE NAME LANG SIZE SHA256.
std::string OurDump(const ResourceModule& module) {
    std::ostringstream out;
    for (const auto& type : module.Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages)
                out << NameText(type.type) << " " << NameText(name.name) << " " << LanguageHex(leaf.language) << " "
                    << leaf.size << " " << (leaf.bytes ? Sha256(*leaf.bytes) : "-") << "\n";
    return out.str();
}

} // namespace

class GoodFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(GoodFixture, DirectoryMatchesTheIndependentReader) {
    if (!PefileAvailable()) GTEST_SKIP() << "python3-pefile is not installed";
    auto module = ResourceModule::Open(Fixture(GetParam()));
    ASSERT_TRUE(module) << module.GetError().Describe();
    int status = 0;
    std::string dump = RunCommand("/usr/bin/python3 " QUILLON_DATA_DIR "/pefile_dump.py " + Fixture(GetParam()), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(OurDump(module.Value()), dump);
    EXPECT_TRUE(module.Value().Diagnostics().empty());
}

TEST_P(GoodFixture, EveryLeafIsReadableAndInsideTheFile) {
    auto module = ResourceModule::Open(Fixture(GetParam()));
    ASSERT_TRUE(module);
    auto file = module.Value().Image().File();
    for (const auto& type : module.Value().Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) {
                ASSERT_TRUE(leaf.bytes.has_value());
                EXPECT_EQ(leaf.bytes->size(), leaf.size);
                EXPECT_GE(leaf.bytes->data(), file.data());
                EXPECT_LE(leaf.bytes->data() + leaf.bytes->size(), file.data() + file.size());
            }
}

INSTANTIATE_TEST_SUITE_P(Modules, GoodFixture,
                         ::testing::Values("basic32.exe", "basic64.exe", "unstripped64.exe", "multilang.dll",
                                           "notranslation.dll", "nores.exe"));

TEST(ResourceModule, ReadsBothHeaderFormats) {
    auto pe32 = ResourceModule::Open(Fixture("basic32.exe"));
    auto pe64 = ResourceModule::Open(Fixture("basic64.exe"));
    ASSERT_TRUE(pe32 && pe64);
    EXPECT_FALSE(pe32.Value().Image().Is64());
    EXPECT_TRUE(pe64.Value().Image().Is64());
    // Same resource script, same bytes.
    auto dialog32 = pe32.Value().Find(kTypeDialog, 200);
    auto dialog64 = pe64.Value().Find(kTypeDialog, 200);
    ASSERT_TRUE(dialog32 && dialog64);
    EXPECT_TRUE(std::equal(dialog32->begin(), dialog32->end(), dialog64->begin(), dialog64->end()));
}

TEST(ResourceModule, EnumeratesNamedEntriesFirstThenIdsAscending) {
    auto module = ResourceModule::Open(Fixture("basic32.exe"));
    ASSERT_TRUE(module);
    auto menus = module.Value().EnumerateNames(kTypeMenu);
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0], ResourceId::Named(u"NAMEDMENU"));
    EXPECT_EQ(menus[1], ResourceId::Integer(100));
    EXPECT_EQ(menus[2], ResourceId::Integer(101));
    EXPECT_TRUE(module.Value().EnumerateNames(9).empty());
}

TEST(ResourceModule, LoadsStringsBySlot) {
    auto module = ResourceModule::Open(Fixture("basic64.exe"));
    ASSERT_TRUE(module);
    EXPECT_EQ(module.Value().LoadString(1), u"Hello");
    EXPECT_EQ(module.Value().LoadString(2), u"A\tB\r\n");
    EXPECT_FALSE(module.Value().LoadString(3).has_value());
    EXPECT_FALSE(module.Value().LoadString(17).has_value());
    EXPECT_EQ(module.Value().LoadString(4095), u"High block");
    EXPECT_EQ(module.Value().LoadString(65535), u"Last ID");
    EXPECT_EQ(module.Value().LoadString(0x10000 + 1), u"Hello"); // only the low 16 bits count
    EXPECT_EQ(module.Value().LoadString(100)->size(), 3000u);
}

TEST(ResourceModule, LanguageRulePrefersDeclaredThenNeutralThenEnglishThenLowest) {
    auto module = ResourceModule::Open(Fixture("multilang.dll"));
    ASSERT_TRUE(module);
    const ResourceModule& m = module.Value();
    EXPECT_EQ(m.DeclaredLanguage(), 0x0407);
    EXPECT_EQ(m.LoadString(1), u"Hallo");          // declared German
    EXPECT_EQ(m.LoadString(17), u"Neutral 17");    // no German: neutral
    EXPECT_EQ(m.LoadString(33), u"English 33");    // no neutral: US English
    EXPECT_EQ(m.LoadString(49), u"Francais 49");   // none of those: lowest id
    EXPECT_EQ(m.FindLeaf(kTypeDialog, 100)->language, 0x0407);
    EXPECT_EQ(m.FindLeaf(kTypeMenu, 100)->language, 0x0409);
}

TEST(ResourceModule, ModuleWithoutResourcesHasAnEmptyTree) {
    auto module = ResourceModule::Open(Fixture("nores.exe"));
    ASSERT_TRUE(module);
    EXPECT_TRUE(module.Value().Tree().types.empty());
    EXPECT_FALSE(module.Value().Find(kTypeVersion, 1).has_value());
}

TEST(ResourceModule, ResourceSectionFollowedByOtherSections) {
    auto module = ResourceModule::Open(Fixture("unstripped64.exe"));
    ASSERT_TRUE(module);
    const auto& sections = module.Value().Image().Sections();
    std::size_t rsrc = 0;
    while (rsrc < sections.size() && sections[rsrc].Name() != ".rsrc") ++rsrc;
    ASSERT_LT(rsrc + 1, sections.size());
    EXPECT_EQ(sections[rsrc + 1].Name(), ".reloc");
    EXPECT_EQ(module.Value().LoadString(16), u"First of block 2");
}

TEST(ResourceModule, NonModulesAreRefusedWithAReason) {
    for (const char* name : {"corrupt/not-pe.exe", "corrupt/truncated-headers.exe", "corrupt/bad-lfanew.exe"}) {
        auto module = ResourceModule::Open(Fixture(name));
        ASSERT_FALSE(module) << name;
        EXPECT_EQ(module.GetError().code, Error::Code::NotModule) << name;
        EXPECT_NE(module.GetError().message.find("not a Windows module"), std::string::npos);
    }
    auto missing = ResourceModule::Open(Fixture("does-not-exist.exe"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.GetError().code, Error::Code::Io);
}

TEST(ResourceModule, DamagedDirectoriesAreSkippedWithDiagnostics) {
    auto cycle = ResourceModule::Open(Fixture("corrupt/rsrc-cycle.exe"));
    ASSERT_TRUE(cycle);
    EXPECT_FALSE(cycle.Value().Diagnostics().empty());
    EXPECT_FALSE(cycle.Value().Find(kTypeMenu, 100).has_value());
    EXPECT_TRUE(cycle.Value().Find(kTypeDialog, 200).has_value());

    auto badOffset = ResourceModule::Open(Fixture("corrupt/rsrc-badoffset.exe"));
    ASSERT_TRUE(badOffset);
    EXPECT_FALSE(badOffset.Value().LoadString(1).has_value());
    EXPECT_TRUE(badOffset.Value().Find(kTypeMenu, 100).has_value());

    auto outside = ResourceModule::Open(Fixture("corrupt/data-rva-outside.exe"));
    ASSERT_TRUE(outside);
    EXPECT_FALSE(outside.Value().LoadString(1).has_value());
    EXPECT_EQ(outside.Value().LoadString(16), u"First of block 2");

    auto huge = ResourceModule::Open(Fixture("corrupt/data-size-huge.exe"));
    ASSERT_TRUE(huge);
    EXPECT_FALSE(huge.Value().Find(kTypeDialog, 200).has_value());
}

TEST(ResourceModule, StringSlotRunningPastItsBlockEndsTheBlock) {
    auto module = ResourceModule::Open(Fixture("corrupt/string-overrun.exe"));
    ASSERT_TRUE(module);
    StringBlock block = module.Value().LoadStringBlock(1);
    for (const auto& slot : block) EXPECT_FALSE(slot.has_value());
    EXPECT_EQ(module.Value().LoadString(16), u"First of block 2");
}
