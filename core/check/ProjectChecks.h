#pragma once
// The one check engine of a project: every front end (check, build, the
// Problems view, the Translate and dictionary dialogs) asks it and shows
// what it finds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/Findings.h"
#include "io/CodePage.h"
#include "model/ItemKind.h"

namespace quillon {

class CProject;
class CResourceItem;
struct ItemPlace;

// Looks words up in the target language's spelling dictionary.
class ISpelling {
public:
    virtual ~ISpelling() = default;
    // The words of `text` (UTF-8) that the dictionary does not know.
    virtual std::vector<std::string> Unknown(std::string_view text) const = 0;
};

struct CheckOptions {
    bool untranslated = true;            // a note for each untranslated item
    const ISpelling* spelling = nullptr; // no spelling check without one
};

// Every finding of the project, in tree order.
std::vector<Finding> CheckProject(const CProject& project, const CheckOptions& options = {});

// The findings `item` would have with `translation` and `hotkey` (0: the
// source's), its siblings as they are, a dialog control's fit in its dialog
// included: what OK in the Translate dialog asks before it applies
// anything. A translation equal to the source counts as confirmed.
std::vector<Finding> CheckCandidate(const CProject& project, const CResourceItem& item, std::string_view translation,
                                    std::uint16_t hotkey, const ISpelling* spelling = nullptr);
// The same for an item whose place the caller knows: checking many items
// (a Replace over the project) then costs no walk of the tree per item.
std::vector<Finding> CheckCandidate(const CProject& project, const CResourceItem& item, const ItemPlace& place,
                                    std::string_view translation, std::uint16_t hotkey,
                                    const ISpelling* spelling = nullptr);

// The findings of a dictionary entry typed by hand: its texts and hotkey alone.
std::vector<Finding> CheckEntryTexts(std::string_view source, std::string_view translation, std::uint16_t hotkey,
                                     ItemKind kind, const CodePage& codePage);

} // namespace quillon
