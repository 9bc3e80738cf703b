#include "extract/FileVersion.h"

#include <cstdio>

#include "io/ByteReader.h"
#include "pe/ResourceModule.h"
#include "pe/VersionEntries.h"

namespace quillon {

namespace {

constexpr std::uint16_t kVersionInfoId = 1;
// Words of VS_FIXEDFILEINFO: signature, structure version, then the file version.
constexpr std::size_t kFixedInfoBytes = 13 * 4;
constexpr std::size_t kFileVersionMSAt = 2 * 4;
constexpr std::size_t kFileVersionLSAt = 3 * 4;

std::optional<std::span<const std::uint8_t>> FindVersionResource(const ResourceModule& module) {
    if (auto bytes = module.Find(kTypeVersion, kVersionInfoId)) return bytes;
    for (const ResourceId& name : module.EnumerateNames(kTypeVersion))
        if (!name.named)
            if (auto bytes = module.Find(kTypeVersion, name.id)) return bytes;
    return std::nullopt;
}

} // namespace

std::string ModuleVersion::VersionText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", fileVersionMS >> 16, fileVersionMS & 0xFFFF, fileVersionLS >> 16,
                  fileVersionLS & 0xFFFF);
    return text;
}

Result<ModuleVersion> ReadModuleVersion(const ResourceModule& module, const CodePage& codePage) {
    auto bytes = FindVersionResource(module);
    if (!bytes) return MakeError(Error::Code::NotFound, "the module has no version resource");
    auto root = ParseVersionEntries(*bytes);
    if (!root || root->value.size() < kFixedInfoBytes)
        return MakeError(Error::Code::Malformed, "the version resource has no fixed file information");
    ModuleVersion version;
    version.fileVersionMS = *ByteReader::U32At(root->value, kFileVersionMSAt);
    version.fileVersionLS = *ByteReader::U32At(root->value, kFileVersionLSAt);
    if (auto translation = ReadVersionTranslation(*bytes)) {
        version.language = translation->language;
        version.codePage = translation->codePage;
    }
    char table[16];
    std::snprintf(table, sizeof table, "%04x%04x", version.language, version.codePage);
    const std::string path = std::string("\\StringFileInfo\\") + table + "\\FileDescription";
    if (const VersionEntry* entry = FindVersionEntry(*root, std::u16string(path.begin(), path.end())))
        version.description = codePage.FromUtf16(entry->Text());
    return version;
}

} // namespace quillon
