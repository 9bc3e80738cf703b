#pragma once
// What feeds the memory: a project's translated items and a dictionary's
// entries, as units in Unicode.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"
#include "memory/TranslationMemory.h"
#include "model/ItemEdit.h"

namespace quillon {

class CDictonary;
class CProject;
class CodePage;

struct FeedCount {
    std::size_t stored = 0;
    std::size_t skipped = 0; // translated, but no tag for a language of it
};

// Stores every translated item of `project` (translated and translatable,
// with a translation other than its source): texts converted from the
// project's code page with the hotkey '&' put back and \r \n \t as the
// characters, the module's file name and the item's path as context, its kind,
// the project's translator, and `now`. One transaction.
Result<FeedCount> StoreProject(TranslationMemory& memory, const CProject& project, std::int64_t now);

// The units of the items these edits leave translated and not marked for
// review: what a translator made or confirmed in one step (a confirmed
// source too), read from the items as they are now. The caller stores them;
// a project without a language tag for both languages gives none.
std::vector<MemoryUnit> UnitsOfEdits(const CProject& project, std::span<const ItemEdit> edits, std::int64_t now);

// Stores each dictionary text's own entry (not its per-kind variants) with no
// context: the dictionary knows no module. One transaction. The languages
// are tags and the translator's name is UTF-8, as the memory keeps them.
Result<FeedCount> StoreDictionary(TranslationMemory& memory, const CDictonary& dictionary, const CodePage& codePage,
                                  const std::string& sourceLanguage, const std::string& targetLanguage,
                                  const std::string& translator, std::int64_t now);
// The project's dictionary, with the project's languages and translator.
Result<FeedCount> StoreProjectDictionary(TranslationMemory& memory, const CProject& project, std::int64_t now);

// An item text of the tree (ANSI, escapes, hotkey apart) as the text a
// translator sees: UTF-8 with the '&' before the hotkey and real line breaks.
std::string UnicodeItemText(const std::string& text, std::uint16_t hotkey, const CodePage& codePage);

} // namespace quillon
