#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "io/FileGuards.h"
#include "io/FileIo.h"
#include "io/FileLock.h"

using namespace quillon;
using quillon::testing::TempDir;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A folder with one of each kind of thing a path can name.
struct Playground {
    TempDir dir;
    Playground() {
        WriteFileAtomically(dir.File("file.prj"), Bytes{1});
        WriteFileAtomically(dir.File("locked.prj"), Bytes{1});
        ::chmod(dir.File("locked.prj").c_str(), 0444);
        ::mkfifo(dir.File("fifo").c_str(), 0644);
        fs::create_directory(dir.File("folder"));
        fs::create_symlink(dir.File("file.prj"), dir.File("link.prj"));
    }
};

} // namespace

TEST(FileGuards, WhatMayBeReadAndWritten) {
    Playground p;
    // `why`: part of the message when refused.
    const struct { std::string path; bool readable, writable; const char* why; } cases[] = {
        {p.dir.File("file.prj"), true, true, ""},
        {p.dir.File("link.prj"), true, true, ""},
        {p.dir.File("new.exe"), false, true, "No such file"},
        {p.dir.File("locked.prj"), true, false, "read-only"},
        {p.dir.File("fifo"), false, false, "a FIFO"},
        {p.dir.File("folder"), false, false, "a folder"},
        {"/dev/null", false, false, "a device"},
        {"", false, false, "path is empty"},
        {p.dir.File(".prj"), false, false, "no name before its extension"},
        {p.dir.File("missing/new.prj"), false, false, "does not exist"},
        {p.dir.File(".file.prj.quillon-lock"), false, false, "a file Quillon keeps beside another one"},
    };
    for (const auto& c : cases) {
        Status read = CheckInputFile(c.path, "project");
        Status write = CheckOutputFile(c.path, "project");
        EXPECT_EQ(std::pair(read.Ok(), write.Ok()), std::pair(c.readable, c.writable)) << c.path;
        std::string message = !write ? write.GetError().message : !read ? read.GetError().message : "";
        EXPECT_NE(message.find(c.why), std::string::npos) << c.path << ": " << message;
    }
}

TEST(FileGuards, NothingIsReadFromOrWrittenOverWhatIsNoRegularFile) {
    Playground p;
    // A FIFO nobody writes to must not block the reader.
    auto read = std::async(std::launch::async, [&] { return ReadWholeFile(p.dir.File("fifo")); });
    ASSERT_EQ(read.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(read.get());
    for (const std::string& path : {p.dir.File("fifo"), p.dir.File("locked.prj")}) {
        struct stat before {};
        ::stat(path.c_str(), &before);
        EXPECT_FALSE(WriteFileAtomically(path, Bytes{9})) << path;
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(before.st_ino, after.st_ino) << path;
        EXPECT_EQ(before.st_mode, after.st_mode) << path;
    }
}

TEST(FileGuards, OneFileUnderTwoNamesIsSeen) {
    Playground p;
    fs::create_hard_link(p.dir.File("file.prj"), p.dir.File("hard.dic"));
    const struct { std::string a, b; bool distinct; } cases[] = {
        {p.dir.File("file.prj"), p.dir.File("link.prj"), false},
        {p.dir.File("file.prj"), p.dir.File("hard.dic"), false},
        {p.dir.File("new.prj"), p.dir.File("folder/../new.prj"), false}, // neither exists yet
        {p.dir.File("new.prj"), p.dir.File("new.dic"), true},
        {p.dir.File("file.prj"), "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckDistinctFiles({{"project", c.a}, {"target", c.b}}).Ok(), c.distinct) << c.a << " / " << c.b;
}

TEST(TemporaryFiles, LeftoversOfDeadProcessesAreRemovedAndOthersKept) {
    TempDir dir;
    // A child that has exited gives a process ID nobody has.
    pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    std::string stale = dir.File(".p.prj.quillon-" + std::to_string(dead) + "-abcdef");
    std::string live = dir.File(".p.prj.quillon-" + std::to_string(::getppid()) + "-abcdef");
    std::string other = dir.File(".q.prj.quillon-" + std::to_string(dead) + "-abcdef");
    for (const std::string& leftover : {stale, live, other}) WriteFileAtomically(leftover, Bytes{1});
    ASSERT_TRUE(WriteFileAtomically(dir.File("p.prj"), Bytes{2}));
    // Only the dead process's leftover of this file goes; another file's is cleaned when that one is saved.
    EXPECT_EQ(std::tuple(FileExists(stale), FileExists(live), FileExists(other)), std::tuple(false, true, true));
}

// A name near the longest a folder holds (here 248 bytes) is saved and
// locked like any other: its lock and temporary names are cut to fit, before
// the 'ä' that would not fit whole.
TEST(TemporaryFiles, ANameNearTheLongestAFolderHoldsIsSavedAndLocked) {
    TempDir dir;
    std::string name = std::string(240, 'a') + "\xC3\xA4\xC3\xA4.prj";
    auto lock = FileLock::Acquire(dir.File(name), FileLock::Wait::No);
    ASSERT_TRUE(lock) << lock.GetError().message;
    ASSERT_TRUE(WriteFileAtomically(dir.File(name), Bytes{1}));
    ASSERT_TRUE(WriteFileAtomically(dir.File(name), Bytes{2}));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"." + std::string(240, 'a') + ".quillon-lock", name}));
}

TEST(FileLocks, ASecondWriterIsToldOrWaitsTillTheFirstHasSaved) {
    TempDir dir;
    std::string path = dir.File("p.prj");
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1}));
    // A file still to be made is locked as well as one that exists.
    auto missing = FileLock::Acquire(dir.File("new.dic"), FileLock::Wait::No);
    ASSERT_TRUE(missing);
    EXPECT_EQ(FileLock::Acquire(dir.File("new.dic"), FileLock::Wait::No).GetError().code, Error::Code::Busy);
    auto first = FileLock::Acquire(path, FileLock::Wait::No);
    ASSERT_TRUE(first && first.Value().HoldsFile());
    EXPECT_EQ(FileLock::Acquire(path, FileLock::Wait::No).GetError().code, Error::Code::Busy);

    bool told = false;
    auto waiting = std::async(std::launch::async, [&] {
        return FileLock::Acquire(path, FileLock::Wait::Yes, [&] { told = true; });
    });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    // The holder saves (a new file under the name) and lets go: the waiter
    // holds the lock, and a third writer still finds it taken.
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{2}));
    first = FileLock();
    auto second = waiting.get();
    ASSERT_TRUE(second);
    EXPECT_TRUE(told);
    EXPECT_EQ(FileLock::Acquire(path, FileLock::Wait::No).GetError().code, Error::Code::Busy);
}
