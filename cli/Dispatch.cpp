#include "Dispatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "Help.h"
#include "Output.h"
#include "memory/FuzzyScore.h"

namespace {

bool IsHelp(std::string_view word) { return word == "--help" || word == "-h"; }

// `help` alone prints every command; `help COMMAND` that command's options.
int RunHelp(const std::vector<std::string_view>& words) {
    if (words.empty()) {
        quillon::cli::PrintHelp(quillon::cli::Out());
        return 0;
    }
    std::size_t used = 0;
    if (const quillon::cli::CommandSpec* command = quillon::cli::FindCommand(words, used)) {
        quillon::cli::PrintCommandHelp(*command, quillon::cli::Out());
        return 0;
    }
    // "help tm": every command of the group.
    bool any = false;
    for (const quillon::cli::CommandSpec& command : quillon::cli::Commands()) {
        if (!command.name.starts_with(std::string(words.front()) + " ")) continue;
        if (any) quillon::cli::Out() << "\n";
        quillon::cli::PrintCommandHelp(command, quillon::cli::Out());
        any = true;
    }
    if (any) return 0;
    quillon::cli::Err() << "quillon-cli help: unknown command '" << words.front() << "'\n";
    return 2;
}

// "tm" alone names no command but starts several: their usage, to stderr.
bool PrintGroupUsage(std::string_view word) {
    bool any = false;
    for (const quillon::cli::CommandSpec& command : quillon::cli::Commands()) {
        if (command.name.size() <= word.size() || command.name.substr(0, word.size()) != word ||
            command.name[word.size()] != ' ')
            continue;
        quillon::cli::PrintUsageOf(command, quillon::cli::Err());
        any = true;
    }
    return any;
}

// The command a mistyped `word` most likely meant: the nearest name (or
// first word of a name) within two edits, one for short words.
std::string_view NearestCommand(std::string_view word) {
    const std::size_t limit = word.size() < 4 ? 1 : 2;
    const std::u32string typed(word.begin(), word.end());
    std::string_view nearest;
    std::size_t best = limit + 1;
    for (const quillon::cli::CommandSpec& command : quillon::cli::Commands()) {
        std::string_view name = command.name.substr(0, command.name.find(' '));
        std::size_t distance = quillon::EditDistance(typed, std::u32string(name.begin(), name.end()), limit);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

} // namespace

void quillon::cli::EndAfterOutput(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

int quillon::cli::Dispatch(int argc, char** argv, const HandlerTable& handlers, Elsewhere elsewhere) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<std::string_view> words(args.begin(), args.end());
    if (words.empty()) {
        quillon::cli::PrintHelp(Err());
        return 2;
    }
    if (words.front() == "help" || IsHelp(words.front())) return RunHelp({words.begin() + 1, words.end()});
    if (words.front() == "--version") {
        Out() << "quillon-cli " << QUILLON_VERSION << "\n";
        return 0;
    }
    std::size_t used = 0;
    const quillon::cli::CommandSpec* command = quillon::cli::FindCommand(words, used);
    if (!command && PrintGroupUsage(words.front())) return 2;
    if (!command) {
        Err() << "quillon-cli: unknown command '" << args.front() << "'";
        if (std::string_view nearest = NearestCommand(words.front()); !nearest.empty())
            Err() << "; did you mean '" << nearest << "'?";
        Err() << "\nRun 'quillon-cli --help' for the list of commands.\n";
        return 2;
    }
    if (std::any_of(words.begin() + used, words.end(), IsHelp)) {
        quillon::cli::PrintCommandHelp(*command, Out());
        return 0;
    }
    if (const auto handler = handlers.find(command->name); handler != handlers.end())
        return handler->second(std::vector<std::string>(args.begin() + used, args.end()));
    return elsewhere(argc, argv);
}
