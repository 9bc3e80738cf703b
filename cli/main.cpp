#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "Help.h"
#include "io/FileIo.h"

namespace {

using Handler = int (*)(const std::vector<std::string>&);

// The code behind each command of the table.
const std::map<std::string_view, Handler> kHandlers = {
    {"scan", quillon::cli::RunScan},         {"resources", quillon::cli::RunResources},
    {"new", quillon::cli::RunNew},           {"show", quillon::cli::RunShow},
    {"update", quillon::cli::RunUpdate},     {"import", quillon::cli::RunImport},
    {"dict", quillon::cli::RunDict},         {"dict add", quillon::cli::RunDictAdd},
    {"translate", quillon::cli::RunTranslate}, {"restore", quillon::cli::RunRestore},
    {"check", quillon::cli::RunCheck},       {"build", quillon::cli::RunBuild},
    {"export", quillon::cli::RunExport},     {"pseudo", quillon::cli::RunPseudo},
    {"replace", quillon::cli::RunReplace},
    {"tm lookup", quillon::cli::RunTmLookup}, {"tm import", quillon::cli::RunTmImport},
    {"tm export", quillon::cli::RunTmExport}, {"tm stats", quillon::cli::RunTmStats},
    {"tm add", quillon::cli::RunTmAdd},
};

bool IsHelp(std::string_view word) { return word == "--help" || word == "-h"; }

// `help` alone prints every command; `help COMMAND` that command's options.
int RunHelp(const std::vector<std::string_view>& words) {
    if (words.empty()) {
        quillon::cli::PrintHelp(std::cout);
        return 0;
    }
    std::size_t used = 0;
    const quillon::cli::CommandSpec* command = quillon::cli::FindCommand(words, used);
    if (!command) {
        std::cerr << "quillon-cli help: unknown command '" << words.front() << "'\n";
        return 2;
    }
    quillon::cli::PrintCommandHelp(*command, std::cout);
    return 0;
}

// "tm" alone names no command but starts several: their usage, to stderr.
bool PrintGroupUsage(std::string_view word) {
    bool any = false;
    for (const quillon::cli::CommandSpec& command : quillon::cli::Commands()) {
        if (command.name.size() <= word.size() || command.name.substr(0, word.size()) != word ||
            command.name[word.size()] != ' ')
            continue;
        quillon::cli::PrintUsageOf(command, std::cerr);
        any = true;
    }
    return any;
}

} // namespace

void quillon::cli::EndAfterOutput(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

int main(int argc, char** argv) {
    quillon::InstallTemporaryFileCleanup();
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<std::string_view> words(args.begin(), args.end());
    if (words.empty()) {
        quillon::cli::PrintHelp(std::cerr);
        return 2;
    }
    if (words.front() == "help" || IsHelp(words.front())) return RunHelp({words.begin() + 1, words.end()});
    if (words.front() == "--version") {
        std::cout << "quillon-cli " << QUILLON_VERSION << "\n";
        return 0;
    }
    std::size_t used = 0;
    const quillon::cli::CommandSpec* command = quillon::cli::FindCommand(words, used);
    if (!command && PrintGroupUsage(words.front())) return 2;
    if (!command) {
        std::cerr << "quillon-cli: unknown command '" << args.front() << "'\n";
        quillon::cli::PrintHelp(std::cerr);
        return 2;
    }
    if (std::any_of(words.begin() + used, words.end(), IsHelp)) {
        quillon::cli::PrintCommandHelp(*command, std::cout);
        return 0;
    }
    return kHandlers.at(command->name)(std::vector<std::string>(args.begin() + used, args.end()));
}
