#pragma once
// Translating one item by hand, and taking translations back: the operations
// behind the Translate dialog and the Restore commands.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/DictionaryEdit.h"
#include "extract/TextRules.h"
#include "io/CodePage.h"
#include "model/ItemEdit.h"
#include "model/ResourceInfo.h"
#include "model/ResourceItem.h"

namespace quillon {

enum class ManualResult {
    Applied,         // the item holds the new translation
    SameAsSource,    // the translation is the source: applied as a confirmation
    HotkeyNotInText, // the hotkey does not occur in the translation; nothing changed
};

// Sets an item's translation and its hotkey (0 for none), or confirms the
// source, as PlanManualTranslation plans it.
ManualResult TranslateManually(CResourceItem& item, std::string translation, std::uint16_t hotkey,
                               const CodePage& codePage);

// The edit the Translate dialog's OK makes: the translation, or for a
// translation equal to the source a confirmation (the source is right as it
// is, "OK" or "Format" in many languages: the item counts as translated and
// an update's changed mark goes). A refused hotkey is an error in words.
Result<ItemEdit> PlanManualTranslation(CResourceItem& item, std::string translation, std::uint16_t hotkey,
                                       const CodePage& codePage);

// The test TranslateManually makes, changing nothing, so that a dialog can
// ask it while the user types and before it applies anything. A hotkey must
// occur in the translation as a character of its own (HotkeyOccursIn: not
// inside an escape such as \n, where the target would lose its '&'); that
// is asked first, so a hotkey is checked even while the text is the source.
ManualResult CheckManualTranslation(std::string_view source, std::string_view translation, std::uint16_t hotkey,
                                    const CodePage& codePage);

// The hotkey a translation typed without one keeps (the item list edits the
// text alone): the item's translated hotkey, else its source hotkey, each
// only where it occurs in the new text (HotkeyOccursIn), in either case;
// else 0, so the item
// falls back to its source hotkey and the checks say when that is lost.
std::uint16_t HotkeyForTypedText(const CResourceItem& item, std::string_view translation, const CodePage& codePage);

// A translation as a translator types it: a menu entry's or control's '&'
// marks its hotkey where it stands (ReadMarkedText), whatever a hotkey field
// says. Without one the hotkey is `hotkey` where a field gives one (the
// Translate dialog), else HotkeyForTypedText's (the item list, Replace).
HotkeyText ReadTypedTranslation(const CResourceItem& item, std::string translation, const CodePage& codePage,
                                std::optional<std::uint16_t> hotkey = std::nullopt);

// A translation as it is typed for an item or a dictionary entry of `kind`:
// for menus, controls or (entries of) every kind, a '&' marks the hotkey
// there (ReadMarkedText), over `hotkey`; otherwise the text and `hotkey` as
// they are.
HotkeyText ReadTypedEntry(ItemKind kind, std::string translation, std::uint16_t hotkey, const CodePage& codePage);

// What a result other than Applied means, in words the front ends show as
// they are (the hotkey in the project's code page); empty for Applied.
std::string RefusalText(ManualResult result, std::uint16_t hotkey);

// A dictionary entry typed by hand (the dictionary's Edit command, Add to
// Dictionary): refused as CheckManualTranslation refuses the translation for
// its source, else as CheckEntry refuses the entry. The error's message says
// why in such words.
Status CheckEditedEntry(std::string_view source, std::string_view translation, std::uint16_t hotkey, ItemKind kind,
                        const CodePage& codePage);

// The dictionary's entry for the item: for its kind, else for all kinds.
const CDictonaryEntry* SearchDictionary(const CDictonary& dictionary, const CResourceItem& item);

// Refused: CheckEntry refuses the pair (an empty translation, say); it tells why.
enum class AddResult { Added, Replaced, Kept, SameAsSource, Refused };

// Stores the pair (item's source, translation) in the dictionary for the
// item's kind. When the dictionary already has an entry that would be used
// for the item (its kind's, or the all-kinds one), `confirmReplace` decides
// whether that entry gets the new translation.
AddResult AddToDictionary(CDictonary& dictionary, const CResourceItem& item, const std::string& translation,
                          std::uint16_t hotkey, const std::function<bool()>& confirmReplace);

// The same decision without touching the dictionary: the edit to make when
// the result is Added or Replaced.
struct AdditionPlan {
    AddResult result = AddResult::Kept;
    std::optional<DictionaryEdit> edit;
};
AdditionPlan PlanAddToDictionary(const CDictonary& dictionary, const CResourceItem& item,
                                 const std::string& translation, std::uint16_t hotkey,
                                 const std::function<bool()>& confirmReplace);

// The translation becomes the source text again, the hotkey the source hotkey;
// false when they were already, and nothing changed.
bool RestoreItem(CResourceItem& item);
// The edits that restore every translated menu, string and dialog item (the
// version values keep the translator's entries).
std::vector<ItemEdit> PlanRestoreAll(CResourceInfo& tree);
// Makes those edits and sets the translated count to 0; returns how many
// items there were.
std::size_t RestoreAll(CResourceInfo& tree);

} // namespace quillon
