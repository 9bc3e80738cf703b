#include "ui/TranslationCommit.h"

#include "check/ProjectChecks.h"
#include "controls/TextBridge.h"
#include "dictionary/ManualTranslation.h"
#include "extract/TextRules.h"
#include "ui/QuillonDoc.h"

namespace quillon::gui {

std::string TreeTextOfTyped(const CQuillonDoc& doc, const CResourceItem& item, const QString& typed) {
    const CodePage& codePage = doc.GetCodePage();
    return FollowLineBreaks(item.GetText(), EscapeTypedControls(FromQt(typed, codePage)), codePage);
}

QString TypedTextOf(const CQuillonDoc& doc, const CResourceItem& item) {
    return item.IsTranslated() ? ToQt(item.GetTranslation(), doc.GetCodePage()) : QString();
}

TranslationPlan PlanTranslation(CQuillonDoc& doc, CResourceItem& item, std::string translation, std::uint16_t hotkey) {
    bool confirms = translation == item.GetText();
    std::vector<Finding> findings = CheckCandidate(doc.Project(), item, translation, hotkey);
    auto edit = PlanManualTranslation(item, std::move(translation), hotkey, doc.GetCodePage());
    if (!edit) return {std::move(findings), edit.GetError()};
    // The source itself confirms it: the item counts as translated.
    ProjectChange change(confirms ? QT_TRANSLATE_NOOP("ProjectChange", "Confirm")
                                  : QT_TRANSLATE_NOOP("ProjectChange", "Translate"),
                         ChangeOrigin::Translator);
    change.Add(std::move(edit).Value());
    return {std::move(findings), std::move(change)};
}

} // namespace quillon::gui
