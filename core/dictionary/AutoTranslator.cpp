#include "dictionary/AutoTranslator.h"

#include <algorithm>

#include "dictionary/Dictionary.h"
#include "model/ResourceInfo.h"

namespace quillon {

std::string CompletionText(std::uint32_t percent) {
    return "Complete " + std::to_string(percent) + "% translated.";
}

CAutoTranslator::CAutoTranslator(CResourceInfo& tree, const CDictonary& dictionary, std::uint32_t codePage,
                                 HotkeyConvention convention, IAutoTranslateObserver* observer)
    : m_tree(tree), m_dictionary(dictionary), m_observer(observer), m_codePage(codePage), m_convention(convention) {}

void CAutoTranslator::Remember(CResourceItem& item) {
    if (m_remembered.emplace(&item, m_edits.size()).second) m_edits.push_back({&item, CurrentTranslation(item), {}});
}

std::vector<ItemEdit> CAutoTranslator::TakeEdits() {
    std::vector<ItemEdit> changed;
    changed.reserve(m_edits.size());
    for (ItemEdit& edit : m_edits) {
        edit.after = CurrentTranslation(*edit.item);
        if (!edit.ChangesNothing()) changed.push_back(std::move(edit));
    }
    m_edits.clear();
    m_remembered.clear();
    return changed;
}

void CAutoTranslator::Step() {
    if (m_observer) m_observer->StepProgress();
}

void CAutoTranslator::CountIfTranslated(const CResourceItem& item) {
    if (item.IsTranslated()) ++m_nCounted;
}

bool CAutoTranslator::TranslateItem(CResourceItem& item) {
    if (!(item.m_dwState & RIS_FIXED)) {
        if (const CDictonaryEntry* entry = m_dictionary.FindEntry(item.GetText(), item.GetKind())) {
            std::uint16_t hotkey = (item.m_chHotkey != 0 && entry->m_chHotkey != 0) ? entry->m_chHotkey : 0;
            // The same translation again is no review of an item an update marked as changed.
            if (item.GetTranslation() != entry->m_strTranslation || item.m_chTransHotkey != hotkey) {
                Remember(item);
                item.SetTranslation(entry->m_strTranslation, hotkey);
            }
        } else if (m_fallback && !item.IsTranslated() && item.IsTranslatable()) {
            TakeFallback(item);
        }
    }
    Step();
    if (!item.IsTranslated() && !(item.m_dwState & (RIS_FIXED | RIS_EMPTY))) {
        m_untranslated.push_back(&item);
        if (m_observer) m_observer->AddUntranslated(item);
    }
    return item.IsTranslated();
}

void CAutoTranslator::TakeFallback(CResourceItem& item) {
    std::optional<FallbackTranslation> found = m_fallback(item);
    if (!found || found->text.empty()) return;
    Remember(item);
    item.SetTranslation(std::move(found->text), item.m_chHotkey != 0 ? found->hotkey : std::uint16_t{0});
    if (!item.IsTranslated()) return; // the source itself: nothing to review
    ++m_fromFallback;
    if (found->review) {
        item.SetCarried(true);
        ++m_forReview;
    }
}

bool CAutoTranslator::WalkChildren(CResourceItem& parent, bool analyse, bool rebuild) {
    if (rebuild) return RebuildWalk(parent);
    if (Aborted()) return false;
    for (auto& child : parent.GetChildren()) {
        if (analyse) {
            if (child->IsTranslated() && !(child->m_dwState & RIS_FIXED)) ++m_nCounted;
        } else if (TranslateItem(*child)) {
            ++m_nCounted;
        }
        if (!WalkChildren(*child, analyse, false)) return false;
        if (Aborted()) return false;
    }
    return true;
}

// Each level gets its hotkeys after the levels below it are settled.
bool CAutoTranslator::RebuildWalk(CResourceItem& level) {
    for (auto& child : level.GetChildren())
        if (child->GetCount() != 0 && !RebuildWalk(*child)) return false;
    if (Aborted()) return false;
    AssignLevelHotkeys(level, m_codePage, m_convention, [this](CResourceItem& item) { Remember(item); });
    for (std::size_t i = 0; i < level.GetCount(); ++i) Step();
    return !Aborted();
}

// Counts what is translated already. False when a menu walk saw a stop request.
bool CAutoTranslator::AnalysisPass() {
    CResourceInfo& info = m_tree;
    for (auto& menu : info.m_Menus.GetChildren()) {
        if (Aborted()) break;
        CountIfTranslated(*menu);
        if (!WalkChildren(*menu, true, false)) return false;
    }
    if (!Aborted())
        for (const auto& string : info.m_Strings.GetChildren()) CountIfTranslated(*string);
    if (!Aborted())
        for (const auto& dialog : info.m_Dialogs.GetChildren()) {
            CountIfTranslated(*dialog);
            for (const auto& control : dialog->GetChildren()) CountIfTranslated(*control);
        }
    return true;
}

// Translates menus, strings and dialogs in this order. False when a menu walk
// saw a stop request; a stop seen elsewhere ends the loops early.
bool CAutoTranslator::TranslationPass() {
    CResourceInfo& info = m_tree;
    for (auto& menu : info.m_Menus.GetChildren()) {
        if (Aborted()) break;
        if (TranslateItem(*menu)) ++m_nCounted;
        if (!WalkChildren(*menu, false, false)) return false;
    }
    for (auto& string : info.m_Strings.GetChildren()) {
        if (Aborted()) break;
        if (TranslateItem(*string)) ++m_nCounted;
    }
    for (auto& dialog : info.m_Dialogs.GetChildren()) {
        if (Aborted()) break;
        if (TranslateItem(*dialog)) ++m_nCounted;
        for (auto& control : dialog->GetChildren()) {
            if (Aborted()) break;
            if (TranslateItem(*control)) ++m_nCounted;
        }
    }
    return true;
}

// Every popup, menu bar and dialog is a level of its own; the menu
// resources themselves are one more.
void CAutoTranslator::HotkeyPass() {
    if (!RebuildWalk(m_tree.m_Menus)) return;
    for (auto& dialog : m_tree.m_Dialogs.GetChildren())
        if (!RebuildWalk(*dialog)) return;
}

AutoTranslateResult CAutoTranslator::AbortRun() {
    m_nTotal = 0;
    m_nCounted = 0;
    if (m_observer) {
        m_observer->SetStatus(kStatusAborted);
        m_observer->ResetProgress(0);
        m_observer->EnableClose(true);
    }
    AutoTranslateResult result;
    result.ending = AutoTranslateResult::Ending::Aborted;
    result.untranslated = m_untranslated;
    result.edits = TakeEdits();
    result.translatedCountBefore = m_translatedBefore;
    result.fromFallback = m_fromFallback;
    result.forReview = m_forReview;
    return result;
}

AutoTranslateResult CAutoTranslator::Run() {
    m_untranslated.clear();
    m_edits.clear();
    m_remembered.clear();
    m_fromFallback = m_forReview = 0;
    if (m_observer) {
        m_observer->ClearUntranslated();
        m_observer->EnableClose(false);
        m_observer->ClearCounts();
        m_observer->SetStatus(kStatusAnalysing);
    }
    CResourceInfo& info = m_tree;
    m_translatedBefore = info.m_nTranslated;
    m_nTotal = static_cast<std::int32_t>(info.m_nTranslatable);
    m_nCounted = 0;
    // Most items of a first run change: room for all of them at once, rather
    // than growing (and rehashing) step by step through a large project.
    m_edits.reserve(info.m_nTranslatable);
    m_remembered.reserve(info.m_nTranslatable);
    if (m_nTotal == 0) {
        if (m_observer) m_observer->EnableClose(true);
        return {};
    }
    if (!AnalysisPass()) return AbortRun();

    if (m_observer) {
        m_observer->SetCounts(m_nTotal, m_nCounted, m_nTotal - m_nCounted);
        m_observer->SetStatus(kStatusTranslating);
        m_observer->ResetProgress(static_cast<std::uint32_t>(m_nTotal) * 20);
    }
    m_nCounted = 0;
    if (!TranslationPass()) return AbortRun();

    AutoTranslateResult result;
    result.ending = AutoTranslateResult::Ending::Completed;
    result.total = static_cast<std::uint32_t>(m_nTotal);
    result.translated = static_cast<std::uint32_t>(m_nCounted);
    result.percent = static_cast<std::uint32_t>(static_cast<std::uint64_t>(m_nCounted) * 100 / static_cast<std::uint32_t>(m_nTotal));
    info.m_nTranslated = std::min(result.translated, result.total);
    if (m_observer) {
        m_observer->SetCounts(m_nTotal, m_nCounted, m_nTotal - m_nCounted);
        m_observer->SetStatus(kStatusRebuilding);
    }
    if (!Aborted()) HotkeyPass();

    if (m_observer) {
        m_observer->SetStatus(CompletionText(result.percent));
        m_observer->ResetProgress(0);
        m_observer->EnableClose(true);
    }
    result.modified = m_nCounted != 0;
    result.untranslated = m_untranslated;
    result.edits = TakeEdits();
    result.translatedCountBefore = m_translatedBefore;
    result.fromFallback = m_fromFallback;
    result.forReview = m_forReview;
    m_nTotal = 0;
    m_nCounted = 0;
    return result;
}

} // namespace quillon
