#pragma once
// The command line of quillon-cli, shared by its two programs: the front
// program, which reads modules itself and hands every other command to the
// program that runs them all (see main.cpp).

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

using Handler = int (*)(const std::vector<std::string>&);
using HandlerTable = std::map<std::string_view, Handler>;
// Runs a command of the table that `handlers` has no handler for, given the
// whole command line; returns the exit status.
using Elsewhere = int (*)(int argc, char** argv);

// Answers help and --version, reports bad usage, and runs the command the
// words of `argv` name with its handler from `handlers`, else with
// `elsewhere`. Returns the process exit status.
int Dispatch(int argc, char** argv, const HandlerTable& handlers, Elsewhere elsewhere);

} // namespace quillon::cli
