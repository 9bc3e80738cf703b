#include "replace/ReplacePlan.h"

#include <unordered_set>

#include "check/ProjectChecks.h"
#include "dictionary/ManualTranslation.h"
#include "model/ItemPath.h"
#include "model/TextEscapes.h"
#include "project/Project.h"

namespace quillon {

namespace {

// A piece of UTF-8 text in the module's form back in the tree's form;
// `unencodable` counts the characters the code page has no byte for.
std::string TreeForm(std::string_view utf8, bool escaped, const CodePage& codePage, std::size_t* unencodable) {
    std::size_t replaced = 0;
    std::string bytes = codePage.FromUtf8(utf8, &replaced);
    if (unencodable) *unencodable += replaced;
    return escaped ? EscapeText(bytes, codePage) : bytes;
}

void CollectSubtree(const CResourceItem& item, std::unordered_set<const CResourceItem*>& items) {
    items.insert(&item);
    for (const auto& child : item.GetChildren()) CollectSubtree(*child, items);
}

} // namespace

std::string ReplaceRow::Before() const {
    std::string text;
    for (const ReplaceSegment& segment : segments) text += segment.text;
    return text;
}

std::string ReplaceRow::After() const {
    std::string text;
    for (const ReplaceSegment& segment : segments) text += segment.replaced ? segment.replacement : segment.text;
    return text;
}

std::string MatchableText(const CResourceItem& item, const CodePage& codePage) {
    const std::string& text = item.GetTranslation();
    return codePage.ToUtf8(HoldsEscapedText(item.GetKind()) ? UnescapeText(text, codePage) : text);
}

ReplaceRow PlanItemReplacement(const CProject& project, CResourceItem& item, const ItemPlace& place,
                               std::span<const TextMatch> matches, const CodePage& codePage) {
    ReplaceRow row{.item = &item, .path = place.path};
    std::string text = MatchableText(item, codePage);
    bool escaped = HoldsEscapedText(item.GetKind());
    std::size_t unencodable = 0;
    std::size_t pos = 0;
    auto keep = [&](std::size_t end) {
        if (end > pos)
            row.segments.push_back({.text = TreeForm(text.substr(pos, end - pos), escaped, codePage, nullptr)});
    };
    for (const TextMatch& match : matches) {
        keep(match.offset);
        row.segments.push_back({TreeForm(text.substr(match.offset, match.length), escaped, codePage, nullptr),
                                TreeForm(match.replacement, escaped, codePage, &unencodable), true});
        pos = match.offset + match.length;
    }
    keep(text.size());
    std::string after = row.After();
    row.outcome = unencodable != 0 ? ReplaceOutcome::Unencodable
                  : after.empty()  ? ReplaceOutcome::Emptied
                                   : ReplaceOutcome::Replaced;
    if (row.outcome != ReplaceOutcome::Replaced) {
        row.chosen = false;
        return row;
    }
    HotkeyText typed = ReadTypedTranslation(item, std::move(after), codePage);
    row.findings = CheckCandidate(project, item, place, typed.text, typed.hotkey);
    // The hotkey occurs in the text or is none, so the plan is never refused.
    if (auto edit = PlanManualTranslation(item, std::move(typed.text), typed.hotkey, codePage))
        row.edit = std::move(edit).Value();
    return row;
}

std::vector<ReplaceRow> PlanReplace(CProject& project, const TextMatcher& matcher, const CResourceItem* scope) {
    std::unordered_set<const CResourceItem*> inScope;
    if (scope) CollectSubtree(*scope, inScope);
    CodePage codePage(project.GetCodePage());
    std::vector<ReplaceRow> rows;
    WalkPaths(project.m_ResourceInfo, [&](CResourceItem& item, const std::string&, const ItemPlace& place) {
        if (!item.IsTranslated() || !item.IsTranslatable() || (scope && !inScope.contains(&item))) return;
        std::vector<TextMatch> matches = matcher.Matches(MatchableText(item, codePage));
        if (matches.empty()) return;
        ReplaceRow row = PlanItemReplacement(project, item, place, matches, codePage);
        // A replacement by the same text changes nothing and is no row.
        if (row.After() != item.GetTranslation()) rows.push_back(std::move(row));
    });
    return rows;
}

ProjectChange ReplacementChange(std::span<const ReplaceRow> rows, std::string label) {
    ProjectChange change(std::move(label));
    for (const ReplaceRow& row : rows)
        if (row.chosen && row.outcome == ReplaceOutcome::Replaced) change.Add(row.edit);
    return change;
}

} // namespace quillon
