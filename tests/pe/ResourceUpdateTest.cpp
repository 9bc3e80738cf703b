#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/FileIo.h"
#include "pe/IndependentReader.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// pefile finds no fault in the module, its checksum right and `also` in its
// report (warnings, checksum, overlay and sections).
void ExpectPefileAccepts(const Bytes& module, const std::string& also = "") {
    if (!PefileAvailable()) return;
    TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir.File("m.exe"), module));
    int status = 0;
    std::string check = RunPefileScript("pe_check.py", dir.File("m.exe"), status);
    for (const std::string& wanted : {std::string("warnings 0\n"), std::string("checksum ok"), also})
        EXPECT_TRUE(wanted.empty() || check.find(wanted) != std::string::npos) << wanted << " not in " << check;
}

Bytes Commit(const ResourceUpdate& update, std::vector<std::string>* warningsOut = nullptr) {
    std::vector<std::string> warnings;
    auto bytes = update.Commit(warnings);
    EXPECT_TRUE(bytes) << (bytes ? "" : bytes.GetError().Describe());
    if (warningsOut) *warningsOut = warnings;
    return bytes ? bytes.Value() : Bytes{};
}

// The module a commit wrote, read again.
ResourceModule Reread(const Bytes& file) {
    auto module = ResourceModule::FromBytes(file);
    EXPECT_TRUE(module) << (module ? "" : module.GetError().Describe());
    return std::move(module).Value();
}

ResourceUpdate BeginOn(const Bytes& file) {
    auto update = ResourceUpdate::Begin(file);
    EXPECT_TRUE(update);
    return std::move(update).Value();
}

std::vector<std::string> SectionNames(const Bytes& file) {
    std::vector<std::string> names;
    auto image = PeImage::Parse(file);
    if (image)
        for (const auto& s : image.Value().Sections()) names.push_back(s.Name());
    return names;
}

// The raw bytes of a section by name.
Bytes SectionBytes(const Bytes& file, const std::string& name) {
    auto image = PeImage::Parse(file);
    for (const auto& s : image.Value().Sections())
        if (s.Name() == name) return Bytes(file.begin() + s.pointerToRawData, file.begin() + s.pointerToRawData + s.sizeOfRawData);
    return {};
}

const ResourceId kRcData = ResourceId::Integer(10);

} // namespace

TEST(ResourceUpdate, GrowingTheLastSectionMovesTheOverlay) {
    Bytes source = FixtureBytes("basic32.exe");
    Bytes overlay(3000);
    for (std::size_t i = 0; i < overlay.size(); ++i) overlay[i] = static_cast<std::uint8_t>(i * 7 + 3);
    source.insert(source.end(), overlay.begin(), overlay.end());
    ResourceUpdate update = BeginOn(source);
    update.Put(kRcData, ResourceId::Integer(1), 0x0409, Bytes(70000, 0xAB)); // more than a section alignment
    std::vector<std::string> warnings;
    Bytes target = Commit(update, &warnings);
    EXPECT_EQ(SectionNames(target), SectionNames(source));
    ASSERT_GT(target.size(), overlay.size());
    EXPECT_TRUE(std::equal(overlay.rbegin(), overlay.rend(), target.rbegin()));
    EXPECT_FALSE(warnings.empty());
    ResourceModule module = Reread(target);
    EXPECT_EQ(module.Find(10, 1).value_or(std::span<const std::uint8_t>{}).size(), 70000u);
    EXPECT_EQ(module.LoadString(1), u"Hello");
    ExpectPefileAccepts(target, "overlay 3000 ");
}

TEST(ResourceUpdate, ResourceSectionFollowedByOthersGetsANewLastSection) {
    Bytes source = FixtureBytes("unstripped64.exe");
    ResourceUpdate update = BeginOn(source);
    update.Put(kRcData, ResourceId::Integer(1), 0x0409, Bytes(20000, 0x5A));
    Bytes target = Commit(update);
    // The old section keeps its place as ".rsrc0"; the new one comes last.
    EXPECT_EQ(SectionNames(target), (std::vector<std::string>{".text", ".data", ".idata", ".rsrc0", ".reloc", "/4",
                                                               "/19", "/31", "/45", "/57", "/70", ".rsrc"}));
    // Every section before the new one keeps its bytes.
    for (const std::string& name : SectionNames(source)) {
        if (name == ".rsrc") continue;
        EXPECT_EQ(SectionBytes(target, name), SectionBytes(source, name)) << name;
    }
    EXPECT_EQ(Reread(target).LoadString(16), u"First of block 2");
    // The symbol table moved behind the new section and is found there.
    auto symbols = [](const Bytes& file) { return *ByteReader::U32At(file, *ByteReader::U32At(file, 0x3C) + 4 + 8); };
    std::uint32_t oldSymbols = symbols(source), newSymbols = symbols(target);
    ASSERT_NE(oldSymbols, 0u);
    EXPECT_GT(newSymbols, oldSymbols);
    EXPECT_TRUE(std::equal(source.begin() + oldSymbols, source.end(), target.begin() + newSymbols));
    ExpectPefileAccepts(target);
}

// multilang.dll with its resource section marked as uninitialized data: no
// resource is read from it (the section has no bytes in the file), so the
// update writes an empty directory; given a resource, a new section.
TEST(ResourceUpdate, EmptiedDirectoryAndSectionMarkedUninitialized) {
    Bytes source = FixtureBytes("multilang.dll");
    // The characteristics of .rsrc, the fourth section: readable and writable uninitialized data.
    StoreU32(source, PeImage::Parse(source).Value().SectionTableOffset() + 40 * 3 + 36, 0xC0000080);
    ResourceUpdate update = BeginOn(source);
    ResourceModule empty = Reread(Commit(update));
    EXPECT_TRUE(empty.Tree().types.empty());
    EXPECT_TRUE(empty.Diagnostics().empty());
    update.Put(kRcData, ResourceId::Integer(1), 0, Bytes(64, 0xAB));
    Bytes target = Commit(update);
    EXPECT_EQ(Reread(target).Find(10, 1).value_or(std::span<const std::uint8_t>{}).size(), 64u);
    EXPECT_EQ(SectionNames(target).back(), ".rsrc");
}

TEST(ResourceUpdate, ModuleWithoutResourcesGetsASection) {
    Bytes source = FixtureBytes("nores.exe");
    ResourceUpdate update = BeginOn(source);
    update.Put(ResourceId::Named(u"MYDATA"), ResourceId::Named(u"FIRST"), 0, Bytes{1, 2, 3});
    update.Put(ResourceId::Integer(6), ResourceId::Integer(1), 0x0407, Bytes{0, 0, 1, 0, 'A', 0});
    ResourceModule module = Reread(Commit(update));
    EXPECT_EQ(module.LoadString(1), u"A");
    ASSERT_EQ(module.Tree().types.size(), 2u);
    EXPECT_EQ(module.Tree().types[0].type, ResourceId::Named(u"MYDATA")); // named types first
}

TEST(ResourceUpdate, SignatureIsDroppedWithAWarning) {
    Bytes source = FixtureBytes("basic64.exe");
    // A fake certificate table at the end of the file, 8-aligned.
    while (source.size() % 8) source.push_back(0);
    std::uint32_t offset = static_cast<std::uint32_t>(source.size());
    Bytes certificate{0x10, 0, 0, 0, 0, 2, 2, 0, 'S', 'I', 'G', 'N', 'A', 'T', 'U', 'R'};
    source.insert(source.end(), certificate.begin(), certificate.end());
    std::uint64_t directory = PeImage::Parse(source).Value().OptionalHeaderOffset() + 112 + 8 * 4;
    StoreU32(source, directory, offset);
    StoreU32(source, directory + 4, static_cast<std::uint32_t>(certificate.size()));
    ResourceUpdate update = BeginOn(source);
    update.Put(kRcData, ResourceId::Integer(5), 0x0409, Bytes{9});
    std::vector<std::string> warnings;
    Bytes target = Commit(update, &warnings);
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings.front().find("signature"), std::string::npos);
    EXPECT_EQ(PeImage::Parse(target).Value().Directory(kDirectoryCertificate).size, 0u);
    EXPECT_EQ(std::search(target.begin(), target.end(), certificate.begin() + 8, certificate.end()), target.end());
}

// The sum of the little-endian words (an odd last byte alone) with the
// carries folded back, plus the file's length; the checksum field counts as zero.
TEST(ResourceUpdate, ChecksumMatchesTheKnownAlgorithm) {
    const struct {
        Bytes bytes;
        std::uint32_t field;
        std::uint32_t sum;
    } cases[] = {
        {{1, 2, 3, 4, 5}, 100, 0x0201u + 0x0403u + 0x05u + 5},
        {{1, 2, 3, 4, 5}, 2, 0x0201u + 5},                                   // the field at bytes 2..5
        {{1, 2, 3, 4, 5, 6, 7, 8}, 1, 0x0001u + 0x0600u + 0x0807u + 8},       // at 1..4: an odd offset
    };
    for (const auto& c : cases) EXPECT_EQ(PeChecksum(c.bytes, c.field), c.sum) << "field at " << c.field;
    // Long enough for the wide summing, with carries on almost every word: against the sum folded word by word.
    Bytes large(70001, 0xFF);
    for (std::size_t i = 0; i < large.size(); i += 7) large[i] = static_cast<std::uint8_t>(i);
    for (std::uint32_t field : {0x40u, 0x43u, 69998u}) {
        auto byte = [&](std::size_t at) -> std::uint32_t {
            return at >= large.size() || (at >= field && at < field + 4) ? 0 : large[at];
        };
        std::uint32_t folded = 0;
        for (std::size_t i = 0; i < large.size(); i += 2) {
            folded += byte(i) | byte(i + 1) << 8;
            folded = (folded & 0xFFFF) + (folded >> 16);
        }
        EXPECT_EQ(PeChecksum(large, field), folded + large.size()) << "field at " << field;
    }
}
