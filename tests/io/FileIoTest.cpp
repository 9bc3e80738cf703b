#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "io/FileIo.h"

using namespace quillon;
using namespace quillon::testing;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Nothing but the saved files: no temporary is left behind.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// A save replaces the file and keeps its permissions; one that fails
// part-way (here at the file size limit) leaves the old contents in place.
// Neither leaves a temporary behind.
TEST(AtomicSave, ReplacesTheFileKeepsItsPermissionsAndAFailedWriteLeavesIt) {
    TempDir dir;
    std::string path = dir.File("p.prj");
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1, 2, 3}));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{4, 5}));
    EXPECT_EQ(FileBytes(path), (Bytes{4, 5}));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"p.prj"});

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit low {4096, old.rlim_max};
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &low), 0);
    Status saved = WriteFileAtomically(path, Bytes(3 * 4096, 7));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(FileBytes(path), (Bytes{4, 5}));
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"p.prj"});
}

TEST(AtomicSave, SymbolicLinksStayAndTheirTargetsGetTheContents) {
    TempDir dir;
    fs::create_directory(dir.File("synced"));
    std::string real = dir.File("synced/p.prj");
    ASSERT_TRUE(WriteFileAtomically(real, Bytes{1}));
    // A chain: an absolute link to a relative one into another folder.
    fs::create_symlink("synced/p.prj", dir.File("relative.prj"));
    fs::create_symlink(dir.File("relative.prj"), dir.File("absolute.prj"));

    ASSERT_TRUE(WriteFileAtomically(dir.File("absolute.prj"), Bytes{7, 8}));
    EXPECT_TRUE(fs::is_symlink(dir.File("absolute.prj")));
    EXPECT_TRUE(fs::is_symlink(dir.File("relative.prj")));
    EXPECT_EQ(FileBytes(real), (Bytes{7, 8}));
    EXPECT_EQ(Entries(dir.File("synced")), std::vector<std::string>{"p.prj"});

    // A link whose target does not exist yet creates it.
    fs::create_symlink("synced/new.dic", dir.File("new.dic"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("new.dic"), Bytes{9}));
    EXPECT_TRUE(fs::is_symlink(dir.File("new.dic")));
    EXPECT_EQ(FileBytes(dir.File("synced/new.dic")), (Bytes{9}));
}

TEST(AtomicSave, LinkLoopIsRefusedAndNothingIsWritten) {
    TempDir dir;
    fs::create_symlink("b.prj", dir.File("a.prj"));
    fs::create_symlink("a.prj", dir.File("b.prj"));
    auto saved = WriteFileAtomically(dir.File("a.prj"), Bytes{1});
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.GetError().Describe().find("cannot follow the links of '" + dir.File("a.prj") + "'"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(dir.File("a.prj")));
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a.prj", "b.prj"}));
}

// Links under /proc report a size shorter than their target: the whole
// target must be followed, not a file named after its first characters.
TEST(AtomicSave, LinkWhoseTargetIsLongerThanItsReportedSize) {
    TempDir dir;
    std::string folder = dir.Path();
    for (int level = 0; level < 6; ++level) {
        folder += "/" + std::string(50, static_cast<char>('a' + level));
        fs::create_directory(folder);
    }
    std::string real = folder + "/p.prj";
    ASSERT_TRUE(WriteFileAtomically(real, Bytes{1}));
    int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WriteFileAtomically("/proc/self/fd/" + std::to_string(fd), Bytes{2, 3}));
    ::close(fd);
    EXPECT_EQ(FileBytes(real), (Bytes{2, 3}));
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"p.prj"});
}
