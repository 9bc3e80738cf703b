#include "model/ResourceInfo.h"

#include <algorithm>

#include <ostream>

#include "model/Archive.h"

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
      m_Strings(other.m_Strings), m_Dialogs(other.m_Dialogs), m_VersionInfo(other.m_VersionInfo) {}

void CResourceInfo::Clear() {
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

namespace {

void CountItem(const CResourceItem& item, ResourceCounters& counters) {
    if (item.IsTranslatable()) {
        ++counters.m_nTranslatable;
    } else {
        ++counters.m_nNotTranslatable;
        ++counters.m_nSkipped;
    }
}

void CountMenu(const CResourceItem& node, ResourceCounters& counters) {
    if (node.GetKind() == ItemKind::PopupMenu)
        ++counters.m_nPopups;
    else
        ++counters.m_nMenuItems;
    CountItem(node, counters);
    for (const auto& child : node.GetChildren()) CountMenu(*child, counters);
}

} // namespace

void CResourceInfo::Recount() {
    ResourceCounters counters;
    counters.m_nTranslated = m_nTranslated;
    CountTree(*this, counters);
    static_cast<ResourceCounters&>(*this) = counters;
}

void CountTree(const CResourceInfo& info, ResourceCounters& counters) {
    for (const auto& string : info.m_Strings.GetChildren()) {
        ++counters.m_nStrings;
        CountItem(*string, counters);
    }
    for (const auto& menu : info.m_Menus.GetChildren()) CountMenu(*menu, counters);
    for (const auto& dialog : info.m_Dialogs.GetChildren()) {
        ++counters.m_nDialogs;
        CountItem(*dialog, counters);
        for (const auto& control : dialog->GetChildren()) {
            ++counters.m_nControls;
            CountItem(*control, counters);
        }
    }
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
bool MenuShape(const CResourceItem& node) {
    for (const auto& child : node.GetChildren()) {
        if (child->GetKind() == ItemKind::MenuItem) {
            if (child->GetCount() != 0) return false;
        } else if (child->GetKind() != ItemKind::PopupMenu || !MenuShape(*child)) {
            return false;
        }
    }
    return true;
}

bool VersionShape(const CResourceItem& node) {
    for (const auto& child : node.GetChildren())
        if (child->GetKind() != ItemKind::Version || !VersionShape(*child)) return false;
    return true;
}

const char* ShapeFault(const CResourceInfo& info) {
    for (const auto& menu : info.m_Menus.GetChildren())
        if (menu->GetKind() != ItemKind::PopupMenu || !MenuShape(*menu)) return "the menus hold an item of another kind";
    for (const auto& string : info.m_Strings.GetChildren())
        if (string->GetKind() != ItemKind::String || string->GetCount() != 0) return "the string table holds an item of another kind";
    for (const auto& dialog : info.m_Dialogs.GetChildren()) {
        if (dialog->GetKind() != ItemKind::Dialog) return "the dialogs hold an item of another kind";
        for (const auto& control : dialog->GetChildren())
            if (control->GetKind() != ItemKind::Control || control->GetCount() != 0) return "a dialog holds an item of another kind";
    }
    if (!VersionShape(info.m_VersionInfo.m_Root)) return "the version resource holds an item of another kind";
    return nullptr;
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
           m_Dialogs == other.m_Dialogs && m_VersionInfo == other.m_VersionInfo;
}

void PrintTo(const CResourceInfo& info, std::ostream* out) {
    *out << "\nversion " << info.m_dwFileVersionMS << "." << info.m_dwFileVersionLS << " language 0x" << std::hex
         << info.m_wLanguage << std::dec << " strings " << info.m_nStrings << " popups " << info.m_nPopups
         << " items " << info.m_nMenuItems << " dialogs " << info.m_nDialogs << " controls " << info.m_nControls
         << "\nmenus:\n";
    DumpTree(info.m_Menus, *out, 1);
    *out << "strings:\n";
    DumpTree(info.m_Strings, *out, 1);
    *out << "dialogs:\n";
    DumpTree(info.m_Dialogs, *out, 1);
    *out << "version:\n";
    DumpTree(info.m_VersionInfo.m_Root, *out, 1);
}

} // namespace quillon
