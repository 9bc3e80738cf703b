#include "model/ResourceItem.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "model/Archive.h"

namespace quillon {

namespace {
// Deeper nesting than any real menu or version resource; a file that nests
// further is malformed and must not exhaust the stack.
constexpr int kMaxDepth = 64;
// Least bytes of one child record: its object tag.
constexpr std::size_t kMinChildRecord = 2;
} // namespace

const CResourceItem::Children CResourceItem::kNoChildren;

CResourceItem::CResourceItem(std::string text, std::uint16_t hotkey, std::int32_t id, std::uint32_t extraState)
    : m_nID(id), m_dwState(RIS_CREATED | extraState | (text.empty() ? RIS_EMPTY : 0)), m_chHotkey(hotkey),
      m_chTransHotkey(hotkey), m_strText(std::move(text)) {}

CResourceItem::CResourceItem(const CResourceItem& other)
    : m_nID(other.m_nID), m_dwState(other.m_dwState), m_chHotkey(other.m_chHotkey),
      m_chTransHotkey(other.m_chTransHotkey), m_strText(other.m_strText),
      m_translation(other.m_translation ? std::make_unique<std::string>(*other.m_translation) : nullptr) {
    SetData(other.GetData());
    if (other.GetCount() == 0) return;
    Children& children = EditChildren();
    children.reserve(other.GetCount());
    for (const auto& child : other.GetChildren()) children.push_back(child->Clone());
}

CResourceItem::Children& CResourceItem::EditChildren() {
    if (!m_children) m_children = std::make_unique<Children>();
    return *m_children;
}

CResourceItem& CResourceItem::AddChild(std::unique_ptr<CResourceItem> child) {
    Children& children = EditChildren();
    children.push_back(std::move(child));
    return *children.back();
}

void CResourceItem::SetData(std::span<const std::uint8_t> data) {
    if (data.empty())
        m_data.reset();
    else
        m_data = std::make_unique<std::vector<std::uint8_t>>(data.begin(), data.end());
}

CResourceItem* CResourceItem::FindChild(std::string_view text, std::int32_t id) const {
    bool matchText = id == -1 || id == 65535;
    for (const auto& child : GetChildren()) {
        if (child->m_nID != id) continue;
        if (!matchText || child->m_strText == text) return child.get();
    }
    return nullptr;
}

std::uint32_t StateAfterTranslation(std::uint32_t state, std::string_view source, std::string_view translation) {
    // Translating, confirming or restoring an item is handling its change.
    state &= ~RIS_CARRIED;
    if (!translation.empty() && translation != source) return state | RIS_TRANSLATED;
    // Only a fully translated item loses both bits; a merely created one keeps its bit.
    if ((state & RIS_TRANSLATED) == RIS_TRANSLATED) return state & ~RIS_TRANSLATED;
    return state;
}

void CResourceItem::SetText(std::string text) {
    if (!m_translation && text != m_strText) m_translation = std::make_unique<std::string>(m_strText);
    m_strText = std::move(text);
    if (m_translation && *m_translation == m_strText) m_translation.reset();
}

void CResourceItem::SetTranslationText(std::string text) {
    if (text == m_strText)
        m_translation.reset();
    else if (m_translation)
        *m_translation = std::move(text);
    else
        m_translation = std::make_unique<std::string>(std::move(text));
}

void CResourceItem::SetTranslation(std::string text, std::uint16_t hotkey) {
    m_dwState = StateAfterTranslation(m_dwState, m_strText, text);
    SetTranslationText(std::move(text));
    m_chTransHotkey = hotkey;
}

void CResourceItem::SetTranslated(bool translated) {
    if (translated)
        m_dwState |= RIS_TRANSLATED;
    else if (IsTranslated())
        m_dwState &= ~RIS_TRANSLATED;
}

void CResourceItem::SetCarried(bool carried) {
    if (carried)
        m_dwState |= RIS_CARRIED;
    else
        m_dwState &= ~RIS_CARRIED;
}

// Common record: text, WORD hotkey, translation, WORD hotkey, DWORD id,
// DWORD state, DWORD data size + data, child count + child records.
void CResourceItem::StoreCommon(ArchiveWriter& out) const {
    out.Text(m_strText);
    out.Word(m_chHotkey);
    out.Text(GetTranslation());
    out.Word(m_chTransHotkey);
    out.Dword(static_cast<std::uint32_t>(m_nID));
    out.Dword(m_dwState);
    out.Dword(GetDataSize());
    out.Bytes(GetData());
    out.Count(GetCount());
    for (const auto& child : GetChildren()) {
        out.ObjectTag(child->GetClassName());
        child->Store(out);
    }
}

void CResourceItem::LoadCommon(ArchiveReader& in, int depth) {
    if (depth > kMaxDepth) in.Fail("items are nested too deeply");
    m_strText = in.Text();
    m_chHotkey = in.Word();
    SetTranslationText(in.Text());
    m_chTransHotkey = in.Word();
    m_nID = static_cast<std::int32_t>(in.Dword());
    m_dwState = in.Dword();
    // The changed mark stays until the translator handles the item. The
    // translated bit without the created bit is a leftover that means nothing.
    if ((m_dwState & 0x2) && !(m_dwState & 0x1)) m_dwState &= ~0x2u;
    std::vector<std::uint8_t> data = in.Bytes(in.Dword());
    m_data = data.empty() ? nullptr : std::make_unique<std::vector<std::uint8_t>>(std::move(data));

    RemoveAllChildren();
    std::uint32_t count = in.Count(kMinChildRecord);
    if (count > 0) EditChildren().reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t tagOffset = in.Offset();
        ArchiveReader::Tag tag = in.ObjectTag();
        if (tag.kind == ArchiveReader::Tag::Kind::Null) continue;
        if (tag.kind == ArchiveReader::Tag::Kind::Reference)
            throw ArchiveError("an item may appear only once in the tree", tagOffset);
        auto child = CreateItemOfClass(tag.className);
        if (!child) throw ArchiveError("unknown class '" + tag.className + "'", tagOffset);
        child->Load(in, depth + 1);
        m_children->push_back(std::move(child));
    }
}

void CResourceItem::Store(ArchiveWriter& out) const { StoreCommon(out); }
void CResourceItem::Load(ArchiveReader& in, int depth) { LoadCommon(in, depth); }

bool CResourceItem::operator==(const CResourceItem& other) const {
    if (GetKind() != other.GetKind() || !std::ranges::equal(GetData(), other.GetData()) ||
        m_strText != other.m_strText || m_chHotkey != other.m_chHotkey || GetTranslation() != other.GetTranslation() ||
        m_chTransHotkey != other.m_chTransHotkey || m_nID != other.m_nID || m_dwState != other.m_dwState ||
        GetCount() != other.GetCount() || !SameExtra(other))
        return false;
    for (std::size_t i = 0; i < GetCount(); ++i)
        if (!(*GetChildren()[i] == *other.GetChildren()[i])) return false;
    return true;
}

// Menu record: DWORD reserved, DWORD options, DWORD reserved, common part.
void CMenuNode::Store(ArchiveWriter& out) const {
    out.Dword(m_dwReserved1);
    out.Dword(m_dwOptions);
    out.Dword(m_dwReserved2);
    StoreCommon(out);
}

void CMenuNode::Load(ArchiveReader& in, int depth) {
    m_dwReserved1 = in.Dword();
    m_dwOptions = in.Dword();
    m_dwReserved2 = in.Dword();
    LoadCommon(in, depth);
}

bool CMenuNode::SameExtra(const CResourceItem& other) const {
    const auto& menu = static_cast<const CMenuNode&>(other);
    return m_dwReserved1 == menu.m_dwReserved1 && m_dwOptions == menu.m_dwOptions &&
           m_dwReserved2 == menu.m_dwReserved2;
}

CVersionBlock::CVersionBlock(std::string key, std::int32_t blockType, std::string text, std::uint32_t extraState)
    : CResourceItem(std::move(text), 0, -1, extraState), m_strKey(key), m_strTargetKey(std::move(key)),
      m_nBlockType(blockType) {}

// Version record: key, target key, DWORD block type, for binary values a
// WORD size and the value bytes, then the common part.
void CVersionBlock::Store(ArchiveWriter& out) const {
    out.Text(m_strKey);
    out.Text(m_strTargetKey);
    out.Dword(static_cast<std::uint32_t>(m_nBlockType));
    if (m_nBlockType == kVersionBinary) {
        out.Word(GetValueSize());
        out.Bytes(std::span(m_pValue).first(GetValueSize()));
    }
    StoreCommon(out);
}

void CVersionBlock::Load(ArchiveReader& in, int depth) {
    m_strKey = in.Text();
    m_strTargetKey = in.Text();
    m_nBlockType = static_cast<std::int32_t>(in.Dword());
    m_pValue.clear();
    if (m_nBlockType == kVersionBinary) m_pValue = in.Bytes(in.Word());
    LoadCommon(in, depth);
}

bool CVersionBlock::SameExtra(const CResourceItem& other) const {
    const auto& block = static_cast<const CVersionBlock&>(other);
    return m_strKey == block.m_strKey && m_strTargetKey == block.m_strTargetKey &&
           m_nBlockType == block.m_nBlockType && m_pValue == block.m_pValue;
}

std::unique_ptr<CResourceItem> CreateItemOfClass(std::string_view className) {
    if (className == "CResourceItem") return std::make_unique<CResourceItem>();
    if (className == "CStringEntry") return std::make_unique<CStringEntry>();
    if (className == "CDialogItem") return std::make_unique<CDialogItem>();
    if (className == "CDialogEntry") return std::make_unique<CDialogEntry>();
    if (className == "CMenuEntry") return std::make_unique<CMenuEntry>();
    if (className == "CMenuItem") return std::make_unique<CMenuItem>();
    if (className == "CVersionBlock") return std::make_unique<CVersionBlock>();
    return nullptr;
}

std::string Describe(const CResourceItem& item) {
    std::ostringstream out;
    out << KindName(item.GetKind()) << " id=" << item.m_nID << " text=\"" << item.GetText() << "\"";
    if (item.m_chHotkey) out << " hotkey=0x" << std::hex << item.m_chHotkey << std::dec;
    if (item.GetTranslation() != item.GetText() || item.m_chTransHotkey != item.m_chHotkey)
        out << " translation=\"" << item.GetTranslation() << "\" transHotkey=0x" << std::hex
            << item.m_chTransHotkey << std::dec;
    out << " state=0x" << std::hex << item.m_dwState << std::dec;
    if (auto* menu = dynamic_cast<const CMenuNode*>(&item)) out << " options=0x" << std::hex << menu->m_dwOptions << std::dec;
    if (auto* block = dynamic_cast<const CVersionBlock*>(&item)) {
        out << " key=\"" << block->m_strKey << "\" type=" << block->m_nBlockType;
        if (block->m_strTargetKey != block->m_strKey) out << " targetKey=\"" << block->m_strTargetKey << "\"";
        if (!block->m_pValue.empty()) out << " value=" << block->m_pValue.size() << "B";
    }
    if (item.GetDataSize()) out << " data=" << item.GetDataSize() << "B";
    return out.str();
}

void DumpTree(const CResourceItem& item, std::ostream& out, int indent) {
    out << std::string(static_cast<std::size_t>(indent) * 2, ' ') << Describe(item) << '\n';
    for (const auto& child : item.GetChildren()) DumpTree(*child, out, indent + 1);
}

void PrintTo(const CResourceItem& item, std::ostream* out) {
    *out << '\n';
    DumpTree(item, *out, 1);
}

} // namespace quillon
