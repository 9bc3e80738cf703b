// Input: a gettext PO file. A file that does not read must be an error and
// nothing else; a file that reads must write and read again to the same
// units (our writer escapes every byte the reader unescapes).

#include <cstddef>
#include <cstdint>

#include "interchange/Po.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto read = ReadPo({data, size});
    if (!read) return 0;
    WrittenFile written = WritePo(read.Value());
    auto again = ReadPo({reinterpret_cast<const std::uint8_t*>(written.bytes.data()), written.bytes.size()});
    if (!again || again.Value().units != read.Value().units) __builtin_trap();
    return 0;
}
