// Input: a dictionary file (.dic). A malformed file must end in ArchiveError
// and nothing else, at the same offset whether it is read whole or in small
// pieces; a file that loads must store and load again to the same
// dictionary.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "dictionary/Dictionary.h"
#include "model/Archive.h"

using namespace quillon;

namespace {

// Where reading the dictionary failed, or nothing.
std::optional<std::uint64_t> FailedAt(ArchiveReader& in, CDictonary& dictionary) {
    try {
        dictionary.Load(in);
    } catch (const ArchiveError& error) {
        return error.Offset();
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDictonary dictionary;
    ArchiveReader in({data, size});
    std::optional<std::uint64_t> failed = FailedAt(in, dictionary);
    // Files are read in pieces: through a window of a few bytes the same
    // input must end the same way.
    BytesInput input({data, size});
    ArchiveReader pieces(input, 1 + size % 11);
    CDictonary inPieces;
    if (FailedAt(pieces, inPieces) != failed) __builtin_trap();
    if (failed) return 0;
    if (!(inPieces == dictionary)) __builtin_trap();
    ArchiveWriter out;
    dictionary.Store(out);
    ArchiveReader again(out.Data());
    CDictonary reloaded;
    reloaded.Load(again); // our own output: any exception here is a finding
    if (!(reloaded == dictionary)) __builtin_trap();
    return 0;
}
