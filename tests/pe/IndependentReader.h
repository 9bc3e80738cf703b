#pragma once
// python3-pefile as a reader independent of ours, through the scripts in
// tests/data. Tests that need it pass over it when the machine lacks it.

#include <array>
#include <cstdio>
#include <string>

namespace quillon::testing {

// The command's standard output; `status` is its exit status, -1 when it cannot start.
inline std::string RunCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    std::size_t got;
    while (pipe && (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
    status = pipe ? ::pclose(pipe) : -1;
    return output;
}

inline bool PefileAvailable() {
    static const bool available = [] {
        int status = 0;
        RunCommand("/usr/bin/python3 -c 'import pefile' 2>/dev/null", status);
        return status == 0;
    }();
    return available;
}

// What tests/data/`script` prints for the module at `path`.
inline std::string RunPefileScript(const std::string& script, const std::string& path, int& status) {
    return RunCommand("/usr/bin/python3 " QUILLON_DATA_DIR "/" + script + " " + path, status);
}

} // namespace quillon::testing
