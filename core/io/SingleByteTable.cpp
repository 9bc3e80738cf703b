#include "io/SingleByteTable.h"

#include <algorithm>

namespace quillon {

std::optional<std::uint8_t> SingleByteTable::FromUnit(char16_t unit) const {
    auto found = std::lower_bound(fromUnit.begin(), fromUnit.end(), unit,
                                  [](const UnitAndByte& entry, char16_t value) { return entry.unit < value; });
    if (found == fromUnit.end() || found->unit != unit) return std::nullopt;
    return found->byte;
}

} // namespace quillon
