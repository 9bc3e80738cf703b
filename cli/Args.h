#pragma once
// Command-line parsing shared by the commands: positional arguments, options
// that take a value and flags.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CommandTable.h"

namespace quillon::cli {

class Args {
public:
    // Reads `args` with the options the command's table entry names.
    // Returns nothing (after printing why to stderr) when an option is
    // unknown or lacks its value.
    static std::optional<Args> Parse(const CommandSpec& command, const std::vector<std::string>& args);

    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Has(const std::string& option) const { return m_values.count(option) || m_flags.count(option); }
    std::string Value(const std::string& option, const std::string& fallback = "") const;
    // A number option; nothing (after a message) when it is not a number.
    std::optional<std::uint32_t> Number(const std::string& option, std::uint32_t fallback) const;
    // The --language option's identifier (a name, tag or identifier); none,
    // after a message, when it names no language the table knows.
    std::optional<std::uint16_t> Language() const;

private:
    std::string m_command;
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
};

} // namespace quillon::cli
