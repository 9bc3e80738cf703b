#include "project/ModuleCheck.h"

#include <algorithm>

#include "model/CountText.h"
#include "model/TreeRoots.h"
#include "project/Project.h"

namespace quillon {

namespace {

constexpr std::size_t kNamedDifferences = 5;

std::string Quoted(const std::string& text, const CodePage& codePage) {
    return std::string(1, '"').append(codePage.ToUtf8(text)).append(1, '"');
}

bool SameModuleFields(const CResourceItem& a, const CResourceItem& b) {
    if (const auto* menu = dynamic_cast<const CMenuNode*>(&a))
        return menu->m_dwOptions == static_cast<const CMenuNode&>(b).m_dwOptions;
    if (const auto* block = dynamic_cast<const CVersionBlock*>(&a)) {
        const auto& other = static_cast<const CVersionBlock&>(b);
        return block->m_strKey == other.m_strKey && block->m_strTargetKey == other.m_strTargetKey &&
               block->m_nBlockType == other.m_nBlockType && block->m_pValue == other.m_pValue;
    }
    return true;
}

// The children of `a` and `b` say the same of the module, level by level:
// what a merge would find nothing to change in. Translations do not count.
bool SameSources(const CResourceItem& a, const CResourceItem& b) {
    if (a.GetCount() != b.GetCount()) return false;
    constexpr std::uint32_t kFromModule = RIS_FIXED | RIS_EMPTY;
    for (std::size_t i = 0; i < a.GetCount(); ++i) {
        const CResourceItem& x = *a.GetChildren()[i];
        const CResourceItem& y = *b.GetChildren()[i];
        if (x.GetKind() != y.GetKind() || x.m_nID != y.m_nID || x.GetText() != y.GetText() ||
            x.m_chHotkey != y.m_chHotkey || (x.m_dwState & kFromModule) != (y.m_dwState & kFromModule) ||
            !std::ranges::equal(x.GetData(), y.GetData()) || !SameModuleFields(x, y) || !SameSources(x, y))
            return false;
    }
    return true;
}

bool SameModule(const CResourceInfo& project, const CResourceInfo& module) {
    if (project.m_VersionInfo.m_FixedInfo != module.m_VersionInfo.m_FixedInfo ||
        project.m_wLanguage != module.m_wLanguage || project.m_dwFileVersionMS != module.m_dwFileVersionMS ||
        project.m_dwFileVersionLS != module.m_dwFileVersionLS)
        return false;
    for (const RootInfo& root : Roots())
        if (!SameSources(RootItem(project, root.root), RootItem(module, root.root))) return false;
    return true;
}

} // namespace

Result<UpdateReport> CompareWithModule(const CProject& project, const std::string& modulePath) {
    CProject copy;
    copy.m_strModulePath = project.m_strModulePath;
    copy.m_strTranslator = project.m_strTranslator;
    copy.m_strEMail = project.m_strEMail;
    copy.m_wTargetLanguage = project.m_wTargetLanguage;
    copy.m_nCodePage = project.m_nCodePage;
    copy.m_ResourceInfo = CResourceInfo(project.m_ResourceInfo);
    CProject fresh;
    fresh.m_strModulePath = modulePath;
    UpdateReport report = UpdateProject(copy, fresh);
    if (!report.merged)
        return MakeError(Error::Code::NotModule,
                         "'" + modulePath + "' cannot be read or holds no string tables, menus, dialogs or version resource");
    return report;
}

Status CheckModuleMatches(const CProject& project) {
    // Most builds find the module as it was: that is asked of the two trees
    // as they are, and only a module that moved on pays for a merge on a copy.
    CProject fresh;
    fresh.m_strModulePath = project.m_strModulePath;
    if (PrepareFresh(project, fresh) && SameModule(project.m_ResourceInfo, fresh.m_ResourceInfo)) return Done{};
    auto compared = CompareWithModule(project, project.m_strModulePath);
    if (!compared) return compared.GetError();
    const UpdateReport& report = compared.Value();
    if (!report.Changed()) return Done{};
    CodePage codePage(project.GetCodePage());
    std::string message = "the module '" + project.m_strModulePath + "' no longer matches the project";
    if (report.changes.empty()) {
        message += ": its file version, layout or resource details differ";
    } else {
        message += " (" + CountOf(report.changes.size(), "difference") + "):";
        for (std::size_t i = 0; i < report.changes.size() && i < kNamedDifferences; ++i)
            message += "\n  " + DescribeChange(report.changes[i], codePage);
        if (report.changes.size() > kNamedDifferences) message += "\n  ...";
    }
    message += "\nRun Update with the module first, so that the target is built from what it holds now.";
    return MakeError(Error::Code::Outdated, message);
}

std::string DescribeChange(const UpdateChange& change, const CodePage& codePage) {
    std::string line = std::string(UpdateChangeName(change.kind)) + " " + change.path + ": ";
    switch (change.kind) {
    case UpdateChangeKind::Added: line += Quoted(change.newText, codePage); break;
    case UpdateChangeKind::Removed: line += Quoted(change.oldText, codePage); break;
    case UpdateChangeKind::Changed:
        line += Quoted(change.oldText, codePage) + " -> " + Quoted(change.newText, codePage);
        break;
    case UpdateChangeKind::Moved:
    case UpdateChangeKind::Reused:
        line += Quoted(change.newText, codePage) + " from " + change.fromPath;
        break;
    }
    if (change.translation.empty()) return line;
    return line + (change.TranslationLost() ? " (translation lost: " : " (translation kept: ") +
           Quoted(change.translation, codePage) + ")";
}

} // namespace quillon
