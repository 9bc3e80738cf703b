#include "project/ModuleCheck.h"

#include "project/Project.h"

namespace quillon {

namespace {

constexpr std::size_t kNamedDifferences = 5;

std::string Quoted(const std::string& text, const CodePage& codePage) { return "\"" + codePage.ToUtf8(text) + "\""; }

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
    auto compared = CompareWithModule(project, project.m_strModulePath);
    if (!compared) return compared.GetError();
    const UpdateReport& report = compared.Value();
    if (!report.Changed()) return Done{};
    CodePage codePage(project.GetCodePage());
    std::string message = "the module '" + project.m_strModulePath + "' no longer matches the project";
    if (report.changes.empty()) {
        message += ": its file version, layout or resource details differ";
    } else {
        message += " (" + std::to_string(report.changes.size()) + " difference" +
                   (report.changes.size() == 1 ? "" : "s") + "):";
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
    bool lost = change.kind == UpdateChangeKind::Changed || change.kind == UpdateChangeKind::Removed;
    return line + (lost ? " (translation lost: " : " (translation kept: ") + Quoted(change.translation, codePage) + ")";
}

} // namespace quillon
