#pragma once
// Committing a translation the user typed for one item, from the Translate
// dialog or the item list's in-place editor: both convert the text, plan the
// edit with the core and check it the same way, here.

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "check/Findings.h"
#include "io/Result.h"
#include "model/ResourceItem.h"
#include "project/ProjectChange.h"

namespace quillon::gui {

class CQuillonDoc;

// A typed text in the tree's form: line breaks and tabs as escapes, the line
// breaks in the form the source uses.
std::string TreeTextOfTyped(const CQuillonDoc& doc, const CResourceItem& item, const QString& typed);

// What the field of an untranslated item starts with: nothing, so that what
// is typed replaces the source rather than being mixed into it.
QString TypedTextOf(const CQuillonDoc& doc, const CResourceItem& item);

struct TranslationPlan {
    // CheckCandidate's findings for the new text and hotkey.
    std::vector<Finding> findings;
    // "Translate", or "Confirm" for the source itself; the core's refusal
    // (a hotkey that does not occur in the text) as an error.
    Result<ProjectChange> change;
};

// Plans `translation` (in the tree's form) with `hotkey` for `item`.
TranslationPlan PlanTranslation(CQuillonDoc& doc, CResourceItem& item, std::string translation, std::uint16_t hotkey);

} // namespace quillon::gui
