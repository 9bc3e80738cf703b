#pragma once
// A change of the dictionary, planned before it is made: a source text's
// whole entry (with the sub-entries of its other kinds) as it is now and as
// it will be. Applying either side puts back exactly that entry, so a change
// taken back leaves the dictionary file byte for byte as it was.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dictionary/Dictionary.h"

namespace quillon {

struct DictionaryEdit {
    std::string source;
    std::shared_ptr<const CDictonaryEntry> before; // null: the text had no entry
    std::shared_ptr<const CDictonaryEntry> after;  // null: the text's entry is removed
};

// Gives `source` the translation for `kind`: the entry the look-up for that
// kind uses (the kind's own, else the all-kinds one) gets the new texts, or
// a new entry for the kind is added. Refused as CheckEntry refuses.
Result<DictionaryEdit> PlanEntry(const CDictonary& dictionary, const std::string& source, ItemKind kind,
                                 std::string translation, std::uint16_t hotkey);
// Removes the entries of `source` for `kinds` and keeps those for its other
// kinds; when the primary entry goes, the first remaining one becomes
// primary. With no kinds, the whole text goes. None when `source` has none
// of those entries.
std::optional<DictionaryEdit> PlanRemoval(const CDictonary& dictionary, const std::string& source,
                                          const std::vector<ItemKind>& kinds = {});

// Puts the `after` (or, going back, the `before`) entry in place.
void ApplyEdit(CDictonary& dictionary, const DictionaryEdit& edit);
void RevertEdit(CDictonary& dictionary, const DictionaryEdit& edit);

} // namespace quillon
