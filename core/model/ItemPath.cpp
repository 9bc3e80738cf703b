#include "model/ItemPath.h"

#include <charconv>

namespace quillon {

namespace {

bool IsPlain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1; // lower case is refused, so that every key has one spelling
}

std::string EscapeKey(std::string_view key) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : key) {
        if (IsPlain(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

// The key a step below version names; blocks are all that root holds.
std::string_view VersionKey(const CResourceItem& item) {
    const auto* block = dynamic_cast<const CVersionBlock*>(&item);
    return block ? std::string_view(block->m_strKey) : std::string_view();
}

bool SameName(Root root, const CResourceItem& item, const PathStep& step) {
    return root == Root::Version ? VersionKey(item) == step.key : item.m_nID == step.id;
}

Error Malformed(std::string message, std::size_t offset) {
    return MakeError(Error::Code::Malformed, "item path: " + std::move(message), offset);
}

// Reads a number and accepts it only as std::to_string writes it: no sign
// but '-', no leading zeros, no "-0".
template <typename Number>
std::optional<Number> CanonicalNumber(std::string_view text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || std::to_string(value) != text) return std::nullopt;
    return value;
}

Result<std::string> UnescapeKey(std::string_view text, std::size_t offset) {
    std::string key;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c != '%') {
            if (!IsPlain(c))
                return Malformed("'" + std::string(1, text[i]) + "' must be written as %XX in a key", offset + i);
            key += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return Malformed("'%' needs two hex digits", offset + i);
        int hi = HexValue(text[i + 1]);
        int lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return Malformed("'%' needs two upper-case hex digits", offset + i);
        auto byte = static_cast<unsigned char>(hi * 16 + lo);
        if (IsPlain(byte))
            return Malformed("'" + std::string(text.substr(i, 3)) + "' is written as '" +
                                 std::string(1, static_cast<char>(byte)) + "' in a path",
                             offset + i);
        key += static_cast<char>(byte);
        i += 2;
    }
    return key;
}

Result<PathStep> ParseStep(Root root, std::string_view text, std::size_t offset) {
    PathStep step;
    std::size_t hash = text.find('#');
    std::string_view name = text.substr(0, hash);
    if (hash != std::string_view::npos) {
        auto occurrence = CanonicalNumber<std::uint32_t>(text.substr(hash + 1));
        if (!occurrence || *occurrence < 2)
            return Malformed("'" + std::string(text.substr(hash)) +
                                 "' is not #2, #3...: the first sibling with an ID or key has no number",
                             offset + hash);
        step.occurrence = *occurrence;
    }
    if (root == Root::Version) {
        auto key = UnescapeKey(name, offset);
        if (!key) return key.GetError();
        step.key = std::move(key).Value();
        return step;
    }
    auto id = CanonicalNumber<std::int32_t>(name);
    if (!id)
        return Malformed("'" + std::string(name) + "' is not an ID (a decimal number, as the tree shows it)", offset);
    step.id = *id;
    return step;
}

template <typename Item>
Result<Item*> FindIn(Item& rootItem, const ItemPath& path) {
    Item* level = &rootItem;
    std::string found(RootName(path.root));
    for (const PathStep& step : path.steps) {
        Item* next = nullptr;
        std::uint32_t seen = 0;
        for (const auto& child : level->GetChildren())
            if (SameName(path.root, *child, step) && ++seen == step.occurrence) {
                next = child.get();
                break;
            }
        if (!next) return MakeError(Error::Code::NotFound, "no item " + StepText(path.root, step) + " in " + found);
        found.append("/").append(StepText(path.root, step));
        level = next;
    }
    if (level == &rootItem) return MakeError(Error::Code::NotFound, "the path names no item below " + found);
    return level;
}

} // namespace

std::string StepText(Root root, const PathStep& step) {
    std::string text = root == Root::Version ? EscapeKey(step.key) : std::to_string(step.id);
    if (step.occurrence > 1) text.append("#").append(std::to_string(step.occurrence));
    return text;
}

std::string ItemPath::ToString() const {
    std::string text(RootName(root));
    for (const PathStep& step : steps) text.append("/").append(StepText(root, step));
    return text;
}

Result<ItemPath> ParseItemPath(std::string_view text) {
    std::size_t slash = text.find('/');
    auto root = RootFromName(text.substr(0, slash));
    if (!root)
        return Malformed("'" + std::string(text.substr(0, slash)) + "' is no root (strings, menus, dialogs or version)",
                         0);
    if (slash == std::string_view::npos)
        return Malformed("'" + std::string(text) + "' names no item: a path goes on below the root, as in menus/100",
                         text.size());
    ItemPath path{*root, {}};
    std::size_t start = slash + 1;
    while (true) {
        std::size_t end = text.find('/', start);
        auto step = ParseStep(*root, text.substr(start, end == std::string_view::npos ? end : end - start), start);
        if (!step) return step.GetError();
        path.steps.push_back(std::move(step).Value());
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return path;
}

PathStep StepCounter::Next(const CResourceItem& child) {
    PathStep step;
    if (m_root == Root::Version) {
        step.key = VersionKey(child);
        step.occurrence = ++m_keys[step.key];
    } else {
        step.id = child.m_nID;
        step.occurrence = ++m_ids.FindOrAdd(step.id);
    }
    return step;
}

std::optional<ItemPath> PathOf(const CResourceInfo& info, const CResourceItem& item) {
    std::optional<ItemPath> path;
    WalkItems(info, [&](const ItemVisit<const CResourceItem>& visit) {
        if (path || &visit.item != &item) return;
        path = ItemPath{visit.root, {}};
        const CResourceItem* parent = &RootItem(info, visit.root);
        auto stepTo = [&](const CResourceItem& node) {
            StepCounter counter(visit.root);
            for (const auto& child : parent->GetChildren()) {
                PathStep step = counter.Next(*child);
                if (child.get() != &node) continue;
                path->steps.push_back(std::move(step));
                break;
            }
            parent = &node;
        };
        for (const CResourceItem* ancestor : visit.parents) stepTo(*ancestor);
        stepTo(visit.item);
    });
    return path;
}

std::optional<ItemPlace> PlaceOf(const CResourceInfo& info, const CResourceItem& item) {
    std::optional<ItemPlace> found;
    WalkPathsOf(
        info, [&](const CResourceItem& visited) { return !found && &visited == &item; },
        [&](const CResourceItem&, const std::string&, const ItemPlace& place) { found = place; });
    return found;
}

Result<const CResourceItem*> Find(const CResourceInfo& info, const ItemPath& path) {
    return FindIn(RootItem(info, path.root), path);
}

Result<CResourceItem*> Find(CResourceInfo& info, const ItemPath& path) {
    return FindIn(RootItem(info, path.root), path);
}

Result<CResourceItem*> Find(CResourceInfo& info, std::string_view path) {
    auto parsed = ParseItemPath(path);
    if (!parsed) return parsed.GetError();
    return Find(info, parsed.Value());
}

} // namespace quillon
