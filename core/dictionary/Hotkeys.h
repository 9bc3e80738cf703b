#pragma once
// Hotkeys of translated menu entries and dialog controls: a character of the
// translation, unique (ignoring ASCII case) among the siblings of one level.

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

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

// The hotkey the target module gives an item, as its writer marks it: a
// translated item's hotkey (its source hotkey when it has none), an
// untranslated item's source hotkey; 0 when that character does not occur
// in the text written (HotkeyOccursIn), which then carries no '&'.
std::uint8_t TargetHotkey(const CResourceItem& item, const CodePage& codePage);
// The hotkey the target writer is asked to mark, before that check: a
// translated item's own, else its source hotkey.
std::uint16_t HotkeyToWrite(const CResourceItem& item);

// Items of one level whose target hotkeys are one letter, ignoring ASCII case.
struct HotkeyClash {
    std::uint8_t hotkey = 0;                  // the upper-case form
    std::vector<const CResourceItem*> items; // two or more, in level order
};

// The clashes among the children of `level` (the menu bar, a popup or a
// dialog), in the order their hotkeys first occur. Windows matches a typed
// letter in either case, so 'd' and 'D' clash; the children's own children
// are another level.
std::vector<HotkeyClash> DuplicateHotkeys(const CResourceItem& level, const CodePage& codePage);

// Gives an eligible item the chosen hotkey, or the first character of its
// translation that is still free on the level, or none; records it as used.
void AssignHotkey(CResourceItem& item, UsedHotkeys& used, const CodePage& codePage);

} // namespace quillon
