// Throughput of a module scan and of the project record it produces: on one
// large generated module, about the size of a big application's UI, and on a
// small real module built by the resource compiler.
//
// Each scan starts from the file's bytes, so the figures include reading the
// headers and the resource directory as well as parsing every template.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "GeneratedModules.h"
#include "extract/ResourceExtractor.h"
#include "io/FileIo.h"
#include "model/Archive.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"

namespace {

namespace bench = quillon::bench;

using quillon::ArchiveReader;
using quillon::ArchiveWriter;
using quillon::CResourceInfo;
using quillon::ResourceModule;

// Parse and scan; the items of the resulting tree, 0 when the module could not be read.
std::uint64_t Scan(std::vector<std::uint8_t> image, CResourceInfo& info) {
    auto module = ResourceModule::FromBytes(std::move(image));
    if (!module) return 0;
    quillon::CResourceExtractor extractor(std::move(module).Value(), info, quillon::CodePage());
    extractor.Extract();
    return bench::Items(info);
}

std::uint64_t ResourceBytes(const std::vector<std::uint8_t>& image) {
    auto module = ResourceModule::FromBytes(image);
    std::uint64_t total = 0;
    if (!module) return total;
    for (const auto& type : module.Value().Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) total += leaf.size;
    return total;
}

// One module and what a correct scan of it yields. `error` is set when the
// input could not be prepared, so the benchmarks skip instead of timing a
// scan that does less than it should.
struct Corpus {
    std::vector<std::uint8_t> image;
    std::uint64_t resourceBytes = 0;
    std::uint64_t items = 0;
    std::string error;
};

Corpus Prepare(std::vector<std::uint8_t> image, std::uint64_t expectedItems) {
    Corpus corpus;
    corpus.image = std::move(image);
    corpus.resourceBytes = ResourceBytes(corpus.image);
    CResourceInfo info;
    corpus.items = Scan(corpus.image, info);
    if (corpus.items == 0 || (expectedItems != 0 && corpus.items != expectedItems))
        corpus.error = "scan found " + std::to_string(corpus.items) + " items, expected " + std::to_string(expectedItems);
    return corpus;
}

const Corpus& Generated() {
    static const Corpus corpus =
        Prepare(bench::BuildModule(bench::kLargeUi, bench::NumberedTexts()), bench::kLargeUi.Items());
    return corpus;
}

const Corpus& Fixture() {
    static const Corpus corpus = [] {
        auto file = quillon::ReadWholeFile(QUILLON_FIXTURE_DIR "/basic64.exe");
        if (!file) {
            Corpus missing;
            missing.error = file.GetError().Describe();
            return missing;
        }
        return Prepare(std::move(file).Value(), 0);
    }();
    return corpus;
}

void ReportRates(benchmark::State& state, std::uint64_t items, std::uint64_t bytes) {
    state.counters["items/s"] = benchmark::Counter(static_cast<double>(items), benchmark::Counter::kIsRate);
    state.counters["items"] = benchmark::Counter(static_cast<double>(items), benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// The timing includes copying the file's bytes (opening a module reads them
// into a buffer the same way) and freeing the tree. Both are small next to
// the scan, whereas pausing the timer costs two CPU-clock reads each time,
// several percent of a scan of the small module.
void RunScan(benchmark::State& state, const Corpus& corpus) {
    if (!corpus.error.empty()) {
        state.SkipWithError(corpus.error.c_str());
        return;
    }
    std::uint64_t items = 0;
    for (auto _ : state) {
        CResourceInfo info;
        items += Scan(corpus.image, info);
    }
    ReportRates(state, items, corpus.resourceBytes * state.iterations());
}

void BM_ScanGenerated(benchmark::State& state) { RunScan(state, Generated()); }
void BM_ScanFixtureBasic64(benchmark::State& state) { RunScan(state, Fixture()); }

// The tree of the generated module, scanned once, and its project record.
struct Stored {
    CResourceInfo info;
    std::vector<std::uint8_t> record;
    std::string error;
};

const Stored& StoredGenerated() {
    static const Stored stored = [] {
        Stored out;
        const Corpus& corpus = Generated();
        if (!corpus.error.empty()) {
            out.error = corpus.error;
            return out;
        }
        Scan(corpus.image, out.info);
        ArchiveWriter writer;
        out.info.Store(writer, 0);
        out.record = writer.Take();
        // Only a record that reads back to the same tree is worth timing.
        ArchiveReader reader(out.record);
        CResourceInfo loaded;
        loaded.Load(reader);
        if (!(loaded == out.info) || !reader.AtEnd()) out.error = "project record does not read back to the same tree";
        return out;
    }();
    return stored;
}

void BM_StoreGenerated(benchmark::State& state) {
    const Stored& stored = StoredGenerated();
    if (!stored.error.empty()) {
        state.SkipWithError(stored.error.c_str());
        return;
    }
    std::uint64_t items = 0;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        ArchiveWriter writer;
        stored.info.Store(writer, 0);
        bytes += writer.Data().size();
        benchmark::DoNotOptimize(writer.Data().data());
        items += bench::Items(stored.info);
    }
    ReportRates(state, items, bytes);
}

void BM_LoadGenerated(benchmark::State& state) {
    const Stored& stored = StoredGenerated();
    if (!stored.error.empty()) {
        state.SkipWithError(stored.error.c_str());
        return;
    }
    std::uint64_t items = 0;
    for (auto _ : state) {
        ArchiveReader reader(stored.record);
        CResourceInfo loaded;
        loaded.Load(reader);
        items += bench::Items(loaded);
    }
    ReportRates(state, items, stored.record.size() * state.iterations());
}

} // namespace

BENCHMARK(BM_ScanGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanFixtureBasic64)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
