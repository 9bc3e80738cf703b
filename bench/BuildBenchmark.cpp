// Throughput of Build Target against the cheapest way to produce a file of
// the same size: copying the module. Two generated modules: one of about
// 3 MB holding only translatable resources (a big application's string
// tables, dialogs and menus), and one of about 15 MB that adds large binary
// resources (RCDATA), which a build carries over untouched.
//
// Every figure is wall-clock time and bytes/s of the module's size, so the
// rate of a build and of a copy of the same module compare directly:
//  - BM_BuildTarget: BuildTarget of a project extracted from the module with
//    two items in three translated. It reads the module, rebuilds the string
//    tables, dialogs, menus and version resource, commits the new resource
//    section and writes the target atomically (flushed to disk).
//  - BM_CopyAtomically: ReadWholeFile and WriteFileAtomically, the same read
//    and the same flushed write as a build, with nothing in between: the
//    floor a build can approach.
//  - BM_CopyFile: std::filesystem::copy_file, which the kernel does without
//    the bytes passing through us and without a flush: a lower floor still,
//    and what a user compares with when copying the file by hand.
//  - BM_CopyAndFlush: the same copy followed by fsync of the copy, as
//    `cp` and `sync` of it: a copy that is on the disk when it ends, as a
//    built target is.
//
// The files live in a folder under the temporary folder, so the figures
// depend on its file system.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GeneratedModules.h"
#include "target/TargetBuilder.h"
#include "io/FileIo.h"
#include "pe/ResourceModule.h"
#include "project/NewProject.h"
#include "project/Project.h"

namespace {

namespace bench = quillon::bench;

using quillon::CProject;
using quillon::ResourceId;

// ---------------------------------------------------------------------------
// The generated modules

constexpr std::uint16_t kTypeRcData = 10;

// The binary resources of the larger module: pictures, sounds, a packed
// help file, the kind of data that makes a module large without giving a
// translator anything to do.
constexpr int kDataResources = 48;
constexpr std::size_t kDataResourceBytes = 256 * 1024;

enum class ModuleKind { Ui, UiAndData };

using bench::NoiseBytes;

std::vector<bench::BuiltResource> DataResources() {
    std::vector<bench::BuiltResource> out;
    for (int n = 0; n < kDataResources; ++n)
        out.push_back({ResourceId::Integer(kTypeRcData), ResourceId::Integer(static_cast<std::uint16_t>(1 + n)),
                       bench::kLanguage, NoiseBytes(kDataResourceBytes, static_cast<std::uint32_t>(n))});
    return out;
}

std::vector<std::uint8_t> BuildModule(ModuleKind kind) {
    std::vector<bench::BuiltResource> data;
    if (kind == ModuleKind::UiAndData) data = DataResources();
    return bench::BuildModule(bench::kLargeUi, bench::NumberedTexts(), {}, std::move(data));
}

// ---------------------------------------------------------------------------
// Projects

// Two translatable items in three get a translation, so the build writes
// both translated and original texts.
void Translate(quillon::CResourceInfo& info) {
    bench::TranslateSome(info, [](std::uint64_t position) { return position % 3 != 2; });
}

// ---------------------------------------------------------------------------
// The inputs, prepared once per module and checked, so the benchmarks skip
// instead of timing work that does less than it should.

struct Corpus {
    std::unique_ptr<CProject> project;
    std::string modulePath;
    std::string targetPath;
    std::string copyPath;
    std::uint64_t moduleBytes = 0;
    std::uint64_t targetBytes = 0;
    std::string error;
};

std::string Name(ModuleKind kind) { return kind == ModuleKind::Ui ? "ui" : "ui-and-data"; }

std::string WriteModule(ModuleKind kind, Corpus& corpus) {
    corpus.modulePath = bench::Scratch().File(Name(kind) + ".dll");
    corpus.targetPath = bench::Scratch().File(Name(kind) + ".de.dll");
    corpus.copyPath = bench::Scratch().File(Name(kind) + ".copy.dll");
    quillon::Status written = quillon::WriteFileAtomically(corpus.modulePath, BuildModule(kind));
    if (!written) return written.GetError().Describe();
    corpus.moduleBytes = bench::FileSize(corpus.modulePath);
    return {};
}

std::string ExtractProject(ModuleKind kind, Corpus& corpus) {
    quillon::NewProjectSettings settings;
    settings.projectPath = bench::Scratch().File(Name(kind) + ".prj");
    settings.modulePath = corpus.modulePath;
    settings.translator = "Anna Translator";
    settings.email = "anna@example.org";
    settings.targetLanguage = bench::kTargetLanguage;
    auto project = quillon::CreateProject(settings);
    if (!project) return project.GetError().Describe();
    corpus.project = std::move(project).Value();
    std::string error = bench::CheckItems(corpus.project->m_ResourceInfo, bench::kLargeUi.Items());
    if (error.empty()) Translate(corpus.project->m_ResourceInfo);
    return error;
}

// One build, which must rebuild everything it was given and whose target
// must hold the translated tables under the target language and every
// binary resource of the module.
std::string CheckBuild(ModuleKind kind, Corpus& corpus) {
    auto built = quillon::BuildTarget(*corpus.project, corpus.targetPath);
    if (!built) return "the build failed: " + built.GetError().Describe();
    if (!built.Value().warnings.empty()) return "the build left something out: " + built.Value().warnings.front();
    auto target = quillon::ResourceModule::Open(corpus.targetPath);
    if (!target) return "the target does not open: " + target.GetError().Describe();
    const quillon::ResourceLeaf* strings = target.Value().FindLeaf(quillon::kTypeStringTable, 1);
    if (!strings || strings->language != bench::kTargetLanguage)
        return "the target's strings are not in the target language";
    std::size_t data = target.Value().EnumerateNames(kTypeRcData).size();
    if (data != (kind == ModuleKind::UiAndData ? std::size_t{kDataResources} : 0))
        return "the target holds " + std::to_string(data) + " binary resources";
    corpus.targetBytes = bench::FileSize(corpus.targetPath);
    return {};
}

Corpus Prepare(ModuleKind kind) {
    Corpus corpus;
    if (!bench::Scratch().Ok()) {
        corpus.error = "no temporary folder";
        return corpus;
    }
    for (auto* step : {WriteModule, ExtractProject, CheckBuild}) {
        corpus.error = step(kind, corpus);
        if (!corpus.error.empty()) break;
    }
    return corpus;
}

const Corpus& Inputs(ModuleKind kind) {
    static const Corpus ui = Prepare(ModuleKind::Ui);
    if (kind == ModuleKind::Ui) return ui;
    static const Corpus uiAndData = Prepare(ModuleKind::UiAndData);
    return uiAndData;
}

// ---------------------------------------------------------------------------
// Benchmarks

bool Skip(benchmark::State& state, const std::string& error) {
    if (error.empty()) return false;
    state.SkipWithError(error.c_str());
    return true;
}

constexpr double kMegabyte = 1024.0 * 1024.0;

void Report(benchmark::State& state, const Corpus& corpus) {
    state.SetBytesProcessed(static_cast<std::int64_t>(corpus.moduleBytes * state.iterations()));
    state.counters["module MiB"] = static_cast<double>(corpus.moduleBytes) / kMegabyte;
}

void BM_BuildTarget(benchmark::State& state, ModuleKind kind) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        auto built = quillon::BuildTarget(*corpus.project, corpus.targetPath);
        if (!built) {
            state.SkipWithError(built.GetError().Describe().c_str());
            break;
        }
    }
    Report(state, corpus);
    state.counters["target MiB"] = static_cast<double>(corpus.targetBytes) / kMegabyte;
}

quillon::Status CopyAtomically(const std::string& from, const std::string& to) {
    auto bytes = quillon::ReadWholeFile(from);
    if (!bytes) return bytes.GetError();
    return quillon::WriteFileAtomically(to, bytes.Value());
}

void BM_CopyAtomically(benchmark::State& state, ModuleKind kind) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        quillon::Status written = CopyAtomically(corpus.modulePath, corpus.copyPath);
        if (!written) {
            state.SkipWithError(written.GetError().Describe().c_str());
            break;
        }
    }
    Report(state, corpus);
}

// Copies the module as a user would by hand; with `flush`, also waits until
// the copy is on the disk, as `sync` of it does. An empty text when done.
std::string CopyModule(const Corpus& corpus, bool flush) {
    std::error_code error;
    std::filesystem::copy_file(corpus.modulePath, corpus.copyPath, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) return error.message();
    if (!flush) return {};
    int fd = ::open(corpus.copyPath.c_str(), O_RDONLY | O_CLOEXEC);
    bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    return flushed ? std::string() : "cannot flush the copy";
}

void CopyEachIteration(benchmark::State& state, ModuleKind kind, bool flush) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        if (std::string failed = CopyModule(corpus, flush); !failed.empty()) {
            state.SkipWithError(failed.c_str());
            break;
        }
    }
    Report(state, corpus);
}

void BM_CopyFile(benchmark::State& state, ModuleKind kind) { CopyEachIteration(state, kind, false); }

void BM_CopyAndFlush(benchmark::State& state, ModuleKind kind) { CopyEachIteration(state, kind, true); }

} // namespace

BENCHMARK_CAPTURE(BM_BuildTarget, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyAtomically, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyFile, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BuildTarget, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyAtomically, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyFile, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyAndFlush, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
