// Input: a TMX file, as `tm import` reads it. Every unit delivered must be
// usable as the memory stores it, and the fuzzy score of its source against
// itself must be a full match.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "memory/FuzzyScore.h"
#include "memory/Tmx.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TmxLimits limits;
    limits.maxSegmentBytes = 4096;
    ReadTmxBytes(bytes, [](MemoryUnit&& unit) -> Status {
        if (unit.source.empty() || unit.target.empty() || unit.targetLanguage.empty() ||
            unit.sourceLanguage == unit.targetLanguage || unit.source.size() > 4096)
            std::abort();
        NormalisedText normalised = Normalise(unit.source);
        if (Score(normalised, normalised, 100) != 100) std::abort();
        return Done{};
    }, limits);
    return 0;
}
