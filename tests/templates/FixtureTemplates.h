#pragma once
// Every template of one resource type in the fixture modules and the sample,
// for the layout tests that walk all of them.

#include <cstdint>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "io/ByteReader.h"
#include "pe/ResourceModule.h"

namespace quillon::testing {

struct FixtureTemplate {
    std::string where; // module, name and language, for failure messages
    std::vector<std::uint8_t> bytes;
};

// A template's text field: little-endian UTF-16 units.
inline std::u16string Units(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    ByteReader::DecodeUtf16Le(bytes, text);
    return text;
}

inline std::vector<FixtureTemplate> FixtureTemplates(std::uint16_t type) {
    std::vector<FixtureTemplate> templates;
    for (const std::string& path : {Fixture("basic32.exe"), Fixture("basic64.exe"), Fixture("unstripped64.exe"),
                                    Fixture("multilang.dll"), Fixture("update-v1.exe"), Fixture("update-v2.exe"),
                                    SamplePath("quillpad.exe")}) {
        auto module = ResourceModule::Open(path);
        if (!module) continue;
        const ResourceTypeNode* node = module.Value().Tree().FindType(ResourceId::Integer(type));
        if (!node) continue;
        for (const auto& name : node->names)
            for (const auto& leaf : name.languages)
                if (leaf.bytes)
                    templates.push_back({path + " " + name.name.ToString() + " " + std::to_string(leaf.language),
                                         std::vector<std::uint8_t>(leaf.bytes->begin(), leaf.bytes->end())});
    }
    return templates;
}

} // namespace quillon::testing
