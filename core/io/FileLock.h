#pragma once
// One writer at a time: a command that reads a project or dictionary, changes
// it and saves it holds an advisory lock on the file for the whole of that,
// so two commands never both read the old file and the later save drops the
// other's change.

#include <functional>
#include <string>

#include "io/Result.h"

namespace quillon {

class FileLock {
public:
    enum class Wait { No, Yes };

    FileLock() = default;
    FileLock(FileLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Locks the file `path` leads to, through a lock file beside it
    // (".<name>.quillon-lock", kept for good: a save replaces the file itself,
    // so a lock on the file would end with the save's rename, and a file that
    // does not exist yet could not be locked at all). When another process
    // holds the lock: with Wait::No an error saying so, with Wait::Yes
    // `onWait` is called once and the call blocks until the lock is free. In
    // a folder nobody may write the lock holds nothing.
    static Result<FileLock> Acquire(const std::string& path, Wait wait,
                                    const std::function<void()>& onWait = {});
    static std::string LockFileFor(const std::string& path);

    bool HoldsFile() const { return m_fd >= 0; }

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

} // namespace quillon
