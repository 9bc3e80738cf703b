// Export to and import from XLIFF and PO of a project of about 100,000 items
// (a big application's UI, four items in five translated). Our target is
// under a second for each on the 100,000 items.
//
// BM_Export times what `quillon-cli export` does after opening the project:
// the units, the file's text and its atomic write. BM_Import times what
// `import` does before saving: reading the file, parsing it, planning the
// change (with the checks of every text taken) and applying it, into the
// same project untranslated; taking the change back, between two runs, is
// not timed.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchMain.h"
#include "GeneratedModules.h"
#include "interchange/Interchange.h"
#include "interchange/ProjectUnits.h"
#include "io/FileIo.h"
#include "project/Project.h"

namespace {

namespace bench = quillon::bench;

using quillon::CProject;
using quillon::InterchangeFormat;

std::unique_ptr<CProject> MakeProject(bool translated, std::string& error) {
    auto project = bench::ExtractApplicationProject(error);
    if (!project) return nullptr;
    if (translated) bench::TranslateSome(project->m_ResourceInfo, [](std::uint64_t at) { return at % 5 != 4; });
    return project;
}

const CProject* Translated(std::string& error) {
    static std::string made;
    static std::unique_ptr<CProject> project = MakeProject(true, made);
    error = made;
    return project.get();
}

InterchangeFormat FormatOf(const benchmark::State& state) {
    return state.range(0) == 0 ? InterchangeFormat::Xliff : InterchangeFormat::Po;
}

std::string FileOf(InterchangeFormat format) {
    return bench::Scratch().File(format == InterchangeFormat::Xliff ? "app.xlf" : "app.po");
}

void BM_Export(benchmark::State& state) {
    std::string error;
    const CProject* project = Translated(error);
    if (!project) return state.SkipWithError(error.c_str());
    InterchangeFormat format = FormatOf(state);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto written = quillon::WriteUnits(format, quillon::UnitsOf(*project));
        const std::string& text = written.Value().bytes;
        auto saved = quillon::WriteFileAtomically(
            FileOf(format), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        if (!saved) return state.SkipWithError(saved.GetError().Describe().c_str());
        bytes = text.size();
    }
    state.counters["MB"] = double(bytes) / 1e6;
    state.counters["units/s"] = benchmark::Counter(double(quillon::UnitsOf(*project).units.size()) *
                                                       double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Export)->Arg(0)->Arg(1)->ArgName("po")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Import(benchmark::State& state) {
    std::string error;
    const CProject* translated = Translated(error);
    if (!translated) return state.SkipWithError(error.c_str());
    auto project = MakeProject(false, error);
    if (!project) return state.SkipWithError(error.c_str());
    InterchangeFormat format = FormatOf(state);
    const std::string path = FileOf(format);
    std::string text = quillon::WriteUnits(format, quillon::UnitsOf(*translated)).Value().bytes;
    if (!quillon::WriteFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}))
        return state.SkipWithError("cannot write the file to import");
    std::size_t edits = 0;
    for (auto _ : state) {
        auto bytes = quillon::ReadWholeFile(path);
        auto units = quillon::ReadUnits(format, bytes.Value());
        if (!units) return state.SkipWithError(units.GetError().Describe().c_str());
        quillon::ImportPlan plan = quillon::PlanImport(*project, units.Value()).Value();
        plan.change.Apply(*project);
        edits = plan.change.ItemEdits().size();
        state.PauseTiming();
        plan.change.Revert(*project);
        state.ResumeTiming();
    }
    state.counters["edits"] = double(edits);
}
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->ArgName("po")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

QUILLON_BENCHMARK_MAIN()
