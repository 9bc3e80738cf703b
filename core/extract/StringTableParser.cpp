#include "extract/TemplateParsers.h"

namespace quillon {

namespace {

// The units before the first NUL, where the loaded text would end.
std::span<const std::uint8_t> UpToNul(std::span<const std::uint8_t> units) {
    for (std::size_t at = 0; at + 1 < units.size(); at += 2) {
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
        std::string text = EscapeText(context.text.ConvertLe(units, kStringBuffer), context.text.Page());
        std::int32_t id = first + static_cast<std::int32_t>(slot);
        if (strings.index.Find(text, id)) continue;
        strings.item.AddChild(std::make_unique<CStringEntry>(std::move(text), 0, id));
    }
}

} // namespace quillon
