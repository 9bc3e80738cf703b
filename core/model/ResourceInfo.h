#pragma once
// The resource tree of one module: the string, menu and dialog roots, the
// version resource and the counters the status views show. TreeRoots.h
// describes the four roots for code that goes over all of them.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>

#include "model/ResourceItem.h"

namespace quillon {

inline constexpr std::size_t kFixedInfoSize = 52;

class CVersionInfo {
public:
    CVersionInfo() = default;
    CVersionInfo(const CVersionInfo&) = default;
    CVersionInfo(CVersionInfo&&) noexcept = default;
    CVersionInfo& operator=(const CVersionInfo& other);
    CVersionInfo& operator=(CVersionInfo&&) noexcept = default;
    void Clear();
    // Record: the 52 bytes of the fixed information, then the root block.
    void Store(ArchiveWriter& out) const;
    void Load(ArchiveReader& in);
    bool operator==(const CVersionInfo& other) const {
        return m_FixedInfo == other.m_FixedInfo && m_Root == other.m_Root;
    }

    std::array<std::uint8_t, kFixedInfoSize> m_FixedInfo{};
    CVersionBlock m_Root;
};

struct ResourceCounters {
    std::uint32_t m_nStrings = 0;
    std::uint32_t m_nPopups = 0;
    std::uint32_t m_nMenuItems = 0;
    std::uint32_t m_nDialogs = 0;
    std::uint32_t m_nControls = 0;
    std::uint32_t m_nReserved = 0;
    std::uint32_t m_nTranslatable = 0;
    std::uint32_t m_nNotTranslatable = 0;
    std::uint32_t m_nTranslated = 0;
    std::uint32_t m_nSkipped = 0;
    bool operator==(const ResourceCounters&) const = default;
};

// What an item held before the update that marked it as changed.
struct PreviousSource {
    std::string text;
    std::string translation;
    bool operator==(const PreviousSource&) const = default;
};

using PreviousSources = std::map<std::string, PreviousSource>;

// What the scan said about resources it read only in part (a damaged dialog
// or menu), by the resource's path ("dialogs/200").
using ScanWarnings = std::map<std::string, std::vector<std::string>>;

class CResourceInfo : public ResourceCounters {
public:
    CResourceInfo() = default;
    CResourceInfo(const CResourceInfo& other);
    CResourceInfo(CResourceInfo&&) noexcept = default;
    CResourceInfo& operator=(const CResourceInfo&) = delete;
    CResourceInfo& operator=(CResourceInfo&&) noexcept = default;

    // Empties the tree and resets the header fields and counters, as a scan does first.
    void Clear();
    // Counts strings, popups, menu items, dialogs and controls and how many of
    // them may be translated. m_nTranslated is left as it is.
    void Recount();

    // Record embedded in the project file. Storing writes `now` in place of
    // the saved time; loading reads it into m_timeSaved.
    void Store(ArchiveWriter& out, std::int64_t now) const;
    void Load(ArchiveReader& in);

    // Same tree, header and counters; the two times are not compared.
    bool operator==(const CResourceInfo& other) const;

    std::uint32_t m_dwReserved = 0;
    std::uint32_t m_dwFileVersionMS = 0;
    std::uint32_t m_dwFileVersionLS = 0;
    std::uint16_t m_wLanguage = 0;
    std::int64_t m_timeExtracted = 0;
    std::int64_t m_timeSaved = 0;
    CResourceItem m_Menus;
    CResourceItem m_Strings;
    CResourceItem m_Dialogs;
    CVersionInfo m_VersionInfo;
    // The previous source and translation of items an update marked as
    // changed, by item path (ItemPath.h). The project file's record has no
    // room for them: the project's side file keeps them. An entry counts only
    // while its item is still marked (see PreviousOf).
    PreviousSources m_previous;
    // The last scan's warnings about resources in the tree; like m_previous,
    // kept in the side file.
    ScanWarnings m_scanWarnings;

    // The entry of the item at `path`, when that item is still marked as changed.
    const PreviousSource* PreviousOf(const CResourceItem& item, const std::string& path) const;
    // The entries whose items are still there and still marked.
    PreviousSources OpenPrevious() const;
    void ForgetHandledChanges() { m_previous = OpenPrevious(); }
};

void PrintTo(const CResourceInfo& info, std::ostream* out);

// Adds the counts of `info`'s tree to `counters` (all but m_nTranslated).
void CountTree(const CResourceInfo& info, ResourceCounters& counters);

} // namespace quillon
