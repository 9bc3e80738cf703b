#include "pe/ResourceModule.h"

#include <memory>

#include "io/ByteReader.h"
#include "io/MappedFile.h"
#include "pe/ModuleLanguage.h"
#include "pe/VersionEntries.h"

namespace quillon {

// The file is mapped, not read: a scan reads the headers and the resources
// and nothing of the code, data or overlay around them.
Result<ResourceModule> ResourceModule::Open(const std::string& path) {
    auto file = MappedFile::Open(path);
    if (!file) return file.GetError();
    auto image = PeImage::Open(std::move(file).Value());
    if (!image) {
        Error error = image.GetError();
        if (error.code != Error::Code::Io) error.message = "'" + path + "': " + error.message;
        return error;
    }
    return FromImage(std::move(image).Value());
}

Result<ResourceModule> ResourceModule::FromShared(SharedBytes file) {
    auto image = PeImage::Parse(std::move(file));
    if (!image) return image.GetError();
    return FromImage(std::move(image).Value());
}

ResourceModule ResourceModule::FromImage(PeImage image) {
    ResourceModule module;
    module.m_image = std::make_unique<PeImage>(std::move(image));
    module.m_diagnostics = module.m_image->Diagnostics();
    module.m_tree = ReadResourceDirectory(*module.m_image, module.m_diagnostics);
    module.IndexIntegerNames();
    module.ReadDeclaredLanguage();
    module.m_language = ModuleLanguage(module.m_tree, module.m_hasDeclaredLanguage
                                                          ? std::optional(module.m_declaredLanguage)
                                                          : std::nullopt);
    return module;
}

std::optional<VersionTranslation> ReadVersionTranslation(std::span<const std::uint8_t> versionResource) {
    auto root = ParseVersionEntries(versionResource);
    if (!root) return std::nullopt;
    const VersionEntry* translation = FindVersionEntry(*root, u"\\VarFileInfo\\Translation");
    if (!translation) return std::nullopt;
    auto value = ByteReader::U32At(translation->value, 0);
    if (!value) return std::nullopt;
    return VersionTranslation{static_cast<std::uint16_t>(*value), static_cast<std::uint16_t>(*value >> 16)};
}

// The declared language comes from the version resource, which is itself
// chosen without it: neutral, then US English, then the lowest language.
void ResourceModule::ReadDeclaredLanguage() {
    auto names = EnumerateNames(kTypeVersion);
    for (const ResourceId& name : names) {
        if (name.named) continue;
        auto bytes = Find(kTypeVersion, name.id);
        if (!bytes) continue;
        if (auto translation = ReadVersionTranslation(*bytes)) {
            m_declaredLanguage = translation->language;
            m_hasDeclaredLanguage = true;
        }
        return;
    }
}

// An entry whose field has bits above 16 is never looked up, so it is not
// listed either: a reader would take it for the entry it shadows.
std::vector<ResourceId> ResourceModule::EnumerateNames(std::uint16_t type) const {
    std::vector<ResourceId> out;
    auto found = m_firstTypeNode.find(type);
    if (found == m_firstTypeNode.end()) return out;
    for (const auto& name : m_tree.types[found->second].names)
        if (name.name.highBits == 0) out.push_back(name.name);
    return out;
}

void ResourceModule::IndexIntegerNames() {
    for (std::size_t t = 0; t < m_tree.types.size(); ++t) {
        const ResourceTypeNode& type = m_tree.types[t];
        if (type.type.named || type.type.highBits) continue;
        // Only the first node of a type is searched, as a walk in directory
        // order finds it. (A search of the list per node made a root of
        // 131,070 types take seconds.)
        if (!m_firstTypeNode.try_emplace(type.type.id, static_cast<std::uint32_t>(t)).second) continue;
        for (std::size_t n = 0; n < type.names.size(); ++n) {
            const ResourceId& name = type.names[n].name;
            // The first of a repeated name wins, as a walk in directory
            // order finds it.
            if (!name.named && !name.highBits)
                m_integerNames.try_emplace(std::uint32_t{type.type.id} << 16 | name.id, static_cast<std::uint32_t>(t),
                                           static_cast<std::uint32_t>(n));
        }
    }
}

const ResourceNameNode* ResourceModule::FindName(std::uint16_t type, std::uint16_t name) const {
    auto found = m_integerNames.find(std::uint32_t{type} << 16 | name);
    if (found == m_integerNames.end()) return nullptr;
    return &m_tree.types[found->second.first].names[found->second.second];
}

// Languages whose fields have bits above 16 are never chosen: they are
// kept only to be written back as they were.
const ResourceLeaf* ResourceModule::ChooseLanguage(const ResourceNameNode& node) const {
    return ChooseLeaf(node, m_language);
}

const ResourceLeaf* ResourceModule::FindLeaf(std::uint16_t type, std::uint16_t name) const {
    const ResourceNameNode* node = FindName(type, name);
    return node ? ChooseLanguage(*node) : nullptr;
}

std::optional<std::span<const std::uint8_t>> ResourceModule::Find(std::uint16_t type, std::uint16_t name) const {
    const ResourceLeaf* leaf = FindLeaf(type, name);
    if (!leaf) return std::nullopt;
    return leaf->bytes;
}

// Block layout: 16 slots, each a WORD count of UTF-16 units and the units,
// without terminator.
StringBlockView ResourceModule::LoadStringBlockBytes(std::uint16_t block) const {
    StringBlockView strings;
    auto bytes = Find(kTypeStringTable, block);
    if (!bytes) return strings;
    ByteReader reader(*bytes);
    for (auto& slot : strings) {
        auto count = reader.U16();
        if (!count) break;
        auto units = reader.Take(std::size_t{*count} * 2);
        if (!units) break;
        if (*count != 0) slot = *units;
    }
    return strings;
}

StringBlock ResourceModule::LoadStringBlock(std::uint16_t block) const {
    StringBlock strings;
    StringBlockView bytes = LoadStringBlockBytes(block);
    for (std::size_t slot = 0; slot < strings.size(); ++slot) {
        if (!bytes[slot]) continue;
        ByteReader::DecodeUtf16Le(*bytes[slot], strings[slot].emplace());
    }
    return strings;
}

std::optional<std::u16string> ResourceModule::LoadString(std::uint32_t id) const {
    std::uint16_t low = static_cast<std::uint16_t>(id);
    StringBlock block = LoadStringBlock(static_cast<std::uint16_t>((low >> 4) + 1));
    return block[low & 15];
}

} // namespace quillon
