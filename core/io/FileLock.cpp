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

std::string FileLock::LockFileFor(const std::string& requested) {
    auto resolved = FollowLinks(requested);
    const std::string& path = resolved ? resolved.Value() : requested;
    auto slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + CompanionName(name, ".quillon-lock");
}

Result<FileLock> FileLock::Acquire(const std::string& requested, Wait wait, const std::function<void()>& onWait) {
    std::string lockFile = LockFileFor(requested);
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        // A folder nobody may write in holds no file anybody could change
        // through Quillon either (saves write beside the file).
        if (errno == EACCES || errno == EROFS || errno == EPERM) return FileLock();
        return MakeError(Error::Code::Io, "cannot lock '" + requested + "': " + std::strerror(errno));
    }
    FileLock lock(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return MakeError(Error::Code::Refused, "the lock file '" + lockFile + "' is not a regular file");
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return lock;
    if (errno != EWOULDBLOCK)
        return MakeError(Error::Code::Io, "cannot lock '" + requested + "': " + std::strerror(errno));
    if (wait == Wait::No)
        return MakeError(Error::Code::Busy,
                         "'" + requested + "' is being changed by another program; nothing was written");
    if (onWait) onWait();
    int result = 0;
    while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {}
    if (result != 0) return MakeError(Error::Code::Io, "cannot lock '" + requested + "': " + std::strerror(errno));
    return lock;
}

} // namespace quillon
