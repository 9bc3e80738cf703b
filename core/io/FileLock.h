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

    // Locks the file `path` leads to. A missing file gives a lock that holds
    // nothing (there is nothing to protect yet). When another process holds
    // the lock: with Wait::No an error saying so, with Wait::Yes `onWait` is
    // called once and the call blocks until the lock is free. Saves replace
    // the file by another one, so a lock won on a file that was replaced
    // meanwhile is let go and taken again on the new one.
    static Result<FileLock> Acquire(const std::string& path, Wait wait,
                                    const std::function<void()>& onWait = {});

    bool HoldsFile() const { return m_fd >= 0; }

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

} // namespace quillon
