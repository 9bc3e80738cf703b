#include <unistd.h>

#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "Output.h"
#include "TreeOutput.h"
#include "extract/ResourceExtractor.h"
#include "io/Heap.h"

namespace quillon::cli {

namespace {

// A one-line percentage on an interactive terminal; silent otherwise.
class TerminalProgress : public IProgress {
public:
    TerminalProgress() : m_enabled(::isatty(STDERR_FILENO) != 0) {}
    void Show(std::string_view, std::uint32_t range) override { m_range = range; }
    void Step() override {
        ++m_done;
        if (!m_enabled || m_range == 0) return;
        unsigned percent = static_cast<unsigned>(100ull * m_done / m_range);
        if (percent != m_shown) {
            m_shown = percent;
            Err() << "\rExtracting resources... " << percent << "%";
        }
    }
    void Hide() override {
        if (m_enabled && m_range) Err() << "\r\033[K";
    }

private:
    bool m_enabled;
    std::uint32_t m_range = 0;
    std::uint32_t m_done = 0;
    unsigned m_shown = 101;
};

struct ScanOptions {
    std::string module;
    bool json = false;
    bool summary = false; // settings and counters without the tree
    std::uint32_t codePage = kDefaultCodePage;
    std::optional<std::uint16_t> language; // read in this language instead of the module's own
};

bool ParseOptions(const std::vector<std::string>& args, ScanOptions& options) {
    auto parsed = Args::Parse(Command("scan"), args);
    if (!parsed) return false;
    auto codePage = parsed->Number("--codepage", kDefaultCodePage);
    if (!codePage) return false;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("scan", Err());
        return false;
    }
    if (parsed->Has("--language")) {
        options.language = parsed->Language();
        if (!options.language) return false;
    }
    options.module = parsed->Positional()[0];
    options.json = parsed->Has("--json");
    options.summary = parsed->Has("--summary");
    options.codePage = *codePage;
    return true;
}

void PrintJson(const ScanOptions& options, const CResourceInfo& info, const CodePage& codePage,
               const ExtractReport& report) {
    JsonWriter json;
    json.BeginObject();
    json.Key("module").String(options.module);
    json.Key("fileVersion").String(FileVersionText(info));
    json.Key("language").Number(info.m_wLanguage);
    json.Key("codepage").Number(codePage.Id());
    json.Key("counters");
    WriteCountersJson(json, info, 0); // a module holds no translations
    if (!options.summary) WriteTreeJson(json, info, codePage);
    json.Key("replacedCharacters").Number(static_cast<std::int64_t>(report.replacedCharacters));
    json.Key("diagnostics").BeginArray();
    for (const auto& line : report.diagnostics) json.String(codePage.ToUtf8(line));
    json.EndArray();
    json.EndObject();
    Out() << json.Text() << "\n";
}

void PrintPlain(const ScanOptions& options, const CResourceInfo& info, const CodePage& codePage,
                const ExtractReport& report) {
    Out() << "Module:       " << options.module << "\n"
              << "File version: " << FileVersionText(info) << "\n"
              << "Language:     " << LanguageText(info.m_wLanguage) << "\n"
              << "Code page:    " << codePage.Id() << "\n";
    PrintCounters(Out(), info, 0);
    if (report.replacedCharacters)
        Out() << "Replaced:         " << report.replacedCharacters
                  << " characters the code page cannot hold (shown as '?')\n";
    if (!options.summary) {
        Out() << "\n";
        PrintTree(Out(), info, codePage);
    }
    for (const auto& line : report.diagnostics) Err() << "warning: " << line << "\n";
}

} // namespace

int RunScan(const std::vector<std::string>& args) {
    ScanOptions options;
    if (!ParseOptions(args, options)) return 2;
    CodePage codePage(options.codePage);
    CResourceInfo info;
    TerminalProgress progress;
    ExtractReport report;
    Status scanned = Done{};
    {
        // Opened before the extractor reads it, so that the heap is set up
        // for the size of tree the module will give.
        Result<ResourceModule> opened = ResourceModule::Open(options.module);
        if (opened) PrepareHeapForTreeOf(ScannedBytes(opened.Value()));
        CResourceExtractor extractor(std::move(opened), info, codePage, &progress);
        if (options.language) extractor.ReadIn(*options.language);
        scanned = extractor.Extract();
        report = extractor.Report();
    }
    if (!scanned) {
        Err() << "quillon-cli scan: " << scanned.GetError().message << "\n";
        return scanned.GetError().code == Error::Code::Unsupported ? 2 : 1;
    }
    if (options.json)
        PrintJson(options, info, codePage, report);
    else
        PrintPlain(options, info, codePage, report);
    EndAfterOutput(0);
}

} // namespace quillon::cli
