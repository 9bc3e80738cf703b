#include "model/ResourceInfo.h"

#include <algorithm>
#include <ostream>

#include "model/Archive.h"
#include "model/ItemPath.h"
#include "model/TreeRoots.h"
#include "model/TreeTally.h"

namespace quillon {

CVersionInfo& CVersionInfo::operator=(const CVersionInfo& other) {
    if (this == &other) return *this;
    m_FixedInfo = other.m_FixedInfo;
    m_Root.RemoveAllChildren();
    for (const auto& child : other.m_Root.GetChildren()) m_Root.AddChild(child->Clone());
    return *this;
}

void CVersionInfo::Clear() {
    m_FixedInfo.fill(0);
    m_Root.RemoveAllChildren();
}

void CVersionInfo::Store(ArchiveWriter& out) const {
    out.Bytes(m_FixedInfo);
    m_Root.Store(out);
}

void CVersionInfo::Load(ArchiveReader& in) {
    auto fixed = in.Bytes(kFixedInfoSize);
    std::copy(fixed.begin(), fixed.end(), m_FixedInfo.begin());
    m_Root.Load(in, 0);
}

CResourceInfo::CResourceInfo(const CResourceInfo& other)
    : ResourceCounters(other), m_dwReserved(other.m_dwReserved), m_dwFileVersionMS(other.m_dwFileVersionMS),
      m_dwFileVersionLS(other.m_dwFileVersionLS), m_wLanguage(other.m_wLanguage),
      m_timeExtracted(other.m_timeExtracted), m_timeSaved(other.m_timeSaved), m_Menus(other.m_Menus),
      m_Strings(other.m_Strings), m_Dialogs(other.m_Dialogs), m_VersionInfo(other.m_VersionInfo),
      m_previous(other.m_previous), m_scanWarnings(other.m_scanWarnings) {}

const PreviousSource* CResourceInfo::PreviousOf(const CResourceItem& item, const std::string& path) const {
    if (!(item.m_dwState & RIS_CARRIED)) return nullptr;
    auto found = m_previous.find(path);
    return found == m_previous.end() ? nullptr : &found->second;
}

// One walk over the marked items: finding each entry's item by its path
// instead scanned every sibling on the way, and after an update that changed
// most strings every save took seconds.
PreviousSources CResourceInfo::OpenPrevious() const {
    PreviousSources open;
    if (m_previous.empty()) return open;
    auto marked = [](const CResourceItem& item) { return (item.m_dwState & RIS_CARRIED) != 0; };
    WalkPathsOf(*this, marked, [&](const CResourceItem&, const std::string& path) {
        if (auto entry = m_previous.find(path); entry != m_previous.end()) open.emplace(path, entry->second);
    });
    return open;
}

void CResourceInfo::Clear() {
    m_previous.clear();
    m_scanWarnings.clear();
    m_Menus.RemoveAllChildren();
    m_Dialogs.RemoveAllChildren();
    m_Strings.RemoveAllChildren();
    m_dwReserved = 0;
    m_dwFileVersionMS = 0;
    m_dwFileVersionLS = 0;
    m_wLanguage = 0;
    static_cast<ResourceCounters&>(*this) = ResourceCounters{};
    m_VersionInfo.Clear();
}

void CResourceInfo::Recount() {
    ResourceCounters counters;
    counters.m_nTranslated = m_nTranslated;
    CountTree(*this, counters);
    static_cast<ResourceCounters&>(*this) = counters;
}

void CountTree(const CResourceInfo& info, ResourceCounters& counters) {
    TreeTally tally = TallyTree(info);
    counters.m_nStrings += tally.Of(ItemKind::String).m_nItems;
    counters.m_nPopups += tally.Of(ItemKind::PopupMenu).m_nItems;
    counters.m_nMenuItems += tally.Of(ItemKind::MenuItem).m_nItems;
    counters.m_nDialogs += tally.Of(ItemKind::Dialog).m_nItems;
    counters.m_nControls += tally.Of(ItemKind::Control).m_nItems;
    KindTally counted = tally.Counted();
    counters.m_nTranslatable += counted.m_nTranslatable;
    counters.m_nNotTranslatable += counted.NotTranslatable();
    counters.m_nSkipped += counted.NotTranslatable();
}

// Record: DWORD reserved, WORD language, DWORD version MS, DWORD version LS,
// time extracted, time saved, ten counters (skipped before translated), the
// version information, then the menu, string and dialog roots.
void CResourceInfo::Store(ArchiveWriter& out, std::int64_t now) const {
    out.Dword(m_dwReserved);
    out.Word(m_wLanguage);
    out.Dword(m_dwFileVersionMS);
    out.Dword(m_dwFileVersionLS);
    out.Time(m_timeExtracted);
    out.Time(now);
    for (std::uint32_t counter : {m_nStrings, m_nPopups, m_nMenuItems, m_nDialogs, m_nControls, m_nReserved,
                                  m_nTranslatable, m_nNotTranslatable, m_nSkipped, m_nTranslated})
        out.Dword(counter);
    m_VersionInfo.Store(out);
    m_Menus.Store(out);
    m_Strings.Store(out);
    m_Dialogs.Store(out);
}

namespace {

// Each root holds its own kind of items: menus hold popups and items, the
// strings root strings, dialogs their controls, the version root blocks.
// Everything that reads or writes the tree relies on that, so a file that
// says otherwise is refused.
bool Fits(Root root, const CResourceItem* parent, ItemKind kind) {
    if (!parent) {
        switch (root) {
        case Root::Strings: return kind == ItemKind::String;
        case Root::Menus: return kind == ItemKind::PopupMenu;
        case Root::Dialogs: return kind == ItemKind::Dialog;
        case Root::Version: return kind == ItemKind::Version;
        }
        return false;
    }
    switch (parent->GetKind()) {
    case ItemKind::PopupMenu: return kind == ItemKind::PopupMenu || kind == ItemKind::MenuItem;
    case ItemKind::Dialog: return kind == ItemKind::Control;
    case ItemKind::Version: return kind == ItemKind::Version;
    default: return false; // strings, menu items and controls hold nothing
    }
}

const char* ShapeFault(const CResourceInfo& info) {
    const char* fault = nullptr;
    WalkItems(info, [&](const ItemVisit<const CResourceItem>& visit) {
        if (fault || Fits(visit.root, visit.Parent(), visit.item.GetKind())) return;
        switch (visit.root) {
        case Root::Strings: fault = "the string table holds an item of another kind"; break;
        case Root::Menus: fault = "the menus hold an item of another kind"; break;
        case Root::Dialogs:
            fault = visit.Depth() == 0 ? "the dialogs hold an item of another kind"
                                       : "a dialog holds an item of another kind";
            break;
        case Root::Version: fault = "the version resource holds an item of another kind"; break;
        }
    });
    return fault;
}

// The counters are written from the tree they precede, so they must count it:
// a stored count that does not is a damaged file (a flipped bit showed
// "Strings: 16777275" beside 59 strings). The translated count is only a
// statistic kept by the translation commands; it is not checked here.
const char* CounterFault(const CResourceInfo& info) {
    ResourceCounters stored = info;
    ResourceCounters counted;
    counted.m_nTranslated = stored.m_nTranslated;
    CountTree(info, counted);
    stored.m_nReserved = counted.m_nReserved;
    if (!(stored == counted)) return "the stored counters do not match the items";
    return nullptr;
}

} // namespace

void CResourceInfo::Load(ArchiveReader& in) {
    Clear();
    m_dwReserved = in.Dword();
    m_wLanguage = in.Word();
    m_dwFileVersionMS = in.Dword();
    m_dwFileVersionLS = in.Dword();
    m_timeExtracted = in.Time();
    m_timeSaved = in.Time();
    for (std::uint32_t* counter : {&m_nStrings, &m_nPopups, &m_nMenuItems, &m_nDialogs, &m_nControls, &m_nReserved,
                                   &m_nTranslatable, &m_nNotTranslatable, &m_nSkipped, &m_nTranslated})
        *counter = in.Dword();
    m_VersionInfo.Load(in);
    m_Menus.Load(in, 0);
    m_Strings.Load(in, 0);
    m_Dialogs.Load(in, 0);
    if (const char* fault = ShapeFault(*this)) {
        Clear();
        in.Fail(fault);
    }
    if (const char* fault = CounterFault(*this)) {
        Clear();
        in.Fail(fault);
    }
    // Projects updated to a smaller module once kept a translated count larger
    // than the tree; such a project is read with the count cut to size.
    m_nTranslated = std::min(m_nTranslated, m_nTranslatable + m_nNotTranslatable);
}

bool CResourceInfo::operator==(const CResourceInfo& other) const {
    return static_cast<const ResourceCounters&>(*this) == other && m_dwReserved == other.m_dwReserved &&
           m_dwFileVersionMS == other.m_dwFileVersionMS && m_dwFileVersionLS == other.m_dwFileVersionLS &&
           m_wLanguage == other.m_wLanguage && m_Menus == other.m_Menus && m_Strings == other.m_Strings &&
           m_Dialogs == other.m_Dialogs && m_VersionInfo == other.m_VersionInfo && m_previous == other.m_previous;
}

void PrintTo(const CResourceInfo& info, std::ostream* out) {
    *out << "\nversion " << info.m_dwFileVersionMS << "." << info.m_dwFileVersionLS << " language 0x" << std::hex
         << info.m_wLanguage << std::dec << " strings " << info.m_nStrings << " popups " << info.m_nPopups
         << " items " << info.m_nMenuItems << " dialogs " << info.m_nDialogs << " controls " << info.m_nControls
         << "\n";
    for (const RootInfo& root : Roots()) {
        *out << root.name << ":\n";
        DumpTree(RootItem(info, root.root), *out, 1);
    }
}

} // namespace quillon
