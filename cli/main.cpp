// quillon-cli: runs the commands that only read a module (scan, resources)
// itself and starts quillon-cli-full, with the same command line, for every
// other one. A scan is a few milliseconds, and loading the XML, SQLite,
// spelling and font libraries that projects, checks and the memory need
// took twice that; this program links none of them.

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Commands.h"
#include "Dispatch.h"
#include "Output.h"
#include "io/CodePage.h"
#include "io/FileIo.h"

namespace {

namespace cli = quillon::cli;
namespace fs = std::filesystem;

const cli::HandlerTable kHandlers = {{"scan", cli::RunScan}, {"resources", cli::RunResources}};

constexpr const char* kFullProgram = "quillon-cli-full";

// Where quillon-cli-full is: beside this program in the build tree, else
// where installing put it relative to this program.
std::vector<fs::path> FullProgramCandidates() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const fs::path folder = self.parent_path();
    return {folder / kFullProgram, (folder / QUILLON_FULL_PROGRAM_DIR / kFullProgram).lexically_normal()};
}

// Replaces this process by quillon-cli-full with the same arguments; returns
// only when none could be started.
int RunInFullProgram(int, char** argv) {
    int lastError = ENOENT;
    for (const fs::path& candidate : FullProgramCandidates()) {
        ::execv(candidate.c_str(), argv);
        if (errno != ENOENT) lastError = errno; // a program that is there but cannot run says more
    }
    cli::Err() << "quillon-cli: cannot start " << kFullProgram << ", which runs '" << argv[1]
              << "': " << std::strerror(lastError) << " (it belongs beside quillon-cli or in "
              << QUILLON_FULL_PROGRAM_DIR << " from it)\n";
    return 2;
}

#ifdef QUILLON_STATIC_FRONT
int g_argc = 0;
char** g_argv = nullptr;

// Linked statically, this program cannot load the C library's converter
// modules (each would bring a second C library with it). The single-byte
// Windows code pages and UTF-8 need none; a scan in any other code page is
// handed to quillon-cli-full as soon as it needs a converter, before it has
// written anything.
[[noreturn]] void ScanInFullProgram(std::uint32_t) {
    std::fflush(nullptr);
    std::_Exit(RunInFullProgram(g_argc, g_argv));
}
#endif

} // namespace

int main(int argc, char** argv) {
    quillon::InstallTemporaryFileCleanup();
#ifdef QUILLON_STATIC_FRONT
    g_argc = argc;
    g_argv = argv;
    quillon::CodePage::SetBeforeConverter(ScanInFullProgram);
#endif
    return cli::Dispatch(argc, argv, kHandlers, RunInFullProgram);
}
