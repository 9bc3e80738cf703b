#include <filesystem>
#include <iostream>

#include "Args.h"
#include "Commands.h"
#include "ProjectFiles.h"
#include "TreeOutput.h"
#include "dictionary/GlossaryImport.h"
#include "extract/Languages.h"
#include "io/FileIo.h"
#include "project/NewProject.h"
#include "project/ProjectUpdate.h"

namespace quillon::cli {

int RunNew(const std::vector<std::string>& args) {
    const char* usage = "usage: quillon-cli new PROJECT --module M --translator NAME --language LANG "
                        "[--email E] [--dictionary D] [--codepage N] [--force]\n";
    auto parsed = Args::Parse("new", args, {"--module", "--translator", "--language", "--email", "--dictionary", "--codepage"},
                              {"--force"});
    if (!parsed) return 2;
    if (parsed->Positional().size() != 1 || !parsed->Has("--module") || !parsed->Has("--translator") ||
        !parsed->Has("--language")) {
        std::cerr << usage;
        return 2;
    }
    auto language = ParseLanguage(parsed->Value("--language"));
    if (!language) {
        std::cerr << "quillon-cli new: unknown language '" << parsed->Value("--language")
                  << "' (use an English name such as German, or an identifier such as 0x0407)\n";
        return 2;
    }
    auto codePageOverride = parsed->Number("--codepage", 0);
    if (!codePageOverride) return 2;
    std::string path = ProjectPathWithExtension(parsed->Positional()[0]);
    if (FileExists(path) && !parsed->Has("--force")) {
        std::cerr << "quillon-cli new: '" << path << "' already exists (use --force to replace it)\n";
        return 1;
    }
    NewProjectSettings settings;
    settings.projectPath = path;
    settings.targetLanguage = *language;
    settings.codePage = *codePageOverride;
    CodePage codePage(settings.codePage ? settings.codePage : DefaultCodePage(*language));
    if (!codePage.Supported()) {
        std::cerr << "quillon-cli new: code page " << codePage.Id() << " is not supported\n";
        return 2;
    }
    // Paths and names arrive as UTF-8; the project keeps them in its code page.
    // Absolute paths, so the project works from any folder.
    auto absolute = [](const std::string& path) {
        return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
    };
    settings.modulePath = absolute(parsed->Value("--module"));
    settings.dictionaryPath = absolute(parsed->Value("--dictionary"));
    settings.translator = codePage.FromUtf8(parsed->Value("--translator"));
    settings.email = codePage.FromUtf8(parsed->Value("--email"));

    auto project = CreateProject(settings);
    if (!project) {
        std::cerr << "quillon-cli new: " << project.GetError().Describe() << "\n";
        return 1;
    }
    if (!SaveProjectFile("new", *project.Value(), path)) return 1;
    std::cout << "Created " << path << " for " << settings.modulePath << " ("
              << LanguageText(project.Value()->m_wTargetLanguage) << ", code page " << codePage.Id() << ")\n";
    if (project.Value()->ReplacedCharacters())
        std::cout << project.Value()->ReplacedCharacters()
                  << " characters of the module cannot be held in this code page (shown as '?')\n";
    PrintCounters(std::cout, project.Value()->m_ResourceInfo);
    return 0;
}

int RunShow(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("show", args, {"--codepage"}, {"--json"});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        std::cerr << "usage: quillon-cli show PROJECT [--json] [--codepage N]\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    auto project = OpenProjectFile("show", path, *codePage);
    if (!project) return 1;
    PrintProject(path, *project, parsed->Has("--json"));
    EndAfterOutput(0);
}

int RunUpdate(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("update", args, {"--module", "--codepage"}, {});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        std::cerr << "usage: quillon-cli update PROJECT [--module NEWPATH] [--codepage N]\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    auto project = OpenProjectFile("update", path, *codePage);
    if (!project) return 1;
    CProject fresh;
    fresh.m_strModulePath = parsed->Has("--module")
                                ? std::filesystem::absolute(parsed->Value("--module")).lexically_normal().string()
                                : project->m_strModulePath;
    UpdateReport report = UpdateProject(*project, fresh);
    if (!report.merged) {
        std::cerr << "quillon-cli update: '" << fresh.m_strModulePath
                  << "' cannot be read or holds no string tables, menus, dialogs or version resource; "
                     "the project is unchanged\n";
        return 1;
    }
    bool moved = fresh.m_strModulePath != project->m_strModulePath;
    project->m_strModulePath = fresh.m_strModulePath;
    std::cout << "Added:   " << report.added << "\n"
              << "Removed: " << report.removed << "\n"
              << "Reset:   " << report.reset << "\n"
              << "Kept:    " << report.kept << "\n"
              << "Dialogs rebuilt: " << report.rebuilt << "\n";
    if (!report.Changed() && !moved) {
        std::cout << "Nothing changed; the project was not saved.\n";
        return 0;
    }
    return SaveProjectFile("update", *project, path) ? 0 : 1;
}

int RunImport(const std::vector<std::string>& args) {
    auto parsed = Args::Parse("import", args, {"--text", "--microsoft", "--codepage"}, {});
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1 || parsed->Has("--text") == parsed->Has("--microsoft")) {
        std::cerr << "usage: quillon-cli import PROJECT (--text FILE | --microsoft FILE) [--codepage N]\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    auto project = OpenProjectFile("import", path, *codePage);
    if (!project) return 1;
    if (project->m_strDictionaryPath.empty()) {
        std::cerr << "quillon-cli import: the project has no dictionary file to import into\n";
        return 1;
    }
    bool text = parsed->Has("--text");
    std::string glossaryPath = parsed->Value(text ? "--text" : "--microsoft");
    auto bytes = ReadWholeFile(glossaryPath);
    if (!bytes) {
        std::cerr << "quillon-cli import: " << bytes.GetError().Describe() << "\n";
        return 1;
    }
    GlossaryReport report = ImportGlossary(bytes.Value(), text ? GlossaryFormat::Text : GlossaryFormat::Microsoft,
                                           project->m_Dictionary, CodePage(project->GetCodePage()));
    std::cout << "Entries:    " << report.lines << "\n"
              << "Imported:   " << report.imported << "\n"
              << "Duplicates: " << report.duplicates << "\n";
    if (report.replacedCharacters)
        std::cout << "Replaced:   " << report.replacedCharacters << " characters the code page cannot hold\n";
    Status saved = project->m_Dictionary.Save(project->DictionaryFile(path));
    if (!saved) {
        std::cerr << "quillon-cli import: " << saved.GetError().Describe() << "\n";
        return 1;
    }
    return 0;
}

} // namespace quillon::cli
