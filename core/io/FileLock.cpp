#include "io/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/FileIo.h"

namespace quillon {

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    if (m_fd >= 0) ::close(m_fd); // closing the last descriptor releases the lock
}

namespace {

bool SameFile(int fd, const std::string& path) {
    struct stat held {}, now {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
           held.st_ino == now.st_ino;
}

int LockBlocking(int fd) {
    int result = 0;
    while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {}
    return result;
}

} // namespace

Result<FileLock> FileLock::Acquire(const std::string& requested, Wait wait, const std::function<void()>& onWait) {
    auto resolved = FollowLinks(requested);
    if (!resolved) return resolved.GetError();
    const std::string& path = resolved.Value();
    bool told = false;
    for (;;) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            if (errno == ENOENT) return FileLock();
            return MakeError(Error::Code::Io, "cannot open '" + requested + "': " + std::strerror(errno));
        }
        FileLock lock(fd);
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            return MakeError(Error::Code::Refused, "'" + requested + "' is not a regular file");
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK)
                return MakeError(Error::Code::Io, "cannot lock '" + requested + "': " + std::strerror(errno));
            if (wait == Wait::No)
                return MakeError(Error::Code::Busy, "'" + requested +
                                                        "' is being changed by another program; nothing was written "
                                                        "(try again, or use --wait to wait for it)");
            if (!told && onWait) onWait();
            told = true;
            if (LockBlocking(fd) != 0)
                return MakeError(Error::Code::Io, "cannot lock '" + requested + "': " + std::strerror(errno));
        }
        if (SameFile(fd, path)) return lock;
        // The holder saved a new file under the name while we waited: lock that one.
    }
}

} // namespace quillon
