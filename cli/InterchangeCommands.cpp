// export, import of translation files, and pseudo: the project's units out to
// XLIFF or PO, back in as one planned change, and pseudo-translation.

#include "Args.h"
#include "CheckOutput.h"
#include "Commands.h"
#include "Help.h"
#include "Json.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "interchange/Interchange.h"
#include "interchange/ProjectUnits.h"
#include "interchange/PseudoTranslation.h"
#include "io/FileIo.h"
#include "model/CountText.h"

namespace quillon::cli {

namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void PrintImportText(const ImportPlan& plan, std::size_t units) {
    Out() << "Units:        " << units << "\n"
              << "Translated:   " << plan.translated << "\n"
              << "For review:   " << plan.review << "\n"
              << "Restored:     " << plan.untranslated << "\n"
              << "Unchanged:    " << plan.unchanged << "\n"
              << "Refused:      " << plan.refused.size() << "\n";
    for (const RefusedUnit& refused : plan.refused) Out() << "  " << Describe(refused) << "\n";
    if (!plan.skipped.empty()) Out() << "Left out:     " << plan.skipped.size() << "\n";
    for (const std::string& skipped : plan.skipped) Out() << "  " << skipped << "\n";
    if (!plan.findings.empty()) Out() << "Checks:       " << CountsText(CountFindings(plan.findings)) << "\n";
    for (const Finding& finding : plan.findings) PrintFinding(Out(), finding);
}

void PrintImportJson(const ImportPlan& plan, std::size_t units, bool saved) {
    JsonWriter json;
    json.BeginObject().Key("saved").Bool(saved);
    using Count = std::pair<const char*, std::size_t>;
    for (auto [key, count] : {Count{"units", units}, Count{"translated", plan.translated}, Count{"review", plan.review},
                              Count{"restored", plan.untranslated}, Count{"unchanged", plan.unchanged}})
        json.Key(key).Number(static_cast<std::int64_t>(count));
    json.Key("refused").BeginArray();
    for (const RefusedUnit& refused : plan.refused)
        json.BeginObject().Key("id").String(refused.id).Key("reason").String(Describe(refused)).EndObject();
    json.EndArray().Key("leftOut").BeginArray();
    for (const std::string& skipped : plan.skipped) json.String(skipped);
    json.EndArray().Key("findings").BeginArray();
    for (const Finding& finding : plan.findings) {
        json.BeginObject().Key("severity").String(SeverityName(finding.severity));
        json.Key("code").String(InfoOf(finding.code).name).Key("path").String(finding.path);
        json.Key("message").String(finding.message).EndObject();
    }
    json.EndArray().EndObject();
    Out() << json.Text() << "\n";
}

// --format, or else the extension of the file written.
std::optional<InterchangeFormat> ExportFormat(const Args& parsed, const std::string& output) {
    if (!parsed.Has("--format")) {
        auto format = FormatFromPath(output);
        if (!format)
            Err() << "quillon-cli export: '" << output << "' does not tell the format by its extension "
                  << "(.xlf, .xliff, .po); give --format xliff or --format po\n";
        return format;
    }
    auto format = FormatFromName(parsed.Value("--format"));
    if (!format) Err() << "quillon-cli export: unknown format '" << parsed.Value("--format") << "'; give xliff or po\n";
    return format;
}

} // namespace

int RunImportTranslations(const Args& parsed) {
    const std::string& path = parsed.Positional()[0];
    const std::string& filePath = parsed.Positional()[1];
    if (!Checked("import", CheckInputFile(filePath, "translation file"))) return 1;
    WriterLocks locks("import", parsed.Has("--wait"));
    auto codePage = parsed.Number("--codepage", 0);
    if (!codePage) return 2;
    auto project = OpenProjectFile("import", path, *codePage, &locks);
    if (!project) return 1;
    if (!Checked("import", CheckDistinctFromProject(*project, path, {"translation file", filePath}))) return 1;
    auto file = ReadTranslationFile(filePath);
    if (!file) {
        Err() << "quillon-cli import: " << filePath << ": " << file.GetError().Describe() << "\n";
        return 1;
    }
    auto planned = PlanImport(*project, file.Value());
    if (!planned) {
        Err() << "quillon-cli import: " << filePath << ": " << planned.GetError().Describe() << "\n";
        return 1;
    }
    ImportPlan& plan = planned.Value();
    bool changed = !plan.change.Empty();
    plan.change.Apply(*project);
    bool saved = changed && SaveProjectFile("import", *project, path);
    if (parsed.Has("--json")) PrintImportJson(plan, file.Value().units.size(), saved);
    else PrintImportText(plan, file.Value().units.size());
    if (!changed) {
        if (!parsed.Has("--json")) Out() << "Nothing changed; the project was not saved.\n";
        return 0;
    }
    return saved ? 0 : 1;
}

int RunExport(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("export"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("export", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    const std::string output = parsed->Value("-o");
    auto format = ExportFormat(*parsed, output);
    if (!format) return 2;
    if (!Checked("export", CheckOutputFile(output, "translation file"))) return 1;
    auto project = OpenProjectFile("export", path, *codePage);
    if (!project) return 1;
    if (!Checked("export", CheckDistinctFromProject(*project, path, {"translation file", output}))) return 1;
    UnitFile units = UnitsOf(*project);
    auto written = WriteUnits(*format, units);
    if (!written) {
        Err() << "quillon-cli export: " << written.GetError().Describe() << "\n";
        return 1;
    }
    if (!Checked("export", WriteFileAtomically(output, Bytes(written.Value().bytes)))) return 1;
    std::size_t leftOut = written.Value().leftOut.size();
    Out() << "Exported " << CountOf(units.units.size() - leftOut, "unit") << " to " << output << "\n";
    for (const std::string& id : written.Value().leftOut)
        Err() << "warning: " << id << " left out: its text has a control character the format cannot carry\n";
    return 0;
}

int RunPseudo(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("pseudo"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    auto expand = parsed->Number("--expand", 30);
    if (!codePage || !expand) return 2;
    if (parsed->Positional().size() != 1 || *expand > 1000) {
        PrintUsageOf("pseudo", Err());
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("pseudo", parsed->Has("--wait"));
    auto project = OpenProjectFile("pseudo", path, *codePage, &locks);
    if (!project) return 1;
    PseudoOptions options{
        .expand = *expand, .accents = parsed->Has("--accents"), .brackets = parsed->Has("--brackets")};
    ProjectChange change = PlanPseudoTranslation(*project, options);
    std::size_t edits = change.ItemEdits().size();
    change.Apply(*project);
    Out() << "Pseudo-translated " << CountOf(edits, "item") << ".\n";
    return edits == 0 || SaveProjectFile("pseudo", *project, path) ? 0 : 1;
}

} // namespace quillon::cli
