#include "io/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

// The file a save must replace: a symbolic link (a project kept in a synced
// folder, say) stays a link and its target gets the new contents. Relative
// targets count from the link's folder; a loop, or a chain longer than the
// system follows, is refused.
Result<std::string> FinalTarget(const std::string& requested) {
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

// After the rename the folder's entry must reach the disk too, or a crash
// could bring back the old file. Some file systems cannot flush a folder;
// the contents are on disk by then, so that is not an error.
void FlushFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

} // namespace

Status WriteFileAtomically(const std::string& requested, std::span<const std::uint8_t> bytes) {
    auto resolved = FinalTarget(requested);
    if (!resolved) return resolved.GetError();
    const std::string& path = resolved.Value();
    std::string folder = FolderOf(path);
    std::string base = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    std::string pattern = (folder == "." ? std::string() : folder) + "." + base + ".XXXXXX";
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');

    FileDescriptor fd(::mkstemp(tempName.data()));
    if (fd.Get() < 0) return MakeError(Error::Code::Io, SystemError("cannot create a temporary file for", path));
    std::string temp(tempName.data());

    auto fail = [&](const std::string& what) {
        Error error = MakeError(Error::Code::Io, SystemError(what, path));
        ::unlink(temp.c_str());
        return error;
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return fail("cannot write");
        done += static_cast<std::size_t>(put);
    }
    // Keep the permissions of the file we replace; a new file gets the usual 0644.
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd.Get(), mode);
    if (::fsync(fd.Get()) != 0) return fail("cannot flush");
    if (::close(fd.Release()) != 0) return fail("cannot close");
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot replace");
    FlushFolder(folder);
    return Done{};
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace quillon
