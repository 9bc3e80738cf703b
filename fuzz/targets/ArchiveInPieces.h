#pragma once
// Shared by the targets of files Quillon reads in pieces (projects and
// dictionaries): through a window of a few bytes an input must end exactly
// as it does when read whole.

#include <cstdint>
#include <optional>
#include <span>

#include "model/Archive.h"

namespace quillon::fuzz {

// Loads `data` whole into `whole` and through a small window into
// `inPieces`; traps when the two fail at different offsets, or one fails
// and the other does not. True when both loaded.
template <typename Archived>
bool LoadWholeAndInPieces(std::span<const std::uint8_t> data, Archived& whole, Archived& inPieces) {
    auto failedAt = [](ArchiveReader& in, Archived& into) -> std::optional<std::uint64_t> {
        try {
            into.Load(in);
        } catch (const ArchiveError& error) {
            return error.Offset();
        }
        return std::nullopt;
    };
    ArchiveReader in(data);
    const std::optional<std::uint64_t> failed = failedAt(in, whole);
    BytesInput input(data);
    ArchiveReader pieces(input, 1 + data.size() % 11);
    if (failedAt(pieces, inPieces) != failed) __builtin_trap();
    return !failed;
}

} // namespace quillon::fuzz
