#pragma once
// Find and Replace in translations, planned before anything changes: which
// items a search finds, the text each would hold, and what the checks would
// find in it, so that the translator sees a broken placeholder or a lost
// hotkey before choosing the rows to apply. The rows chosen become one
// ProjectChange, one step to undo.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/Findings.h"
#include "io/CodePage.h"
#include "model/ItemEdit.h"
#include "project/ProjectChange.h"
#include "replace/TextMatcher.h"

namespace quillon {

class CProject;
struct ItemPlace;

// A piece of a translation in the tree's form: kept as it is, or a match
// and what replaces it.
struct ReplaceSegment {
    std::string text{};
    std::string replacement{};
    bool replaced = false;
};

enum class ReplaceOutcome {
    Replaced,    // the row can be applied
    Unencodable, // the replacement holds characters the project's code page cannot
    Emptied,     // nothing would be left of the translation
};

struct ReplaceRow {
    CResourceItem* item = nullptr;
    std::string path{};
    std::vector<ReplaceSegment> segments{};
    ReplaceOutcome outcome = ReplaceOutcome::Replaced;
    // The translation and hotkey the item gets, for Replaced rows: the
    // hotkey is the item's own where the new text still has its character
    // (HotkeyForTypedText); where it has not, the findings say so.
    ItemEdit edit{};
    std::vector<Finding> findings{}; // CheckCandidate's for the new text
    bool chosen = true;            // the translator may leave a row out

    std::string Before() const; // the translation as it is, in the tree's form
    std::string After() const;  // and as the row would leave it
};

// A translation as matchers read it: in the module's form, UTF-8.
std::string MatchableText(const CResourceItem& item, const CodePage& codePage);

// The row of one item from the matches a matcher found in its
// MatchableText: kept pieces and replacements go back to the tree's form
// (code page, escapes) one by one, so an escape is never split or made.
ReplaceRow PlanItemReplacement(const CProject& project, CResourceItem& item, const ItemPlace& place,
                               std::span<const TextMatch> matches, const CodePage& codePage);

// A row for every translated item below `scope` (the whole project when
// null) whose translation the matcher changes, in the tree's order. Items
// not translated yet have no translation to search.
std::vector<ReplaceRow> PlanReplace(CProject& project, const TextMatcher& matcher,
                                    const CResourceItem* scope = nullptr);

// The chosen Replaced rows as one change. Every item stays translated
// (a text equal to its source is confirmed), so the translated count holds.
ProjectChange ReplacementChange(std::span<const ReplaceRow> rows, std::string label = "Replace in Translations");

} // namespace quillon
