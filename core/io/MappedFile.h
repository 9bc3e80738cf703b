#pragma once
// A file opened for reading whose first bytes are made readable in memory
// on demand: mapped read-only and private, so that only the pages a reader
// touches are ever read from the disk, or read into memory where the file
// cannot be mapped (an empty file, a file system without mmap, an address
// space too small for the range).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"

namespace quillon {

class MappedFile {
public:
    // Opens a regular file. Anything else (a folder, a device, a FIFO, a
    // socket) is refused without blocking, as ReadWholeFile refuses it.
    static Result<MappedFile> Open(const std::string& path);
    // Takes over `fd`, a regular file open for reading; `path` names it in
    // messages.
    static Result<MappedFile> Adopt(int fd, const std::string& path);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    const std::string& Path() const { return m_path; }
    int Descriptor() const { return m_fd; }
    // The file's size when it was opened.
    std::uint64_t Size() const { return m_size; }

    // Makes the first `length` bytes (at most Size()) readable through
    // Bytes(). Replaces the bytes of an earlier call: spans into those end.
    Status View(std::uint64_t length);
    std::span<const std::uint8_t> Bytes() const;
    bool Mapped() const { return m_map != nullptr; }
    // Asks the kernel to read [offset, offset + length) of the view ahead,
    // for a range that is about to be read whole (the resources).
    void WillNeed(std::uint64_t offset, std::uint64_t length) const;

    // `length` bytes from `offset` (fewer at the end of the file), read
    // without a view.
    Result<std::vector<std::uint8_t>> ReadAt(std::uint64_t offset, std::size_t length) const;
    // Fills `into` from `offset`; fewer bytes (the count read) only at the
    // end of the file.
    Result<std::size_t> ReadInto(std::uint64_t offset, std::span<std::uint8_t> into) const;

private:
    MappedFile(int fd, std::string path, std::uint64_t size) : m_fd(fd), m_path(std::move(path)), m_size(size) {}
    void Unmap();
    // Maps the first `length` bytes; null when they cannot be mapped.
    void* Map(std::uint64_t length);

    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;
    void* m_map = nullptr;
    std::size_t m_mapLength = 0;
    std::size_t m_viewLength = 0; // of the mapping, what Bytes() shows
    std::vector<std::uint8_t> m_read; // the view when the file could not be mapped
};

} // namespace quillon
