#include "extract/TemplateParsers.h"

#include <cstring>

namespace quillon {

namespace {

// The units before the first NUL, where the loaded text would end. Four
// units at a time are skipped while none of them is NUL.
std::span<const std::uint8_t> UpToNul(std::span<const std::uint8_t> units) {
    constexpr std::uint64_t kOneInEachUnit = 0x0001000100010001;
    constexpr std::uint64_t kTopOfEachUnit = 0x8000800080008000;
    std::size_t at = 0;
    for (; at + sizeof(std::uint64_t) <= units.size(); at += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, units.data() + at, sizeof word);
        if (((word - kOneInEachUnit) & ~word & kTopOfEachUnit) != 0) break;
    }
    for (; at + 1 < units.size(); at += 2) {
        if ((units[at] | units[at + 1]) == 0) return units.first(at);
    }
    return units;
}

} // namespace

void ParseStringBlock(const StringBlockView& slots, std::uint16_t block, TreeRoot& strings, ParseContext& context) {
    if (block == 0) {
        context.diagnostics.push_back("string table: block 0 holds no string IDs (skipped)");
        return;
    }
    std::int32_t first = (static_cast<std::int32_t>(block) - 1) * 16;
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (!slots[slot]) continue;
        std::span<const std::uint8_t> units = UpToNul(*slots[slot]);
        if (units.empty()) continue;
        std::string text = context.text.ConvertEscapedLe(units, kStringBuffer);
        std::int32_t id = first + static_cast<std::int32_t>(slot);
        if (strings.index.Find(text, id)) continue;
        strings.item.AddChild(std::make_unique<CStringEntry>(std::move(text), 0, id));
    }
}

} // namespace quillon
