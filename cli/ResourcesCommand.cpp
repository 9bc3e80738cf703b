#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "pe/ResourceModule.h"

namespace quillon::cli {

namespace {

std::string NameText(const ResourceId& id) {
    if (!id.named) return std::to_string(id.id);
    return id.ToString();
}

} // namespace

// Lists every resource of a module, one line per language:
// TYPE NAME LANGUAGE SIZE, with "unreadable" for data outside the file.
int RunResources(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::cerr << "usage: quillon-cli resources MODULE\n";
        return 2;
    }
    auto module = ResourceModule::Open(args[0]);
    if (!module) {
        std::cerr << "quillon-cli resources: " << module.GetError().Describe() << "\n";
        return 1;
    }
    for (const auto& type : module.Value().Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) {
                char language[8];
                std::snprintf(language, sizeof language, "%04x", leaf.language);
                std::cout << NameText(type.type) << " " << NameText(name.name) << " " << language << " " << leaf.size
                          << (leaf.bytes ? "" : " unreadable") << "\n";
            }
    for (const auto& line : module.Value().Diagnostics()) std::cerr << "warning: " << line << "\n";
    return 0;
}

} // namespace quillon::cli
