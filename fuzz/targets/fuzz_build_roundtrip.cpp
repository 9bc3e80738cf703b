// Input: a module. Scans it, rebuilds its string tables, dialogs, menus and
// version resource from the tree the way a build does, and commits the update
// in memory. Commit may refuse the module; when it does not, the new module
// must read back with every resource that was put and every readable resource
// that was not touched, byte for byte.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "target/TemplateWriters.h"
#include "extract/ResourceExtractor.h"
#include "pe/ResourceUpdate.h"

using namespace quillon;

namespace {

constexpr std::uint16_t kTargetLanguage = 0x0407;

bool Holds(const ResourceTree& tree, const ResourceId& type, const ResourceId& name, std::uint16_t language,
           std::span<const std::uint8_t> bytes) {
    for (const auto& t : tree.types) {
        if (t.type != type) continue;
        for (const auto& n : t.names) {
            if (n.name != name) continue;
            for (const auto& leaf : n.languages)
                if (leaf.language == language && leaf.bytes && std::ranges::equal(*leaf.bytes, bytes)) return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    auto source = ResourceModule::FromBytes(file);
    auto scanned = ResourceModule::FromBytes(file);
    if (!source || !scanned || source.Value().Tree().types.empty()) return 0;
    CodePage codePage(1252);
    CResourceInfo info;
    CResourceExtractor(std::move(scanned).Value(), info, codePage).Extract();

    // What a build writes, keyed by type and name; the version goes back under the name it came from.
    WriteContext context{codePage, &source.Value()};
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>> put;
    auto name = [](const auto& item) { return static_cast<std::uint16_t>(item->m_nID); };
    for (auto& [block, bytes] : WriteStringBlocks(info.m_Strings, context)) put[{kTypeStringTable, block}] = bytes;
    for (const auto& dialog : info.m_Dialogs.GetChildren())
        if (auto bytes = WriteDialog(*dialog, context)) put[{kTypeDialog, name(dialog)}] = bytes.Value();
    for (const auto& menu : info.m_Menus.GetChildren()) put[{kTypeMenu, name(menu)}] = WriteMenu(*menu, context);
    if (info.m_VersionInfo.m_Root.GetCount()) {
        std::uint16_t version = 1;
        for (const ResourceId& id : source.Value().EnumerateNames(kTypeVersion))
            if (!id.named) { version = id.id; break; }
        if (auto bytes = WriteVersion(info.m_VersionInfo, context, version)) put[{kTypeVersion, version}] = bytes.Value();
    }

    auto update = ResourceUpdate::Begin(file);
    if (!update) return 0;
    for (const auto& [key, bytes] : put)
        update.Value().Put(ResourceId::Integer(key.first), ResourceId::Integer(key.second), kTargetLanguage, bytes);
    std::vector<std::string> warnings;
    auto rebuilt = update.Value().Commit(warnings);
    if (!rebuilt) return 0; // refusing a module it cannot rewrite is fine
    auto reread = ResourceModule::FromBytes(std::move(rebuilt).Value());
    if (!reread) __builtin_trap();
    const ResourceTree& tree = reread.Value().Tree();
    for (const auto& [key, bytes] : put)
        if (!Holds(tree, ResourceId::Integer(key.first), ResourceId::Integer(key.second), kTargetLanguage, bytes))
            __builtin_trap();
    for (const auto& t : source.Value().Tree().types)
        for (const auto& n : t.names)
            for (const auto& leaf : n.languages) {
                bool replaced = leaf.language == kTargetLanguage && !t.type.named && !n.name.named &&
                                put.count({t.type.id, n.name.id});
                if (leaf.bytes && !replaced && !Holds(tree, t.type, n.name, leaf.language, *leaf.bytes))
                    __builtin_trap();
            }
    return 0;
}
