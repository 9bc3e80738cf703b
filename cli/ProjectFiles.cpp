#include "ProjectFiles.h"

#include <iostream>

#include "TreeOutput.h"
#include "io/FileIo.h"

namespace quillon::cli {

std::unique_ptr<CProject> OpenProjectFile(const std::string& command, const std::string& path, std::uint32_t codePage) {
    if (!FileExists(path)) {
        std::cerr << "quillon-cli " << command << ": project '" << path << "' not found\n";
        return nullptr;
    }
    auto project = std::make_unique<CProject>();
    project->m_nCodePage = codePage;
    Status opened = project->Open(path);
    if (!opened) {
        std::cerr << "quillon-cli " << command << ": " << opened.GetError().Describe() << "\n";
        return nullptr;
    }
    if (!CodePage(project->GetCodePage()).Supported()) {
        std::cerr << "quillon-cli " << command << ": code page " << project->GetCodePage() << " is not supported\n";
        return nullptr;
    }
    project->m_bLoaded = true;
    return project;
}

bool SaveProjectFile(const std::string& command, const CProject& project, const std::string& path) {
    Status saved = project.Save(path);
    if (!saved) std::cerr << "quillon-cli " << command << ": " << saved.GetError().Describe() << "\n";
    return saved.Ok();
}

void PrintProject(const std::string& path, const CProject& project, bool json) {
    CodePage codePage(project.GetCodePage());
    const CResourceInfo& info = project.m_ResourceInfo;
    if (json) {
        JsonWriter out;
        out.BeginObject();
        out.Key("project").String(path);
        out.Key("module").String(codePage.ToUtf8(project.m_strModulePath));
        out.Key("target").String(codePage.ToUtf8(project.m_strTargetPath));
        out.Key("dictionary").String(codePage.ToUtf8(project.m_strDictionaryPath));
        out.Key("translator").String(codePage.ToUtf8(project.m_strTranslator));
        out.Key("email").String(codePage.ToUtf8(project.m_strEMail));
        out.Key("targetLanguage").Number(project.m_wTargetLanguage);
        out.Key("dictionaryEntries").Number(static_cast<std::int64_t>(project.m_Dictionary.GetCount()));
        out.Key("fileVersion").String(FileVersionText(info));
        out.Key("language").Number(info.m_wLanguage);
        out.Key("codepage").Number(codePage.Id());
        out.Key("counters");
        WriteCountersJson(out, info);
        WriteTreeJson(out, info, codePage);
        out.EndObject();
        std::cout << out.Text() << "\n";
        return;
    }
    std::cout << "Project:         " << path << "\n"
              << "Module:          " << codePage.ToUtf8(project.m_strModulePath) << "\n"
              << "Target:          " << codePage.ToUtf8(project.m_strTargetPath) << "\n"
              << "Dictionary:      " << codePage.ToUtf8(project.m_strDictionaryPath) << " ("
              << project.m_Dictionary.GetCount() << " entries)\n"
              << "Translator:      " << codePage.ToUtf8(project.m_strTranslator) << " <"
              << codePage.ToUtf8(project.m_strEMail) << ">\n"
              << "Target language: " << LanguageText(project.m_wTargetLanguage) << "\n"
              << "Source language: " << LanguageText(info.m_wLanguage) << "\n"
              << "File version:    " << FileVersionText(info) << "\n"
              << "Code page:       " << codePage.Id() << "\n";
    PrintCounters(std::cout, info);
    std::cout << "\n";
    PrintTree(std::cout, info, codePage);
}

} // namespace quillon::cli
