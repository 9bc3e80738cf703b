#pragma once
// A tree text and its hotkey in the form a translation file carries it: the
// text the target module will hold, as UTF-8. Each kind of item follows the
// rule its template text was read with (target/TextPreparation.h), so
// reading a unit's text back gives what reading the built module would.

#include <cstdint>
#include <string>
#include <string_view>

#include "extract/TextRules.h"
#include "io/CodePage.h"
#include "model/ItemKind.h"

namespace quillon {

// The Windows form of a tree text: '&' before the hotkey where the kind has
// one, CR, LF, tab and backslash as themselves where the kind escapes them, as UTF-8.
std::string UnitTextOf(ItemKind kind, std::string_view text, std::uint16_t hotkey, const CodePage& codePage);

// A unit's UTF-8 translation as the tree holds it: in the code page, controls
// escaped and, where the kind has a hotkey, the one its '&' marks read with
// its place (ReadMarkedText). The caller has made sure (CharactersNotIn)
// that the code page holds it.
HotkeyText TreeTextOf(ItemKind kind, std::string_view utf8, const CodePage& codePage);

} // namespace quillon
