// Input: an XLIFF file. A file that does not read must be an error and
// nothing else; a file that reads must write and read again to the same
// units, or an export of an imported file would change its texts.

#include <cstddef>
#include <cstdint>

#include "interchange/Xliff.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto read = ReadXliff({data, size});
    if (!read) return 0;
    auto written = WriteXliff(read.Value());
    if (!written) __builtin_trap();
    const std::string& bytes = written.Value().bytes;
    auto again = ReadXliff({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (!again || again.Value().units.size() + written.Value().leftOut.size() != read.Value().units.size())
        __builtin_trap();
    return 0;
}
