#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: quillon-cli COMMAND [ARGS]\n"
           "\n"
           "commands:\n"
           "  scan MODULE [--json] [--codepage N]   read a module's string tables, menus,\n"
           "                                        dialogs and version resource and print them\n"
           "  resources MODULE                      list every resource: type, name, language, size\n"
           "  help                                  show this text\n";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    std::string command = args.front();
    args.erase(args.begin());
    if (command == "scan") return quillon::cli::RunScan(args);
    if (command == "resources") return quillon::cli::RunResources(args);
    if (command == "help" || command == "--help" || command == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    std::cerr << "quillon-cli: unknown command '" << command << "'\n";
    PrintUsage(std::cerr);
    return 2;
}
