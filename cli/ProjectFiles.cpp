#include "ProjectFiles.h"

#include <filesystem>

#include "Output.h"
#include "TreeOutput.h"
#include "io/FileIo.h"
#include "model/TreeTally.h"
#include "model/CountText.h"

namespace quillon::cli {

bool WriterLocks::Take(const std::string& path) {
    auto lock = FileLock::Acquire(path, m_wait ? FileLock::Wait::Yes : FileLock::Wait::No, [&] {
        Err() << "quillon-cli " << m_command << ": waiting for another program to finish with '" << path << "'\n";
    });
    if (!lock) {
        Err() << "quillon-cli " << m_command << ": " << lock.GetError().Describe()
                  << (lock.GetError().code == Error::Code::Busy ? " (try again, or use --wait to wait for it)" : "")
                  << "\n";
        return false;
    }
    m_held.push_back(std::move(lock).Value());
    return true;
}

bool Checked(const std::string& command, const Status& status) {
    if (!status) Err() << "quillon-cli " << command << ": " << status.GetError().Describe() << "\n";
    return status.Ok();
}

bool HasDictionaryFile(const std::string& command, const std::string& dictionaryPath) {
    if (dictionaryPath.empty())
        Err() << "quillon-cli " << command << ": the project has no dictionary file (give it one with "
              << "Project > Settings in the window, or make the project with new --dictionary)\n";
    return !dictionaryPath.empty();
}

std::string AbsolutePath(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

namespace {

std::unique_ptr<CProject> ReadProject(const std::string& command, const std::string& path, std::uint32_t codePage) {
    auto project = std::make_unique<CProject>();
    project->m_nCodePage = codePage;
    if (!Checked(command, project->Open(path))) return nullptr;
    return project;
}

std::string DictionaryText(const CProject& project) {
    if (project.m_strDictionaryPath.empty()) return "none";
    return project.m_strDictionaryPath + " (" + CountOf(project.m_Dictionary.GetCount(), "entry", "entries") + ")";
}

// " <ann@example.org>", or nothing when the project has no e-mail address.
std::string EMailText(const CProject& project, const CodePage& codePage) {
    if (project.m_strEMail.empty()) return {};
    return " <" + codePage.ToUtf8(project.m_strEMail) + ">";
}

} // namespace

std::unique_ptr<CProject> OpenProjectFile(const std::string& command, const std::string& path, std::uint32_t codePage,
                                          WriterLocks* locks) {
    if (!Checked(command, CheckProjectToOpen(path))) return nullptr;
    if (locks && !locks->Take(path)) return nullptr;
    auto project = ReadProject(command, path, codePage);
    if (!project) return nullptr;
    // The dictionary's name is in the project: it is locked once known, and
    // read again when it changed before the lock was won.
    if (locks && !project->m_strDictionaryPath.empty()) {
        if (!locks->Take(project->DictionaryFile(path))) return nullptr;
        // The project was locked before it was read: only the dictionary can have changed.
        if (project->DictionaryChangedOnDisk(path)) project = ReadProject(command, path, codePage);
        if (!project) return nullptr;
    }
    for (const std::string& warning : project->OpenWarnings())
        Err() << "quillon-cli " << command << ": warning: " << warning << "\n";
    if (!CodePage(project->GetCodePage()).Supported()) {
        Err() << "quillon-cli " << command << ": code page " << project->GetCodePage() << " is not supported\n";
        return nullptr;
    }
    project->m_bLoaded = true;
    return project;
}

bool SaveProjectFile(const std::string& command, CProject& project, const std::string& path) {
    return Checked(command, project.Save(path));
}

void PrintProject(const std::string& path, const CProject& project, bool json) {
    CodePage codePage(project.GetCodePage());
    const CResourceInfo& info = project.m_ResourceInfo;
    if (json) {
        JsonWriter out;
        out.BeginObject();
        out.Key("project").String(path);
        out.Key("module").String(project.m_strModulePath);
        out.Key("target").String(project.m_strTargetPath);
        out.Key("dictionary").String(project.m_strDictionaryPath);
        out.Key("translator").String(codePage.ToUtf8(project.m_strTranslator));
        out.Key("email").String(codePage.ToUtf8(project.m_strEMail));
        out.Key("targetLanguage").Number(project.m_wTargetLanguage);
        out.Key("dictionaryEntries").Number(static_cast<std::int64_t>(project.m_Dictionary.GetCount()));
        out.Key("fileVersion").String(FileVersionText(info));
        out.Key("language").Number(info.m_wLanguage);
        out.Key("codepage").Number(codePage.Id());
        out.Key("counters");
        WriteCountersJson(out, info, TranslatedItems(info));
        WriteTreeJson(out, info, codePage);
        out.EndObject();
        Out() << out.Text() << "\n";
        return;
    }
    Out() << "Project:         " << path << "\n"
              << "Module:          " << project.m_strModulePath << "\n"
              << "Target:          " << project.m_strTargetPath << "\n"
              << "Dictionary:      " << DictionaryText(project) << "\n"
              << "Translator:      " << codePage.ToUtf8(project.m_strTranslator) << EMailText(project, codePage) << "\n"
              << "Target language: " << LanguageText(project.m_wTargetLanguage) << "\n"
              << "Source language: " << LanguageText(info.m_wLanguage) << "\n"
              << "File version:    " << FileVersionText(info) << "\n"
              << "Code page:       " << codePage.Id() << "\n";
    PrintCounters(Out(), info, TranslatedItems(info));
    Out() << "\n";
    PrintTree(Out(), info, codePage);
}

} // namespace quillon::cli
