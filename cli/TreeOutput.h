#pragma once
// Printing a resource tree for people (indented text) and for programs
// (JSON, texts in UTF-8). Projects printed by later commands use the same shapes.

#include <string>

#include "Json.h"
#include "Output.h"
#include "io/CodePage.h"
#include "model/ItemPath.h"
#include "model/ResourceInfo.h"

namespace quillon::cli {

struct ModuleSummary {
    std::string module;
    std::uint32_t codePage = 0;
    std::size_t replacedCharacters = 0;
    const std::vector<std::string>* diagnostics = nullptr;
};

std::string FileVersionText(const CResourceInfo& info);
// "0x0409 English"
std::string LanguageText(std::uint16_t language);

// An item and its subtree; `path` is the item's ItemPath text, every item
// of the subtree gets its own. An item an update marked as changed also gets
// its entry of `previous` (previousText, previousTranslation).
void WriteItemJson(JsonWriter& json, const CResourceItem& item, Root root, const std::string& path,
                   const CodePage& codePage, const PreviousSources& previous);
// The children of `parent` (whose path is `path`) as a JSON array.
void WriteChildrenJson(JsonWriter& json, const CResourceItem& parent, Root root, const std::string& path,
                       const CodePage& codePage, const PreviousSources& previous);
// The tree's counters; "translated" is `translated`: the items a project
// holds translated (TranslatedItems), 0 for a scan.
void WriteCountersJson(JsonWriter& json, const CResourceInfo& info, std::uint32_t translated);
// The fields "strings", "menus", "dialogs" and "version" of a tree.
void WriteTreeJson(JsonWriter& json, const CResourceInfo& info, const CodePage& codePage);

void PrintCounters(Output& out, const CResourceInfo& info, std::uint32_t translated);
void PrintTree(Output& out, const CResourceInfo& info, const CodePage& codePage);

} // namespace quillon::cli
