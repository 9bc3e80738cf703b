#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "io/FileIo.h"
#include "io/MappedFile.h"
#include "support/ResultChecks.h"
#include "pe/ResourceUpdate.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + seed + (i >> 9));
    return bytes;
}

int OpenFor(const std::string& path, int flags) { return ::open(path.c_str(), flags | O_CLOEXEC, 0644); }

} // namespace

// A view is the file's first bytes, mapped where the file allows it and
// read where it does not; what a reader sees is the same either way.
TEST(MappedFile, ViewsShowTheFilesFirstBytes) {
    TempDir dir;
    Bytes content = Pattern(70000, 1);
    ASSERT_TRUE(WriteFileAtomically(dir.File("module"), content));
    ASSERT_TRUE(WriteFileAtomically(dir.File("empty"), Bytes{}));
    const struct { const char* file; std::uint64_t view; std::size_t expected; bool mapped; } cases[] = {
        {"module", 100, 100, true},
        {"module", 1ull << 40, 70000, true}, // clipped to the file
        {"module", 0, 0, false},
        {"empty", 4096, 0, false},
    };
    for (const auto& c : cases) {
        auto file = MappedFile::Open(dir.File(c.file));
        ASSERT_TRUE(file) << c.file;
        ASSERT_TRUE(file.Value().View(c.view));
        EXPECT_EQ(file.Value().Mapped(), c.mapped) << c.file << " " << c.view;
        EXPECT_EQ(Bytes(file.Value().Bytes().begin(), file.Value().Bytes().end()),
                  Bytes(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(c.expected)));
        EXPECT_EQ(ValueOf(file.Value().ReadAt(69990, 100)).size(), std::string(c.file) == "module" ? 10u : 0u);
    }
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    auto fifo = MappedFile::Open(dir.File("fifo"));
    ASSERT_FALSE(fifo);
    EXPECT_NE(fifo.GetError().message.find("not a regular file"), std::string::npos);
}

// Data runs are copied, holes of the source stay holes in the target, and
// a copy between file systems (the temporary folder and /dev/shm) goes
// through a buffer with the same result.
TEST(MappedFile, CopyFileRangeCopiesDataAndKeepsHoles) {
    TempDir dir;
    std::string source = dir.File("source");
    constexpr std::uint64_t kHole = 16ull << 20;
    Bytes head = Pattern(10000, 2), tail = Pattern(5000, 3);
    int fd = OpenFor(source, O_RDWR | O_CREAT | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WriteAt(fd, 0, head));
    ASSERT_TRUE(WriteAt(fd, 10000 + kHole, tail));
    ::close(fd);

    std::string shm = "/dev/shm/quillon-copy-" + std::to_string(::getpid());
    for (const std::string& target : {dir.File("target"), shm}) {
        int from = OpenFor(source, O_RDONLY), to = OpenFor(target, O_RDWR | O_CREAT | O_TRUNC);
        ASSERT_GE(from, 0);
        ASSERT_GE(to, 0) << target;
        std::uint64_t length = 15000 + kHole - 300;
        ASSERT_EQ(::ftruncate(to, static_cast<off_t>(length + 8)), 0);
        ASSERT_TRUE(CopyFileRange(from, 100, to, 8, length)) << target;
        Bytes copied(length + 8);
        ASSERT_EQ(::pread(to, copied.data(), copied.size(), 0), static_cast<ssize_t>(copied.size()));
        struct stat info {};
        ::fstat(to, &info);
        ::close(from);
        ::close(to);
        ::unlink(shm.c_str());
        EXPECT_TRUE(std::equal(head.begin() + 100, head.end(), copied.begin() + 8)) << target;
        EXPECT_TRUE(std::all_of(copied.begin() + 8 + 9900, copied.begin() + 8 + 9900 + kHole,
                                [](std::uint8_t b) { return b == 0; }));
        EXPECT_TRUE(std::equal(tail.begin(), tail.end() - 200, copied.begin() + 8 + 9900 + kHole)) << target;
        EXPECT_LT(info.st_blocks * 512, 4 << 20) << target << ": the hole was written";
    }
}

// The checksum of a file read in pieces of any size and parity, with holes
// left out, is the checksum of the whole file.
TEST(PeChecksumSum, PiecesGiveTheWholeFilesChecksum) {
    Bytes file = Pattern(4099, 9);
    std::fill(file.begin() + 1000, file.begin() + 3000, 0);
    for (std::uint32_t field : {0x40u, 0x41u, 4096u}) {
        std::uint32_t whole = PeChecksum(file, field);
        for (std::size_t piece : {1u, 2u, 7u, 8u, 1024u, 5000u}) {
            PeChecksumSum sum(field);
            for (std::size_t at = 0; at < file.size(); at += piece) {
                if (at >= 1000 && at + piece <= 3000) continue; // a hole
                sum.Add(at, std::span(file).subspan(at, std::min(piece, file.size() - at)));
            }
            EXPECT_EQ(sum.Finish(file.size()), whole) << field << " " << piece;
        }
    }
}
