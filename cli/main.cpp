#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "Commands.h"
#include "io/FileIo.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: quillon-cli COMMAND [ARGS]\n"
           "\n"
           "modules:\n"
           "  scan MODULE [--json] [--summary] [--codepage N]\n"
           "                                          read a module's string tables, menus, dialogs\n"
           "                                          and version resource and print them (--summary:\n"
           "                                          settings and counts only)\n"
           "  resources MODULE [--json]               list every resource: type, name, language, size\n"
           "projects:\n"
           "  new PROJECT --module M --translator NAME --language LANG\n"
           "      [--email E] [--dictionary D] [--codepage N] [--force]\n"
           "                                          create a project from a module\n"
           "  show PROJECT [--json]                   settings, counters and tree of a project\n"
           "  update PROJECT [--module NEWPATH] [--dry-run] [--json]\n"
           "                                          merge a new version of the module and list\n"
           "                                          every change (--dry-run: write nothing)\n"
           "  import PROJECT (--text F | --microsoft F) [--json]\n"
           "                                          import a glossary into the dictionary and list\n"
           "                                          every line left out, with its reason\n"
           "translating:\n"
           "  translate PROJECT [--list-untranslated]  translate from the dictionary, rebuild hotkeys\n"
           "  restore PROJECT (--all | --path P | --kind KIND --id N)\n"
           "                                          take translations back: of every item, of the\n"
           "                                          item at path P, or of every KIND item with ID N\n"
           "  check PROJECT [--errors-only]           hotkey, placeholder and completeness report\n"
           "  build PROJECT [--target PATH]           write the translated module (PATH is kept\n"
           "                                          in the project for later builds); stops when\n"
           "                                          the module no longer matches the project\n"
           "dictionaries:\n"
           "  dict PROJECT|DICFILE [--json]           list the entries\n"
           "  dict add PROJECT|DICFILE SOURCE TRANSLATION [--hotkey C] [--kind KIND]\n"
           "\n"
           "Item paths, as the \"path\" of each item in scan --json and show --json:\n"
           "  strings/ID   menus/MENU/ID/ID...   dialogs/DIALOG/ID   version/KEY/KEY...\n"
           "  where the n-th of several siblings with one ID or key is ID#n (n >= 2) and a key\n"
           "  writes every byte but A-Z a-z 0-9 . _ - as %XX, e.g. menus/100/-1#2/1102.\n"
           "\n"
           "Project commands take --codepage N to read texts in another code page than the\n"
           "target language's default. Commands that change a project or dictionary lock it\n"
           "while they work; another one that finds it locked stops, or with --wait waits.\n";
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
    if (args.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    std::string command = args.front();
    args.erase(args.begin());
    using Handler = int (*)(const std::vector<std::string>&);
    const std::map<std::string, Handler> commands = {
        {"scan", quillon::cli::RunScan},     {"resources", quillon::cli::RunResources},
        {"new", quillon::cli::RunNew},       {"show", quillon::cli::RunShow},
        {"update", quillon::cli::RunUpdate}, {"import", quillon::cli::RunImport},
        {"dict", quillon::cli::RunDict},     {"translate", quillon::cli::RunTranslate},
        {"restore", quillon::cli::RunRestore}, {"check", quillon::cli::RunCheck},
        {"build", quillon::cli::RunBuild},
    };
    if (auto found = commands.find(command); found != commands.end()) return found->second(args);
    if (command == "help" || command == "--help" || command == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    std::cerr << "quillon-cli: unknown command '" << command << "'\n";
    PrintUsage(std::cerr);
    return 2;
}
