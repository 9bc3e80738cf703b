#include "Args.h"

#include <charconv>
#include <cstdint>

#include "Help.h"
#include "Output.h"
#include "interchange/LanguageTags.h"

namespace quillon::cli {

namespace {

// Says which option the table requires and `parsed` lacks, with the usage.
bool MissesRequiredOption(const CommandSpec& entry, const Args& parsed) {
    for (const OptionSpec& spec : entry.options) {
        if (spec.use != Use::Required || parsed.Has(std::string(spec.name))) continue;
        Err() << "quillon-cli " << entry.name << ": " << spec.name << " " << spec.placeholder << " is missing\n";
        PrintUsageOf(entry, Err());
        return true;
    }
    return false;
}

} // namespace

std::optional<Args> Args::Parse(const CommandSpec& entry, const std::vector<std::string>& args) {
    Args parsed;
    const std::string command(entry.name);
    parsed.m_command = command;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Long options, and the few short ones the table names ("-o").
        bool option =
            (arg.size() > 2 && arg.compare(0, 2, "--") == 0) || entry.TakesValue(arg) || entry.TakesFlag(arg);
        if (option) {
            if (entry.TakesValue(arg)) {
                if (i + 1 >= args.size()) {
                    Err() << "quillon-cli " << command << ": " << arg << " needs a value\n";
                    return std::nullopt;
                }
                parsed.m_values[arg] = args[++i];
            } else if (entry.TakesFlag(arg)) {
                parsed.m_flags.insert(arg);
            } else {
                Err() << "quillon-cli " << command << ": unknown option '" << arg << "'\n";
                return std::nullopt;
            }
        } else {
            parsed.m_positional.push_back(arg);
        }
    }
    // A command given nothing at all gets its usage from its handler.
    if (!args.empty() && MissesRequiredOption(entry, parsed)) return std::nullopt;
    return parsed;
}

std::string Args::Value(const std::string& option, const std::string& fallback) const {
    auto found = m_values.find(option);
    return found == m_values.end() ? fallback : found->second;
}

std::optional<std::uint32_t> Args::Number(const std::string& option, std::uint32_t fallback) const {
    auto found = m_values.find(option);
    if (found == m_values.end()) return fallback;
    const std::string& text = found->second;
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        Err() << "quillon-cli " << m_command << ": " << option << " needs a number, not '" << text << "'\n";
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint16_t> Args::Language() const {
    auto language = LanguageFromUser(Value("--language"));
    if (!language)
        Err() << "quillon-cli " << m_command << ": unknown language '" << Value("--language")
              << "' (use an English name such as German, a tag such as de-DE, or an identifier such as 0x0407)\n";
    return language;
}

} // namespace quillon::cli
