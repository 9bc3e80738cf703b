// Throughput of a module scan and of the project record it produces: on one
// large generated module, about the size of a big application's UI, and on a
// small real module built by the resource compiler.
//
// Each scan starts from the file's bytes, so the figures include reading the
// headers and the resource directory as well as parsing every template.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "extract/ResourceExtractor.h"
#include "io/FileIo.h"
#include "model/Archive.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"
#include "support/PeBuilder.h"

namespace {

using quillon::ArchiveReader;
using quillon::ArchiveWriter;
using quillon::CResourceInfo;
using quillon::ResourceId;
using quillon::ResourceModule;
using quillon::testing::BuiltResource;

constexpr int kStrings = 30000; // 1875 full blocks
constexpr int kDialogs = 2000;
constexpr int kControlsPerDialog = 8;
constexpr int kMenus = 200;
constexpr int kPopupsPerMenu = 5;
constexpr int kItemsPerPopup = 12; // one of them a separator
constexpr std::uint16_t kLanguage = 0x0409;

std::u16string Number(int n) {
    std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

std::vector<BuiltResource> StringBlocks() {
    std::vector<BuiltResource> out;
    for (int first = 0; first < kStrings; first += 16) {
        std::array<std::u16string, 16> slots;
        for (int slot = 0; slot < 16 && first + slot < kStrings; ++slot) {
            int id = first + slot;
            slots[static_cast<std::size_t>(slot)] =
                u"Message " + Number(id) + (id % 8 == 0 ? u":\r\nthe file could not be saved." : u": done.");
        }
        auto block = static_cast<std::uint16_t>(first / 16 + 1);
        out.push_back({ResourceId::Integer(6), ResourceId::Integer(block), kLanguage,
                       quillon::testing::StringBlockBytes(slots)});
    }
    return out;
}

std::vector<BuiltResource> Dialogs() {
    std::vector<BuiltResource> out;
    for (int d = 0; d < kDialogs; ++d) {
        std::vector<quillon::testing::DialogControl> controls;
        for (int c = 0; c < kControlsPerDialog; ++c)
            controls.push_back({static_cast<std::uint16_t>(1000 + c), u"&Option " + Number(c) + u" of page " + Number(d)});
        out.push_back({ResourceId::Integer(5), ResourceId::Integer(static_cast<std::uint16_t>(100 + d)), kLanguage,
                       quillon::testing::StandardDialogBytes(u"Settings page " + Number(d), controls)});
    }
    return out;
}

std::vector<BuiltResource> Menus() {
    std::vector<BuiltResource> out;
    for (int m = 0; m < kMenus; ++m) {
        std::vector<quillon::testing::BuiltMenuPopup> popups;
        for (int p = 0; p < kPopupsPerMenu; ++p) {
            quillon::testing::BuiltMenuPopup popup{u"&Popup " + Number(p), {}};
            for (int i = 0; i < kItemsPerPopup; ++i) {
                if (i == kItemsPerPopup / 2) {
                    popup.items.push_back({0, u""});
                    continue;
                }
                auto id = static_cast<std::uint16_t>(10000 + 100 * p + i);
                popup.items.push_back({id, u"&Command " + Number(i) + u"\tCtrl+" + Number(i)});
            }
            popups.push_back(std::move(popup));
        }
        out.push_back({ResourceId::Integer(4), ResourceId::Integer(static_cast<std::uint16_t>(1 + m)), kLanguage,
                       quillon::testing::StandardMenuBytes(popups)});
    }
    return out;
}

// Items a scan adds to the tree: strings, dialogs and their controls, each
// menu's own node, its popups and items.
std::uint64_t Items(const CResourceInfo& info) {
    return std::uint64_t{info.m_nStrings} + info.m_nDialogs + info.m_nControls + info.m_nPopups + info.m_nMenuItems;
}

constexpr std::uint64_t kGeneratedItems = kStrings + kDialogs * (1 + kControlsPerDialog) +
                                          kMenus * (1 + kPopupsPerMenu * (1 + kItemsPerPopup));

// Parse and scan; the items of the resulting tree, 0 when the module could not be read.
std::uint64_t Scan(std::vector<std::uint8_t> image, CResourceInfo& info) {
    auto module = ResourceModule::FromBytes(std::move(image));
    if (!module) return 0;
    quillon::CResourceExtractor extractor(std::move(module).Value(), info, quillon::CodePage());
    extractor.Extract();
    return Items(info);
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
    static const Corpus corpus = [] {
        std::vector<BuiltResource> resources = StringBlocks();
        for (auto* generate : {Dialogs, Menus})
            for (auto& resource : generate()) resources.push_back(std::move(resource));
        resources.push_back({ResourceId::Integer(16), ResourceId::Integer(1), kLanguage,
                             quillon::testing::VersionBytes()});
        return Prepare(quillon::testing::BuildPeWithResources(resources), kGeneratedItems);
    }();
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
        items += Items(stored.info);
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
        items += Items(loaded);
    }
    ReportRates(state, items, stored.record.size() * state.iterations());
}

} // namespace

BENCHMARK(BM_ScanGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGenerated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanFixtureBasic64)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
