#include "pe/PieceImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <numeric>
#include <unistd.h>

#include "io/FileIo.h"

namespace quillon {

namespace {

// Stores closer than this to each other are patched with one read and one
// write of the bytes between them; a window grows to at most kMaxWindow
// unless its stores overlap.
constexpr std::uint64_t kPatchGap = 4096;
constexpr std::uint64_t kMaxWindow = std::uint64_t{1} << 20;

Error IoFailure(const std::string& what) { return MakeError(Error::Code::Io, what + ": " + std::strerror(errno)); }

} // namespace

void PieceImage::Add(Kind kind, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return;
    m_pieces.push_back({kind, m_size, length, offset});
    m_size += length;
}

void PieceImage::Copy(std::uint64_t offset, std::uint64_t length) { Add(Kind::Source, offset, length); }

void PieceImage::Zeros(std::uint64_t length) { Add(Kind::Zeros, 0, length); }

void PieceImage::Append(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) return;
    std::uint64_t length = bytes.size();
    m_memory.push_back(std::move(bytes));
    Add(Kind::Memory, m_memory.size() - 1, length);
}

void PieceImage::Store(std::uint64_t at, std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        Patch patch;
        patch.at = at + done;
        patch.length = static_cast<std::uint8_t>(std::min<std::size_t>(bytes.size() - done, patch.bytes.size()));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(done), patch.length, patch.bytes.begin());
        m_patches.push_back(patch);
        done += patch.length;
    }
}

void PieceImage::StoreU16(std::uint64_t at, std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    Store(at, bytes);
}

void PieceImage::StoreU32(std::uint64_t at, std::uint32_t value) {
    StoreU16(at, static_cast<std::uint16_t>(value));
    StoreU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t PieceImage::Get32(std::uint64_t at) const {
    if (at >= m_size || m_size - at < 4) return 0;
    std::array<std::uint8_t, 4> bytes{};
    if (!ReadPieces(at, bytes)) return 0;
    std::vector<std::size_t> order(m_patches.size());
    std::iota(order.begin(), order.end(), 0);
    ApplyPatches(at, bytes, order);
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

Status PieceImage::ReadSource(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::span<const std::uint8_t> view = m_source->File();
    if (offset <= view.size() && out.size() <= view.size() - offset) {
        std::copy_n(view.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return Done{};
    }
    // Past the mapped part of an opened module: its overlay.
    if (!m_source->Source()) return MakeError(Error::Code::Io, "the module's bytes end before its size");
    auto bytes = m_source->Source()->ReadAt(offset, out.size());
    if (!bytes) return bytes.GetError();
    if (bytes.Value().size() != out.size())
        return MakeError(Error::Code::Io, "cannot read: the module shrank while it was rewritten");
    std::copy(bytes.Value().begin(), bytes.Value().end(), out.begin());
    return Done{};
}

Status PieceImage::ReadPieces(std::uint64_t at, std::span<std::uint8_t> out) const {
    std::uint64_t end = at + out.size();
    auto first = std::upper_bound(m_pieces.begin(), m_pieces.end(), at,
                                  [](std::uint64_t value, const Piece& piece) { return value < piece.at; });
    if (first != m_pieces.begin()) --first;
    for (auto piece = first; piece != m_pieces.end() && piece->at < end; ++piece) {
        std::uint64_t from = std::max(at, piece->at), to = std::min(end, piece->at + piece->length);
        if (from >= to) continue;
        std::span<std::uint8_t> part = out.subspan(from - at, to - from);
        std::uint64_t inPiece = from - piece->at;
        if (piece->kind == Kind::Source) {
            if (Status read = ReadSource(piece->offset + inPiece, part); !read) return read;
        } else if (piece->kind == Kind::Memory) {
            const auto& bytes = m_memory[piece->offset];
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(inPiece), part.size(), part.begin());
        }
    }
    return Done{};
}

void PieceImage::ApplyPatches(std::uint64_t at, std::span<std::uint8_t> out, std::span<const std::size_t> order) const {
    std::uint64_t end = at + out.size();
    for (std::size_t index : order) {
        const Patch& patch = m_patches[index];
        for (std::uint64_t i = 0; i < patch.length; ++i)
            if (patch.at + i >= at && patch.at + i < end) out[patch.at + i - at] = patch.bytes[i];
    }
}

Result<std::vector<std::uint8_t>> PieceImage::ToBytes() const {
    std::vector<std::uint8_t> out;
    try {
        out.resize(m_size);
    } catch (const std::bad_alloc&) {
        return MakeError(Error::Code::Io, "the rewritten module does not fit in memory");
    }
    if (Status read = ReadPieces(0, out); !read) return read.GetError();
    std::vector<std::size_t> order(m_patches.size());
    std::iota(order.begin(), order.end(), 0);
    ApplyPatches(0, out, order);
    return out;
}

Status PieceImage::WriteTo(int fd) const {
    // The file takes its size first and reads as zeros where nothing is
    // written: runs of zeros and holes of the source cost nothing.
    if (::ftruncate(fd, static_cast<off_t>(m_size)) != 0) return IoFailure("cannot write");
    const MappedFile* file = m_source->Source();
    for (const Piece& piece : m_pieces) {
        Status written = Done{};
        if (piece.kind == Kind::Source && file) {
            written = CopyFileRange(file->Descriptor(), piece.offset, fd, piece.at, piece.length);
            // The disk writes each copied range while the next is copied.
            StartWriteBack(fd);
        } else if (piece.kind == Kind::Source)
            written = WriteAt(fd, piece.at, m_source->File().subspan(piece.offset, piece.length));
        else if (piece.kind == Kind::Memory)
            written = WriteAt(fd, piece.at, m_memory[piece.offset]);
        if (!written) return written;
    }
    return WritePatches(fd);
}

// Each window of nearby stores is read back, patched in the order the
// stores were made and written again. A window ends only where no store
// reaches past it, so a later store over an earlier one still wins.
Status PieceImage::WritePatches(int fd) const {
    std::vector<std::size_t> byOffset(m_patches.size());
    std::iota(byOffset.begin(), byOffset.end(), 0);
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [&](std::size_t a, std::size_t b) { return m_patches[a].at < m_patches[b].at; });
    for (std::size_t first = 0; first < byOffset.size();) {
        std::uint64_t start = m_patches[byOffset[first]].at, end = start;
        std::size_t last = first;
        for (; last < byOffset.size(); ++last) {
            const Patch& patch = m_patches[byOffset[last]];
            if (patch.at >= end && (patch.at - end > kPatchGap || end - start >= kMaxWindow)) break;
            end = std::max(end, patch.at + patch.length);
        }
        end = std::min(end, m_size);
        if (start < end) {
            std::vector<std::size_t> order(byOffset.begin() + static_cast<std::ptrdiff_t>(first),
                                           byOffset.begin() + static_cast<std::ptrdiff_t>(last));
            std::sort(order.begin(), order.end());
            std::vector<std::uint8_t> window(end - start);
            if (::pread(fd, window.data(), window.size(), static_cast<off_t>(start)) != static_cast<ssize_t>(window.size()))
                return IoFailure("cannot read back the target");
            ApplyPatches(start, window, order);
            if (Status written = WriteAt(fd, start, window); !written) return written;
        }
        first = last;
    }
    return Done{};
}

} // namespace quillon
