// The translation memory at the size of a large company's memory: a
// generated TMX of QUILLON_BENCH_TM_UNITS units (default 1,000,000) of UI
// texts, imported, then looked up.
//
// BM_TmImport     reads the TMX into a new memory (one pass, timed once);
//                 counters: units/s and the process's peak resident size.
// BM_TmLookup     200 fuzzy look-ups of stored texts with a word or number
//                 changed; counters: the median and the 99th percentile.
// BM_TmScoreAll   what a look-up would cost without the index: every unit's
//                 source normalised and scored against the query.
//
// With QUILLON_BENCH_TM_MEMORY=FILE the look-ups use that memory (bench/run
// imports it with quillon-cli, timing the command and its peak size) and
// BM_TmImport is not needed. `quillon_bench_memory --tmx FILE N` writes the
// generated TMX and exits.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "GeneratedModules.h"
#include "memory/FuzzyScore.h"
#include "memory/Tmx.h"

namespace {

using namespace quillon;

constexpr const char* kWords[] = {
    "file", "open", "save", "document", "folder", "print", "preview", "settings", "window", "view", "edit", "copy",
    "paste", "delete", "selection", "table", "column", "row", "format", "font", "style", "page", "layout", "insert",
    "picture", "chart", "network", "server", "connection", "account", "password", "user", "profile", "backup",
    "restore", "update", "download", "install", "remove", "program", "error", "warning", "message", "cannot",
    "could", "not", "be", "found", "the", "a", "of", "to", "in", "is", "was", "this", "all", "new", "current",
    "default", "options", "advanced", "search", "replace", "next", "previous", "close", "exit", "help", "about",
    "version", "license", "language", "toolbar", "status", "bar", "zoom", "size", "color", "border", "shading",
    "header", "footer", "number", "total", "left", "right", "center", "top", "bottom", "before", "after"};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::size_t UnitCount() {
    const char* text = std::getenv("QUILLON_BENCH_TM_UNITS");
    return text ? std::strtoull(text, nullptr, 10) : 1000000;
}

// The n-th generated source text: 3 to 10 words, some with a number or a
// placeholder; the same n always gives the same text.
std::string SourceText(std::size_t n) {
    std::mt19937 random(static_cast<std::uint32_t>(n * 2654435761u + 17));
    std::size_t words = 3 + random() % 8;
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
        if (!text.empty()) text += ' ';
        text += kWords[random() % kWordCount];
    }
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    switch (random() % 6) {
    case 0: text += " %1"; break;
    case 1: text += " (" + std::to_string(random() % 1000) + ")"; break;
    case 2: text += "..."; break;
    default: text += " " + std::to_string(n); break; // keeps every text distinct
    }
    return text;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : std::string(1, c);
    return out;
}

bool WriteTmx(const std::string& path, std::size_t units) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\"><header creationtool=\"bench\" "
               "srclang=\"en\" adminlang=\"en\" datatype=\"plaintext\" segtype=\"sentence\" o-tmf=\"bench\"/><body>\n",
               out);
    for (std::size_t n = 0; n < units; ++n) {
        std::string source = Escaped(SourceText(n));
        std::fprintf(out, "<tu changedate=\"20261201T120000Z\"><prop type=\"x-quillon-module\">app%zu.dll</prop>"
                          "<tuv xml:lang=\"en\"><seg>%s</seg></tuv><tuv xml:lang=\"de\"><seg>DE %s</seg></tuv></tu>\n",
                     n % 50, source.c_str(), source.c_str());
    }
    std::fputs("</body></tmx>\n", out);
    return std::fclose(out) == 0;
}

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The memory the look-ups use: given, or generated and imported here once.
std::string g_memoryPath;
double g_importSeconds = 0;

bool EnsureMemory(benchmark::State& state) {
    if (!g_memoryPath.empty()) return true;
    if (const char* given = std::getenv("QUILLON_BENCH_TM_MEMORY")) {
        g_memoryPath = given;
        return true;
    }
    const bench::ScratchDir& scratch = bench::Scratch();
    std::string tmx = scratch.File("memory.tmx");
    if (!WriteTmx(tmx, UnitCount())) {
        state.SkipWithError("cannot write the TMX");
        return false;
    }
    auto memory = TranslationMemory::Open(scratch.File("memory.db"), MemoryOpen::CreateIfNone);
    if (!memory) {
        state.SkipWithError(memory.GetError().message.c_str());
        return false;
    }
    auto start = std::chrono::steady_clock::now();
    auto report = ImportTmx(memory.Value(), tmx, 1);
    g_importSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!report) {
        state.SkipWithError(report.GetError().message.c_str());
        return false;
    }
    g_memoryPath = scratch.File("memory.db");
    return true;
}

void BM_TmImport(benchmark::State& state) {
    for (auto _ : state) {
        if (!EnsureMemory(state)) return;
        state.SetIterationTime(g_importSeconds);
    }
    state.counters["units/s"] = static_cast<double>(UnitCount()) / std::max(g_importSeconds, 1e-9);
    state.counters["peak_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_TmImport)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A stored text with one word replaced and its number changed.
std::string Query(std::size_t n) {
    std::string text = SourceText(n);
    std::size_t space = text.find(' ');
    if (space != std::string::npos) text.insert(space, " and");
    for (char& c : text)
        if (c >= '0' && c <= '8') c = static_cast<char>(c + 1);
    return text;
}

void BM_TmLookup(benchmark::State& state) {
    if (!EnsureMemory(state)) return;
    auto memory = TranslationMemory::Open(g_memoryPath, MemoryOpen::Existing);
    if (!memory) return state.SkipWithError(memory.GetError().message.c_str());
    std::vector<double> times;
    std::size_t found = 0, units = UnitCount();
    for (auto _ : state) {
        for (std::size_t i = 0; i < 200; ++i) {
            MemoryQuery query;
            query.text = Query((i * 7919) % units);
            query.targetLanguage = "de";
            auto start = std::chrono::steady_clock::now();
            auto matches = memory.Value().Lookup(query);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (!matches) return state.SkipWithError(matches.GetError().message.c_str());
            found += matches.Value().empty() ? 0 : 1;
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p99_ms"] = times[times.size() * 99 / 100];
    state.counters["found_%"] = 100.0 * static_cast<double>(found) / static_cast<double>(times.size());
}
BENCHMARK(BM_TmLookup)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TmScoreAll(benchmark::State& state) {
    if (!EnsureMemory(state)) return;
    auto memory = TranslationMemory::Open(g_memoryPath, MemoryOpen::Existing);
    if (!memory) return state.SkipWithError(memory.GetError().message.c_str());
    std::size_t best = 0, round = 0;
    for (auto _ : state) {
        NormalisedText query = Normalise(Query((round++ * 7919) % UnitCount()));
        Status read = memory.Value().ForEach([&](const MemoryUnit& unit) {
            if (Score(query, Normalise(unit.source), 70) >= 0) ++best;
            return true;
        });
        if (!read) return state.SkipWithError(read.GetError().message.c_str());
    }
    benchmark::DoNotOptimize(best);
}
BENCHMARK(BM_TmScoreAll)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--tmx")
        return WriteTmx(argv[2], std::strtoull(argv[3], nullptr, 10)) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
