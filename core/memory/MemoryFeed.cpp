#include "memory/MemoryFeed.h"

#include <filesystem>
#include <unordered_set>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Hotkeys.h"
#include "interchange/LanguageTags.h"
#include "interchange/UnitText.h"
#include "io/Utf8.h"
#include "model/ItemPath.h"
#include "project/Project.h"
#include "target/TextPreparation.h"

namespace quillon {

std::string UnicodeItemText(const std::string& text, std::uint16_t hotkey, const CodePage& codePage) {
    return codePage.ToUtf8(PrepareText(text, hotkey, codePage));
}

namespace {

// What every unit of one project shares.
struct ProjectContext {
    std::string sourceLanguage;
    std::string targetLanguage;
    std::string module;
    CodePage codePage;
    std::string translator;
    std::int64_t now;

    ProjectContext(const CProject& project, std::int64_t when)
        : sourceLanguage(PrimaryLanguageTag(project.m_ResourceInfo.m_wLanguage)),
          targetLanguage(PrimaryLanguageTag(project.m_wTargetLanguage)),
          module(ValidUtf8(std::filesystem::path(project.GetModulePath()).filename().string())),
          codePage(project.GetCodePage()), translator(codePage.ToUtf8(project.GetTranslator())), now(when) {}
    bool HasLanguages() const { return !sourceLanguage.empty() && !targetLanguage.empty(); }

    // Captions and version values hold no escapes: each kind as the target has it.
    MemoryUnit UnitOf(const CResourceItem& item, const std::string& path) const {
        return MemoryUnit{UnitTextOf(item.GetKind(), item.GetText(), item.m_chHotkey, codePage),
                          UnitTextOf(item.GetKind(), item.GetTranslation(), item.m_chTransHotkey, codePage),
                          sourceLanguage, targetLanguage, module, path,
                          std::string(KindName(item.GetKind())), translator, now};
    }
};

} // namespace

Result<FeedCount> StoreProject(TranslationMemory& memory, const CProject& project, std::int64_t now) {
    FeedCount count;
    ProjectContext context(project, now);
    std::vector<MemoryUnit> units;
    WalkPaths(project.m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
        if (!item.IsTranslated() || !item.IsTranslatable() || item.GetTranslation().empty() ||
            (item.GetTranslation() == item.GetText() && item.m_chTransHotkey == item.m_chHotkey))
            return;
        if (!context.HasLanguages()) {
            ++count.skipped;
            return;
        }
        units.push_back(context.UnitOf(item, path));
    });
    if (Status stored = memory.Store(units); !stored) return stored.GetError();
    count.stored = units.size();
    return count;
}

std::vector<MemoryUnit> UnitsOfEdits(const CProject& project, std::span<const ItemEdit> edits, std::int64_t now) {
    ProjectContext context(project, now);
    if (!context.HasLanguages()) return {};
    std::unordered_set<const CResourceItem*> edited;
    for (const ItemEdit& edit : edits)
        if ((edit.after.state & RIS_TRANSLATED) == RIS_TRANSLATED && !(edit.after.state & RIS_CARRIED))
            edited.insert(edit.item);
    std::vector<MemoryUnit> units;
    // One walk gives every edited item its path, however many there are.
    WalkPaths(project.m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
        if (edited.contains(&item) && item.IsTranslated() && item.IsTranslatable() && !item.GetTranslation().empty())
            units.push_back(context.UnitOf(item, path));
    });
    return units;
}

Result<FeedCount> StoreDictionary(TranslationMemory& memory, const CDictonary& dictionary, const CodePage& codePage,
                                  const std::string& sourceLanguage, const std::string& targetLanguage,
                                  const std::string& translator, std::int64_t now) {
    std::vector<MemoryUnit> units;
    for (const auto& [source, entry] : dictionary.SortedEntries())
        units.push_back(MemoryUnit{UnicodeItemText(std::string(source), 0, codePage),
                                   UnicodeItemText(entry->m_strTranslation, entry->m_chHotkey, codePage),
                                   sourceLanguage, targetLanguage, "", "", std::string(KindName(entry->m_kind)),
                                   translator, now});
    if (Status stored = memory.Store(units); !stored) return stored.GetError();
    return FeedCount{units.size(), 0};
}

Result<FeedCount> StoreProjectDictionary(TranslationMemory& memory, const CProject& project, std::int64_t now) {
    ProjectContext context(project, now);
    return StoreDictionary(memory, project.m_Dictionary, context.codePage, context.sourceLanguage,
                           context.targetLanguage, context.translator, now);
}

} // namespace quillon
