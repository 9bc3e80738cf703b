#include "model/TreeRoots.h"

namespace quillon {

namespace {
constexpr std::array<RootInfo, 4> kRoots{{
    {Root::Strings, "strings"},
    {Root::Menus, "menus"},
    {Root::Dialogs, "dialogs"},
    {Root::Version, "version"},
}};

// RootName looks a root up by its value.
constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kRoots.size(); ++i)
        if (static_cast<std::size_t>(kRoots[i].root) != i) return false;
    return true;
}
static_assert(InEnumOrder());
} // namespace

std::span<const RootInfo> Roots() { return kRoots; }

std::string_view RootName(Root root) { return kRoots[static_cast<std::size_t>(root)].name; }

std::optional<Root> RootFromName(std::string_view name) {
    for (const RootInfo& info : kRoots)
        if (info.name == name) return info.root;
    return std::nullopt;
}

CResourceItem& RootItem(CResourceInfo& info, Root root) {
    return const_cast<CResourceItem&>(RootItem(static_cast<const CResourceInfo&>(info), root));
}

const CResourceItem& RootItem(const CResourceInfo& info, Root root) {
    switch (root) {
    case Root::Strings: return info.m_Strings;
    case Root::Menus: return info.m_Menus;
    case Root::Dialogs: return info.m_Dialogs;
    case Root::Version: break;
    }
    return info.m_VersionInfo.m_Root;
}

bool HasResources(const CResourceInfo& info) {
    for (const RootInfo& root : kRoots)
        if (RootItem(info, root.root).GetCount() != 0) return true;
    return false;
}

} // namespace quillon
