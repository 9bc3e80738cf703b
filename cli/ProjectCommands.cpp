#include <filesystem>

#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "Json.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "TreeOutput.h"
#include "dictionary/GlossaryImport.h"
#include "extract/Languages.h"
#include "io/FileIo.h"
#include "model/TreeTally.h"
#include "model/CountText.h"
#include "model/ItemKind.h"
#include "project/ModuleCheck.h"
#include "project/NewProject.h"
#include "project/ProjectUpdate.h"
#include "target/BuildCheck.h"

namespace quillon::cli {

namespace {

// The paths of a new project, checked before the module is read.
bool CheckNewPaths(const NewProjectSettings& settings, bool force) {
    if (!Checked("new", CheckNewProjectPaths(settings))) return false;
    if (FileExists(settings.projectPath) && !force) {
        Err() << "quillon-cli new: '" << settings.projectPath << "' already exists (use --force to replace it)\n";
        return false;
    }
    return true;
}

void PrintCreated(const NewProjectSettings& settings, const CProject& project, const CodePage& codePage) {
    Out() << "Created " << settings.projectPath << " for " << settings.modulePath << " ("
              << LanguageText(project.m_wTargetLanguage) << ", code page " << codePage.Id() << ")\n";
    PrintCounters(Out(), project.m_ResourceInfo, TranslatedItems(project.m_ResourceInfo));
    for (const std::string& warning : NewProjectWarnings(project)) Err() << "warning: " << warning << "\n";
}

} // namespace

int RunNew(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("new"), args);
    if (!parsed) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("new", Err());
        return 2;
    }
    if (parsed->Positional()[0].empty()) {
        Err() << "quillon-cli new: the project path is empty\n";
        return 2;
    }
    // ".prj" alone would become the hidden ".prj.prj".
    if (!Checked("new", CheckOutputFile(parsed->Positional()[0], "project"))) return 1;
    auto language = parsed->Language();
    if (!language) return 2;
    auto codePageOverride = parsed->Number("--codepage", 0);
    if (!codePageOverride) return 2;
    NewProjectSettings settings;
    settings.projectPath = ProjectPathWithExtension(parsed->Positional()[0]);
    settings.targetLanguage = *language;
    settings.codePage = *codePageOverride;
    CodePage codePage(settings.codePage ? settings.codePage : DefaultCodePage(*language));
    if (!codePage.Supported()) {
        Err() << "quillon-cli new: code page " << codePage.Id() << " is not supported\n";
        return 2;
    }
    // Paths are kept as the file system holds them; names arrive as UTF-8 and
    // the project keeps them in its code page.
    settings.modulePath = AbsolutePath(parsed->Value("--module"));
    settings.dictionaryPath = AbsolutePath(parsed->Value("--dictionary"));
    settings.translator = codePage.FromUtf8(parsed->Value("--translator"));
    settings.email = codePage.FromUtf8(parsed->Value("--email"));
    if (parsed->Value("--module").empty()) {
        Err() << "quillon-cli new: the module path is empty\n";
        return 2;
    }
    if (!CheckNewPaths(settings, parsed->Has("--force"))) return 1;

    auto project = CreateProject(settings);
    if (!project) {
        Err() << "quillon-cli new: " << project.GetError().Describe() << "\n";
        return 1;
    }
    if (!SaveProjectFile("new", *project.Value(), settings.projectPath)) return 1;
    PrintCreated(settings, *project.Value(), codePage);
    if (auto unheld = UnheldNameWarning(parsed->Value("--translator"), parsed->Value("--email"), codePage))
        Err() << "warning: " << *unheld << "\n";
    return 0;
}

int RunShow(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("show"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("show", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    auto project = OpenProjectFile("show", path, *codePage);
    if (!project) return 1;
    PrintProject(path, *project, parsed->Has("--json"));
    EndAfterOutput(0);
}

namespace {

void PrintUpdateText(const UpdateReport& report, const CodePage& codePage) {
    for (UpdateChangeKind kind : kUpdateChangeKinds) {
        std::string name(UpdateChangeName(kind));
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        Out() << name << ":" << std::string(9 - name.size(), ' ') << report.Count(kind) << "\n";
    }
    Out() << "Kept:     " << report.kept << "\n"
              << "Dialogs rebuilt: " << report.rebuilt << "\n";
    for (const UpdateChange& change : report.changes) Out() << DescribeChange(change, codePage) << "\n";
}

void PrintUpdateJson(const UpdateReport& report, const CodePage& codePage, const std::string& module, bool saved) {
    JsonWriter json;
    json.BeginObject().Key("module").String(module).Key("saved").Bool(saved);
    json.Key("counts").BeginObject();
    for (UpdateChangeKind kind : kUpdateChangeKinds)
        json.Key(UpdateChangeName(kind)).Number(static_cast<std::int64_t>(report.Count(kind)));
    json.Key("kept").Number(static_cast<std::int64_t>(report.kept));
    json.Key("rebuiltDialogs").Number(static_cast<std::int64_t>(report.rebuilt));
    json.EndObject();
    json.Key("otherChanges").Bool(report.otherChanges);
    json.Key("changes").BeginArray();
    for (const UpdateChange& change : report.changes) {
        json.BeginObject().Key("change").String(UpdateChangeName(change.kind));
        json.Key("kind").String(KindName(change.item)).Key("path").String(change.path);
        if (!change.fromPath.empty()) json.Key("fromPath").String(change.fromPath);
        if (change.kind != UpdateChangeKind::Added) json.Key("oldText").String(codePage.ToUtf8(change.oldText));
        if (change.kind != UpdateChangeKind::Removed) json.Key("newText").String(codePage.ToUtf8(change.newText));
        if (!change.translation.empty()) json.Key("translation").String(codePage.ToUtf8(change.translation));
        json.EndObject();
    }
    json.EndArray().EndObject();
    Out() << json.Text() << "\n";
}

} // namespace

int RunUpdate(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("update"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("update", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    bool dryRun = parsed->Has("--dry-run");
    WriterLocks locks("update", parsed->Has("--wait"));
    auto project = OpenProjectFile("update", path, *codePage, dryRun ? nullptr : &locks);
    if (!project) return 1;
    std::string module = parsed->Has("--module") ? AbsolutePath(parsed->Value("--module")) : project->m_strModulePath;
    if (!Checked("update", CheckInputFile(module, "module"))) return 1;
    if (module != project->m_strModulePath &&
        !Checked("update", CheckDistinctFromProject(*project, path, {"new module", module})))
        return 1;
    CProject fresh;
    fresh.m_strModulePath = module;
    UpdateReport report = dryRun ? UpdateReport{} : UpdateProject(*project, fresh);
    if (dryRun) {
        auto compared = CompareWithModule(*project, module);
        if (compared) report = std::move(compared).Value();
    }
    if (!report.merged) {
        Err() << "quillon-cli update: '" << module
                  << "' cannot be read or holds no string tables, menus, dialogs or version resource; "
                     "the project is unchanged\n";
        return 1;
    }
    CodePage texts(project->GetCodePage());
    for (const std::string& warning : report.scanWarnings) Err() << "warning: " << texts.ToUtf8(warning) << "\n";
    if (!dryRun && report.NeedsConfirmation() && !parsed->Has("--force")) {
        Err() << "quillon-cli update: '" << module << "' could be read only in part (see the warnings above), and "
              << CountOf(report.Count(UpdateChangeKind::Removed), "item") << " would go away and "
              << CountOf(report.Count(UpdateChangeKind::Changed), "item") << " change; the project is unchanged. "
              << "Give --force to update anyway\n";
        return 1;
    }
    bool moved = module != project->m_strModulePath;
    project->m_strModulePath = module;
    bool save = !dryRun && (report.Changed() || moved);
    // The report says whether the project was saved, so it follows the save.
    bool saved = save && SaveProjectFile("update", *project, path);
    if (parsed->Has("--json")) {
        PrintUpdateJson(report, texts, module, saved);
    } else {
        PrintUpdateText(report, texts);
        Out() << (dryRun  ? "Dry run: the project was not changed.\n"
                  : !save ? "Nothing changed; the project was not saved.\n"
                  : saved ? "Saved " + path + ".\n"
                          : "The project was not saved (see the error above); it is as it was.\n");
    }
    return save && !saved ? 1 : 0;
}

namespace {

void PrintImportText(const GlossaryReport& report) {
    Out() << "Encoding:   " << report.EncodingName() << "\n"
              << "Entries:    " << report.entries << "\n"
              << "Imported:   " << report.imported << "\n"
              << "Duplicates: " << report.duplicates << "\n"
              << "Skipped:    " << report.skippedLines << "\n";
    for (const GlossarySkippedLine& line : report.skipped) Out() << report.Describe(line) << "\n";
    if (report.skippedLines > report.skipped.size())
        Out() << "(and " << report.skippedLines - report.skipped.size() << " more skipped lines)\n";
}

void PrintImportJson(const GlossaryReport& report, bool saved) {
    JsonWriter json;
    json.BeginObject().Key("encoding").String(report.EncodingName()).Key("saved").Bool(saved);
    using Count = std::pair<const char*, std::size_t>;
    for (auto [key, count] : {Count{"lines", report.lines}, Count{"entries", report.entries},
                              Count{"imported", report.imported}, Count{"duplicates", report.duplicates},
                              Count{"skipped", report.skippedLines}})
        json.Key(key).Number(static_cast<std::int64_t>(count));
    json.Key("skippedLines").BeginArray();
    for (const GlossarySkippedLine& line : report.skipped) {
        json.BeginObject().Key("line").Number(static_cast<std::int64_t>(line.line));
        json.Key("reason").String(report.Reason(line)).EndObject();
    }
    json.EndArray().EndObject();
    Out() << json.Text() << "\n";
}

} // namespace

int RunImport(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("import"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    bool glossary = parsed->Has("--text") || parsed->Has("--microsoft");
    if (parsed->Positional().size() == 2 && !glossary) return RunImportTranslations(*parsed);
    if (parsed->Positional().size() != 1 || parsed->Has("--text") == parsed->Has("--microsoft")) {
        PrintUsageOf("import", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    bool text = parsed->Has("--text");
    std::string glossaryPath = parsed->Value(text ? "--text" : "--microsoft");
    if (!Checked("import", CheckInputFile(glossaryPath, "glossary"))) return 1;
    WriterLocks locks("import", parsed->Has("--wait"));
    auto project = OpenProjectFile("import", path, *codePage, &locks);
    if (!project) return 1;
    if (!Checked("import", CheckDistinctFromProject(*project, path, {"glossary", glossaryPath}))) return 1;
    if (!HasDictionaryFile("import", project->m_strDictionaryPath)) return 1;
    auto bytes = ReadWholeFile(glossaryPath);
    if (!bytes) {
        Err() << "quillon-cli import: " << bytes.GetError().Describe() << "\n";
        return 1;
    }
    auto report = ImportGlossary(bytes.Value(), text ? GlossaryFormat::Text : GlossaryFormat::Microsoft,
                                 project->m_Dictionary, CodePage(project->GetCodePage()));
    if (!report) {
        Err() << "quillon-cli import: " << glossaryPath << ": " << report.GetError().Describe() << "\n";
        return 1;
    }
    bool saved = Checked("import", project->SaveDictionary(path));
    if (parsed->Has("--json")) PrintImportJson(report.Value(), saved);
    else PrintImportText(report.Value());
    return saved ? 0 : 1;
}

} // namespace quillon::cli
