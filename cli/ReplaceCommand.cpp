// replace: Find and Replace in the translations of a project, as the
// desktop's Edit > Replace plans it: every row with its checks, then the
// rows that can be applied, saved as the other commands save.

#include "Args.h"
#include "CheckOutput.h"
#include "Commands.h"
#include "Help.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "replace/ReplacePlan.h"
#include "model/CountText.h"

namespace quillon::cli {

namespace {

void PrintRow(const ReplaceRow& row, const CodePage& codePage) {
    Out() << row.path << ": \"" << codePage.ToUtf8(row.Before()) << "\" -> \"" << codePage.ToUtf8(row.After())
              << "\"";
    if (row.outcome == ReplaceOutcome::Unencodable)
        Out() << " (left out: characters code page " << codePage.Id() << " cannot hold)";
    if (row.outcome == ReplaceOutcome::Emptied) Out() << " (left out: nothing would be left)";
    Out() << "\n";
    for (const Finding& finding : row.findings) {
        Out() << "  ";
        PrintFinding(Out(), finding);
    }
}

} // namespace

int RunReplace(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("replace"), args);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("replace", Err());
        return 2;
    }
    FindOptions options{.matchCase = parsed->Has("--case"),
                        .wholeWord = parsed->Has("--word"),
                        .regularExpression = parsed->Has("--regex")};
    auto matcher = TextMatcher::Compile(parsed->Value("--find"), parsed->Value("--with"), options);
    if (!matcher) {
        Err() << "quillon-cli replace: " << matcher.GetError().message << " (at " << matcher.GetError().offset
                  << ")\n";
        return 2;
    }
    const std::string& path = parsed->Positional()[0];
    bool dryRun = parsed->Has("--dry-run");
    WriterLocks locks("replace", parsed->Has("--wait"));
    auto project = OpenProjectFile("replace", path, *codePage, dryRun ? nullptr : &locks);
    if (!project) return 1;
    std::vector<ReplaceRow> rows = PlanReplace(*project, matcher.Value());
    CodePage texts(project->GetCodePage());
    for (const ReplaceRow& row : rows) PrintRow(row, texts);
    ProjectChange change = ReplacementChange(rows);
    std::size_t replaced = change.ItemEdits().size();
    Out() << "Replaced in " << CountOf(replaced, "item") << " of " << rows.size()
              << " found" << (dryRun ? " (dry run: nothing written)" : "") << ".\n";
    if (dryRun || replaced == 0) return 0;
    change.Apply(*project);
    return SaveProjectFile("replace", *project, path) ? 0 : 1;
}

} // namespace quillon::cli
