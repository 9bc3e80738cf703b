#pragma once
// Usage lines and help texts, written from the command table.

#include <functional>
#include <string>

#include "CommandTable.h"
#include "Output.h"

namespace quillon::cli {

// How a synopsis writes the names (command, options) and the placeholders.
struct SynopsisStyle {
    std::function<std::string(std::string_view)> name;
    std::function<std::string(std::string_view)> placeholder;
};

// "scan MODULE [--json] [--summary] ...": the command with its operands and
// options; a run of alternatives becomes one "(A | B | C D)" group.
std::string Synopsis(const CommandSpec& command, const SynopsisStyle& style);
// The same in plain text.
std::string Synopsis(const CommandSpec& command);
// "--codepage N" in that style.
std::string OptionText(const OptionSpec& option, const SynopsisStyle& style);
// The words of `text` in lines of at most `width` characters. A synopsis
// keeps each bracketed part ("[--codepage N]") on one line.
std::vector<std::string> Wrap(std::string_view text, std::size_t width, bool synopsis = false);

// Every command with a line on what it does, then the notes: `quillon-cli --help`.
void PrintHelp(Output& out);
// One command's synopsis, what it does and each option: `quillon-cli help COMMAND`.
void PrintCommandHelp(const CommandSpec& command, Output& out);
// "usage: quillon-cli SYNOPSIS", for a command that was called wrongly.
void PrintUsageOf(const CommandSpec& command, Output& out);
void PrintUsageOf(std::string_view command, Output& out);

} // namespace quillon::cli
