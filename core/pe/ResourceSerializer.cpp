#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "pe/ResourceRecords.h"
#include "pe/ResourceUpdate.h"

namespace quillon {

namespace {

// Tables are kept sorted (the loaders binary-search them), so look-ups do too.
template <typename Node>
auto LowerBound(std::vector<Node>& nodes, const ResourceId& id, ResourceId Node::*key) {
    return std::lower_bound(nodes.begin(), nodes.end(), id,
                            [key](const Node& node, const ResourceId& value) { return node.*key < value; });
}

// Puts a table's nodes in directory order. Names are compared once per
// distinct string, not once per pair of entries: thousands of entries can
// name one 65,535-unit string, and a plain sort would compare it with itself
// n log n times.
template <typename Node>
void SortTable(std::vector<Node>& nodes, ResourceId Node::*key) {
    std::unordered_map<const void*, std::uint64_t> rank;
    std::vector<ResourceName> distinct;
    for (const Node& node : nodes)
        if ((node.*key).named && rank.emplace((node.*key).name.Identity(), 0).second)
            distinct.push_back((node.*key).name);
    std::sort(distinct.begin(), distinct.end());
    std::uint64_t next = 0;
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        if (i > 0 && distinct[i - 1] < distinct[i]) ++next;
        rank[distinct[i].Identity()] = next;
    }
    // (order, position): named entries first by rank, then integers by their
    // whole field; the position keeps equal entries in the order they had.
    constexpr std::uint64_t kIntegers = std::uint64_t{1} << 32;
    std::vector<std::pair<std::uint64_t, std::size_t>> order;
    order.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const ResourceId& id = nodes[i].*key;
        order.emplace_back(id.named ? rank[id.name.Identity()] : kIntegers + id.Field(), i);
    }
    if (std::is_sorted(order.begin(), order.end())) return;
    std::sort(order.begin(), order.end());
    std::vector<Node> sorted;
    sorted.reserve(nodes.size());
    for (const auto& [ignored, position] : order) sorted.push_back(std::move(nodes[position]));
    nodes = std::move(sorted);
}

} // namespace

void EditTree::Put(const ResourceId& type, const ResourceId& name, std::uint16_t language,
                   std::vector<std::uint8_t> data) {
    auto t = LowerBound(types, type, &EditType::type);
    if (t == types.end() || !(t->type == type)) t = types.insert(t, EditType{type, {}, {}});
    auto n = LowerBound(t->names, name, &EditName::name);
    if (n == t->names.end() || !(n->name == name)) n = t->names.insert(n, EditName{name, {}, {}});
    // Leaves are in the order of their whole language fields.
    auto leaf = std::lower_bound(n->leaves.begin(), n->leaves.end(), language,
                                 [](const EditLeaf& l, std::uint16_t value) { return l.LanguageField() < value; });
    auto owned = std::make_shared<const std::vector<std::uint8_t>>(std::move(data));
    if (leaf == n->leaves.end() || leaf->LanguageField() != language)
        leaf = n->leaves.insert(leaf, EditLeaf{language, 0, {}, {}, true});
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
                             [&](const EditLeaf& l) { return l.LanguageField() == language; });
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
    SortTable(types, &EditType::type);
    for (EditType& type : types) SortTable(type.names, &EditName::name);
}

namespace {

constexpr std::size_t kTable = ResourceTableRecord::kSize;
constexpr std::size_t kEntry = ResourceEntryRecord::kSize;
constexpr std::size_t kDataEntry = ResourceDataRecord::kSize;

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

    LaidOutResources LayOut(std::uint32_t baseRva) {
        PlanOffsets();
        LaidOutResources out;
        out.size = m_size;
        out.directory.resize(m_dataStart);
        WriteDirectory(baseRva, out.directory);
        out.runs.reserve(m_runs.size());
        for (const DataRun& run : m_runs) out.runs.push_back({run.offset, std::span(run.begin, run.size)});
        std::sort(out.runs.begin(), out.runs.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
        return out;
    }

private:
    // `out` holds the directory's bytes, zeroed.
    void WriteDirectory(std::uint32_t baseRva, std::span<std::uint8_t> out) {
        m_out = out;
        WriteStrings();
        std::size_t typeTable = kTable + kEntry * m_tree.types.size();
        std::size_t nameTable = m_nameTablesStart;
        std::size_t dataEntry = m_dataEntriesStart;
        std::size_t leafIndex = 0;
        WriteTable(0, m_tree.header, m_tree.types.size(), CountNamed(m_tree.types, &EditType::type));
        for (std::size_t t = 0; t < m_tree.types.size(); ++t) {
            const EditType& type = m_tree.types[t];
            WriteEntry(kTable + kEntry * t, IdField(type.type), TableField(typeTable));
            WriteTable(typeTable, type.header, type.names.size(), CountNamed(type.names, &EditName::name));
            for (std::size_t n = 0; n < type.names.size(); ++n) {
                const EditName& name = type.names[n];
                WriteEntry(typeTable + kTable + kEntry * n, IdField(name.name), TableField(nameTable));
                WriteTable(nameTable, name.header, name.leaves.size(), 0);
                for (std::size_t l = 0; l < name.leaves.size(); ++l) {
                    const EditLeaf& leaf = name.leaves[l];
                    WriteEntry(nameTable + kTable + kEntry * l, leaf.LanguageField(), static_cast<std::uint32_t>(dataEntry));
                    ResourceDataRecord data{baseRva + static_cast<std::uint32_t>(m_leafData[leafIndex++]),
                                            static_cast<std::uint32_t>(leaf.data.size()), leaf.codePage};
                    data.Write(m_out, dataEntry);
                    dataEntry += kDataEntry;
                }
                nameTable += kTable + kEntry * name.leaves.size();
            }
            typeTable += kTable + kEntry * type.names.size();
        }
    }

    // Bytes written once for every leaf whose data lies inside them.
    struct DataRun {
        const std::uint8_t* begin = nullptr;
        std::size_t size = 0;
        std::size_t offset = 0; // in the blob
    };

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
        m_nameTablesStart = tables;
        for (const EditType& type : m_tree.types)
            for (const EditName& name : type.names) {
                tables += kTable + kEntry * name.leaves.size();
                entries += name.leaves.size();
            }
        m_dataEntriesStart = tables;
        std::size_t strings = m_dataEntriesStart + kDataEntry * entries;
        for (auto& [text, offset] : m_strings) {
            offset = strings;
            strings += ResourceNameString::Size(text.size());
        }
        m_dataStart = AlignUp(strings, 8);
        m_size = PlanData(m_dataStart);
        m_planned = true;
    }

    // Data is laid out in directory order, each run 8-aligned. Leaves whose
    // bytes overlap in memory (several entries of a module pointing into one
    // block) share one run and point into it where their bytes are: written
    // once, not once per entry. Returns the end of the data.
    std::size_t PlanData(std::size_t start) {
        std::vector<std::span<const std::uint8_t>> leaves;
        for (const EditType& type : m_tree.types)
            for (const EditName& name : type.names)
                for (const EditLeaf& leaf : name.leaves) leaves.push_back(leaf.data);
        // Runs: the leaves sorted by address, overlapping ones merged.
        std::less<const std::uint8_t*> before;
        std::vector<std::size_t> byAddress;
        for (std::size_t i = 0; i < leaves.size(); ++i)
            if (!leaves[i].empty()) byAddress.push_back(i);
        std::sort(byAddress.begin(), byAddress.end(), [&](std::size_t a, std::size_t b) {
            return before(leaves[a].data(), leaves[b].data());
        });
        constexpr std::size_t kNoRun = SIZE_MAX;
        std::vector<std::size_t> runOf(leaves.size(), kNoRun);
        const std::uint8_t* runEnd = nullptr;
        for (std::size_t i : byAddress) {
            const std::uint8_t* begin = leaves[i].data();
            const std::uint8_t* end = begin + leaves[i].size();
            if (m_runs.empty() || !before(begin, runEnd)) {
                m_runs.push_back({begin, 0, 0});
                runEnd = begin;
            }
            if (before(runEnd, end)) runEnd = end;
            m_runs.back().size = static_cast<std::size_t>(runEnd - m_runs.back().begin);
            runOf[i] = m_runs.size() - 1;
        }
        // Runs placed as their first leaf comes in directory order; an empty
        // leaf points where the data ends so far.
        std::vector<bool> placed(m_runs.size(), false);
        std::size_t end = start;
        m_leafData.resize(leaves.size());
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            if (runOf[i] == kNoRun) {
                m_leafData[i] = end;
                continue;
            }
            DataRun& run = m_runs[runOf[i]];
            if (!placed[runOf[i]]) {
                placed[runOf[i]] = true;
                run.offset = end;
                end = AlignUp(end + run.size, 8);
            }
            m_leafData[i] = run.offset + static_cast<std::size_t>(leaves[i].data() - run.begin);
        }
        return end;
    }

    // Equal names are written once. Most share their string already, so the
    // units are compared once per string, not once per entry.
    void AddString(const ResourceId& id) {
        if (!id.named || m_stringOf.count(id.name.Identity())) return;
        auto at = m_strings.emplace(id.name.View(), 0).first;
        m_stringOf.emplace(id.name.Identity(), &at->second);
    }

    std::uint32_t IdField(const ResourceId& id) {
        if (!id.named) return id.Field();
        return ResourceEntryRecord::NameField(static_cast<std::uint32_t>(*m_stringOf.at(id.name.Identity())));
    }

    void WriteStrings() {
        for (const auto& [text, offset] : m_strings) ResourceNameString::Write(m_out, offset, text);
    }

    static std::uint32_t TableField(std::size_t table) {
        return ResourceEntryRecord::TableField(static_cast<std::uint32_t>(table));
    }

    void WriteTable(std::size_t at, const TableHeader& header, std::size_t count, std::size_t named) {
        auto namedCount = static_cast<std::uint16_t>(named);
        ResourceTableRecord{header, namedCount, static_cast<std::uint16_t>(count - named)}.Write(m_out, at);
    }

    void WriteEntry(std::size_t at, std::uint32_t nameField, std::uint32_t offsetField) {
        ResourceEntryRecord{nameField, offsetField}.Write(m_out, at);
    }

    const EditTree& m_tree;
    // Name strings by their units, with their offsets; and the same offsets
    // by the shared string each name holds.
    std::map<std::u16string_view, std::size_t> m_strings;
    std::unordered_map<const void*, std::size_t*> m_stringOf;
    std::vector<DataRun> m_runs;
    std::vector<std::size_t> m_leafData; // each leaf's data offset, in directory order
    std::size_t m_nameTablesStart = 0;
    std::size_t m_dataEntriesStart = 0;
    std::size_t m_dataStart = 0;
    std::size_t m_size = 0;
    bool m_planned = false;
    std::span<std::uint8_t> m_out;
};

} // namespace

std::vector<std::uint8_t> SerializeResources(const EditTree& tree, std::uint32_t baseRva) {
    LaidOutResources laidOut = LayOutResources(tree, baseRva);
    std::vector<std::uint8_t> out = std::move(laidOut.directory);
    out.resize(laidOut.size, 0);
    for (const LaidOutResources::Run& run : laidOut.runs)
        std::copy(run.bytes.begin(), run.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(run.offset));
    return out;
}

std::size_t SerializedResourcesSize(const EditTree& tree) { return Serializer(tree).Size(); }

LaidOutResources LayOutResources(const EditTree& tree, std::uint32_t baseRva) { return Serializer(tree).LayOut(baseRva); }

} // namespace quillon
