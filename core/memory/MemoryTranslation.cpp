#include "memory/MemoryTranslation.h"

#include <filesystem>

#include "extract/TextRules.h"
#include "interchange/LanguageTags.h"
#include "interchange/UnitText.h"
#include "memory/FuzzyScore.h"
#include "memory/MatchAdaptation.h"
#include "project/Project.h"

namespace quillon {

std::string MemoryTextOf(const CResourceItem& item, const CodePage& codePage) {
    return UnitTextOf(item.GetKind(), item.GetText(), item.m_chHotkey, codePage);
}

std::optional<MemoryTranslation> AdaptToItem(const MemoryUnit& match, const CResourceItem& item,
                                             const CodePage& codePage) {
    std::string current = MemoryTextOf(item, codePage);
    bool hotkeys = KindHasHotkey(item.GetKind());
    std::string adapted = AdaptTranslation(MatchTexts{match.source, match.target, current}, hotkeys);
    if (!CharactersNotIn(adapted, codePage).empty()) return std::nullopt;
    HotkeyText tree = TreeTextOf(item.GetKind(), adapted, codePage);
    // Line breaks as the item's source makes them (\r\n or \n), as a typed translation gets them.
    if (HoldsEscapedText(item.GetKind())) tree.text = FollowLineBreaks(item.GetText(), tree.text, codePage);
    // An item without a hotkey cannot be given one.
    return MemoryTranslation{std::move(tree.text), item.m_chHotkey != 0 ? tree.hotkey : std::uint16_t{0}};
}

std::optional<MemoryMatch> PreviousAsMatch(const PreviousSource& previous, const CResourceItem& item,
                                           const CodePage& codePage, int threshold) {
    // An item that was not translated held its source as its translation.
    if (previous.translation.empty() || previous.translation == previous.text) return std::nullopt;
    ItemKind kind = item.GetKind();
    MemoryMatch match;
    match.unit.source = UnitTextOf(kind, previous.text, 0, codePage);
    match.unit.target = UnitTextOf(kind, previous.translation, 0, codePage);
    match.unit.kind = std::string(KindName(kind));
    match.score = Score(Normalise(match.unit.source), Normalise(UnitTextOf(kind, item.GetText(), 0, codePage)),
                        threshold);
    match.sameContext = true;
    if (match.score < 0) return std::nullopt;
    return match;
}

MemoryTranslator::MemoryTranslator(const TranslationMemory& memory, MemoryUse use, const CProject& project)
    : m_memory(memory), m_use(use), m_codePage(project.GetCodePage()),
      m_sourceLanguage(PrimaryLanguageTag(project.m_ResourceInfo.m_wLanguage)),
      m_targetLanguage(PrimaryLanguageTag(project.m_wTargetLanguage)),
      m_module(std::filesystem::path(project.GetModulePath()).filename().string()) {}

TranslationFallback MemoryTranslator::AsFallback() const {
    return [this](const CResourceItem& item) -> std::optional<FallbackTranslation> {
        std::optional<MemoryChoice> choice = Choose(item);
        if (!choice) return std::nullopt;
        return FallbackTranslation{std::move(choice->translation.text), choice->translation.hotkey, choice->review};
    };
}

std::optional<MemoryChoice> MemoryTranslator::Choose(const CResourceItem& item) const {
    if (!m_use.Any() || item.GetText().empty()) return std::nullopt;
    MemoryQuery query;
    query.text = MemoryTextOf(item, m_codePage);
    query.sourceLanguage = m_sourceLanguage;
    query.targetLanguage = m_targetLanguage;
    query.module = m_module;
    query.threshold = m_use.fuzzy > 0 ? m_use.fuzzy : 100;
    query.limit = 1;
    auto matches = m_memory.Lookup(query, &m_similar);
    if (!matches || matches.Value().empty()) return std::nullopt;
    const MemoryMatch& best = matches.Value().front();
    bool exact = best.score == 100;
    auto translation = AdaptToItem(best.unit, item, m_codePage);
    if (!translation) return std::nullopt;
    // Without exact matches, an exact one still goes in as a fuzzy one would: to review.
    return MemoryChoice{std::move(*translation), best.score, !(exact && m_use.exact)};
}

} // namespace quillon
