#pragma once
// Following a new version of the module: the module is read into a fresh
// project and merged into the translated one level by level. Siblings are
// paired by key (ID; ID and text for unnamed IDs; separator; a version
// block's key) and, where siblings share a key, by their order among them,
// so an item never moves to another popup or dialog. Items that stay keep
// their translations; changed texts are reset and marked; new items come in
// untranslated at their place; a new or changed item whose text had a
// translation before (an item that went away or changed its text had it)
// takes that translation, marked; items that are gone are deleted. Each
// level then has the new module's order.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "extract/Progress.h"
#include "model/ItemKind.h"

namespace quillon {

class CProject;

enum class UpdateChangeKind {
    Added,   // new in the module
    Removed, // no longer in the module
    Changed, // its source text changed: the translation is reset
    Moved,   // a new item of the same kind and text as one that went away: it keeps its translation
    Reused,  // a new item with the text of one of another kind that went away, or a changed item with the
             // old text of another item: it takes that translation
};
// Every kind, in the order reports list their counts.
inline constexpr std::array<UpdateChangeKind, 5> kUpdateChangeKinds{UpdateChangeKind::Added, UpdateChangeKind::Removed,
                                                                    UpdateChangeKind::Changed, UpdateChangeKind::Moved,
                                                                    UpdateChangeKind::Reused};
std::string_view UpdateChangeName(UpdateChangeKind kind);

// One difference between the project and the new module. Texts are in the
// project's code page, as the tree holds them.
struct UpdateChange {
    UpdateChangeKind kind = UpdateChangeKind::Added;
    ItemKind item = ItemKind::Common;
    std::string path;     // where the item is now; for a removed item, where it was
    std::string fromPath; // moved and reused: the item that went away
    std::string oldText;  // the source before (changed, removed, moved, reused)
    std::string newText;  // the source now (added, changed, moved, reused)
    // Changed and removed: the translation that is gone. Moved and reused:
    // the translation the item took over.
    std::string translation;

    bool TranslationLost() const {
        return !translation.empty() && (kind == UpdateChangeKind::Changed || kind == UpdateChangeKind::Removed);
    }
};

struct UpdateReport {
    bool merged = false; // false when the fresh project stayed empty
    std::vector<UpdateChange> changes; // in the order of the tree
    std::size_t kept = 0;    // matched items whose text stayed
    std::size_t rebuilt = 0; // dialogs whose template changed
    // Something the list does not name changed: a level's order, a menu's
    // option bits, a source hotkey, a version value, the file version.
    bool otherChanges = false;

    // What the scan of the new module could not read, in the project's code
    // page as the scan words it.
    std::vector<std::string> scanWarnings;

    std::size_t Count(UpdateChangeKind kind) const;
    bool Changed() const { return !changes.empty() || rebuilt > 0 || otherChanges; }
    // A module read in part (a damaged or half-copied file) that took items
    // away or changed them: the loss may be the damage's, not the new
    // version's, and is not taken without the translator's word.
    bool NeedsConfirmation() const {
        return !scanWarnings.empty() && (Count(UpdateChangeKind::Removed) != 0 || Count(UpdateChangeKind::Changed) != 0);
    }
};

inline constexpr const char* kUpdateMessage = "Updating resources\r\nplease wait";

// Merges `fresh` into `project`. When `fresh` has no resources yet, its
// module path is scanned first (with the project's code page). The version
// values come from the new module, with the translator's entries and the
// target language written into them as for a new project. Every item the
// merge marks as changed gets its previous source and translation in the
// tree's record of previous texts.
UpdateReport UpdateProject(CProject& project, CProject& fresh, IProgress* progress = nullptr);

// The first half of UpdateProject: scans `fresh`'s module when it has no
// resources yet and gives it the project's target language and translator
// values. False when it holds no resources. What the scan could not read
// goes to `diagnostics` when it is given.
bool PrepareFresh(const CProject& project, CProject& fresh, IProgress* progress = nullptr,
                  std::vector<std::string>* diagnostics = nullptr);

} // namespace quillon
