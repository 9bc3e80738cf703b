#pragma once
// Paths of the fixture modules and small helpers shared by the tests.

#include <cstdint>
#include <string>
#include <vector>

#include "io/FileIo.h"
#include "model/ResourceInfo.h"

namespace quillon::testing {

inline std::string Fixture(const std::string& name) { return std::string(QUILLON_FIXTURE_DIR) + "/" + name; }

// A file's bytes, or none when it cannot be read.
inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes ? bytes.Value() : std::vector<std::uint8_t>{};
}

inline std::vector<std::uint8_t> FixtureBytes(const std::string& name) {
    auto bytes = ReadWholeFile(Fixture(name));
    return bytes ? bytes.Value() : std::vector<std::uint8_t>{};
}

// The child of `root` with this ID (first match), or null.
inline const CResourceItem* ChildWithId(const CResourceItem& root, std::int32_t id) {
    for (const auto& child : root.GetChildren())
        if (child->m_nID == id) return child.get();
    return nullptr;
}

inline CResourceItem* ChildWithId(CResourceItem& root, std::int32_t id) {
    return const_cast<CResourceItem*>(ChildWithId(static_cast<const CResourceItem&>(root), id));
}

} // namespace quillon::testing
