#pragma once
// The resource tree: every translatable piece of a module is one item that
// owns its children. Texts are ANSI bytes of the project's code page, with
// CR, LF and tab stored as the two-character escapes \r, \n, \t and the
// hotkey ampersand removed (the letter is kept apart in m_chHotkey).

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/ItemKind.h"

namespace quillon {

class ArchiveReader;
class ArchiveWriter;

// State bits of m_dwState. An item counts as translated only when both low
// bits are set.
inline constexpr std::uint32_t RIS_CREATED = 0x00000001;
inline constexpr std::uint32_t RIS_TRANSLATED = 0x00000003;
inline constexpr std::uint32_t RIS_CARRIED = 0x00002000;
inline constexpr std::uint32_t RIS_EMPTY = 0x00004000;
inline constexpr std::uint32_t RIS_FIXED = 0x40000000;

// The state an item in `state` has once `translation` is set for `source`:
// translated exactly when the translation is neither empty nor the source,
// and no longer marked as changed by an update.
std::uint32_t StateAfterTranslation(std::uint32_t state, std::string_view source, std::string_view translation);
// The state of an item whose source the translator confirmed as its
// translation: translated, and no longer marked as changed.
inline std::uint32_t StateAfterConfirmation(std::uint32_t state) { return (state | RIS_TRANSLATED) & ~RIS_CARRIED; }

class CResourceItem {
public:
    using Children = std::vector<std::unique_ptr<CResourceItem>>;

    CResourceItem() = default;
    // Creates an item as extraction does: state RIS_CREATED plus `extraState`,
    // plus RIS_EMPTY when the text is empty; the translation starts as a copy.
    CResourceItem(std::string text, std::uint16_t hotkey, std::int32_t id, std::uint32_t extraState = 0);
    CResourceItem(const CResourceItem& other); // deep copy of the subtree
    CResourceItem(CResourceItem&&) noexcept = default;
    CResourceItem& operator=(CResourceItem&&) noexcept = default;
    virtual ~CResourceItem() = default;
    CResourceItem& operator=(const CResourceItem&) = delete;

    virtual std::unique_ptr<CResourceItem> Clone() const { return std::make_unique<CResourceItem>(*this); }
    virtual ItemKind GetKind() const { return ItemKind::Common; }
    // Class name written into archive records.
    virtual const char* GetClassName() const { return "CResourceItem"; }

    // Children, owned, in document order. The items themselves can be
    // changed through GetChildren(); adding, removing and reordering them
    // goes through EditChildren().
    const Children& GetChildren() const { return m_children ? *m_children : kNoChildren; }
    Children& EditChildren();
    std::size_t GetCount() const { return m_children ? m_children->size() : 0; }
    CResourceItem& AddChild(std::unique_ptr<CResourceItem> child);
    void RemoveAllChildren() { m_children.reset(); }

    // Raw bytes; only dialogs keep their template here.
    void SetData(std::span<const std::uint8_t> data);
    std::span<const std::uint8_t> GetData() const {
        return m_data ? std::span<const std::uint8_t>(*m_data) : std::span<const std::uint8_t>();
    }
    std::uint32_t GetDataSize() const { return static_cast<std::uint32_t>(GetData().size()); }

    // With an ID other than -1 and 65535: the first child with that ID.
    // With -1 or 65535 (popups, version blocks, unnamed statics): the first
    // child with that ID and exactly this text.
    CResourceItem* FindChild(std::string_view text, std::int32_t id) const;

    // The source text, and the translation: the source text until another
    // is set. Most items of a freshly read module have none of their own.
    const std::string& GetText() const { return m_strText; }
    const std::string& GetTranslation() const { return m_translation ? *m_translation : m_strText; }
    // What the target carries: the translation once the item is translated,
    // the source text before. A translation set but not taken stays out.
    const std::string& GetTargetText() const { return IsTranslated() ? GetTranslation() : m_strText; }
    // A new source text; the translation stays what it was.
    void SetText(std::string text);
    // The translation's text alone: its hotkey and the state stay.
    void SetTranslationText(std::string text);

    // The translation with its hotkey, and the state that follows from it.
    void SetTranslation(std::string text, std::uint16_t hotkey);
    void SetTranslated(bool translated);
    void SetCarried(bool carried);
    bool IsTranslated() const { return (m_dwState & RIS_TRANSLATED) == RIS_TRANSLATED; }
    bool IsTranslatable() const { return (m_dwState & (RIS_EMPTY | RIS_FIXED)) == 0; }

    // Archive record of this item (without its object tag).
    virtual void Store(ArchiveWriter& out) const;
    virtual void Load(ArchiveReader& in, int depth);

    // Whole-subtree comparison, for round-trip checks.
    bool operator==(const CResourceItem& other) const;

    // A project holds one of these per string, menu item and control, so
    // the small fields share the tail and what most items lack (a
    // translation of their own, children, data) costs one pointer.
    std::int32_t m_nID = 0;
    std::uint32_t m_dwState = 0;
    std::uint16_t m_chHotkey = 0;
    std::uint16_t m_chTransHotkey = 0;

protected:
    virtual bool SameExtra(const CResourceItem&) const { return true; }
    void StoreCommon(ArchiveWriter& out) const;
    void LoadCommon(ArchiveReader& in, int depth);

private:
    static const Children kNoChildren;

    std::string m_strText;
    std::unique_ptr<std::string> m_translation; // null while it is the source text

    std::unique_ptr<std::vector<std::uint8_t>> m_data; // null when there are no bytes
    std::unique_ptr<Children> m_children;              // null until the first child
};

class CStringEntry : public CResourceItem {
public:
    using CResourceItem::CResourceItem;
    CStringEntry() = default;
    CStringEntry(const CStringEntry&) = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CStringEntry>(*this); }
    ItemKind GetKind() const override { return ItemKind::String; }
    const char* GetClassName() const override { return "CStringEntry"; }
};

class CDialogItem : public CResourceItem {
public:
    using CResourceItem::CResourceItem;
    CDialogItem() = default;
    CDialogItem(const CDialogItem&) = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CDialogItem>(*this); }
    ItemKind GetKind() const override { return ItemKind::Control; }
    const char* GetClassName() const override { return "CDialogItem"; }
};

class CDialogEntry : public CResourceItem {
public:
    using CResourceItem::CResourceItem;
    CDialogEntry() = default;
    CDialogEntry(const CDialogEntry&) = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CDialogEntry>(*this); }
    ItemKind GetKind() const override { return ItemKind::Dialog; }
    const char* GetClassName() const override { return "CDialogEntry"; }
};

// Shared record of menu nodes: the template's option word is kept so the
// menu can be rebuilt with its popup, state and end-of-level bits.
class CMenuNode : public CResourceItem {
public:
    CMenuNode() = default;
    CMenuNode(std::string text, std::uint16_t hotkey, std::int32_t id, std::uint32_t options, std::uint32_t extraState = 0)
        : CResourceItem(std::move(text), hotkey, id, extraState), m_dwOptions(options) {}
    void Store(ArchiveWriter& out) const override;
    void Load(ArchiveReader& in, int depth) override;

    std::uint32_t m_dwReserved1 = 0;
    std::uint32_t m_dwOptions = 0;
    std::uint32_t m_dwReserved2 = 0;

protected:
    CMenuNode(const CMenuNode&) = default;
    bool SameExtra(const CResourceItem& other) const override;
};

class CMenuEntry : public CMenuNode {
public:
    using CMenuNode::CMenuNode;
    CMenuEntry() = default;
    CMenuEntry(const CMenuEntry&) = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CMenuEntry>(*this); }
    ItemKind GetKind() const override { return ItemKind::PopupMenu; }
    const char* GetClassName() const override { return "CMenuEntry"; }
};

class CMenuItem : public CMenuNode {
public:
    using CMenuNode::CMenuNode;
    CMenuItem() = default;
    CMenuItem(const CMenuItem&) = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CMenuItem>(*this); }
    ItemKind GetKind() const override { return ItemKind::MenuItem; }
    const char* GetClassName() const override { return "CMenuItem"; }
};

// Block types of a version entry.
inline constexpr std::int32_t kVersionRoot = -1;
inline constexpr std::int32_t kVersionBinary = 0;
inline constexpr std::int32_t kVersionText = 1;
inline constexpr std::int32_t kVersionBlock = 2;

class CVersionBlock : public CResourceItem {
public:
    CVersionBlock() { m_nID = -1; }
    CVersionBlock(std::string key, std::int32_t blockType, std::string text, std::uint32_t extraState = 0);
    CVersionBlock(const CVersionBlock&) = default;
    CVersionBlock(CVersionBlock&&) noexcept = default;
    CVersionBlock& operator=(CVersionBlock&&) noexcept = default;
    std::unique_ptr<CResourceItem> Clone() const override { return std::make_unique<CVersionBlock>(*this); }
    ItemKind GetKind() const override { return ItemKind::Version; }
    const char* GetClassName() const override { return "CVersionBlock"; }
    void Store(ArchiveWriter& out) const override;
    void Load(ArchiveReader& in, int depth) override;

    std::uint16_t GetValueSize() const { return static_cast<std::uint16_t>(m_pValue.size()); }

    std::string m_strKey;
    std::string m_strTargetKey;
    std::int32_t m_nBlockType = kVersionRoot;
    std::vector<std::uint8_t> m_pValue; // binary value bytes (at most 65535)

protected:
    bool SameExtra(const CResourceItem& other) const override;
};

// Creates an empty item of a class named in an archive record, or null when
// the name is not one of the tree's classes.
std::unique_ptr<CResourceItem> CreateItemOfClass(std::string_view className);

// Readable one-line description of an item and an indented dump of a subtree
// (texts as stored), for test failure messages and debugging.
std::string Describe(const CResourceItem& item);
void DumpTree(const CResourceItem& item, std::ostream& out, int indent = 0);
void PrintTo(const CResourceItem& item, std::ostream* out);

} // namespace quillon
