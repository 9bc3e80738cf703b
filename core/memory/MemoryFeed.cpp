#include "memory/MemoryFeed.h"

#include <filesystem>
#include <vector>

#include "dictionary/Dictionary.h"
#include "dictionary/Hotkeys.h"
#include "memory/LanguageTags.h"
#include "model/ItemPath.h"
#include "project/Project.h"

namespace quillon {

std::string UnicodeItemText(const std::string& text, std::uint16_t hotkey, const CodePage& codePage) {
    std::string marked = text;
    std::size_t at = hotkey ? HotkeyPosition(text, HotkeyByte(hotkey), codePage) : std::string::npos;
    if (at != std::string::npos) marked.insert(at, 1, '&');
    std::string utf8 = codePage.ToUtf8(marked);
    // The escapes are ASCII, which no UTF-8 sequence contains.
    std::string plain;
    plain.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
        if (utf8[i] == '\\' && (next == 'r' || next == 'n' || next == 't')) {
            plain.push_back(next == 'r' ? '\r' : next == 'n' ? '\n' : '\t');
            ++i;
        } else {
            plain.push_back(utf8[i]);
        }
    }
    return plain;
}

Result<FeedCount> StoreProject(TranslationMemory& memory, const CProject& project, std::int64_t now) {
    FeedCount count;
    std::string sourceLanguage = LanguageTag(project.m_ResourceInfo.m_wLanguage);
    std::string targetLanguage = LanguageTag(project.m_wTargetLanguage);
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
        units.push_back(MemoryUnit{UnicodeItemText(item.m_strText, item.m_chHotkey, codePage),
                                   UnicodeItemText(item.m_strTranslation, item.m_chTransHotkey, codePage),
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
        units.push_back(MemoryUnit{UnicodeItemText(std::string(source), 0, codePage), UnicodeItemText(entry->m_strTranslation, entry->m_chHotkey, codePage),
                                   sourceLanguage, targetLanguage, "", "", std::string(KindName(entry->m_kind)),
                                   translator, now});
    if (Status stored = memory.Store(units); !stored) return stored.GetError();
    return FeedCount{units.size(), 0};
}

} // namespace quillon
