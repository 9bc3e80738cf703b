#include "Args.h"
#include "CheckOutput.h"
#include "Commands.h"
#include "Help.h"
#include "Json.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "check/HunspellSpelling.h"
#include "check/ProjectChecks.h"
#include "extract/Languages.h"
#include "model/CountText.h"
#include "model/ItemKind.h"

namespace quillon::cli {

namespace {

void PrintJson(std::span<const Finding> findings, const FindingCounts& counts) {
    JsonWriter json;
    json.BeginObject().Key("errors").Number(static_cast<std::int64_t>(counts.errors));
    json.Key("warnings").Number(static_cast<std::int64_t>(counts.warnings));
    json.Key("notes").Number(static_cast<std::int64_t>(counts.notes));
    json.Key("findings").BeginArray();
    for (const Finding& finding : findings) {
        json.BeginObject().Key("severity").String(SeverityName(finding.severity));
        json.Key("code").String(InfoOf(finding.code).name).Key("path").String(finding.path);
        json.Key("kind").String(KindName(finding.item->GetKind())).Key("message").String(finding.message);
        json.EndObject();
    }
    json.EndArray().EndObject();
    Out() << json.Text() << "\n";
}

// The spelling of the project's language, knowing the words of its
// dictionary's translations; null (said once on stderr) when the system has
// no dictionary for the language.
std::unique_ptr<HunspellSpelling> SpellingFor(const CProject& project) {
    auto spelling = OpenSpelling(project.m_wTargetLanguage, &project.m_Dictionary, CodePage(project.GetCodePage()));
    if (!spelling) {
        std::string language = LanguageName(project.m_wTargetLanguage);
        Err() << "spelling: no dictionary for " << (language.empty() ? "the target language" : language)
                  << " installed\n";
    }
    return spelling;
}

} // namespace

std::string CountsText(const FindingCounts& counts) {
    return CountOf(counts.errors, "error") + ", " + CountOf(counts.warnings, "warning") + ", " +
           CountOf(counts.notes, "note");
}

void PrintFinding(Output& out, const Finding& finding) {
    out << SeverityName(finding.severity) << ": " << finding.path << " [" << InfoOf(finding.code).name
        << "] " << finding.message << "\n";
}

int RunCheck(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("check"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("check", Err());
        return 2;
    }
    auto project = OpenProjectFile("check", parsed->Positional()[0], *codePage);
    if (!project) return 1;
    std::unique_ptr<HunspellSpelling> spelling = parsed->Has("--no-spelling") ? nullptr : SpellingFor(*project);
    std::vector<Finding> findings = CheckProject(*project, CheckOptions{.spelling = spelling.get()});
    FindingCounts counts = CountFindings(findings);
    if (parsed->Has("--errors-only"))
        std::erase_if(findings, [](const Finding& finding) { return finding.severity != Severity::Error; });
    if (parsed->Has("--json")) {
        PrintJson(findings, counts);
    } else {
        for (const Finding& finding : findings) PrintFinding(Out(), finding);
        Out() << CountsText(counts) << "\n";
    }
    bool failed = counts.errors != 0 || (parsed->Has("--strict") && counts.warnings != 0);
    return failed ? 1 : 0;
}

} // namespace quillon::cli
