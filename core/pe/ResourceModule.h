#pragma once
// Our replacement for reading a module's resources through the Windows
// loader: open a module file as data (no code runs, nothing is resolved),
// enumerate the names of a type, find a resource by type and integer name,
// and load a string by its ID.
//
// When a type and name exist in several languages, every look-up starts
// from the same language: the module's own (ModuleLanguage), unless a caller
// chose another with ReadIn; ChooseLeaf says which copy that gives.
// Extraction therefore reads exactly the resources that building the target
// later replaces.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "io/Result.h"
#include "pe/PeImage.h"
#include "pe/ResourceDirectory.h"

namespace quillon {

inline constexpr std::uint16_t kTypeMenu = 4;
inline constexpr std::uint16_t kTypeDialog = 5;
inline constexpr std::uint16_t kTypeStringTable = 6;
inline constexpr std::uint16_t kTypeVersion = 16;

// The 16 slots of a string-table block; an absent or empty slot has no value.
using StringBlock = std::array<std::optional<std::u16string>, 16>;
// The same slots as the module's little-endian UTF-16 bytes, for readers
// that convert them without a copy of their own.
using StringBlockView = std::array<std::optional<std::span<const std::uint8_t>>, 16>;

class ResourceModule {
public:
    static Result<ResourceModule> Open(const std::string& path);
    static Result<ResourceModule> FromBytes(std::vector<std::uint8_t> file) { return FromShared(ShareBytes(std::move(file))); }
    static Result<ResourceModule> FromShared(SharedBytes file);
    static ResourceModule FromImage(PeImage image);

    ResourceModule(ResourceModule&&) noexcept = default;
    ResourceModule& operator=(ResourceModule&&) noexcept = default;
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // Names of one type in directory order (named first, then ascending IDs),
    // without entries whose fields have bits above 16.
    std::vector<ResourceId> EnumerateNames(std::uint16_t type) const;
    // The chosen language's leaf for type + integer name.
    const ResourceLeaf* FindLeaf(std::uint16_t type, std::uint16_t name) const;
    // The bytes of that leaf; nothing when it is missing or not in the file.
    std::optional<std::span<const std::uint8_t>> Find(std::uint16_t type, std::uint16_t name) const;
    // Strings of block `block` (1..4096): block n holds IDs (n-1)*16 .. n*16-1.
    // A slot whose length runs past the block ends the block.
    StringBlock LoadStringBlock(std::uint16_t block) const;
    StringBlockView LoadStringBlockBytes(std::uint16_t block) const;
    // The UTF-16 text of string `id` (low 16 bits); nothing when absent or empty.
    std::optional<std::u16string> LoadString(std::uint32_t id) const;

    // The names of one integer type and name in every language, or null.
    const ResourceNameNode* FindName(std::uint16_t type, std::uint16_t name) const;

    // The language the version resource declares; 0 when it declares none.
    std::uint16_t DeclaredLanguage() const { return m_declaredLanguage; }
    bool HasDeclaredLanguage() const { return m_hasDeclaredLanguage; }
    // The language look-ups start from: the module's language, or the one
    // ReadIn chose.
    std::uint16_t Language() const { return m_language; }
    // Reads the module in `language` from now on, as a user of that
    // language would see it.
    void ReadIn(std::uint16_t language) { m_language = language; }
    const PeImage& Image() const { return *m_image; }
    const ResourceTree& Tree() const { return m_tree; }
    const std::vector<std::string>& Diagnostics() const { return m_diagnostics; }

private:
    ResourceModule() = default;
    const ResourceLeaf* ChooseLanguage(const ResourceNameNode& node) const;
    void ReadDeclaredLanguage();
    void IndexIntegerNames();

    // Held by pointer so spans into the file stay valid when the module moves.
    std::unique_ptr<PeImage> m_image;
    ResourceTree m_tree;
    std::uint16_t m_declaredLanguage = 0;
    bool m_hasDeclaredLanguage = false;
    std::uint16_t m_language = 0;
    std::vector<std::string> m_diagnostics;
    // (type << 16 | name) of integer names to {type index, name index} in
    // m_tree: a module has thousands of string blocks and dialogs, and every
    // one is looked up while scanning and building.
    std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> m_integerNames;
    // Integer type to the index of its first node in m_tree.
    std::unordered_map<std::uint16_t, std::uint32_t> m_firstTypeNode;
};

// First language of "\VarFileInfo\Translation" and its code page, when present.
struct VersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};
std::optional<VersionTranslation> ReadVersionTranslation(std::span<const std::uint8_t> versionResource);

} // namespace quillon
