#include <gtest/gtest.h>

#include "model/Archive.h"
#include "model/ResourceInfo.h"

using namespace quillon;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The record of an item tree, or of a whole tree with the time it is saved at.
template <typename Tree, typename... Saved>
Bytes Stored(const Tree& tree, Saved... saved) {
    ArchiveWriter out;
    tree.Store(out, saved...);
    return out.Take();
}

// The tree `bytes` hold, which must be all of them.
std::unique_ptr<CResourceItem> Loaded(const Bytes& bytes) {
    auto root = std::make_unique<CResourceItem>();
    ArchiveReader in(bytes);
    root->Load(in, 0);
    EXPECT_TRUE(in.AtEnd());
    return root;
}

} // namespace

// (What SetTranslation makes of the state: ProjectCli's translate, restore
// and update runs and ManualTranslation.RestoreAllKeepsTheVersionValuesAndHandlesUpdateMarks.)
TEST(ResourceItem, SetTranslatedAndSetCarriedChangeOnlyTheirBits) {
    CStringEntry entry("x", 0, 2);
    entry.SetTranslated(false); // not translated: nothing to clear
    EXPECT_EQ(entry.m_dwState, 0x1u);
    entry.SetTranslated(true);
    EXPECT_EQ(entry.m_dwState, 0x3u);
    entry.SetCarried(true);
    EXPECT_EQ(entry.m_dwState, 0x2003u);
    entry.SetCarried(false);
    EXPECT_EQ(entry.m_dwState, 0x3u);
}

TEST(ResourceItemRecord, StringEntryHasTheCommonLayout) {
    CResourceItem root;
    root.AddChild(std::make_unique<CStringEntry>("Hi", 0, 0x102)).SetTranslation("Ho", 0);
    EXPECT_EQ(Stored(root), (Bytes{
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // root: texts, hotkeys, id, state, no data
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x01, 0x00,                                                                         // one child
        0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00, 'C', 'S', 't', 'r', 'i', 'n', 'g', 'E', 'n', 't', 'r', 'y',
        0x02, 'H', 'i', 0x00, 0x00, 0x02, 'H', 'o', 0x00, 0x00, // texts and hotkeys
        0x02, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,         // id, state
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));                  // no data, no children
}

TEST(ResourceItemRecord, MenuAndVersionRecordsPrefixTheirOwnFields) {
    CResourceItem root;
    root.AddChild(std::make_unique<CMenuItem>("", 0, 0, 0x0800, RIS_FIXED));
    auto& value = root.AddChild(std::make_unique<CVersionBlock>("Translation", kVersionBinary, "", RIS_FIXED));
    static_cast<CVersionBlock&>(value).m_pValue = {0x09, 0x04, 0xB0, 0x04};
    Bytes data = Stored(root);
    // After the root's common part (18 bytes), the count and the CMenuItem class record (2 + 15):
    std::size_t menu = 18 + 2 + 6 + 9;
    EXPECT_EQ(Bytes(data.begin() + menu, data.begin() + menu + 12),
              (Bytes{0, 0, 0, 0, 0x00, 0x08, 0, 0, 0, 0, 0, 0}));
    // The menu item's record, then the CVersionBlock class record (6 + 13).
    std::size_t version = menu + (12 + 1 + 2 + 1 + 2 + 4 + 4 + 4 + 2) + 6 + 13;
    Bytes expectedVersion{11, 'T', 'r', 'a', 'n', 's', 'l', 'a', 't', 'i', 'o', 'n',
                          11, 'T', 'r', 'a', 'n', 's', 'l', 'a', 't', 'i', 'o', 'n',
                          0, 0, 0, 0, 4, 0, 0x09, 0x04, 0xB0, 0x04};
    EXPECT_EQ(Bytes(data.begin() + version, data.begin() + version + expectedVersion.size()), expectedVersion);
    EXPECT_EQ(*Loaded(data), root);
}

// The changed mark of an update stays until the translator handles the item.
TEST(ResourceItemRecord, LoadingKeepsChangedMarksAndClearsAStrayTranslatedBit) {
    const std::pair<std::uint32_t, std::uint32_t> states[] = {{0x2002, 0x2000}, {0x2003, 0x2003}, {0x40004001, 0x40004001}};
    CResourceItem root;
    for (auto [stored, loaded] : states) root.AddChild(std::make_unique<CStringEntry>("a", 0, 1)).m_dwState = stored;
    auto loaded = Loaded(Stored(root));
    for (std::size_t i = 0; i < std::size(states); ++i) EXPECT_EQ(loaded->GetChildren()[i]->m_dwState, states[i].second);
}

TEST(ResourceItemRecord, UnknownClassSharedObjectsAndDeepNestingAreRefused) {
    CResourceItem one, deep;
    one.AddChild(std::make_unique<CStringEntry>("a", 0, 1));
    CResourceItem* current = &deep;
    for (int i = 0; i < 100; ++i) current = &current->AddChild(std::make_unique<CMenuEntry>("p", 0, -1, 0x10));
    Bytes unknown = Stored(one), shared = Stored(one);
    unknown[18 + 2 + 6 + 11] = 'z'; // "CStringEntry" -> "CStringEntrz"
    // Two children where the second refers back to the first object.
    shared[18] = 0x02;
    shared.insert(shared.end(), {0x02, 0x00});
    for (const Bytes& bytes : {unknown, shared, Stored(deep)}) {
        CResourceItem loaded;
        ArchiveReader in(bytes);
        EXPECT_THROW(loaded.Load(in, 0), ArchiveError) << bytes.size();
    }
}

namespace {
CResourceInfo SmallInfo() {
    CResourceInfo info;
    info.m_wLanguage = 0x0409;
    info.m_dwFileVersionMS = 0x00010002;
    info.m_dwFileVersionLS = 0x00030004;
    info.m_timeExtracted = 1000;
    info.m_Strings.AddChild(std::make_unique<CStringEntry>("Hello", 0, 1));
    auto& menu = info.m_Menus.AddChild(std::make_unique<CMenuEntry>("", 0, 100, 0));
    menu.AddChild(std::make_unique<CMenuItem>("Open", 'O', 1001, 0x80));
    auto& dialog = info.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("Options", 0, 200));
    dialog.SetData(Bytes{1, 2, 3, 4});
    dialog.AddChild(std::make_unique<CDialogItem>("OK", 0, 1));
    info.m_VersionInfo.m_FixedInfo[0] = 0xBD;
    info.m_VersionInfo.m_Root.AddChild(std::make_unique<CVersionBlock>("StringFileInfo", kVersionBlock, ""));
    info.Recount();
    return info;
}
} // namespace

TEST(ResourceInfoRecord, HeaderLayoutAndRoundTrip) {
    CResourceInfo info = SmallInfo();
    const Bytes data = Stored(info, 0x11223344);
    // The header (22 bytes); the counters: strings 1, popups 1, items 1, dialogs 1, controls 1, reserved,
    // translatable 4, not translatable 1 (the menu's top node), skipped 1, translated 0; then fixed information.
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 63),
              (Bytes{0, 0, 0, 0, 0x09, 0x04, 0x02, 0, 0x01, 0, 0x04, 0, 0x03, 0, 0xE8, 0x03, 0, 0, 0x44, 0x33, 0x22,
                     0x11, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 1, 0,
                     0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xBD}));

    CResourceInfo loaded;
    ArchiveReader in(data);
    loaded.Load(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded, info);
    EXPECT_EQ(std::tuple(loaded.m_timeSaved, loaded.m_timeExtracted), std::tuple(0x11223344, 1000));
}

