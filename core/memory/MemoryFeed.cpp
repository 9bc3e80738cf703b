#include "memory/MemoryFeed.h"

#include <filesystem>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Hotkeys.h"
#include "interchange/LanguageTags.h"
#include "interchange/UnitText.h"
#include "model/ItemPath.h"
#include "project/Project.h"
#include "target/TextPreparation.h"

namespace quillon {

std::string UnicodeItemText(const std::string& text, std::uint16_t hotkey, const CodePage& codePage) {
    return codePage.ToUtf8(PrepareText(text, hotkey, codePage));
}

Result<FeedCount> StoreProject(TranslationMemory& memory, const CProject& project, std::int64_t now) {
    FeedCount count;
    std::string sourceLanguage = PrimaryLanguageTag(project.m_ResourceInfo.m_wLanguage);
    std::string targetLanguage = PrimaryLanguageTag(project.m_wTargetLanguage);
    std::string module = std::filesystem::path(project.GetModulePath()).filename().string();
    CodePage codePage(project.GetCodePage());
    std::vector<MemoryUnit> units;
    WalkPaths(project.m_ResourceInfo, [&](const CResourceItem& item, const std::string& path) {
        if (!item.IsTranslated() || !item.IsTranslatable() || item.m_strTranslation.empty() ||
            (item.m_strTranslation == item.m_strText && item.m_chTransHotkey == item.m_chHotkey))
            return;
        if (sourceLanguage.empty() || targetLanguage.empty()) {
            ++count.skipped;
            return;
        }
        // Captions and version values hold no escapes: each kind as the target has it.
        units.push_back(MemoryUnit{UnitTextOf(item.GetKind(), item.m_strText, item.m_chHotkey, codePage),
                                   UnitTextOf(item.GetKind(), item.m_strTranslation, item.m_chTransHotkey, codePage),
                                   sourceLanguage, targetLanguage, module, path,
                                   std::string(KindName(item.GetKind())), project.GetTranslator(), now});
    });
    if (Status stored = memory.Store(units); !stored) return stored.GetError();
    count.stored = units.size();
    return count;
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

} // namespace quillon
