#include "io/MappedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <new>
#include <utility>

namespace quillon {

namespace {

Error IoError(const std::string& what, const std::string& path) {
    return MakeError(Error::Code::Io, what + " '" + path + "': " + std::strerror(errno));
}

} // namespace

Result<MappedFile> MappedFile::Open(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return IoError("cannot open", path);
    return Adopt(fd, path);
}

Result<MappedFile> MappedFile::Adopt(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        Error error = IoError("cannot stat", path);
        ::close(fd);
        return error;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return MakeError(Error::Code::Io, "'" + path + "' is not a regular file");
    }
    return MappedFile(fd, path, static_cast<std::uint64_t>(info.st_size));
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_size(other.m_size),
      m_map(std::exchange(other.m_map, nullptr)), m_mapLength(std::exchange(other.m_mapLength, 0)),
      m_viewLength(std::exchange(other.m_viewLength, 0)), m_read(std::move(other.m_read)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this == &other) return *this;
    Unmap();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = std::exchange(other.m_fd, -1);
    m_path = std::move(other.m_path);
    m_size = other.m_size;
    m_map = std::exchange(other.m_map, nullptr);
    m_mapLength = std::exchange(other.m_mapLength, 0);
    m_viewLength = std::exchange(other.m_viewLength, 0);
    m_read = std::move(other.m_read);
    return *this;
}

MappedFile::~MappedFile() {
    Unmap();
    if (m_fd >= 0) ::close(m_fd);
}

void MappedFile::Unmap() {
    if (m_map) ::munmap(m_map, m_mapLength);
    m_map = nullptr;
    m_mapLength = 0;
    m_viewLength = 0;
    m_read.clear();
    m_read.shrink_to_fit();
}

void* MappedFile::Map(std::uint64_t length) {
    if (length > SIZE_MAX) return nullptr;
    void* map = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_PRIVATE, m_fd, 0);
    if (map == MAP_FAILED) return nullptr;
    m_map = map;
    m_mapLength = static_cast<std::size_t>(length);
    // Readers jump from the headers to the resources: reading ahead around
    // a touched page would read code nobody asked for.
    ::madvise(m_map, m_mapLength, MADV_RANDOM);
    return map;
}

Status MappedFile::View(std::uint64_t length) {
    length = std::min(length, m_size);
    // The first view maps the whole file: a mapping costs the same whatever
    // its length, and a longer view later (the headers first, then the
    // sections) is then not a second mapping whose pages fault in afresh.
    if (m_map && length <= m_mapLength) {
        m_viewLength = static_cast<std::size_t>(length);
        return Done{};
    }
    Unmap();
    if (length == 0) return Done{};
    if (Map(m_size) || Map(length)) {
        m_viewLength = static_cast<std::size_t>(length);
        return Done{};
    }
    auto bytes = ReadAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(length, SIZE_MAX)));
    if (!bytes) return bytes.GetError();
    m_read = std::move(bytes).Value();
    return Done{};
}

std::span<const std::uint8_t> MappedFile::Bytes() const {
    if (m_map) return {static_cast<const std::uint8_t*>(m_map), m_viewLength};
    return m_read;
}

void MappedFile::WillNeed(std::uint64_t offset, std::uint64_t length) const {
    if (!m_map || offset >= m_viewLength || length == 0) return;
    long page = ::sysconf(_SC_PAGESIZE);
    std::uint64_t start = offset / static_cast<std::uint64_t>(page) * static_cast<std::uint64_t>(page);
    std::uint64_t end = std::min<std::uint64_t>(offset + length, m_viewLength);
    ::madvise(static_cast<std::uint8_t*>(m_map) + start, static_cast<std::size_t>(end - start), MADV_WILLNEED);
}

Result<std::vector<std::uint8_t>> MappedFile::ReadAt(std::uint64_t offset, std::size_t length) const {
    if (offset >= m_size) return std::vector<std::uint8_t>{};
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_size - offset));
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(length);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return IoError("cannot read", m_path);
    }
    auto done = ReadInto(offset, bytes);
    if (!done) return done.GetError();
    bytes.resize(done.Value());
    return bytes;
}

Result<std::size_t> MappedFile::ReadInto(std::uint64_t offset, std::span<std::uint8_t> into) const {
    std::size_t done = 0;
    while (done < into.size()) {
        ssize_t got = ::pread(m_fd, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return IoError("cannot read", m_path);
        if (got == 0) break; // the file shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace quillon
