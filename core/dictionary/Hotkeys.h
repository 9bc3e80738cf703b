#pragma once
// Hotkeys of translated menu entries and dialog controls: a character of the
// translation, unique (ignoring ASCII case) among the siblings of one level.

#include <cstdint>
#include <set>
#include <string_view>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon {

// Upper-case forms of the hotkeys already given on one level.
using UsedHotkeys = std::set<std::uint8_t>;

// Plain ASCII case rules: only A-Z and a-z have two cases.
std::uint8_t UpperAscii(std::uint8_t c);
// The other case of a character: lower case becomes upper, anything else lower.
std::uint8_t OtherCase(std::uint8_t c);

// True when `c` occurs in `text` as a character of its own: never as a byte
// of a multi-byte character and never inside an escape such as \n, where an
// ampersand in front of it would break the text when it is written.
bool HotkeyOccursIn(std::string_view text, std::uint8_t c, const CodePage& codePage);

// An item takes part in the hotkey pass when it is translated, not fixed and
// has a source hotkey.
bool HotkeyEligible(const CResourceItem& item);

// The preferred hotkey for an item's translation: its translated hotkey, that
// letter in the other case, its source hotkey, the other case of that, then
// the first letter of the translation.
std::uint8_t ChooseHotkey(const CResourceItem& item, const CodePage& codePage);

// Gives an eligible item the chosen hotkey, or the first character of its
// translation that is still free on the level, or none; records it as used.
void AssignHotkey(CResourceItem& item, UsedHotkeys& used, const CodePage& codePage);

} // namespace quillon
