// Writes the generated inputs of the benchmarks to a folder, for the
// measurements made from outside a benchmark program (bench/run): other
// tools reading the same module, and the command-line tool's memory.
//
//   quillon_bench_inputs FOLDER
//
// FOLDER/large-ui.dll  about 61,000 items in 3 MB of string tables, dialogs
//                      and menus (the module the scan benchmarks read)
// FOLDER/app.prj       a 100,000-item project, four in five translated, with
//                      app.dll (its module) and app.dic (200,000 entries)

#include <cstdio>
#include <filesystem>
#include <string>

#include "GeneratedModules.h"
#include "io/FileIo.h"

namespace bench = quillon::bench;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon_bench_inputs FOLDER\n");
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
    bench::SavedProject project = bench::SaveLargeProject(folder, "app");
    if (!project.error.empty()) {
        std::fprintf(stderr, "app.prj: %s\n", project.error.c_str());
        return 1;
    }
    std::printf("%s\n%s (%llu items, %llu dictionary entries)\n", module.c_str(), project.path.c_str(),
                static_cast<unsigned long long>(project.items), static_cast<unsigned long long>(project.dictionaryEntries));
    return 0;
}
