#include "interchange/UnitText.h"

#include "dictionary/Hotkeys.h"
#include "model/TextEscapes.h"
#include "target/TextPreparation.h"

namespace quillon {

std::string UnitTextOf(ItemKind kind, std::string_view text, std::uint16_t hotkey, const CodePage& codePage) {
    if (KindHasHotkey(kind)) return codePage.ToUtf8(PrepareText(text, hotkey, codePage));
    if (HoldsEscapedText(kind)) return codePage.ToUtf8(UnescapeText(text, codePage));
    return codePage.ToUtf8(text);
}

HotkeyText TreeTextOf(ItemKind kind, std::string_view utf8, const CodePage& codePage) {
    std::string text = codePage.FromUtf8(utf8);
    if (HoldsEscapedText(kind)) text = EscapeText(text, codePage);
    if (KindHasHotkey(kind)) return ReadMarkedText(std::move(text), codePage);
    return {std::move(text), 0};
}

} // namespace quillon
