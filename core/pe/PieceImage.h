#pragma once
// A rewritten module described as pieces: ranges of the module it comes
// from, runs of zeros and bytes made in memory (the new resources), with
// small stores over them (header fields, moved file offsets). An installer
// is gigabytes of unchanged code and overlay around a few hundred kilobytes
// of resources; written from pieces, the unchanged ranges are copied from
// file to file and never held.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "io/Result.h"
#include "pe/PeImage.h"

namespace quillon {

class PieceImage {
public:
    // `source` must outlive this image.
    explicit PieceImage(const PeImage& source) : m_source(&source) {}

    // Pieces, appended in file order.
    void Copy(std::uint64_t offset, std::uint64_t length);
    void Zeros(std::uint64_t length);
    void Append(std::vector<std::uint8_t> bytes);
    std::uint64_t Size() const { return m_size; }

    // Stores over the pieces, applied after them in the order they were
    // made; bytes past the end are dropped.
    void Store(std::uint64_t at, std::span<const std::uint8_t> bytes);
    void StoreU16(std::uint64_t at, std::uint16_t value);
    void StoreU32(std::uint64_t at, std::uint32_t value);
    // The value at `at` as the finished file holds it (0 past its end).
    std::uint32_t Get32(std::uint64_t at) const;

    // The whole file in memory, for a module held in memory anyway.
    Result<std::vector<std::uint8_t>> ToBytes() const;
    // The file written into `fd`, an empty file open for writing: ranges of
    // an opened module are copied from its file (holes stay holes), the rest
    // is written piece by piece.
    Status WriteTo(int fd) const;

private:
    enum class Kind { Source, Zeros, Memory };
    struct Piece {
        Kind kind = Kind::Zeros;
        std::uint64_t at = 0;     // in this image
        std::uint64_t length = 0;
        std::uint64_t offset = 0; // in the source, or in m_memory
    };
    struct Patch {
        std::uint64_t at = 0;
        std::uint8_t length = 0;
        std::array<std::uint8_t, 8> bytes{};
    };

    void Add(Kind kind, std::uint64_t offset, std::uint64_t length);
    // The bytes [at, at + out.size()) of the pieces alone (out is zeroed).
    Status ReadPieces(std::uint64_t at, std::span<std::uint8_t> out) const;
    Status ReadSource(std::uint64_t offset, std::span<std::uint8_t> out) const;
    void ApplyPatches(std::uint64_t at, std::span<std::uint8_t> out, std::span<const std::size_t> order) const;
    Status WritePatches(int fd) const;

    const PeImage* m_source;
    std::vector<Piece> m_pieces;
    std::vector<std::vector<std::uint8_t>> m_memory;
    std::vector<Patch> m_patches;
    std::uint64_t m_size = 0;
};

} // namespace quillon
