#include <charconv>
#include <optional>

#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/ManualTranslation.h"
#include "memory/MemoryTranslation.h"
#include "model/ItemPath.h"
#include "model/CountText.h"

namespace quillon::cli {

namespace {

std::string Describe(const CResourceItem& item, const CodePage& codePage) {
    return std::string(KindName(item.GetKind())) + " " + std::to_string(item.m_nID) + " \"" + codePage.ToUtf8(item.GetText()) +
           "\"";
}

// What restore acts on: every item, the item at a path, or every item of a
// kind with an ID.
struct RestoreTarget {
    bool all = false;
    std::optional<ItemPath> path;
    ItemKind kind = ItemKind::All;
    std::int32_t id = 0;
};

struct RestoredItem {
    CResourceItem* item;
    std::string path;
};

// A decimal ID as the tree shows it ("-1", "65535"), or hexadecimal with 0x.
std::optional<std::int32_t> ParseId(const std::string& text) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    std::int32_t id = 0;
    auto [stop, error] = std::from_chars(begin, end, id, hex ? 16 : 10);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return id;
}

// Prints the usage or the fault and returns nothing when the options do not
// name one target.
std::optional<RestoreTarget> ParseRestoreTarget(const Args& parsed) {
    bool byKind = parsed.Has("--kind") || parsed.Has("--id");
    int modes = int(parsed.Has("--all")) + int(parsed.Has("--path")) + int(byKind);
    if (parsed.Positional().size() != 1 || modes != 1 || (byKind && !(parsed.Has("--kind") && parsed.Has("--id")))) {
        PrintUsageOf("restore", Err());
        return std::nullopt;
    }
    RestoreTarget target;
    target.all = parsed.Has("--all");
    if (parsed.Has("--path")) {
        auto path = ParseItemPath(parsed.Value("--path"));
        if (!path) {
            Err() << "quillon-cli restore: " << path.GetError().Describe() << "\n";
            return std::nullopt;
        }
        target.path = std::move(path).Value();
    }
    if (byKind) {
        target.kind = KindFromText(parsed.Value("--kind")).value_or(ItemKind::All);
        auto id = ParseId(parsed.Value("--id"));
        if (target.kind == ItemKind::All || !id) {
            Err() << "quillon-cli restore: --kind takes STRING, CONTROL, DIALOG, POPUPMENU, MENUITEM or VERSION "
                         "and --id a number\n";
            return std::nullopt;
        }
        target.id = *id;
    }
    return target;
}

// The items a path or a kind and ID name; prints why there are none.
std::vector<RestoredItem> SelectItems(CResourceInfo& info, const RestoreTarget& target) {
    std::vector<RestoredItem> selected;
    if (target.path) {
        auto found = Find(info, *target.path);
        if (found)
            selected.push_back({found.Value(), target.path->ToString()});
        else
            Err() << "quillon-cli restore: " << found.GetError().Describe() << "\n";
        return selected;
    }
    WalkPaths(info, [&](CResourceItem& item, const std::string& path) {
        if (item.GetKind() == target.kind && item.m_nID == target.id) selected.push_back({&item, path});
    });
    if (selected.empty())
        Err() << "quillon-cli restore: no " << KindName(target.kind) << " with ID " << target.id << "\n";
    return selected;
}

// Restores the items and lists those it changed; returns how many those were.
std::size_t RestoreSelected(const std::vector<RestoredItem>& selected, const CodePage& codePage) {
    std::size_t restored = 0;
    for (const RestoredItem& named : selected) {
        if (!RestoreItem(*named.item)) continue; // it was not translated
        ++restored;
        Out() << "  " << named.path << " " << Describe(*named.item, codePage) << "\n";
    }
    return restored;
}

// What --from-memory, --memory and --fuzzy ask of the memory; none (after a
// message) for a score out of range.
std::optional<MemoryUse> MemoryUseOf(const Args& args) {
    auto fuzzy = args.Number("--fuzzy", 0);
    if (!fuzzy) return std::nullopt;
    if (args.Has("--fuzzy") && (*fuzzy < 50 || *fuzzy > 100)) {
        Err() << "quillon-cli translate: --fuzzy takes a score from 50 to 100\n";
        return std::nullopt;
    }
    bool exact = args.Has("--from-memory") || args.Has("--memory") || args.Has("--fuzzy");
    return MemoryUse{exact, static_cast<int>(*fuzzy)};
}

} // namespace

int RunTranslate(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("translate"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("translate", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("translate", parsed->Has("--wait"));
    auto project = OpenProjectFile("translate", path, *codePage, &locks);
    if (!project) return 1;
    auto use = MemoryUseOf(*parsed);
    if (!use) return 2;
    std::optional<TranslationMemory> memory;
    if (use->Any() && !(memory = OpenMemory("translate", *parsed, MemoryOpen::Existing))) return 1;
    CAutoTranslator translator(project->m_ResourceInfo, project->m_Dictionary, project->GetCodePage(),
                               HotkeyConventionOf(project->m_wTargetLanguage));
    std::optional<MemoryTranslator> fromMemory;
    if (memory) translator.SetFallback(fromMemory.emplace(*memory, *use, *project).AsFallback());
    AutoTranslateResult result = translator.Run();
    CodePage page(project->GetCodePage());
    Out() << "Total Strings:          " << result.total << "\n"
              << "Translated Strings:     " << result.translated << "\n"
              << "Not Translated Strings: " << static_cast<std::int64_t>(result.total) - result.translated << "\n"
              << CompletionText(result.percent) << "\n";
    if (memory)
        Out() << "From the memory:        " << result.fromFallback << " (" << result.forReview
                  << " marked for review)\n";
    if (parsed->Has("--list-untranslated"))
        for (const CResourceItem* item : result.untranslated) Out() << "  " << Describe(*item, page) << "\n";
    if (!result.modified) return 0;
    return SaveProjectFile("translate", *project, path) ? 0 : 1;
}

int RunRestore(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("restore"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    auto target = ParseRestoreTarget(*parsed);
    if (!target) return 2;
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("restore", parsed->Has("--wait"));
    auto project = OpenProjectFile("restore", path, *codePage, &locks);
    if (!project) return 1;
    if (target->all) {
        Out() << "Restored " << CountOf(RestoreAll(project->m_ResourceInfo), "item") << ".\n";
        return SaveProjectFile("restore", *project, path) ? 0 : 1;
    }
    std::vector<RestoredItem> selected = SelectItems(project->m_ResourceInfo, *target);
    if (selected.empty()) return 1;
    std::size_t restored = RestoreSelected(selected, CodePage(project->GetCodePage()));
    // Items that were not translated are found but need nothing.
    Out() << "Restored " << (restored == selected.size() ? "" : std::to_string(restored) + " of ")
              << CountOf(selected.size(), "item") << ".\n";
    return restored == 0 || SaveProjectFile("restore", *project, path) ? 0 : 1;
}

} // namespace quillon::cli
