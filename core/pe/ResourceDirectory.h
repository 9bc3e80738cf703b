#pragma once
// The three-level resource directory of a module (type, name, language) as a
// tree of values, read with every offset checked against the directory's
// section and with each table and data entry visited at most once.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/Result.h"
#include "pe/PeImage.h"
#include "pe/ResourceRecords.h"

namespace quillon {

// The UTF-16 units of a resource name, exactly as stored (unpaired
// surrogates included). Copies share one string: a directory can point
// thousands of entries at one 65,535-unit name, and a copy per entry would
// hold gigabytes. It reads like a std::u16string where code walks its units.
class ResourceName {
public:
    ResourceName() = default;
    ResourceName(std::u16string units) : m_units(std::make_shared<const std::u16string>(std::move(units))) {}
    ResourceName(const char16_t* units) : ResourceName(std::u16string(units)) {}

    std::u16string_view View() const { return m_units ? std::u16string_view(*m_units) : std::u16string_view(); }
    std::size_t size() const { return View().size(); }
    bool empty() const { return View().empty(); }
    auto begin() const { return View().begin(); }
    auto end() const { return View().end(); }
    char16_t operator[](std::size_t i) const { return View()[i]; }
    int compare(const ResourceName& other) const { return SameString(other) ? 0 : View().compare(other.View()); }
    // True when both are copies of one string: equal without a look at the units.
    bool SameString(const ResourceName& other) const { return m_units == other.m_units; }
    // Identifies the shared string (null for an empty name made by default).
    const void* Identity() const { return m_units.get(); }

    friend bool operator==(const ResourceName& a, const ResourceName& b) { return a.compare(b) == 0; }
    friend bool operator<(const ResourceName& a, const ResourceName& b) { return a.compare(b) < 0; }

private:
    std::shared_ptr<const std::u16string> m_units;
};

// A type or name: a 16-bit integer, or a name.
struct ResourceId {
    bool named = false;
    std::uint16_t id = 0;
    ResourceName name;
    // Bits 16..30 of an integer entry's field. The loader compares only the
    // low 16 bits, so such an entry shadows or duplicates a real one; it is
    // never looked up and is written back with the field it had.
    std::uint16_t highBits = 0;

    static ResourceId Integer(std::uint16_t id) { return {false, id, {}, 0}; }
    static ResourceId Named(ResourceName name) { return {true, 0, std::move(name), 0}; }
    bool operator==(const ResourceId&) const = default;
    // Directory order: named entries first (by code units), then integers by
    // their whole field.
    bool operator<(const ResourceId& other) const;
    // The field of a directory entry for an integer (its high bit clear).
    std::uint32_t Field() const { return std::uint32_t{highBits} << 16 | id; }
    std::string ToString() const; // "#6" or the name in ASCII with \u escapes
};

struct ResourceLeaf {
    std::uint16_t language = 0;
    std::uint16_t languageHigh = 0; // bits above 16 of the entry's field, as for ResourceId::highBits
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;
    // The resource bytes, or nothing when the data entry points outside the
    // file-backed part of the image (packed or damaged modules).
    std::optional<std::span<const std::uint8_t>> bytes;

    std::uint32_t LanguageField() const { return std::uint32_t{languageHigh} << 16 | language; }
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
