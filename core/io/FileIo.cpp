#include "io/FileIo.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

std::string Error::Describe() const {
    std::string text = message;
    if (code == Code::Malformed) text += " (at offset " + std::to_string(offset) + ")";
    return text;
}

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { if (m_fd >= 0) ::close(m_fd); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { int fd = m_fd; m_fd = -1; return fd; }

private:
    int m_fd;
};

} // namespace

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) return MakeError(Error::Code::Io, SystemError("cannot open", path));
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return MakeError(Error::Code::Io, SystemError("cannot stat", path));
    if (!S_ISREG(info.st_mode)) return MakeError(Error::Code::Io, "'" + path + "' is not a regular file");
    if (static_cast<std::uint64_t>(info.st_size) > kMaxInputFileSize)
        return MakeError(Error::Code::Io, "'" + path + "' is larger than 1 GiB");

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return MakeError(Error::Code::Io, SystemError("cannot read", path));
        if (got == 0) break; // the file shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// After the rename the folder's entry must reach the disk too, or a crash
// could bring back the old file. Some file systems cannot flush a folder;
// the contents are on disk by then, so that is not an error.
void FlushFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

} // namespace

namespace {

// Temporary files being written, for the signal handler: it may only read
// plain memory, so each slot is a fixed buffer whose state says when its path
// is complete.
constexpr std::size_t kTempSlots = 8;
enum SlotState : int { kFree, kClaimed, kReady };
struct TempSlot {
    std::atomic<int> state{kFree};
    std::array<char, PATH_MAX> path{};
};
std::array<TempSlot, kTempSlots> g_temps;

// Registers a temporary file for removal on a signal; the slot index, or -1
// when all are taken (the file is then left to the stale-file cleanup).
int RegisterTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (std::size_t i = 0; i < kTempSlots; ++i) {
        int expected = kFree;
        if (!g_temps[i].state.compare_exchange_strong(expected, kClaimed)) continue;
        std::memcpy(g_temps[i].path.data(), path.c_str(), path.size() + 1);
        g_temps[i].state.store(kReady);
        return static_cast<int>(i);
    }
    return -1;
}

void UnregisterTemporary(int slot) {
    if (slot >= 0) g_temps[static_cast<std::size_t>(slot)].state.store(kFree);
}

extern "C" void RemoveTemporariesAndDie(int signal) {
    for (auto& slot : g_temps)
        if (slot.state.load() == kReady) ::unlink(slot.path.data());
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string TemporaryPrefix(const std::string& base) {
    constexpr std::size_t kAddedBytes = 10 + 1 + 6; // a pid, '-', "XXXXXX"
    return CompanionName(base, ".quillon-", kAddedBytes);
}

// The existing file at `path` may be replaced: a regular file someone may
// write. Replacing a device node or a FIFO by a regular file, or a file the
// user made read-only, would destroy what the user meant to keep.
Status CheckReplaceable(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Done{};
    if (!S_ISREG(info.st_mode))
        return MakeError(Error::Code::Refused, "'" + path + "' is not a regular file; it was not replaced");
    if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
        return MakeError(Error::Code::Refused, "'" + path + "' is read-only; it was not replaced");
    return Done{};
}

} // namespace

std::string CompanionName(const std::string& fileName, const std::string& suffix, std::size_t addedLater) {
    std::size_t room = NAME_MAX - std::min<std::size_t>(NAME_MAX, 1 + suffix.size() + addedLater);
    std::size_t kept = std::min(fileName.size(), room);
    while (kept > 0 && kept < fileName.size() && (static_cast<unsigned char>(fileName[kept]) & 0xC0) == 0x80) --kept;
    return "." + fileName.substr(0, kept) + suffix;
}

Result<std::string> FollowLinks(const std::string& requested) {
    constexpr int kMaxLinks = 40;
    std::string path = requested;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        // read_symlink grows its buffer until the target fits: the size
        // lstat reports may be short (links under /proc) or out of date.
        std::error_code failed;
        std::string target = std::filesystem::read_symlink(path, failed).string();
        if (failed) return MakeError(Error::Code::Io, "cannot read the link '" + path + "': " + failed.message());
        path = target.starts_with('/') || path.find('/') == std::string::npos ? target : FolderOf(path) + target;
    }
    return MakeError(Error::Code::Io, "cannot follow the links of '" + requested + "': " + std::strerror(ELOOP));
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    std::string folder = FolderOf(path);
    std::string prefix = TemporaryPrefix(FileNameOf(path));
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (!name.starts_with(prefix)) continue;
        // ".<file>.quillon-<pid>-XXXXXX": a process that is gone cannot finish it.
        std::string_view rest = name.substr(prefix.size());
        auto dash = rest.find('-');
        if (dash == std::string_view::npos || dash == 0 || dash > 9) continue;
        pid_t pid = 0;
        bool digits = true;
        for (char c : rest.substr(0, dash)) {
            digits = digits && c >= '0' && c <= '9';
            pid = pid * 10 + (c - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void InstallTemporaryFileCleanup() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the parent ignores (nohup, a background job) stays ignored.
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        struct sigaction cleanup {};
        cleanup.sa_handler = RemoveTemporariesAndDie;
        ::sigemptyset(&cleanup.sa_mask);
        ::sigaction(signal, &cleanup, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

Status WriteFileAtomically(const std::string& requested, const std::function<Status(int fd)>& write) {
    auto resolved = FollowLinks(requested);
    if (!resolved) return resolved.GetError();
    const std::string& path = resolved.Value();
    if (Status replaceable = CheckReplaceable(path); !replaceable) return replaceable;
    RemoveStaleTemporaryFiles(path);
    std::string folder = FolderOf(path);
    std::string pattern = (folder == "." ? std::string() : folder) + TemporaryPrefix(FileNameOf(path)) +
                          std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');

    FileDescriptor fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.Get() < 0) return MakeError(Error::Code::Io, SystemError("cannot create a temporary file for", path));
    std::string temp(tempName.data());
    int slot = RegisterTemporary(temp);

    auto discard = [&](Error error) {
        ::unlink(temp.c_str());
        UnregisterTemporary(slot);
        return error;
    };
    auto fail = [&](const std::string& what) { return discard(MakeError(Error::Code::Io, SystemError(what, path))); };
    if (Status written = write(fd.Get()); !written) return discard(written.GetError());
    // Keep the permissions of the file we replace; a new file gets the usual 0644.
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd.Get(), mode);
    if (::fsync(fd.Get()) != 0) return fail("cannot flush");
    if (::close(fd.Release()) != 0) return fail("cannot close");
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot replace");
    UnregisterTemporary(slot);
    FlushFolder(folder);
    return Done{};
}

namespace {

// False with errno set when not all of `bytes` could be written.
bool WriteAll(int fd, std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) continue;
        if (put == 0) errno = ENOSPC;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace

Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomically(path, [&](int fd) -> Status {
        if (!WriteAll(fd, 0, bytes)) return MakeError(Error::Code::Io, SystemError("cannot write", path));
        return Done{};
    });
}

void StartWriteBack(int fd) {
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

Status WriteAt(int fd, std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (!WriteAll(fd, offset, bytes)) return MakeError(Error::Code::Io, std::string("cannot write: ") + std::strerror(errno));
    return Done{};
}

namespace {

// Pieces of the copy through our own buffer.
constexpr std::size_t kCopyBuffer = std::size_t{1} << 20;

Status CopyThroughBuffer(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t length) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyBuffer)));
    for (std::uint64_t done = 0; done < length;) {
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        ssize_t got = ::pread(from, buffer.data(), piece, static_cast<off_t>(fromOffset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return MakeError(Error::Code::Io, std::string("cannot read: ") + std::strerror(errno));
        if (got == 0) return MakeError(Error::Code::Io, "cannot read: the file shrank while it was copied");
        auto written = WriteAt(to, toOffset + done, std::span(buffer).first(static_cast<std::size_t>(got)));
        if (!written) return written;
        done += static_cast<std::uint64_t>(got);
    }
    return Done{};
}

// One run of data (no holes to skip), in the kernel where it can.
Status CopyData(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t length) {
    std::uint64_t done = 0;
    while (done < length) {
        loff_t in = static_cast<loff_t>(fromOffset + done), out = static_cast<loff_t>(toOffset + done);
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, std::uint64_t{1} << 30));
        ssize_t copied = ::copy_file_range(from, &in, to, &out, piece, 0);
        if (copied < 0 && errno == EINTR) continue;
        if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return CopyThroughBuffer(from, fromOffset + done, to, toOffset + done, length - done);
        if (copied < 0) return MakeError(Error::Code::Io, std::string("cannot copy: ") + std::strerror(errno));
        if (copied == 0) return MakeError(Error::Code::Io, "cannot copy: the file shrank while it was copied");
        done += static_cast<std::uint64_t>(copied);
    }
    return Done{};
}

} // namespace

Status CopyFileRange(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t length) {
    std::uint64_t end = fromOffset + length;
    for (std::uint64_t at = fromOffset; at < end;) {
        // Where the file system cannot tell holes, all of it is data.
        off_t data = ::lseek(from, static_cast<off_t>(at), SEEK_DATA);
        if (data < 0 && errno == ENXIO) return Done{}; // only a hole is left
        if (data < 0) data = static_cast<off_t>(at);
        if (static_cast<std::uint64_t>(data) >= end) return Done{};
        off_t hole = ::lseek(from, data, SEEK_HOLE);
        std::uint64_t dataEnd = hole < 0 ? end : std::min<std::uint64_t>(static_cast<std::uint64_t>(hole), end);
        if (dataEnd <= static_cast<std::uint64_t>(data)) dataEnd = end;
        std::uint64_t start = static_cast<std::uint64_t>(data);
        if (Status copied = CopyData(from, start, to, toOffset + (start - fromOffset), dataEnd - start); !copied)
            return copied;
        at = dataEnd;
    }
    return Done{};
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace quillon
