#pragma once
// Translating one item by hand, and taking translations back: the operations
// behind the Translate dialog and the Restore commands.

#include <cstdint>
#include <functional>
#include <string>

#include "dictionary/Dictionary.h"
#include "io/CodePage.h"
#include "model/ResourceItem.h"

namespace quillon {

class CProject;

enum class ManualResult {
    Applied,         // the item holds the new translation
    SameAsSource,    // a translation equal to the source changes nothing
    HotkeyNotInText, // the hotkey does not occur in the translation; nothing changed
};

// Sets an item's translation and its hotkey (0 for none). The hotkey must be
// a character of the translation.
ManualResult TranslateManually(CResourceItem& item, std::string translation, std::uint16_t hotkey,
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

// The translation becomes the source text again, the hotkey the source hotkey.
void RestoreItem(CResourceItem& item);
// Restores every translated menu, string and dialog item of the project (the
// version values keep the translator's entries); returns how many there were.
std::size_t RestoreAll(CProject& project);

} // namespace quillon
