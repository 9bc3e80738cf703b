// Input: a dictionary file (.dic). A malformed file must end in ArchiveError
// and nothing else; a file that loads must store and load again to the same
// dictionary.

#include <cstddef>
#include <cstdint>

#include "dictionary/Dictionary.h"
#include "model/Archive.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDictonary dictionary;
    try {
        ArchiveReader in({data, size});
        dictionary.Load(in);
    } catch (const ArchiveError&) {
        return 0;
    }
    ArchiveWriter out;
    dictionary.Store(out);
    ArchiveReader again(out.Data());
    CDictonary reloaded;
    reloaded.Load(again); // our own output: any exception here is a finding
    if (!(reloaded == dictionary)) __builtin_trap();
    return 0;
}
