#include <algorithm>
#include <map>
#include <memory>

#include "io/ByteWriter.h"
#include "pe/ResourceUpdate.h"

namespace quillon {

namespace {

std::size_t AlignUp(std::size_t value, std::size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

} // namespace

const EditLeaf* EditTree::Find(const ResourceId& type, const ResourceId& name, std::uint16_t language) const {
    for (const EditType& t : types) {
        if (!(t.type == type)) continue;
        for (const EditName& n : t.names) {
            if (!(n.name == name)) continue;
            for (const EditLeaf& leaf : n.leaves)
                if (leaf.language == language) return &leaf;
        }
    }
    return nullptr;
}

namespace {

// Tables are kept sorted (the loaders binary-search them), so look-ups do too.
template <typename Node>
auto LowerBound(std::vector<Node>& nodes, const ResourceId& id, ResourceId Node::*key) {
    return std::lower_bound(nodes.begin(), nodes.end(), id,
                            [key](const Node& node, const ResourceId& value) { return node.*key < value; });
}

} // namespace

void EditTree::Put(const ResourceId& type, const ResourceId& name, std::uint16_t language,
                   std::vector<std::uint8_t> data) {
    auto t = LowerBound(types, type, &EditType::type);
    if (t == types.end() || !(t->type == type)) t = types.insert(t, EditType{type, {}, {}});
    auto n = LowerBound(t->names, name, &EditName::name);
    if (n == t->names.end() || !(n->name == name)) n = t->names.insert(n, EditName{name, {}, {}});
    auto leaf = std::lower_bound(n->leaves.begin(), n->leaves.end(), language,
                                 [](const EditLeaf& l, std::uint16_t value) { return l.language < value; });
    auto owned = std::make_shared<const std::vector<std::uint8_t>>(std::move(data));
    if (leaf == n->leaves.end() || leaf->language != language) leaf = n->leaves.insert(leaf, EditLeaf{language, 0, {}, {}, true});
    leaf->data = *owned;
    leaf->owned = std::move(owned);
    leaf->readable = true;
}

// A name or type left without languages stays in place until the tree is
// written (Pruned), so a delete followed by a put of the same name does not
// shift the tables twice.
bool EditTree::Delete(const ResourceId& type, const ResourceId& name, std::uint16_t language) {
    auto t = LowerBound(types, type, &EditType::type);
    if (t == types.end() || !(t->type == type)) return false;
    auto n = LowerBound(t->names, name, &EditName::name);
    if (n == t->names.end() || !(n->name == name)) return false;
    auto leaf = std::find_if(n->leaves.begin(), n->leaves.end(),
                             [&](const EditLeaf& l) { return l.language == language; });
    if (leaf == n->leaves.end()) return false;
    n->leaves.erase(leaf);
    return true;
}

EditTree EditTree::Pruned() const {
    EditTree pruned;
    pruned.header = header;
    for (const EditType& type : types) {
        EditType kept{type.type, type.header, {}};
        for (const EditName& name : type.names)
            if (!name.leaves.empty()) kept.names.push_back(name);
        if (!kept.names.empty()) pruned.types.push_back(std::move(kept));
    }
    return pruned;
}

void EditTree::Sort() {
    std::stable_sort(types.begin(), types.end(), [](const EditType& a, const EditType& b) { return a.type < b.type; });
    for (EditType& type : types)
        std::stable_sort(type.names.begin(), type.names.end(),
                         [](const EditName& a, const EditName& b) { return a.name < b.name; });
}

namespace {

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::size_t kTable = 16;
constexpr std::size_t kEntry = 8;
constexpr std::size_t kDataEntry = 16;

// Layout: every table (root, then type tables, then name tables: breadth
// first), then the data entries, then the name strings, then the data, each
// blob 8-aligned.
class Serializer {
public:
    explicit Serializer(const EditTree& tree) : m_tree(tree) {}

    std::size_t Size() {
        PlanOffsets();
        return m_size;
    }

    // `out` must hold at least Size() zeroed bytes; false when it does not.
    bool Write(std::uint32_t baseRva, std::span<std::uint8_t> out) {
        PlanOffsets();
        if (out.size() < m_size) return false;
        m_out = out.first(m_size);
        std::size_t typeTable = kTable + kEntry * m_tree.types.size();
        std::size_t nameTable = m_nameTablesStart;
        std::size_t dataEntry = m_dataEntriesStart;
        std::size_t blob = m_dataStart;
        WriteTable(0, m_tree.header, m_tree.types.size(), CountNamed(m_tree.types, &EditType::type));
        for (std::size_t t = 0; t < m_tree.types.size(); ++t) {
            const EditType& type = m_tree.types[t];
            WriteEntry(kTable + kEntry * t, IdField(type.type), kHighBit | static_cast<std::uint32_t>(typeTable));
            WriteTable(typeTable, type.header, type.names.size(), CountNamed(type.names, &EditName::name));
            for (std::size_t n = 0; n < type.names.size(); ++n) {
                const EditName& name = type.names[n];
                WriteEntry(typeTable + kTable + kEntry * n, IdField(name.name), kHighBit | static_cast<std::uint32_t>(nameTable));
                WriteTable(nameTable, name.header, name.leaves.size(), 0);
                for (std::size_t l = 0; l < name.leaves.size(); ++l) {
                    const EditLeaf& leaf = name.leaves[l];
                    WriteEntry(nameTable + kTable + kEntry * l, leaf.language, static_cast<std::uint32_t>(dataEntry));
                    Put32(dataEntry, baseRva + static_cast<std::uint32_t>(blob));
                    Put32(dataEntry + 4, static_cast<std::uint32_t>(leaf.data.size()));
                    Put32(dataEntry + 8, leaf.codePage);
                    std::copy(leaf.data.begin(), leaf.data.end(), m_out.begin() + static_cast<std::ptrdiff_t>(blob));
                    dataEntry += kDataEntry;
                    blob = AlignUp(blob + leaf.data.size(), 8);
                }
                nameTable += kTable + kEntry * name.leaves.size();
            }
            typeTable += kTable + kEntry * type.names.size();
        }
        return true;
    }

private:
    template <typename Node>
    static std::size_t CountNamed(const std::vector<Node>& nodes, ResourceId Node::*key) {
        return static_cast<std::size_t>(std::count_if(nodes.begin(), nodes.end(), [&](const Node& n) { return (n.*key).named; }));
    }

    void PlanOffsets() {
        if (m_planned) return;
        std::size_t tables = kTable + kEntry * m_tree.types.size();
        std::size_t entries = 0;
        for (const EditType& type : m_tree.types) {
            tables += kTable + kEntry * type.names.size();
            AddString(type.type);
            for (const EditName& name : type.names) AddString(name.name);
        }
        m_nameTablesStart = kTable + kEntry * m_tree.types.size();
        for (const EditType& type : m_tree.types) m_nameTablesStart += kTable + kEntry * type.names.size();
        for (const EditType& type : m_tree.types)
            for (const EditName& name : type.names) {
                tables += kTable + kEntry * name.leaves.size();
                entries += name.leaves.size();
            }
        m_dataEntriesStart = tables;
        std::size_t strings = m_dataEntriesStart + kDataEntry * entries;
        for (auto& [text, offset] : m_strings) {
            offset = strings;
            strings += 2 + 2 * text.size();
        }
        m_dataStart = AlignUp(strings, 8);
        std::size_t end = m_dataStart;
        for (const EditType& type : m_tree.types)
            for (const EditName& name : type.names)
                for (const EditLeaf& leaf : name.leaves) end = AlignUp(end + leaf.data.size(), 8);
        m_size = end;
        m_stringsWritten = false;
        m_planned = true;
    }

    void AddString(const ResourceId& id) {
        if (id.named) m_strings.emplace(id.name, 0);
    }

    std::uint32_t IdField(const ResourceId& id) {
        if (!id.named) return id.id;
        std::size_t offset = m_strings.at(id.name);
        if (!m_stringsWritten) WriteStrings();
        return kHighBit | static_cast<std::uint32_t>(offset);
    }

    void WriteStrings() {
        for (const auto& [text, offset] : m_strings) {
            Put16(offset, static_cast<std::uint16_t>(text.size()));
            for (std::size_t i = 0; i < text.size(); ++i) Put16(offset + 2 + 2 * i, static_cast<std::uint16_t>(text[i]));
        }
        m_stringsWritten = true;
    }

    void WriteTable(std::size_t at, const TableHeader& header, std::size_t count, std::size_t named) {
        Put32(at, header.characteristics);
        Put32(at + 4, header.timeDateStamp);
        Put16(at + 8, header.majorVersion);
        Put16(at + 10, header.minorVersion);
        Put16(at + 12, static_cast<std::uint16_t>(named));
        Put16(at + 14, static_cast<std::uint16_t>(count - named));
    }

    void WriteEntry(std::size_t at, std::uint32_t nameField, std::uint32_t offsetField) {
        Put32(at, nameField);
        Put32(at + 4, offsetField);
    }

    void Put16(std::size_t at, std::uint16_t v) {
        m_out[at] = static_cast<std::uint8_t>(v);
        m_out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void Put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) m_out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    const EditTree& m_tree;
    std::map<std::u16string, std::size_t> m_strings;
    std::size_t m_nameTablesStart = 0;
    std::size_t m_dataEntriesStart = 0;
    std::size_t m_dataStart = 0;
    std::size_t m_size = 0;
    bool m_stringsWritten = false;
    bool m_planned = false;
    std::span<std::uint8_t> m_out;
};

} // namespace

std::vector<std::uint8_t> SerializeResources(const EditTree& tree, std::uint32_t baseRva) {
    Serializer serializer(tree);
    std::vector<std::uint8_t> out(serializer.Size(), 0);
    serializer.Write(baseRva, out);
    return out;
}

std::size_t SerializedResourcesSize(const EditTree& tree) { return Serializer(tree).Size(); }

bool SerializeResourcesInto(const EditTree& tree, std::uint32_t baseRva, std::span<std::uint8_t> out) {
    return Serializer(tree).Write(baseRva, out);
}

} // namespace quillon
