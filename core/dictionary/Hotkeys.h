#pragma once
// Hotkeys of translated menu entries and dialog controls: a character of the
// translation, unique among the siblings of one level in the way Windows
// matches a typed key, that is without regard to case in the code page.

#include <array>
#include <bitset>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "extract/TextRules.h"
#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon {

// The hotkey a translated item carries when the rebuilding pass found no free
// character for it: nothing is marked in the target, not even the source's
// letter (which a translated item without a hotkey of its own falls back to).
// It lies outside the range of stored hotkey bytes, which are widened with
// sign, so no hotkey read from a file is ever taken for it.
inline constexpr std::uint16_t kHotkeyNone = 0x0100;

// The character byte of a stored hotkey; 0 for none.
inline std::uint8_t HotkeyByte(std::uint16_t hotkey) { return static_cast<std::uint8_t>(hotkey & 0xFF); }

// Which single bytes of a code page are characters of their own, which of
// them are letters or digits (Latin, accented, Cyrillic, Greek, half-width
// katakana...), and their upper case. Built once per code page.
class HotkeyAlphabet {
public:
    static const HotkeyAlphabet& Of(const CodePage& codePage);

    bool IsCharacter(std::uint8_t c) const { return m_character[c]; }
    bool IsLetterOrDigit(std::uint8_t c) const { return m_letterOrDigit[c]; }
    std::uint8_t Upper(std::uint8_t c) const { return m_upper[c]; }
    std::uint8_t Lower(std::uint8_t c) const { return m_lower[c]; }
    bool SameKey(std::uint8_t a, std::uint8_t b) const { return Upper(a) == Upper(b); }

    explicit HotkeyAlphabet(const CodePage& codePage);

private:
    std::bitset<256> m_character;
    std::bitset<256> m_letterOrDigit;
    std::array<std::uint8_t, 256> m_upper{};
    std::array<std::uint8_t, 256> m_lower{};
};

// Upper-case forms of the hotkeys already given on one level.
using UsedHotkeys = std::set<std::uint8_t>;

// The position in `text` where `c` can carry the hotkey, npos when there is
// none: where the text marks it (MarkedHotkeyPosition), else the first
// occurrence of `c` as a character of its own, never a byte
// of a multi-byte character, never inside an escape such as \n (an ampersand
// there would break the text), never the '&' of "&&", and never in the
// accelerator part after a \t.
std::size_t HotkeyPosition(std::string_view text, std::uint8_t c, const CodePage& codePage);
inline bool HotkeyOccursIn(std::string_view text, std::uint8_t c, const CodePage& codePage) {
    return c != 0 && HotkeyPosition(text, c, codePage) != std::string_view::npos;
}

// Where a text marks its hotkey with a '&' of its own: the place of the
// character after its first '&' that is no half of "&&" (outside escapes and
// the accelerator), when that is a single-byte character other than a space;
// npos otherwise. Translators mark a hotkey where it belongs ("Alles
// &schließen"), which need not be the character's first place.
std::size_t MarkedHotkeyPosition(std::string_view text, const CodePage& codePage);

// A menu or control text as a translator or another tool writes it, '&'
// before the hotkey and "&&" for an ampersand: the text the tree holds and
// its hotkey (0 for none), widened as SplitHotkey widens it. A marker before
// the character's first place goes, as the writer puts it back there; one
// elsewhere stays in the text, so the hotkey keeps the place it was given.
HotkeyText ReadMarkedText(std::string text, const CodePage& codePage);

// `text` with its hotkey marked as the target writes it: where the text
// marks one of its own (OwnHotkeyMarker, or a marker before `hotkey`'s
// character, or any marker when `hotkey` is none), as it is; else with '&'
// before the first place of `hotkey`'s character (HotkeyPosition), and
// without a marker the text had for another character. `carrier` gets the
// character that carries the hotkey, 0 for none.
std::string MarkHotkey(std::string_view text, std::uint16_t hotkey, const CodePage& codePage,
                       std::uint8_t* carrier = nullptr);

// An item takes part in the hotkey pass when it is translated, not fixed and
// has a source hotkey.
bool HotkeyEligible(const CResourceItem& item);

// The hotkey the target module gives an item, as its writer marks it
// (MarkHotkey): a translated item's hotkey (its source hotkey when it has
// none), an untranslated item's source hotkey; 0 when that character does
// not occur in the text written (HotkeyOccursIn), which then carries no '&'.
// A text that marks a hotkey of its own has that one.
std::uint8_t TargetHotkey(const CResourceItem& item, const CodePage& codePage);
// The hotkey the target writer is asked to mark, before that check: a
// translated item's own, else its source hotkey.
std::uint16_t HotkeyToWrite(const CResourceItem& item);

// Items of one level whose target hotkeys are one key.
struct HotkeyClash {
    std::uint8_t hotkey = 0;                  // the upper-case form
    std::vector<const CResourceItem*> items; // two or more, in level order
};

// The clashes among the children of `level` (the menu bar, a popup or a
// dialog), in the order their hotkeys first occur. Windows matches a typed
// letter in either case, so 'd' and 'D' clash, and so do 'ф' and 'Ф'; the
// children's own children are another level.
std::vector<HotkeyClash> DuplicateHotkeys(const CResourceItem& level, const CodePage& codePage);

// How a language marks a hotkey its script has no key for.
enum class HotkeyConvention {
    InText,          // a letter of the text, or none
    LatinInBrackets, // Chinese, Japanese, Korean: "開く(&O)..." after the text
};
HotkeyConvention HotkeyConventionOf(std::uint16_t language);

// Gives an eligible item a hotkey that is free on its level and records it:
// - the translation's own hotkey when it occurs in the text, whatever
//   character it is (German help menus use "?"), or its other case;
// - else the source hotkey's letter, then the first letter or digit of the
//   translation, in either case, as a whole single-byte character;
// - else, for LatinInBrackets, the source's letter (or a free one) in
//   brackets before a trailing ellipsis or colon and before the accelerator;
// - else kHotkeyNone.
void AssignHotkey(CResourceItem& item, UsedHotkeys& used, const CodePage& codePage,
                  HotkeyConvention convention = HotkeyConvention::InText);

// Assigns every eligible child of `level` a hotkey; the hotkeys of the
// others (untranslated, fixed or without a source hotkey) are taken as
// used first, and earlier eligible siblings win a contested letter. Calls
// `before(item)` ahead of changing an item.
template <typename Before>
void AssignLevelHotkeys(CResourceItem& level, const CodePage& codePage, HotkeyConvention convention, Before&& before) {
    const HotkeyAlphabet& alphabet = HotkeyAlphabet::Of(codePage);
    UsedHotkeys used;
    for (const auto& child : level.GetChildren())
        if (!HotkeyEligible(*child))
            if (std::uint8_t taken = TargetHotkey(*child, codePage)) used.insert(alphabet.Upper(taken));
    for (auto& child : level.GetChildren()) {
        if (!HotkeyEligible(*child)) continue;
        before(*child);
        AssignHotkey(*child, used, codePage, convention);
    }
}

} // namespace quillon
