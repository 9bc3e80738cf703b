#pragma once
// Runs quillon-cli with a shell command line and collects its output.

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "TempDir.h"

namespace quillon::testing {

struct CliRun { int exitCode = -1; std::string out; };

// Runs `program` (a quillon-cli) with `args`; with `withErrors` the output
// holds standard error too.
inline CliRun RunCliProgram(const std::string& program, const std::string& args, bool withErrors = false) {
    CliRun run;
    // A command that hangs is ended, so it fails its test instead of the whole run.
    std::string command = "timeout -s KILL 60 " + program + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), got);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline CliRun RunCli(const std::string& args, bool withErrors = false) {
    return RunCliProgram(QUILLON_CLI, args, withErrors);
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A file a command wrote, as text.
inline std::string FileText(const std::string& path) {
    std::vector<std::uint8_t> bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs `args` with standard error in the output, expects `exitCode` and each
// of `says` in the output, and gives the run for what else a test asks of it.
// `program` is the quillon-cli to run, or a whole shell command when `args` is empty.
inline CliRun ExpectCli(const std::string& args, int exitCode, std::initializer_list<std::string> says = {},
                        const std::string& program = QUILLON_CLI) {
    CliRun run = RunCliProgram(program, args, true);
    EXPECT_EQ(run.exitCode, exitCode) << args << "\n" << run.out;
    for (const std::string& part : says) EXPECT_TRUE(Has(run.out, part)) << args << ": " << part << "\n" << run.out;
    return run;
}

// `new` for the project `name` in `dir` of `module`, by Ann into German with
// the dictionary `name`.dic; options in `extra` come after, and win. Expects
// `exitCode` and `says` as ExpectCli does.
inline CliRun NewProject(const TempDir& dir, const std::string& name, const std::string& module,
                         const std::string& extra = "", int exitCode = 0, std::initializer_list<std::string> says = {}) {
    return ExpectCli("new " + dir.File(name) + " --module " + module + " --translator Ann --language German " +
                         "--dictionary " + dir.File(name + ".dic") + " " + extra,
                     exitCode, says);
}

// The bundled sample as a German project at `prj` with the dictionary `dic`,
// filled from its glossary and translated, as the README's walk-through makes it.
inline bool NewTranslatedSample(const std::string& prj, const std::string& dic) {
    return RunCli("new " + prj + " --module " + SamplePath("quillpad.exe") + " --translator Ann --language German "
                  "--dictionary " + dic).exitCode == 0 &&
           RunCli("import " + prj + " --text " + SamplePath("quillpad-de.txt")).exitCode == 0 &&
           RunCli("translate " + prj).exitCode == 0;
}

} // namespace quillon::testing
