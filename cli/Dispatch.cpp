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

namespace {

bool IsHelp(std::string_view word) { return word == "--help" || word == "-h"; }

// `help` alone prints every command; `help COMMAND` that command's options.
int RunHelp(const std::vector<std::string_view>& words) {
    if (words.empty()) {
        quillon::cli::PrintHelp(quillon::cli::Out());
        return 0;
    }
    std::size_t used = 0;
    const quillon::cli::CommandSpec* command = quillon::cli::FindCommand(words, used);
    if (!command) {
        quillon::cli::Err() << "quillon-cli help: unknown command '" << words.front() << "'\n";
        return 2;
    }
    quillon::cli::PrintCommandHelp(*command, quillon::cli::Out());
    return 0;
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
        Err() << "quillon-cli: unknown command '" << args.front() << "'\n";
        quillon::cli::PrintHelp(Err());
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
