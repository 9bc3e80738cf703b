#include "pe/ResourceDirectory.h"

#include <algorithm>
#include <functional>
#include <cstdio>

#include "io/ByteReader.h"
#include "io/FlatTable.h"

namespace quillon {

bool ResourceId::operator<(const ResourceId& other) const {
    if (named != other.named) return named;
    return named ? name < other.name : Field() < other.Field();
}

std::string ResourceId::ToString() const {
    if (!named) {
        char number[16];
        std::snprintf(number, sizeof number, "#%lu", static_cast<unsigned long>(Field()));
        return number;
    }
    // Names are for people: long ones are cut, and units outside printable
    // ASCII are shown as \uXXXX.
    constexpr std::size_t kShown = 64;
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < name.size() && i < kShown; ++i) {
        char16_t unit = name[i];
        if (unit >= 0x20 && unit < 0x7F) {
            out.push_back(static_cast<char>(unit));
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(digits[(unit >> shift) & 0xF]);
        }
    }
    if (name.size() > kShown) out += "...";
    return out;
}

const ResourceTypeNode* ResourceTree::FindType(const ResourceId& type) const {
    for (const auto& node : types)
        if (node.type == type) return &node;
    return nullptr;
}

namespace {

using Entry = ResourceEntryRecord;

// Walks the directory bytes [section start of the directory, section end).
class DirectoryWalker {
public:
    DirectoryWalker(const PeImage& image, std::span<const std::uint8_t> directory,
                    std::vector<std::string>& diagnostics)
        : m_image(image), m_dir(directory), m_diagnostics(diagnostics) {}

    ResourceTree Walk() {
        ResourceTree tree;
        std::vector<Entry> types;
        if (!ReadTable(0, tree.header, types)) return tree;
        for (const Entry& typeEntry : types) {
            auto type = ReadId(typeEntry);
            if (!type) continue;
            auto sub = SubTable(typeEntry, [&] { return "type " + type->ToString(); });
            if (!sub) continue;
            ResourceTypeNode node{*type, {}, {}};
            std::vector<Entry> names;
            if (!ReadTable(*sub, node.header, names)) continue;
            node.names.reserve(names.size());
            for (const Entry& nameEntry : names) ReadName(nameEntry, node);
            tree.types.push_back(std::move(node));
        }
        return tree;
    }

private:
    // A hostile directory can be wrong thousands of times; the first hundred
    // findings say enough.
    void Diagnose(std::string message) {
        constexpr std::size_t kMaxDiagnostics = 100;
        if (++m_findings <= kMaxDiagnostics)
            m_diagnostics.push_back("resource directory: " + std::move(message));
        else if (m_findings == kMaxDiagnostics + 1)
            m_diagnostics.push_back("resource directory: more damage found (not listed)");
    }

    bool ReadTable(std::uint32_t offset, TableHeader& header, std::vector<Entry>& entries) {
        entries.clear();
        if (!m_visitedTables.InsertFirst(offset, true)) {
            Diagnose("table at " + std::to_string(offset) + " is reached twice (skipped)");
            return false;
        }
        auto table = ResourceTableRecord::Read(m_dir, offset);
        if (!table) {
            Diagnose("table at " + std::to_string(offset) + " lies outside the resource section");
            return false;
        }
        header = table->header;
        std::uint64_t count = table->EntryCount();
        // The last entry inside means every entry is: check once, then read.
        if (count && !Entry::Read(m_dir, ResourceTableRecord::EntryOffset(offset, count - 1))) {
            Diagnose("entries of the table at " + std::to_string(offset) + " run past the resource section");
            return false;
        }
        entries.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i)
            entries.push_back(*Entry::Read(m_dir, ResourceTableRecord::EntryOffset(offset, i)));
        return true;
    }

    // Descriptions are made only when a diagnostic needs one: a hostile
    // directory can name thousands of entries with long shared names.
    using Describe = std::function<std::string()>;

    std::optional<std::uint32_t> SubTable(const Entry& entry, const Describe& what) {
        if (!entry.LeadsToTable()) {
            Diagnose(what() + " points to data where a table belongs (skipped)");
            return std::nullopt;
        }
        return entry.TargetOffset();
    }

    std::optional<ResourceId> ReadId(const Entry& entry) {
        if (entry.IsNamed()) {
            auto name = DecodeName(entry.NameOffset());
            if (!name) return std::nullopt;
            return ResourceId::Named(std::move(*name));
        }
        std::uint32_t field = entry.nameField;
        ResourceId id = ResourceId::Integer(static_cast<std::uint16_t>(field));
        id.highBits = static_cast<std::uint16_t>(field >> 16);
        if (id.highBits) Diagnose("id " + std::to_string(field) + " has bits above 16 (kept as it is, never looked up)");
        return id;
    }

    // Each string is decoded once, however many entries name it. The strings
    // of a real directory never overlap, so together they are no larger than
    // the directory; past that, names overlap others, a shape that only
    // multiplies the work of decoding them (skipped).
    std::optional<ResourceName> DecodeName(std::uint32_t offset) {
        if (const std::uint32_t* known = m_nameAt.Find(offset)) return m_names[*known];
        auto units = ResourceNameString::Read(m_dir, offset);
        if (!units) {
            Diagnose("name string at " + std::to_string(offset) + " lies outside the resource section (skipped)");
            return std::nullopt;
        }
        std::size_t bytes = ResourceNameString::Size(units->size() / 2);
        if (bytes > m_nameBytesLeft) {
            Diagnose("name string at " + std::to_string(offset) + " overlaps other names (skipped)");
            return std::nullopt;
        }
        m_nameBytesLeft -= bytes;
        std::u16string name;
        ByteReader::DecodeUtf16Le(*units, name);
        m_nameAt.InsertFirst(offset, static_cast<std::uint32_t>(m_names.size()));
        m_names.emplace_back(std::move(name));
        return m_names.back();
    }

    void ReadName(const Entry& nameEntry, ResourceTypeNode& typeNode) {
        auto name = ReadId(nameEntry);
        if (!name) return;
        Describe what = [&] { return "type " + typeNode.type.ToString() + " name " + name->ToString(); };
        auto sub = SubTable(nameEntry, what);
        if (!sub) return;
        ResourceNameNode node{*name, {}, {}};
        // One list for every name's languages: there are thousands of names.
        std::vector<Entry>& languages = m_languageEntries;
        if (!ReadTable(*sub, node.header, languages)) return;
        node.languages.reserve(languages.size());
        for (const Entry& languageEntry : languages) {
            if (languageEntry.IsNamed()) {
                Diagnose(what() + " has a named language entry (skipped)");
                continue;
            }
            if (languageEntry.LeadsToTable()) {
                Diagnose(what() + " has a table where language data belongs (skipped)");
                continue;
            }
            if (auto leaf = ReadLeaf(languageEntry.offsetField, what)) {
                leaf->language = static_cast<std::uint16_t>(languageEntry.nameField);
                leaf->languageHigh = static_cast<std::uint16_t>(languageEntry.nameField >> 16);
                if (leaf->languageHigh)
                    Diagnose(what() + " has language " + std::to_string(languageEntry.nameField) +
                             ", bits above 16 (kept as it is, never looked up)");
                node.languages.push_back(*leaf);
            }
        }
        std::stable_sort(node.languages.begin(), node.languages.end(),
                         [](const ResourceLeaf& a, const ResourceLeaf& b) { return a.LanguageField() < b.LanguageField(); });
        typeNode.names.push_back(std::move(node));
    }

    std::optional<ResourceLeaf> ReadLeaf(std::uint32_t offset, const Describe& what) {
        if (!m_visitedLeaves.InsertFirst(offset, true)) {
            Diagnose(what() + ": data entry at " + std::to_string(offset) + " is shared (skipped)");
            return std::nullopt;
        }
        auto entry = ResourceDataRecord::Read(m_dir, offset);
        if (!entry) {
            Diagnose(what() + ": data entry lies outside the resource section (skipped)");
            return std::nullopt;
        }
        ResourceLeaf leaf;
        leaf.rva = entry->rva;
        leaf.size = entry->size;
        leaf.codePage = entry->codePage;
        leaf.bytes = m_image.BytesAtRva(leaf.rva, leaf.size);
        if (!leaf.bytes) Diagnose(what() + ": data is not in the file (unreadable)");
        return leaf;
    }

    const PeImage& m_image;
    std::span<const std::uint8_t> m_dir;
    std::vector<std::string>& m_diagnostics;
    std::size_t m_findings = 0;
    // Offsets already walked: a module has tens of thousands of them.
    FlatTable<std::uint32_t, bool> m_visitedTables;
    FlatTable<std::uint32_t, bool> m_visitedLeaves;
    std::vector<Entry> m_languageEntries;
    // Names decoded so far, by the offset of their string.
    FlatTable<std::uint32_t, std::uint32_t> m_nameAt;
    std::vector<ResourceName> m_names;
    std::size_t m_nameBytesLeft = m_dir.size();
};

} // namespace

ResourceTree ReadResourceDirectory(const PeImage& image, std::vector<std::string>& diagnostics) {
    DataDirectory resources = image.Directory(kDirectoryResource);
    if (resources.address == 0) return {};
    auto directory = image.BytesFromRva(resources.address);
    if (!directory || directory->size() < ResourceTableRecord::kSize) {
        diagnostics.push_back("resource directory: not inside any section of the file");
        return {};
    }
    return DirectoryWalker(image, *directory, diagnostics).Walk();
}

} // namespace quillon
