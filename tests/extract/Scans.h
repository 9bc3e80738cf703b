#pragma once
// A module scanned into a tree with its report, and the progress a scan
// shows: shared by the scan tests.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "extract/ResourceExtractor.h"
#include "model/TreeRoots.h"

namespace quillon::testing {

struct Scan { CResourceInfo info; ExtractReport report; };

inline std::unique_ptr<Scan> ScanBytes(std::vector<std::uint8_t> bytes, std::uint32_t codePage = 1252,
                                       IProgress* progress = nullptr) {
    auto scan = std::make_unique<Scan>();
    CResourceExtractor extractor(ResourceModule::FromBytes(std::move(bytes)), scan->info, CodePage(codePage), progress);
    // Only a module that cannot be read is refused (report.loaded false).
    EXPECT_EQ(extractor.Extract().Ok(), extractor.Report().loaded);
    scan->report = extractor.Report();
    return scan;
}

// A fixture module scanned from its file, as the application reads one.
inline std::unique_ptr<Scan> ScanFixture(const std::string& name, std::uint32_t codePage = 1252,
                                         IProgress* progress = nullptr) {
    auto scan = std::make_unique<Scan>();
    CResourceExtractor extractor(Fixture(name), scan->info, CodePage(codePage), progress);
    EXPECT_TRUE(extractor.Extract()) << name;
    scan->report = extractor.Report();
    return scan;
}

// The text of the item reached from `root` through children with these IDs
// (the first of each), "<none>" when there is none.
inline std::string TextAt(const CResourceItem& root, const std::vector<std::int32_t>& ids) {
    const CResourceItem* item = &root;
    for (std::int32_t id : ids)
        if (!(item = ChildWithId(*item, id))) return "<none>";
    return item->GetText();
}

class CountingProgress : public IProgress {
public:
    void Show(std::string_view message, std::uint32_t range) override {
        shownMessage = message;
        this->range = range;
    }
    void Step() override { ++steps; }
    void Hide() override { ++hidden; }
    std::string shownMessage;
    std::uint32_t range = 0;
    std::uint32_t steps = 0;
    int hidden = 0;
};

// The tree below `root`, one line per item indented by depth: the ID (a
// version block's key and type instead), the text, the hotkey after '&', the
// state in hex and a menu node's option word after '/'. A child of `root`
// whose ID is `leaveOut` is left out with its items.
inline std::string Outline(const CResourceItem& root, std::int32_t leaveOut = 0, const std::string& indent = "") {
    std::ostringstream out;
    for (const auto& item : root.GetChildren()) {
        if (indent.empty() && leaveOut && item->m_nID == leaveOut) continue;
        out << indent;
        if (auto* block = dynamic_cast<const CVersionBlock*>(item.get()))
            out << block->m_strKey << ':' << block->m_nBlockType;
        else
            out << item->m_nID;
        out << " \"" << item->GetText() << '"';
        if (item->m_chHotkey) out << " &" << static_cast<char>(item->m_chHotkey);
        out << std::hex << ' ' << item->m_dwState;
        if (auto* menu = dynamic_cast<const CMenuNode*>(item.get())) out << " /" << menu->m_dwOptions;
        out << std::dec << '\n' << Outline(*item, 0, indent + "  ");
    }
    return out.str();
}

} // namespace quillon::testing
