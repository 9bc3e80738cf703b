// Input: a dictionary file (.dic). A malformed file must end in ArchiveError
// and nothing else, at the same offset whether it is read whole or in small
// pieces; a file that loads must store and load again to the same
// dictionary.

#include <cstddef>
#include <cstdint>

#include "ArchiveInPieces.h"
#include "dictionary/Dictionary.h"
#include "model/Archive.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDictonary dictionary;
    CDictonary inPieces;
    if (!fuzz::LoadWholeAndInPieces({data, size}, dictionary, inPieces)) return 0;
    if (!(inPieces == dictionary)) __builtin_trap();
    ArchiveWriter out;
    dictionary.Store(out);
    ArchiveReader again(out.Data());
    CDictonary reloaded;
    reloaded.Load(again); // our own output: any exception here is a finding
    if (!(reloaded == dictionary)) __builtin_trap();
    return 0;
}
