// The `tm` commands: the translation memory from the command line.

#include <ctime>
#include <optional>

#include "Args.h"
#include "Commands.h"
#include "Help.h"
#include "Json.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "interchange/LanguageTags.h"
#include "memory/MemoryFeed.h"
#include "memory/Tmx.h"
#include "model/CountText.h"
#include "model/TextEscapes.h"

namespace quillon::cli {

namespace {

// Prints a failed result's error. Errors of the memory file carry no offset,
// and those of a TMX file say where they are.
template <typename T>
bool Reported(const std::string& command, const Result<T>& result) {
    if (result) return true;
    const Error& error = result.GetError();
    Err() << "quillon-cli " << command << ": " << error.message;
    if (error.offset) Err() << " (at byte " << error.offset << ")";
    Err() << "\n";
    return false;
}

// Parses a tm command's arguments: its options and exactly `operands` operands.
std::optional<Args> ParseTm(const std::string& name, const std::vector<std::string>& args, std::size_t operands) {
    auto parsed = Args::Parse(Command(name), args);
    if (!parsed) return std::nullopt;
    if (parsed->Positional().size() != operands) {
        PrintUsageOf(name, Err());
        return std::nullopt;
    }
    return parsed;
}


// A --from or --to language as a tag; "" when not given, none (after a
// message) when it names no language.
std::optional<std::string> LanguageOption(const Args& args, const std::string& option) {
    if (!args.Has(option)) return std::string();
    auto tag = TagFromUser(args.Value(option));
    if (!tag) Err() << "quillon-cli tm lookup: " << option << ": unknown language '" << args.Value(option) << "'\n";
    return tag;
}

void PrintMatchJson(JsonWriter& json, const MemoryMatch& match) {
    const MemoryUnit& unit = match.unit;
    json.BeginObject();
    json.Key("score").Number(match.score);
    json.Key("sameContext").Bool(match.sameContext);
    json.Key("source").String(unit.source);
    json.Key("target").String(unit.target);
    json.Key("sourceLanguage").String(unit.sourceLanguage);
    json.Key("targetLanguage").String(unit.targetLanguage);
    json.Key("module").String(unit.module);
    json.Key("address").String(unit.address);
    json.Key("kind").String(unit.kind);
    json.Key("translator").String(unit.translator);
    json.Key("changed").String(TmxDate(unit.changed));
    json.EndObject();
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

} // namespace

std::optional<TranslationMemory> OpenMemory(const std::string& command, const Args& args, MemoryOpen mode) {
    std::string path = args.Has("--memory") ? AbsolutePath(args.Value("--memory")) : TranslationMemory::DefaultPath();
    auto memory = TranslationMemory::Open(path, mode);
    if (!memory) {
        Reported(command, memory);
        return std::nullopt;
    }
    return std::move(memory).Value();
}

int RunTmLookup(const std::vector<std::string>& args) {
    auto parsed = ParseTm("tm lookup", args, 1);
    if (!parsed) return 2;
    auto threshold = parsed->Number("--threshold", 70);
    auto limit = parsed->Number("--limit", 10);
    auto from = LanguageOption(*parsed, "--from");
    auto to = LanguageOption(*parsed, "--to");
    if (!threshold || !limit || !from || !to) return 2;
    if (*threshold > 100) {
        Err() << "quillon-cli tm lookup: --threshold is a score from 0 to 100\n";
        return 2;
    }
    auto memory = OpenMemory("tm lookup", *parsed, MemoryOpen::Existing);
    if (!memory) return 1;
    MemoryQuery query{parsed->Positional()[0], *from, *to, "", "", static_cast<int>(*threshold), *limit};
    auto matches = memory->Lookup(query);
    if (!Reported("tm lookup", matches)) return 1;
    if (parsed->Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("matches").BeginArray();
        for (const MemoryMatch& match : matches.Value()) PrintMatchJson(json, match);
        json.EndArray().EndObject();
        Out() << json.Text() << "\n";
        return 0;
    }
    // One line a match: its texts' tabs and line breaks are written as \t, \n, \r, as `show` writes them.
    const CodePage utf8(kCodePageUtf8);
    for (const MemoryMatch& match : matches.Value()) {
        const MemoryUnit& unit = match.unit;
        Out() << match.score << "\t" << EscapeText(unit.source, utf8) << "\t" << EscapeText(unit.target, utf8) << "\t"
              << unit.sourceLanguage << "-" << unit.targetLanguage << "\t" << unit.module
              << (unit.address.empty() ? "" : " ") << unit.address << "\n";
    }
    return 0;
}

int RunTmImport(const std::vector<std::string>& args) {
    auto parsed = ParseTm("tm import", args, 1);
    if (!parsed) return 2;
    auto memory = OpenMemory("tm import", *parsed, MemoryOpen::CreateIfNone);
    if (!memory) return 1;
    const std::string& file = parsed->Positional()[0];
    auto report = ImportTmx(*memory, file, Now());
    if (!Reported("tm import", report)) return 1;
    const TmxReport& done = report.Value();
    for (const TmxSkipped& skip : done.skipped)
        Err() << "quillon-cli tm import: " << file << ":" << skip.line << ": unit left out: " << skip.reason << "\n";
    if (parsed->Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("stored").Number(static_cast<std::int64_t>(done.units));
        json.Key("skipped").Number(static_cast<std::int64_t>(done.skippedUnits)).EndObject();
        Out() << json.Text() << "\n";
    } else {
        Out() << CountOf(done.units, "unit") << " stored in " << memory->Path() << ", " << done.skippedUnits
                  << " left out\n";
    }
    return 0;
}

int RunTmExport(const std::vector<std::string>& args) {
    auto parsed = ParseTm("tm export", args, 1);
    if (!parsed) return 2;
    auto memory = OpenMemory("tm export", *parsed, MemoryOpen::Existing);
    if (!memory) return 1;
    auto written = ExportTmx(*memory, parsed->Positional()[0]);
    if (!Reported("tm export", written)) return 1;
    Out() << CountOf(written.Value(), "unit") << " written to " << parsed->Positional()[0] << "\n";
    return 0;
}

int RunTmStats(const std::vector<std::string>& args) {
    auto parsed = ParseTm("tm stats", args, 0);
    if (!parsed) return 2;
    auto memory = OpenMemory("tm stats", *parsed, MemoryOpen::Existing);
    if (!memory) return 1;
    auto stats = memory->Stats();
    if (!Reported("tm stats", stats)) return 1;
    if (parsed->Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("memory").String(memory->Path());
        json.Key("units").Number(stats.Value().units).Key("modules").Number(stats.Value().modules);
        json.Key("languages").BeginArray();
        for (const LanguagePairCount& pair : stats.Value().pairs) {
            json.BeginObject().Key("source").String(pair.sourceLanguage).Key("target").String(pair.targetLanguage);
            json.Key("units").Number(pair.units).EndObject();
        }
        json.EndArray().EndObject();
        Out() << json.Text() << "\n";
        return 0;
    }
    Out() << memory->Path() << ": " << CountOf(stats.Value().units, "unit") << " from "
          << CountOf(stats.Value().modules, "module") << "\n";
    for (const LanguagePairCount& pair : stats.Value().pairs)
        Out() << pair.sourceLanguage << "-" << pair.targetLanguage << "\t" << pair.units << "\n";
    return 0;
}

int RunTmAdd(const std::vector<std::string>& args) {
    auto parsed = ParseTm("tm add", args, 1);
    if (!parsed) return 2;
    auto codePage = parsed->Number("--codepage", 0);
    if (!codePage) return 2;
    auto project = OpenProjectFile("tm add", parsed->Positional()[0], *codePage);
    if (!project) return 1;
    auto memory = OpenMemory("tm add", *parsed, MemoryOpen::CreateIfNone);
    if (!memory) return 1;
    auto stored = StoreProject(*memory, *project, Now());
    if (!Reported("tm add", stored)) return 1;
    Out() << CountOf(stored.Value().stored, "translated item") << " stored in " << memory->Path() << "\n";
    if (stored.Value().skipped)
        Err() << "quillon-cli tm add: " << CountOf(stored.Value().skipped, "item")
                  << " left out: the module's or the target's language has no tag\n";
    if (!parsed->Has("--dictionary")) return 0;
    auto entries = StoreProjectDictionary(*memory, *project, Now());
    if (!Reported("tm add", entries)) return 1;
    Out() << entries.Value().stored << " dictionary entries stored\n";
    return 0;
}

} // namespace quillon::cli
