// Build Target writes the new module from pieces: unchanged ranges copied
// from file to file, new headers and resources written. These tests hold it
// to the bytes the builder wrote when it assembled the whole module in
// memory, and to the promise that a module's size does not decide the
// memory a scan or build needs.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "Fixtures.h"
#include "support/ResultChecks.h"
#include "support/PeBuilder.h"
#include "TempDir.h"
#include "io/ByteReader.h"
#include "io/Digest.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"
#include "target/TargetBuilder.h"
#include "target/Targets.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// What the builder wrote before it streamed: the XXH3-128 and size of the
// target of a module with no, short or long translations, or the error it
// refused with (one module for each reason the builder refuses). Untranslated,
// each tests/data module is rebuilt as it was (in place, every resource under
// its own bytes); translated, a module keeps its section, grows its last one
// or gets a new one; each damaged module stands for one kind of damage.
// Translated, multilang.dll's block 2, read from its neutral copy, must
// replace that copy (else the neutral one would keep winning) and leave the
// English one; every build of basic32.exe writes its version resource, with
// the empty Comments value (its terminator alone) and the root's length
// covering every byte, under the target's key.
struct Expected { const char* module; int added; const char* hashOrError; std::size_t size = 0; }; // added: of kAdded

const char* const kAdded[] = {
    "", " (longer)",
    " - a translation that is a great deal longer than the text it stands for, so that every template grows"};

const Expected kExpected[] = {
    {"basic32.exe", 0, "1ce373ff63d09725cf6f47326b689ac7", 11776},
    {"basic32.exe", 1, "794c4cd6ef67ce12b2abbd50536795e4", 11776},
    {"basic32.exe", 2, "b62a1ff22a2c74addb8f5483256630f1", 16896},
    {"basic64.exe", 0, "13f98f4688afc0c14ac83179c402e16a", 11776},
    {"unstripped64.exe", 0, "1560353739e94a228eae455cd685de54", 18121},
    {"unstripped64.exe", 2, "7b713e55a07526e40a489f4e8f5f2b8a", 32969},
    {"update-v1.exe", 0, "fa45d4e46982be01739a7078853a90cf", 4608},
    {"multilang.dll", 0, "63962712ce4a09c7b5ac3433071e2e02", 4608},
    {"multilang.dll", 2, "88bd58c093195d6691824a1603013fce", 6144},
    {"notranslation.dll", 0, "ca8a04d2581801731bc1b577eeacd695", 3072},
    {"corrupt/data-rva-outside.exe", 2, "resource #6/#1 is not in the file (a packed module? unpack it first)"},
    {"corrupt/dialog-header-cut.exe", 2, "991cf584896e742c3aae6bddd170ecca", 15360},
    {"corrupt/menu-noend.exe", 2, "74e514c0bb90162f4f208f94fe5bb2bc", 14336},
    {"corrupt/rsrc-cycle.exe", 2, "60da6ce0ba54838cf555f814ae94224d", 13824},
    {"corrupt/string-overrun.exe", 2, "7e7a1ce28a790aeed42f9cd18f9ff3b8", 15872},
    {"corrupt/truncated-rsrc.exe", 2, "a section runs past the end of the file"},
    {"corrupt/version-zero-length.exe", 2, "299f67e44fe1dba2743e1c2262d56f9a", 16896},
    {"../../../samples/quillpad.exe", 2, "eaa45e4b00d799116d3603421852d515", 42496},
};

std::uint32_t U32(const Bytes& bytes, std::uint64_t at) { return ByteReader::U32At(bytes, at).value_or(0); }

// The file offset of the PE header and of its COFF symbol table pointer.
std::uint64_t SymbolPointerOffset(const Bytes& module) { return U32(module, 0x3C) + 4 + 8; }

Bytes Range(const Bytes& bytes, std::uint64_t from, std::uint64_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

} // namespace

TEST(StreamedBuild, TargetsAreTheBytesTheBuilderAlwaysWrote) {
    TempDir dir;
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(std::string(expected.module) + " / " + kAdded[expected.added]);
        auto project = GermanProject(Fixture(expected.module), kAdded[expected.added]);
        auto built = BuildTarget(*project, dir.File("target.exe"));
        if (expected.size == 0) {
            EXPECT_EQ(FailureOf(built).message, std::string("cannot rewrite the module: ") + expected.hashOrError);
            continue;
        }
        ASSERT_TRUE(built) << built.GetError().Describe();
        Bytes target = FileBytes(dir.File("target.exe"));
        EXPECT_EQ(target.size(), expected.size);
        EXPECT_EQ(ContentHashHex(target), expected.hashOrError);
    }
}

// A module with a 1 GiB overlay, scanned and built in a child process whose
// address space is limited to 512 MiB: neither may read the overlay into
// memory. The overlay is a hole but for two runs of data, one of them longer
// than the pieces the checksum reads in: the target's checksum, summed from
// the file as written, counts each run whole and the holes as zeros.
// AddressSanitizer reserves terabytes of address space, so under it the
// child builds without the limit and only the checksum is held to account.
TEST(StreamedBuild, OverlayLargerThanTheMemoryLimitScansAndBuilds) {
    constexpr std::uint64_t kOverlay = std::uint64_t{1} << 30;
    TempDir dir;
    Bytes source = FixtureBytes("basic32.exe");
    std::string module = dir.File("installer.exe"), target = dir.File("installer-de.exe");
    ASSERT_TRUE(WriteFileAtomically(module, source));
    ASSERT_EQ(::truncate(module.c_str(), static_cast<off_t>(source.size() + kOverlay)), 0);
    struct Run { std::uint64_t at; Bytes data; };
    Run runs[] = {{source.size() + (std::uint64_t{8} << 20), Bytes(std::size_t{9} << 20)},
                  {source.size() + (std::uint64_t{24} << 20), Bytes(101)}};
    int fd = ::open(module.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (Run& run : runs) {
        for (std::size_t i = 0; i < run.data.size(); ++i)
            run.data[i] = static_cast<std::uint8_t>(i * 13 + run.data.size());
        EXPECT_EQ(::pwrite(fd, run.data.data(), run.data.size(), static_cast<off_t>(run.at)),
                  static_cast<ssize_t>(run.data.size()));
    }
    ::close(fd);

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
#if !defined(__SANITIZE_ADDRESS__)
        rlimit limit{std::uint64_t{512} << 20, std::uint64_t{512} << 20};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
#endif
        auto project = GermanProject(module, kAdded[2]);
        if (!project || project->m_ResourceInfo.m_nStrings == 0) ::_exit(3);
        ::_exit(BuildTarget(*project, target) ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "2: no limit, 3: no scan, 4: no build";

    auto built = ResourceModule::Open(target);
    ASSERT_TRUE(built) << built.GetError().Describe();
    EXPECT_EQ(built.Value().Image().FileSize(), std::filesystem::file_size(module) + 5120);
    EXPECT_EQ(built.Value().LoadString(1), u"Hello - a translation that is a great deal longer than the text it stands "
                                           u"for, so that every template grows");
    // The sections as written, then the runs where the grown section moved them.
    std::span<const std::uint8_t> sections = built.Value().Image().File();
    std::uint64_t field = ByteReader::U32At(sections, 0x3C).value_or(0) + 4 + 20 + 64;
    PeChecksumSum sum(field);
    sum.Add(0, sections);
    for (const Run& run : runs) sum.Add(run.at + 5120, run.data);
    EXPECT_EQ(ByteReader::U32At(sections, field), sum.Finish(built.Value().Image().FileSize()));
    // The holes stayed holes: the target takes about what its data takes on the disk.
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_LT(info.st_blocks * 512, 16 << 20);
}

// unstripped64.exe keeps its COFF symbol table after its last section; an
// overlay is added after it. Built in place, only the headers and the
// resource section differ; built into a new section, the symbol table and
// the overlay follow it unchanged and the pointer to the table moves along.
TEST(StreamedBuild, OverlayAndSymbolTableAreCopiedUnchanged) {
    TempDir dir;
    Bytes source = FixtureBytes("unstripped64.exe");
    for (std::size_t i = 0; i < 5000; ++i) source.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    std::string module = dir.File("overlay.exe");
    ASSERT_TRUE(WriteFileAtomically(module, source));
    auto opened = ResourceModule::Open(module);
    ASSERT_TRUE(opened);
    const PeImage& image = opened.Value().Image();
    const SectionHeader& rsrc = image.Sections()[3];
    ASSERT_EQ(rsrc.Name(), ".rsrc");
    std::uint64_t headers = image.Sections()[0].pointerToRawData;
    // The sections lie in the file in their order: the last ends the raw data.
    std::uint64_t rawEnd = image.Sections().back().pointerToRawData + image.Sections().back().sizeOfRawData;
    std::uint32_t symbols = U32(source, SymbolPointerOffset(source));
    ASSERT_GE(symbols, rawEnd);

    ASSERT_TRUE(BuildTarget(*GermanProject(module, kAdded[0]), dir.File("in-place.exe")));
    Bytes inPlace = FileBytes(dir.File("in-place.exe"));
    ASSERT_EQ(inPlace.size(), source.size());
    EXPECT_EQ(Range(inPlace, headers, rsrc.pointerToRawData), Range(source, headers, rsrc.pointerToRawData));
    std::uint64_t rsrcEnd = rsrc.pointerToRawData + rsrc.sizeOfRawData;
    EXPECT_EQ(Range(inPlace, rsrcEnd, inPlace.size()), Range(source, rsrcEnd, source.size()));

    ASSERT_TRUE(BuildTarget(*GermanProject(module, kAdded[2]), dir.File("moved.exe")));
    Bytes moved = FileBytes(dir.File("moved.exe"));
    auto reread = ResourceModule::Open(dir.File("moved.exe"));
    ASSERT_TRUE(reread);
    const SectionHeader& fresh = reread.Value().Image().Sections().back();
    ASSERT_EQ(reread.Value().Image().Sections().size(), image.Sections().size() + 1);
    std::uint64_t newRawEnd = fresh.pointerToRawData + fresh.sizeOfRawData;
    ASSERT_EQ(moved.size(), newRawEnd + (source.size() - rawEnd));
    EXPECT_EQ(Range(moved, headers, rawEnd), Range(source, headers, rawEnd));
    EXPECT_EQ(Range(moved, newRawEnd, moved.size()), Range(source, rawEnd, source.size()));
    EXPECT_EQ(U32(moved, SymbolPointerOffset(moved)), symbols + (newRawEnd - rawEnd));
}

// Resource data of 64 KiB and more goes from file to file, smaller data
// through memory: two copied runs in a row, small data between and after
// them and a put resource land where the directory says, with zeros between,
// and the overlay moves behind the grown section.
TEST(StreamedBuild, LargeResourceDataIsCopiedIntoItsPlace) {
    TempDir dir;
    std::vector<BuiltResource> resources;
    std::uint16_t name = 1;
    for (std::size_t size : {70000u, 100u, 70001u, 80000u, 10u}) {
        Bytes data(size);
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + size);
        resources.push_back({ResourceId::Integer(10), ResourceId::Integer(name++), 0x409, std::move(data)});
    }
    std::string module = dir.File("data.dll"), built = dir.File("data-de.dll");
    Bytes source = BuildPeWithResources(resources);
    for (std::size_t i = 0; i < 3000; ++i) source.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    ASSERT_TRUE(WriteFileAtomically(module, source));
    auto opened = ResourceModule::Open(module);
    ASSERT_TRUE(opened);
    auto update = ResourceUpdate::Begin(opened.Value().Image(), opened.Value().Tree());
    ASSERT_TRUE(update);
    update.Value().Put(ResourceId::Integer(10), ResourceId::Integer(2), 0x407, Bytes(90000, 0x5A));
    std::vector<std::string> warnings;
    int fd = ::open(built.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    Status streamed = update.Value().CommitTo(fd, warnings);
    ::close(fd);
    ASSERT_TRUE(streamed) << streamed.GetError().Describe();

    EXPECT_EQ(FileBytes(built), update.Value().Commit(warnings).Value());
    auto target = ResourceModule::Open(built);
    ASSERT_TRUE(target);
    DataDirectory section = target.Value().Image().Directory(kDirectoryResource);
    auto written = target.Value().Image().BytesAtRva(section.address, section.size);
    ASSERT_TRUE(written);
    EXPECT_EQ(Bytes(written->begin(), written->end()), SerializeResources(update.Value().Resources(), section.address));
}
