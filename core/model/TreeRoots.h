#pragma once
// The four roots of a resource tree, described once: their names (the JSON
// keys and the first segment of item paths), the item that holds each, and
// one depth-first walk over every item below them. Code that needs "every
// string, menu, dialog and version item" walks this instead of naming the
// roots itself, so a new root is added here and nowhere else.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/ResourceInfo.h"

namespace quillon {

enum class Root { Strings, Menus, Dialogs, Version };

struct RootInfo {
    Root root;
    std::string_view name; // "strings", "menus", "dialogs", "version"
};

// Every root, in the order the command line prints them.
std::span<const RootInfo> Roots();
std::string_view RootName(Root root);
std::optional<Root> RootFromName(std::string_view name);

// The container item of a root; its children are the root's top-level items
// (string entries, menu resources, dialog resources, version blocks).
CResourceItem& RootItem(CResourceInfo& info, Root root);
const CResourceItem& RootItem(const CResourceInfo& info, Root root);

// Whether any root holds an item: a module without string tables, menus,
// dialogs or a version resource gives a project with nothing to translate.
bool HasResources(const CResourceInfo& info);

// One item met by WalkItems. `parents` are the item's ancestors below the
// root container, outermost first (empty for a top-level item); they are
// valid only during the call.
template <typename Item>
struct ItemVisit {
    Root root;
    Item& item;
    std::span<Item* const> parents;

    std::size_t Depth() const { return parents.size(); }
    Item* Parent() const { return parents.empty() ? nullptr : parents.back(); }
};

namespace detail {

template <typename Item, typename Visit>
void WalkBelow(Root root, Item& parent, std::vector<Item*>& chain, Visit& visit) {
    for (const auto& child : parent.GetChildren()) {
        Item& item = *child;
        visit(ItemVisit<Item>{root, item, chain});
        if (item.GetCount() == 0) continue;
        chain.push_back(&item);
        WalkBelow(root, item, chain, visit);
        chain.pop_back();
    }
}

} // namespace detail

// Calls visit(ItemVisit) for every item of every root, roots in Roots()
// order, each item before its children. The visitor may change items but
// not add or remove any.
template <typename Info, typename Visit>
    requires std::is_same_v<std::remove_const_t<Info>, CResourceInfo>
void WalkItems(Info& info, Visit&& visit) {
    using Item = std::conditional_t<std::is_const_v<Info>, const CResourceItem, CResourceItem>;
    std::vector<Item*> chain;
    for (const RootInfo& root : Roots()) detail::WalkBelow<Item>(root.root, RootItem(info, root.root), chain, visit);
}

} // namespace quillon
