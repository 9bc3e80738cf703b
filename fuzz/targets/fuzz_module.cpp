// Input: a whole module file. Everything a scan reads from it: headers,
// sections, the resource directory, the version record and every template.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "extract/FileVersion.h"
#include "extract/ResourceExtractor.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto module = ResourceModule::FromBytes(std::vector<std::uint8_t>(data, data + size));
    if (!module) return 0;
    CodePage codePage(1252);
    if (auto version = ReadModuleVersion(module.Value(), codePage)) version.Value().VersionText();
    CResourceInfo info;
    CResourceExtractor extractor(std::move(module).Value(), info, codePage);
    extractor.Extract();
    return 0;
}
