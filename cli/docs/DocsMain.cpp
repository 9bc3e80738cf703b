// quillon-cli-docs OUTDIR: writes the manual pages and the shell completions
// into OUTDIR at build time.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include "Completion.h"
#include "Manual.h"

namespace {

bool Write(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write) {
    std::ofstream out(path, std::ios::binary);
    write(out);
    out.close();
    if (!out) std::cerr << "quillon-cli-docs: cannot write " << path << "\n";
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillon-cli-docs OUTDIR\n";
        return 2;
    }
    namespace docs = quillon::cli::docs;
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    bool written =
        Write(folder / "quillon-cli.1", [](std::ostream& out) { docs::WriteCliManual(out, QUILLON_VERSION); }) &&
        Write(folder / "quillon.1", [](std::ostream& out) { docs::WriteGuiManual(out, QUILLON_VERSION); }) &&
        Write(folder / "quillon-cli.bash", docs::WriteBashCompletion) &&
        Write(folder / "_quillon-cli", docs::WriteZshCompletion);
    return written ? 0 : 1;
}
