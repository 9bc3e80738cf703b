#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "CheckOutput.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "check/ProjectChecks.h"
#include "project/ModuleCheck.h"
#include "target/TargetBuilder.h"

namespace quillon::cli {

namespace {

// The checks run before every build; errors stop it unless forced. Each
// error is listed, and the counts are said either way.
bool ChecksAllowBuild(const CProject& project, bool force) {
    std::vector<Finding> findings = CheckProject(project, CheckOptions{.untranslated = false});
    FindingCounts counts = CountFindings(findings);
    for (const Finding& finding : findings)
        if (finding.severity == Severity::Error) PrintFinding(Err(), finding);
    Err() << "Checks: " << CountsText(counts) << "\n";
    if (counts.errors == 0 || force) return true;
    Err() << "quillon-cli build: the checks found errors; fix them (see quillon-cli check) or build with --force\n";
    return false;
}

} // namespace

int RunBuild(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("build"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("build", Err());
        return 2;
    }
    if (parsed->Has("--target") && parsed->Value("--target").empty()) {
        Err() << "quillon-cli build: the target path is empty\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    WriterLocks locks("build", parsed->Has("--wait"));
    auto project = OpenProjectFile("build", path, *codePage, &locks);
    if (!project) return 1;
    // Stored absolute, so later builds from any folder write the same file.
    std::string target = parsed->Has("--target") ? AbsolutePath(parsed->Value("--target")) : project->m_strTargetPath;
    if (target.empty()) {
        Err() << "quillon-cli build: the project has no target path yet; give one with --target PATH\n";
        return 1;
    }
    if (!Checked("build", CheckTargetPath(*project, path, target))) return 1;
    if (!Checked("build", CheckModuleMatches(*project))) return 1;
    if (!ChecksAllowBuild(*project, parsed->Has("--force"))) return 1;
    auto report = BuildTarget(*project, target);
    if (!report) {
        Err() << "quillon-cli build: " << report.GetError().Describe() << "\n";
        return 1;
    }
    for (const auto& line : report.Value().lines) Out() << line << "\n";
    for (const auto& line : report.Value().warnings) Err() << "warning: " << line << "\n";
    Out() << "Built " << target << "\n";
    if (target != project->m_strTargetPath) {
        project->m_strTargetPath = target;
        if (!SaveProjectFile("build", *project, path)) return 1;
    }
    return 0;
}

} // namespace quillon::cli
