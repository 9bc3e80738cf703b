#include <iostream>

#include "Args.h"
#include "Commands.h"
#include "ProjectFiles.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/ManualTranslation.h"
#include "project/ProjectCheck.h"

namespace quillon::cli {

namespace {

std::string Describe(const CResourceItem& item, const CodePage& codePage) {
    return std::string(KindName(item.GetKind())) + " " + std::to_string(item.m_nID) + " \"" + codePage.ToUtf8(item.m_strText) +
           "\"";
}

// The first item of `kind` with `id`, anywhere in the tree.
CResourceItem* FindItem(CResourceItem& parent, ItemKind kind, std::int32_t id) {
    for (auto& child : parent.GetChildren()) {
        if (child->GetKind() == kind && child->m_nID == id) return child.get();
        if (CResourceItem* found = FindItem(*child, kind, id)) return found;
    }
    return nullptr;
}

} // namespace

int RunTranslate(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("translate", args, {"--codepage"}, {"--list-untranslated", "--wait"});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        std::cerr << "usage: quillon-cli translate PROJECT [--list-untranslated] [--codepage N] [--wait]\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("translate", parsed->Has("--wait"));
    auto project = OpenProjectFile("translate", path, *codePage, &locks);
    if (!project) return 1;
    CAutoTranslator translator(*project);
    AutoTranslateResult result = translator.Run();
    CodePage page(project->GetCodePage());
    std::cout << "Total Strings:          " << result.total << "\n"
              << "Translated Strings:     " << result.translated << "\n"
              << "Not Translated Strings: " << static_cast<std::int64_t>(result.total) - result.translated << "\n"
              << CompletionText(result.percent) << "\n";
    if (parsed->Has("--list-untranslated"))
        for (const CResourceItem* item : result.untranslated) std::cout << "  " << Describe(*item, page) << "\n";
    if (!result.modified) return 0;
    return SaveProjectFile("translate", *project, path) ? 0 : 1;
}

int RunRestore(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("restore", args, {"--kind", "--id", "--codepage"}, {"--all", "--wait"});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    bool all = parsed->Has("--all");
    if (parsed->Positional().size() != 1 || all == (parsed->Has("--kind") || parsed->Has("--id")) ||
        (!all && !(parsed->Has("--kind") && parsed->Has("--id")))) {
        std::cerr << "usage: quillon-cli restore PROJECT (--all | --kind KIND --id N) [--wait]\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("restore", parsed->Has("--wait"));
    auto project = OpenProjectFile("restore", path, *codePage, &locks);
    if (!project) return 1;
    if (all) {
        std::cout << "Restored " << RestoreAll(*project) << " items.\n";
        return SaveProjectFile("restore", *project, path) ? 0 : 1;
    }
    const ItemKind wanted = KindFromText(parsed->Value("--kind")).value_or(ItemKind::All);
    std::int32_t id = 0;
    bool idRead = true;
    try {
        id = std::stoi(parsed->Value("--id"), nullptr, 0);
    } catch (const std::exception&) {
        idRead = false;
    }
    if (wanted == ItemKind::All || !idRead) {
        std::cerr << "quillon-cli restore: --kind takes STRING, CONTROL, DIALOG, POPUPMENU, MENUITEM or VERSION and "
                     "--id a number\n";
        return 2;
    }
    CResourceInfo& info = project->m_ResourceInfo;
    CResourceItem* item = nullptr;
    for (CResourceItem* root : {&info.m_Strings, &info.m_Menus, &info.m_Dialogs,
                                static_cast<CResourceItem*>(&info.m_VersionInfo.m_Root)})
        if (!item) item = FindItem(*root, wanted, id);
    if (!item) {
        std::cerr << "quillon-cli restore: no " << KindName(wanted) << " with ID " << id << "\n";
        return 1;
    }
    RestoreItem(*item);
    std::cout << "Restored " << Describe(*item, CodePage(project->GetCodePage())) << "\n";
    return SaveProjectFile("restore", *project, path) ? 0 : 1;
}

int RunCheck(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("check", args, {"--codepage"}, {"--errors-only"});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        std::cerr << "usage: quillon-cli check PROJECT [--errors-only] [--codepage N]\n";
        return 2;
    }
    auto project = OpenProjectFile("check", parsed->Positional()[0], *codePage);
    if (!project) return 1;
    CodePage page(project->GetCodePage());
    std::size_t errors = 0, warnings = 0;
    for (const CheckFinding& finding : CheckProject(*project)) {
        bool error = finding.severity == CheckFinding::Severity::Error;
        (error ? errors : warnings)++;
        if (!error && parsed->Has("--errors-only")) continue;
        std::cout << (error ? "error: " : "warning: ") << Describe(*finding.item, page) << ": "
                  << page.ToUtf8(finding.message) << "\n";
    }
    std::cout << errors << " errors, " << warnings << " warnings\n";
    return errors ? 1 : 0;
}

} // namespace quillon::cli
