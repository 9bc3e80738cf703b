// Runs a fuzz target's entry point over saved inputs without libFuzzer, so
// the normal build (any compiler, no fuzzer runtime) can replay the
// regression inputs under ctest. Arguments are files or folders (every
// regular file below a folder, in sorted order). A folder that does not
// exist is reported and skipped: targets without findings have none.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        fs::path path = argv[i];
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const auto& entry : fs::recursive_directory_iterator(path))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else if (fs::is_regular_file(path, error)) {
            inputs.push_back(path);
        } else {
            std::cerr << "replay: no such input '" << path.string() << "' (skipped)\n";
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::cerr << "replay: cannot open '" << path.string() << "'\n";
            return 1;
        }
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::cout << "replay: " << path.string() << " (" << bytes.size() << " bytes)" << std::endl;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cout << "replay: " << inputs.size() << " input(s) ran clean\n";
    return 0;
}
