#include <cstdio>

#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "Json.h"
#include "Output.h"
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
    auto parsed = Args::Parse(Command("resources"), args);
    if (!parsed) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("resources", Err());
        return 2;
    }
    auto module = ResourceModule::Open(parsed->Positional()[0]);
    if (!module) {
        Err() << "quillon-cli resources: " << module.GetError().Describe() << "\n";
        return 1;
    }
    if (parsed->Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("resources").BeginArray();
        for (const auto& type : module.Value().Tree().types)
            for (const auto& name : type.names)
                for (const auto& leaf : name.languages) {
                    json.BeginObject();
                    if (type.type.named) json.Key("type").String(type.type.ToString()); else json.Key("type").Number(type.type.id);
                    if (name.name.named) json.Key("name").String(name.name.ToString()); else json.Key("name").Number(name.name.id);
                    json.Key("language").Number(leaf.language);
                    json.Key("size").Number(leaf.size);
                    json.Key("readable").Bool(leaf.bytes.has_value());
                    json.EndObject();
                }
        json.EndArray().EndObject();
        Out() << json.Text() << "\n";
        return 0;
    }
    for (const auto& type : module.Value().Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) {
                char language[8];
                std::snprintf(language, sizeof language, "%04x", leaf.language);
                Out() << NameText(type.type) << " " << NameText(name.name) << " " << language << " " << leaf.size
                          << (leaf.bytes ? "" : " unreadable") << "\n";
            }
    for (const auto& line : module.Value().Diagnostics()) Err() << "warning: " << line << "\n";
    return 0;
}

} // namespace quillon::cli
