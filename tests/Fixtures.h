#pragma once
// Paths of the fixture modules and small helpers shared by the tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "io/FileIo.h"
#include "model/ResourceInfo.h"

namespace quillon::testing {

inline std::string Fixture(const std::string& name) { return std::string(QUILLON_FIXTURE_DIR) + "/" + name; }

// A file of the bundled sample (its module, glossary, project).
inline std::string SamplePath(const std::string& name) {
    return std::string(QUILLON_DATA_DIR) + "/../../samples/" + name;
}

// A file's bytes, or none when it cannot be read.
inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes ? bytes.Value() : std::vector<std::uint8_t>{};
}

inline std::vector<std::uint8_t> FixtureBytes(const std::string& name) { return FileBytes(Fixture(name)); }

// The child of `root` with this ID (first match), or null.
inline const CResourceItem* ChildWithId(const CResourceItem& root, std::int32_t id) {
    for (const auto& child : root.GetChildren())
        if (child->m_nID == id) return child.get();
    return nullptr;
}

inline CResourceItem* ChildWithId(CResourceItem& root, std::int32_t id) {
    return const_cast<CResourceItem*>(ChildWithId(static_cast<const CResourceItem&>(root), id));
}

// The child of `root` with this ID, for a test that needs it to be there. A
// missing one fails the test and gives an empty item: the test program goes
// on to report the rest instead of ending on a null pointer.
inline CResourceItem& Child(CResourceItem& root, std::int32_t id) {
    if (CResourceItem* child = ChildWithId(root, id)) return *child;
    ADD_FAILURE() << "no child with ID " << id << " under " << Describe(root);
    static CResourceItem missing;
    missing = CResourceItem();
    return missing;
}

inline const CResourceItem& Child(const CResourceItem& root, std::int32_t id) {
    return Child(const_cast<CResourceItem&>(root), id);
}

} // namespace quillon::testing
