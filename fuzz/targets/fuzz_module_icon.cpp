// Input: a whole module file when it starts with "MZ", whose own icon is
// chosen and decoded; anything else is one RT_ICON image (a bitmap with its
// mask, or a PNG) and, read again, an RT_GROUP_ICON directory.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pe/ModuleIcon.h"
#include "pe/ResourceModule.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    if (size >= 2 && data[0] == 'M' && data[1] == 'Z') {
        auto module = ResourceModule::FromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        if (module) LoadModuleIcon(module.Value());
        return 0;
    }
    DecodeIconImage(bytes);
    PreferredIconIds(bytes, 32);
    return 0;
}
