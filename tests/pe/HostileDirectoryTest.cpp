#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "Fixtures.h"
#include "pe/RawDirectory.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"
#include "support/ResultChecks.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The modules tests/hostile/make_pe_bombs.py writes, kept as fuzz regressions (one
// that cannot be read is empty, which no test below takes for a module).
Bytes Bomb(const std::string& name) {
    return FileBytes(std::string(QUILLON_DATA_DIR) + "/../../fuzz/regressions/module/" + name);
}

std::uint64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// The module an update writes, its warnings left aside.
Result<Bytes> Committed(const Result<ResourceUpdate>& update) {
    if (!update) return update.GetError();
    std::vector<std::string> warnings;
    return update.Value().Commit(warnings);
}

struct BombCase {
    const char* file;
    std::function<void(const ResourceModule&)> check;
    std::size_t rebuiltStringTables; // those with data: a rebuilt directory has no empty tables
};
std::ostream& operator<<(std::ostream& out, const BombCase& c) { return out << c.file; }

} // namespace

class HostileDirectory : public ::testing::TestWithParam<BombCase> {};

// Reading and rebuilding cost a small multiple of the module: a name is
// decoded once however many entries name it, and no step searches a list
// or compares a long name once per entry.
TEST_P(HostileDirectory, ReadAndRebuildStayProportionalToTheModule) {
    Bytes file = Bomb(GetParam().file);
    std::uint64_t before = ResidentBytes();
    auto start = std::chrono::steady_clock::now();
    auto module = ResourceModule::FromBytes(file);
    ASSERT_TRUE(module);
    EXPECT_EQ(module.Value().LoadString(0), u"Hello");
    GetParam().check(module.Value());
    auto rebuilt = Committed(ResourceUpdate::Begin(module.Value().Image(), module.Value().Tree()));
    ASSERT_TRUE(rebuilt) << rebuilt.GetError().Describe();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::uint64_t grown = std::max(ResidentBytes(), before) - before;
    EXPECT_LT(grown, 64u << 20) << "resident memory grew by " << grown << " bytes";
    EXPECT_LT(seconds, 3.0);
    auto reread = ResourceModule::FromBytes(std::move(rebuilt).Value());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread.Value().EnumerateNames(6).size(), GetParam().rebuiltStringTables);
    EXPECT_EQ(reread.Value().LoadString(0), u"Hello");
}

INSTANTIATE_TEST_SUITE_P(
    Bombs, HostileDirectory,
    ::testing::Values(
        // 6,300 string tables named by one 65,535-unit string, 300 with data.
        BombCase{"one-name-for-thousands-of-entries",
                 [](const ResourceModule& m) {
                     std::vector<ResourceId> names = m.EnumerateNames(6);
                     ASSERT_EQ(names.size(), 6301u);
                     EXPECT_EQ(names[1234].name, ResourceId::Named(std::u16string(0xFFFF, u'N')).name);
                 },
                 301},
        // 4,000 types named by one long string and 4,000 numbered ones.
        BombCase{"thousands-of-types-sharing-a-long-name",
                 [](const ResourceModule& m) {
                     ASSERT_EQ(m.Tree().types.size(), 8000u);
                     EXPECT_EQ(m.Tree().types[70].type.name.size(), 0xFFFFu);
                 },
                 1},
        // 8,000 names starting two bytes apart: past the directory's size in
        // units, they are skipped.
        BombCase{"overlapping-long-names", [](const ResourceModule& m) {
                     EXPECT_EQ(m.EnumerateNames(6).size(), 2u);
                     EXPECT_TRUE(std::ranges::any_of(m.Diagnostics(), [](const std::string& line) {
                         return line.find("overlaps other names") != std::string::npos;
                     }));
                 },
                 1}));

// 1,500 resources of 64 KiB pointing into one block, at one offset or 3
// bytes apart: they keep pointing into one copy, each with its own bytes.
TEST(HostileUpdate, DataSharedByManyEntriesIsWrittenOnce) {
    for (auto [file, stride] : {std::pair{"entries-sharing-one-data-block", 0u}, {"entries-sharing-overlapping-data", 3u}}) {
        SCOPED_TRACE(file);
        Bytes source = Bomb(file);
        auto before = ResourceModule::FromBytes(source);
        ASSERT_TRUE(before);
        auto target = Committed(ResourceUpdate::Begin(source));
        ASSERT_TRUE(target) << target.GetError().Describe();
        EXPECT_LT(target.Value().size(), source.size() + 8192);
        auto after = ResourceModule::FromBytes(target.Value());
        ASSERT_TRUE(after);
        EXPECT_EQ(after.Value().LoadString(0), u"Hello");
        for (std::uint16_t name : {1, 700, 1500}) {
            auto was = before.Value().Find(10, name);
            auto is = after.Value().Find(10, name);
            ASSERT_TRUE(was && is) << name;
            EXPECT_TRUE(std::ranges::equal(*was, *is)) << name;
            EXPECT_EQ(after.Value().FindLeaf(10, name)->rva - after.Value().FindLeaf(10, 1)->rva, stride * (name - 1u));
        }
    }
}

TEST(HostileUpdate, OutputFarLargerThanTheModuleIsRefused) {
    Bytes source =
        BuildPeWithResources({{ResourceId::Integer(6), ResourceId::Integer(1), 0x0409, StringBlockBytes({u"Hello"})}});
    auto update = ResourceUpdate::Begin(source);
    ASSERT_TRUE(update);
    update.Value().Put(ResourceId::Integer(10), ResourceId::Integer(2), 0x0409, Bytes((64u << 20) + 4096, 0x5A));
    std::string refusal = FailureOf(Committed(update)).message;
    EXPECT_NE(refusal.find("more than 4 times the module's " + std::to_string(source.size()) + " bytes plus 64 MiB"),
              std::string::npos) << refusal;
}

// The loader compares only the low 16 bits of an ID field: 0x10307 reads as
// block 775, 0x10409 as US English, 0x10006 as string tables. Such entries
// are never taken for the ones they shadow, and a rebuilt directory writes
// them back as they were.
TEST(HostileUpdate, IdFieldsWithBitsAbove16AreWrittenBackAsTheyWere) {
    Bytes source = Bomb("string-blocks-past-the-numbering");
    EXPECT_EQ(ResourceModule::FromBytes(source).Value().EnumerateNames(6).size(), 4u); // named, 1, 775, 29447
    auto update = ResourceUpdate::Begin(source);
    ASSERT_TRUE(update);
    EXPECT_TRUE(update.Value().Delete(ResourceId::Integer(6), ResourceId::Integer(775), 0x0409));
    EXPECT_FALSE(update.Value().Delete(ResourceId::Integer(6), ResourceId::Integer(999), 0x0409));
    update.Value().Put(ResourceId::Integer(6), ResourceId::Integer(775), 0x0407,
                       StringBlockBytes({u"", u"", u"", u"", u"Echte 12388"})); // ID 12388: slot 4
    auto target = Committed(update);
    ASSERT_TRUE(target) << target.GetError().Describe();
    EXPECT_EQ(RawIds(target.Value(), {}), (std::vector<std::uint32_t>{6, 0x10006}));
    std::vector<std::uint32_t> names = RawIds(target.Value(), {0});
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(std::vector(names.begin() + 1, names.end()), (std::vector<std::uint32_t>{1, 775, 29447, 0x10307}));
    EXPECT_EQ(RawIds(target.Value(), {0, 1}), (std::vector<std::uint32_t>{0x0409, 0x10409}));
    EXPECT_EQ(RawIds(target.Value(), {0, 2}), (std::vector<std::uint32_t>{0x0407}));
    // Type, name and language entry indexes of the resources left as they were.
    for (auto [t, n, l] : {std::tuple{0, 0, 0}, {0, 3, 0}, {0, 4, 0}, {0, 1, 1}, {1, 0, 0}})
        EXPECT_EQ(RawData(target.Value(), t, n, l), RawData(source, t, n, l)) << t << n << l;
    auto rebuilt = ResourceModule::FromBytes(target.Value());
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt.Value().LoadString(12388), u"Echte 12388");
    EXPECT_EQ(rebuilt.Value().LoadString(0), u"Hello");
}
