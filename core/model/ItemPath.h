#pragma once
// A stable address for every item of a tree, and its text form:
//
//   strings/40                    string 40
//   menus/100/-1#2/1102           menu 100, its second popup, the item with ID 1102
//   menus/100/-1/0#2              the second separator of menu 100's first popup
//   dialogs/201/65535#2           the second unnamed control of dialog 201
//   version/StringFileInfo/040904b0/CompanyName
//
// The first segment names the root (TreeRoots.h). Below strings, menus and
// dialogs each step is the item's ID in decimal; below version it is the
// block's key, every byte but A-Z a-z 0-9 . _ - written as %XX (upper-case
// hex of the stored byte), so a path never needs quoting in a shell. Where
// siblings share an ID or key, the n-th of them is written STEP#n (n >= 2);
// the first one is the plain step. Every item has exactly one path, and a
// path parses only in the form PathOf writes.
//
// The path stays the same across saving, loading and updating a project as
// long as the resource it is in does not change. IDs are the names the module
// gives its resources, commands and controls, and `update` matches items by
// them and keeps each level in the module's order, so the n-th sibling with
// an ID stays the n-th. Version blocks have no ID (all read -1) but a key,
// which `update` matches them by: a key stays valid when blocks are added or
// removed around it, where a position would shift. The key is the module's
// own (m_strKey); the key a new project gives the translated language block
// (m_strTargetKey) is left out, so a project's paths agree with the module's.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/FlatTable.h"
#include "io/Result.h"
#include "model/TreeRoots.h"

namespace quillon {

struct PathStep {
    std::int32_t id = 0;          // below strings, menus and dialogs
    std::string key;              // below version: the block's key as stored
    std::uint32_t occurrence = 1; // the n-th sibling with this ID or key
    bool operator==(const PathStep&) const = default;
};

struct ItemPath {
    Root root = Root::Strings;
    std::vector<PathStep> steps; // one per level below the root, never empty

    std::string ToString() const;
    bool operator==(const ItemPath&) const = default;
};

// Reads the text form. Errors are Malformed, with the offset of the fault
// within `text`.
Result<ItemPath> ParseItemPath(std::string_view text);

// The text of one step ("1102", "-1#2", "Translator%20E-Mail").
std::string StepText(Root root, const PathStep& step);

// Numbers the children of one item as paths do; give it the children in order.
class StepCounter {
public:
    explicit StepCounter(Root root) : m_root(root) {}
    PathStep Next(const CResourceItem& child);
    // "/" and the step text of Next(child), for appending to the parent's path.
    std::string NextSuffix(const CResourceItem& child) { return std::string("/").append(StepText(m_root, Next(child))); }

private:
    Root m_root;
    // One counter a sibling ID, kept in one array: a walk of every item's
    // path counts each of them, and a node per ID made that walk allocate
    // as often as it visited.
    FlatTable<std::int32_t, std::uint32_t> m_ids;
    std::unordered_map<std::string, std::uint32_t> m_keys;
};

// The path of `item`, none when it is not in `info`'s tree. Linear in the
// size of the tree; WalkPaths gives the paths of many items faster.
std::optional<ItemPath> PathOf(const CResourceInfo& info, const CResourceItem& item);

// Where an item stands: its root, the text of its path and its parent (null
// for an item right below its root).
struct ItemPlace {
    Root root = Root::Strings;
    std::string path;
    const CResourceItem* parent = nullptr;
};

// The place of `item`, none when it is not in `info`'s tree. Linear in the
// size of the tree, as PathOf; a walk that visits many items is given
// theirs (WalkPathsOf).
std::optional<ItemPlace> PlaceOf(const CResourceInfo& info, const CResourceItem& item);

// The item a path names. NotFound (naming the part of the path that was
// found) when there is none.
Result<CResourceItem*> Find(CResourceInfo& info, const ItemPath& path);
Result<const CResourceItem*> Find(const CResourceInfo& info, const ItemPath& path);
// Parses the text form first; its errors come back as they are.
Result<CResourceItem*> Find(CResourceInfo& info, std::string_view path);

namespace detail {

// Visits the items below `parent` that `keep` accepts, depth first: siblings
// are always numbered, but only the kept items' paths and their ancestors'
// are written out. A visitor that takes a third argument is given the
// item's place as well.
template <typename Item, typename Keep, typename Visit>
void WalkPathsOfBelow(Root root, Item& parent, Item* parentItem, const std::string& parentPath, Keep& keep,
                      Visit& visit) {
    StepCounter steps(root);
    for (const auto& child : parent.GetChildren()) {
        PathStep step = steps.Next(*child);
        Item& item = *child;
        const bool kept = keep(item);
        if (!kept && item.GetCount() == 0) continue;
        std::string path = parentPath;
        path += '/';
        path += StepText(root, step);
        if constexpr (std::is_invocable_v<Visit&, Item&, const std::string&, const ItemPlace&>) {
            if (kept) visit(item, path, ItemPlace{root, path, parentItem});
        } else if (kept) {
            visit(item, path);
        }
        if (item.GetCount() != 0) WalkPathsOfBelow(root, item, &item, path, keep, visit);
    }
}

} // namespace detail

// Calls visit(item, pathText) for every item keep(item) accepts, in
// WalkItems' order: the paths of a few items (a tree's nodes, say) without
// the cost of writing out the path of every string and control.
template <typename Info, typename Keep, typename Visit>
    requires std::is_same_v<std::remove_const_t<Info>, CResourceInfo>
void WalkPathsOf(Info& info, Keep&& keep, Visit&& visit) {
    using Item = std::conditional_t<std::is_const_v<Info>, const CResourceItem, CResourceItem>;
    for (const RootInfo& root : Roots())
        detail::WalkPathsOfBelow<Item>(root.root, RootItem(info, root.root), nullptr, std::string(root.name), keep,
                                       visit);
}

// Calls visit(item, pathText) for every item in WalkItems' order.
template <typename Info, typename Visit>
    requires std::is_same_v<std::remove_const_t<Info>, CResourceInfo>
void WalkPaths(Info& info, Visit&& visit) {
    WalkPathsOf(info, [](const CResourceItem&) { return true; }, visit);
}

} // namespace quillon
