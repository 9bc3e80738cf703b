#include "extract/TemplateParsers.h"

namespace quillon {

void ParseStringBlock(const StringBlock& slots, std::uint16_t block, TreeRoot& strings, ParseContext& context) {
    if (block == 0) {
        context.diagnostics.push_back("string table: block 0 holds no string IDs (skipped)");
        return;
    }
    std::int32_t first = (static_cast<std::int32_t>(block) - 1) * 16;
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (!slots[slot]) continue;
        // A string ends at its first NUL, as the loaded text would.
        std::u16string_view units = *slots[slot];
        units = units.substr(0, units.find(u'\0'));
        if (units.empty()) continue;
        std::string text = EscapeText(context.text.Convert(units, kStringBuffer), context.text.Page());
        std::int32_t id = first + static_cast<std::int32_t>(slot);
        if (strings.index.Find(text, id)) continue;
        strings.item.AddChild(std::make_unique<CStringEntry>(std::move(text), 0, id));
    }
}

} // namespace quillon
