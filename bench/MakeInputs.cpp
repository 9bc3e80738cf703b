// Writes the generated inputs of the benchmarks to a folder, for the
// measurements made from outside a benchmark program (bench/run): other
// tools reading the same module, and the command-line tool's memory.
//
//   quillon_bench_inputs FOLDER
//   quillon_bench_inputs --installer FILE
//
// FOLDER/large-ui.dll  about 61,000 items in 3 MB of string tables, dialogs
//                      and menus (the module the scan benchmarks read)
// FOLDER/engine.dll    100 MB of code and 70 KB of resources
// FOLDER/app.prj       a 100,000-item project, four in five translated, with
//                      app.dll (its module) and app.dic (200,000 entries)
// FILE                 a 2 GiB installer: 100 KB of resources between 1 GiB
//                      of code and 1 GiB of overlay, of which only 64 MiB
//                      each are written (the rest are holes)

#include <cstdio>
#include <filesystem>
#include <string>

#include "GeneratedModules.h"
#include "io/FileIo.h"

namespace bench = quillon::bench;

namespace {

int Fail(const std::string& path, const std::string& error) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--installer") {
        constexpr std::uint64_t kGiB = 1ull << 30, kWritten = 64ull << 20;
        auto resources = bench::ModuleResources(bench::kInstallerUi, bench::NumberedTexts());
        std::string error = bench::WriteLargeModule(argv[2], resources, {kGiB, kWritten, kGiB, kWritten});
        return error.empty() ? 0 : Fail(argv[2], error);
    }
    // An option it does not know is not a folder to fill.
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: quillon_bench_inputs FOLDER | --installer FILE\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    bench::ScratchDir folder{std::string(argv[1])};
    std::string module = folder.File("large-ui.dll");
    if (auto written = quillon::WriteFileAtomically(module, bench::BuildModule(bench::kLargeUi, bench::NumberedTexts()));
        !written) {
        std::fprintf(stderr, "%s: %s\n", module.c_str(), written.GetError().Describe().c_str());
        return 1;
    }
    std::string engine = folder.File("engine.dll");
    constexpr std::uint64_t kEngineCode = 100ull << 20;
    if (std::string error = bench::WriteLargeModule(
            engine, bench::ModuleResources(bench::kEngineUi, bench::NumberedTexts()), {kEngineCode, kEngineCode, 0, 0});
        !error.empty())
        return Fail(engine, error);
    bench::SavedProject project = bench::SaveLargeProject(folder, "app");
    if (!project.error.empty()) {
        std::fprintf(stderr, "app.prj: %s\n", project.error.c_str());
        return 1;
    }
    std::printf("%s\n%s (%llu items, %llu dictionary entries)\n", module.c_str(), project.path.c_str(),
                static_cast<unsigned long long>(project.items), static_cast<unsigned long long>(project.dictionaryEntries));
    return 0;
}
