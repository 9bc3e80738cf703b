#pragma once
// The three-level resource directory of a module (type, name, language) as a
// tree of values, read with every offset checked against the directory's
// section and with each table and data entry visited at most once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"
#include "pe/PeImage.h"

namespace quillon {

// A type or name: a 16-bit integer, or a UTF-16 string kept exactly as stored.
struct ResourceId {
    bool named = false;
    std::uint16_t id = 0;
    std::u16string name;

    static ResourceId Integer(std::uint16_t id) { return {false, id, {}}; }
    static ResourceId Named(std::u16string name) { return {true, 0, std::move(name)}; }
    bool operator==(const ResourceId&) const = default;
    // Directory order: named entries first (by code units), then integers.
    bool operator<(const ResourceId& other) const;
    std::string ToString() const; // "#6" or the name in ASCII with \u escapes
};

// Characteristics, time stamp and version of a directory table, kept so that a
// rebuilt directory can carry them over.
struct TableHeader {
    std::uint32_t characteristics = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
};

struct ResourceLeaf {
    std::uint16_t language = 0;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;
    // The resource bytes, or nothing when the data entry points outside the
    // file-backed part of the image (packed or damaged modules).
    std::optional<std::span<const std::uint8_t>> bytes;
};

struct ResourceNameNode {
    ResourceId name;
    TableHeader header;
    std::vector<ResourceLeaf> languages; // ascending language ids
};

struct ResourceTypeNode {
    ResourceId type;
    TableHeader header;
    std::vector<ResourceNameNode> names;
};

struct ResourceTree {
    TableHeader header;
    std::vector<ResourceTypeNode> types;

    const ResourceTypeNode* FindType(const ResourceId& type) const;
};

// Reads the resource directory of `image`. A module without resources gives an
// empty tree; a damaged table or entry is skipped with a diagnostic. The
// leaves' byte spans point into `image`, which must outlive the tree.
ResourceTree ReadResourceDirectory(const PeImage& image, std::vector<std::string>& diagnostics);

} // namespace quillon
