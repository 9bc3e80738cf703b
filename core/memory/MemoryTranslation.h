#pragma once
// Translating items from the translation memory: a match's translation
// fitted to an item (MatchAdaptation.h) in the tree's form, and the choice
// Auto Translate makes for an item the dictionary does not know.

#include <cstdint>
#include <optional>
#include <string>

#include "dictionary/AutoTranslator.h"
#include "io/CodePage.h"
#include "memory/TranslationMemory.h"
#include "model/ResourceInfo.h"
#include "model/ResourceItem.h"

namespace quillon {

class CProject;

// An item's source as the memory holds sources (MemoryFeed.h).
std::string MemoryTextOf(const CResourceItem& item, const CodePage& codePage);

struct MemoryTranslation {
    std::string text;         // the tree's form: code page, escapes, hotkey apart
    std::uint16_t hotkey = 0; // 0 for an item without a hotkey
};

// `match`'s translation adapted to the item's source and split as the tree
// holds texts of the item's kind; nullopt when the code page cannot hold it.
std::optional<MemoryTranslation> AdaptToItem(const MemoryUnit& match, const CResourceItem& item,
                                             const CodePage& codePage);

// What a changed item held before the last update, as a match for its
// current source: scored from the previous source against the current one
// (both without the hotkey, which the previous texts do not keep). Nullopt
// below `threshold` and when the item was not translated then.
std::optional<MemoryMatch> PreviousAsMatch(const PreviousSource& previous, const CResourceItem& item,
                                           const CodePage& codePage, int threshold);

// Which matches Auto Translate takes: exact ones (score 100) as translated,
// and with `fuzzy` above 0 the best match at or above it as translated and
// to review.
struct MemoryUse {
    bool exact = false;
    int fuzzy = 0;
    bool Any() const { return exact || fuzzy > 0; }
};

struct MemoryChoice {
    MemoryTranslation translation;
    int score = 0;
    bool review = false; // a fuzzy match: the translator has to look at it
};

class MemoryTranslator {
public:
    // Looks up texts from the project's module language to its target
    // language, ranking the matches of its module first.
    MemoryTranslator(const TranslationMemory& memory, MemoryUse use, const CProject& project);

    // The memory's translation for the item, or nullopt when no match is
    // good enough (or the look-up failed: the run goes on without it).
    std::optional<MemoryChoice> Choose(const CResourceItem& item) const;
    // Choose() for Auto Translate (CAutoTranslator::SetFallback); this
    // translator must outlive the run.
    TranslationFallback AsFallback() const;

private:
    const TranslationMemory& m_memory;
    MemoryUse m_use;
    CodePage m_codePage;
    std::string m_sourceLanguage;
    std::string m_targetLanguage;
    std::string m_module;
    mutable SimilarUnitsCache m_similar; // for the texts of one run
};

} // namespace quillon
